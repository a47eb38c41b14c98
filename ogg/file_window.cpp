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
    bytes_.clear();
    start_ = releasedBefore_ = start;
    if (other == nullptr || start < other->start() || start >= other->end()) return;
    try {
        bytes_.assign(other->At(start), other->At(other->end()));
    } catch (const std::bad_alloc&) {
        bytes_.clear();  // read again instead
    }
}

bool FileWindow::Reach(int64_t end) {
    end = std::min(end, fileSize_);
    if (end <= this->end()) return true;
    try {
        if (static_cast<int64_t>(bytes_.size()) > kLongestHeld && releasedBefore_ > start_) {
            const int64_t dropped = std::min(releasedBefore_, this->end()) - start_;
            bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<ptrdiff_t>(dropped));
            start_ += dropped;
        }
        const int64_t from = this->end();
        const int64_t to = std::min(fileSize_, (end + kBlockBytes - 1) / kBlockBytes * kBlockBytes);
        const size_t count = static_cast<size_t>(to - from);
        const size_t held = bytes_.size();
        bytes_.resize(held + count);
        if (fseeko(file_, static_cast<off_t>(from), SEEK_SET) != 0 ||
            std::fread(bytes_.data() + held, 1, count, file_) != count) {
            bytes_.resize(held);
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

size_t FileWindow::CopyOut(int64_t offset, void* destination, size_t count) const {
    if (offset < start_ || offset >= end()) return 0;
    const size_t copied = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), end() - offset));
    std::memcpy(destination, At(offset), copied);
    return copied;
}

}  // namespace cvx::ogg
