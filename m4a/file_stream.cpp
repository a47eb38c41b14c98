#include "m4a/file_stream.h"

#include <algorithm>

namespace cvx::m4a {

size_t FileStream::ReadAt(int64_t offset, unsigned char* destination, size_t count) {
    if (offset < 0 || offset >= sizeBytes_) return 0;
    count = static_cast<size_t>(std::min<uint64_t>(count, static_cast<uint64_t>(sizeBytes_ - offset)));
    if (streamAt_ != offset) {
        if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) {
            streamAt_ = -1;
            return 0;
        }
        streamAt_ = offset;
    }
    const size_t read = std::fread(destination, 1, count, file_);
    streamAt_ = read == count ? offset + static_cast<int64_t>(read) : -1;
    bytesRead_ += static_cast<int64_t>(read);
    return read;
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
