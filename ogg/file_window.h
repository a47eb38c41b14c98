// A stretch of a file read into memory through its stdio stream, from a
// start onwards, grown as a search needs more of it; what was read can be
// handed on to the library that reads the file next, so that it is not read
// twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace cvx::ogg {

class FileWindow {
public:
    // Over `file`, `fileSizeBytes` long, holding nothing yet. The stream
    // stays the caller's; the window moves its position.
    FileWindow(std::FILE* file, int64_t fileSizeBytes) : file_(file), fileSize_(fileSizeBytes) {}

    // Empties the window and starts it at `start`, taking the bytes `other`
    // already holds from there on instead of reading them again.
    void StartAt(int64_t start, const FileWindow* other = nullptr);

    // Makes the bytes from the window's start to `end` (at most the file's
    // size) readable, reading on to the end of the 4 KiB block `end` falls
    // in, as a buffered stream would. False when the file cannot be read or
    // memory runs out.
    bool Reach(int64_t end);

    // Lets the window drop the bytes before `offset` once it holds more than
    // kLongestHeld bytes, so that a search through a long file keeps only
    // what is near it.
    void Release(int64_t offset) { releasedBefore_ = offset; }

    // The byte at file offset `offset`, which must lie between the start
    // and end().
    const unsigned char* At(int64_t offset) const { return bytes_.get() + (offset - start_); }
    int64_t start() const { return start_; }
    int64_t end() const { return start_ + static_cast<int64_t>(held_); }
    int64_t fileSize() const { return fileSize_; }

    // Copies what the window holds of [offset, offset + count) from
    // `offset` on; the count copied, 0 when it holds not `offset`.
    size_t CopyOut(int64_t offset, void* destination, size_t count) const;

    static constexpr int64_t kLongestHeld = 1 << 20;

private:
    // Room for `count` bytes, what is held kept; false when memory runs out.
    bool Hold(size_t count);

    std::FILE* file_;
    int64_t fileSize_;
    int64_t start_ = 0;
    int64_t releasedBefore_ = 0;
    // Not value-initialised: every byte held was read into it.
    std::unique_ptr<unsigned char[]> bytes_;
    size_t held_ = 0;
    size_t capacity_ = 0;
};

// The two stretches a reader of a file of one link reads: from the start
// (the headers and the first pages of sound) and from one chunk before the
// end (the last page).
struct FileWindows {
    FileWindows(std::FILE* file, int64_t fileSizeBytes) : head(file, fileSizeBytes), tail(file, fileSizeBytes) {}
    size_t CopyOut(int64_t offset, void* destination, size_t count) const {
        const size_t copied = head.CopyOut(offset, destination, count);
        return copied > 0 ? copied : tail.CopyOut(offset, destination, count);
    }
    FileWindow head;
    FileWindow tail;
};

}  // namespace cvx::ogg
