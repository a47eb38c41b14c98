// TagLib's view of the file the frame opened: a read-only TagLib::IOStream
// over a stdio stream the caller keeps, so that TagLib reads exactly the
// file the host named, by the host's own path (ANSI on Windows).
#pragma once

#include <taglib/tiostream.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace cvx::m4a {

class FileStream final : public TagLib::IOStream {
public:
    // `file` is `sizeBytes` long and must outlive the stream; `path` is
    // what name() answers.
    FileStream(std::FILE* file, int64_t sizeBytes, const char* path)
        : file_(file), sizeBytes_(sizeBytes), path_(path) {}

    TagLib::FileName name() const override { return path_; }
    // Up to `length` bytes from the position, fewer at the end of the file
    // or when a read fails, as TagLib's own FileStream gives them.
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return file_ != nullptr; }
    // A position before the start is refused and leaves the position as it
    // was; one past the end is kept, and reads there give nothing.
    void seek(long offset, Position from = Beginning) override;
    long tell() const override { return static_cast<long>(position_); }
    long length() override { return static_cast<long>(sizeBytes_); }
    void truncate(long) override {}

    // Up to `count` bytes at `offset` into `destination`, without moving
    // the position TagLib sees; fewer at the end or when a read fails.
    // Short reads come from blocks kept once read: the walk of the box tree
    // and TagLib read the same headers, scattered over the file, one after
    // the other. Long ones (pictures, long values) are read as they are.
    size_t ReadAt(int64_t offset, unsigned char* destination, size_t count);

    static constexpr size_t kBlockSize = 4096;
    static constexpr size_t kLongestKeptRead = 4 * kBlockSize;
    static constexpr size_t kMostBlocksKept = 256;  // 1 MiB; then they are dropped and read again

private:
    struct Block {
        int64_t index;
        size_t size;
        std::unique_ptr<unsigned char[]> bytes;
    };
    // The block `index`, read when not kept; null when it cannot be read.
    const Block* BlockAt(int64_t index);
    size_t ReadFromFile(int64_t offset, unsigned char* destination, size_t count);

    std::FILE* file_;
    int64_t sizeBytes_;
    const char* path_;
    int64_t position_ = 0;
    int64_t streamAt_ = -1;  // where the stdio stream stands, -1 when unknown
    std::vector<Block> blocks_;
};

}  // namespace cvx::m4a
