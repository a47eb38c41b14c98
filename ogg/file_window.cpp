#include "ogg/file_window.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace cvx::ogg {

namespace {

// Reads end at multiples of this, as a buffered stream's would.
constexpr int64_t kBlockBytes = 4096;

}  // namespace

void FileWindow::StartAt(int64_t start, const FileWindow* other) {
    held_ = 0;
    start_ = releasedBefore_ = start;
    if (other == nullptr || start < other->start() || start >= other->end()) return;
    const size_t count = static_cast<size_t>(other->end() - start);
    if (!Hold(count)) return;  // read again instead
    std::memcpy(bytes_.get(), other->At(start), count);
    held_ = count;
}

bool FileWindow::Hold(size_t count) {
    if (count <= capacity_) return true;
    const size_t capacity = std::max(count, 2 * capacity_);
    std::unique_ptr<unsigned char[]> bigger(new (std::nothrow) unsigned char[capacity]);
    if (!bigger) return false;
    if (held_ > 0) std::memcpy(bigger.get(), bytes_.get(), held_);
    bytes_ = std::move(bigger);
    capacity_ = capacity;
    return true;
}

bool FileWindow::Reach(int64_t end) {
    end = std::min(end, fileSize_);
    if (end <= this->end()) return true;
    if (static_cast<int64_t>(held_) > kLongestHeld && releasedBefore_ > start_) {
        const size_t dropped = static_cast<size_t>(std::min(releasedBefore_, this->end()) - start_);
        std::memmove(bytes_.get(), bytes_.get() + dropped, held_ - dropped);
        held_ -= dropped;
        start_ += static_cast<int64_t>(dropped);
    }
    const int64_t from = this->end();
    const int64_t to = std::min(fileSize_, (end + kBlockBytes - 1) / kBlockBytes * kBlockBytes);
    const size_t count = static_cast<size_t>(to - from);
    if (!Hold(held_ + count)) return false;
    if (fseeko(file_, static_cast<off_t>(from), SEEK_SET) != 0 || std::fread(bytes_.get() + held_, 1, count, file_) != count) {
        return false;
    }
    held_ += count;
    return true;
}

size_t FileWindow::CopyOut(int64_t offset, void* destination, size_t count) const {
    if (offset < start_ || offset >= end()) return 0;
    const size_t copied = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), end() - offset));
    std::memcpy(destination, At(offset), copied);
    return copied;
}

}  // namespace cvx::ogg
