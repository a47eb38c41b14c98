#include "m4a/file_stream.h"

#include <algorithm>
#include <cstring>

namespace cvx::m4a {

size_t FileStream::ReadFromFile(int64_t offset, unsigned char* destination, size_t count) {
    if (streamAt_ != offset) {
        if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) {
            streamAt_ = -1;
            return 0;
        }
        streamAt_ = offset;
    }
    const size_t read = std::fread(destination, 1, count, file_);
    streamAt_ = read == count ? offset + static_cast<int64_t>(read) : -1;
    return read;
}

const FileStream::Block* FileStream::BlockAt(int64_t index) {
    for (const Block& block : blocks_) {
        if (block.index == index) return &block;
    }
    if (blocks_.size() == kMostBlocksKept) blocks_.clear();
    const int64_t start = index * static_cast<int64_t>(kBlockSize);
    const size_t wanted = static_cast<size_t>(std::min<int64_t>(kBlockSize, sizeBytes_ - start));
    Block block{index, 0, std::make_unique<unsigned char[]>(wanted)};
    block.size = ReadFromFile(start, block.bytes.get(), wanted);
    if (block.size == 0) return nullptr;
    blocks_.push_back(std::move(block));
    return &blocks_.back();
}

size_t FileStream::ReadAt(int64_t offset, unsigned char* destination, size_t count) {
    if (offset < 0 || offset >= sizeBytes_) return 0;
    count = static_cast<size_t>(std::min<uint64_t>(count, static_cast<uint64_t>(sizeBytes_ - offset)));
    if (count > kLongestKeptRead) return ReadFromFile(offset, destination, count);
    size_t done = 0;
    while (done < count) {
        const int64_t at = offset + static_cast<int64_t>(done);
        const Block* block = BlockAt(at / static_cast<int64_t>(kBlockSize));
        const size_t within = static_cast<size_t>(at % static_cast<int64_t>(kBlockSize));
        if (block == nullptr || within >= block->size) break;
        const size_t piece = std::min(count - done, block->size - within);
        std::memcpy(destination + done, block->bytes.get() + within, piece);
        done += piece;
    }
    return done;
}

TagLib::ByteVector FileStream::readBlock(unsigned long length) {
    if (length == 0 || position_ >= sizeBytes_) return TagLib::ByteVector();
    const uint64_t left = static_cast<uint64_t>(sizeBytes_ - position_);
    TagLib::ByteVector block(static_cast<unsigned int>(std::min<uint64_t>(length, left)));
    const size_t read = ReadAt(position_, reinterpret_cast<unsigned char*>(block.data()), block.size());
    block.resize(static_cast<unsigned int>(read));
    position_ += static_cast<int64_t>(read);
    return block;
}

void FileStream::seek(long offset, Position from) {
    const int64_t base = from == Beginning ? 0 : from == Current ? position_ : sizeBytes_;
    const int64_t target = base + offset;
    if (target >= 0) position_ = target;
}

}  // namespace cvx::m4a
