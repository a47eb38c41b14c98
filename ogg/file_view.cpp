#include "ogg/file_view.h"

#include <algorithm>
#include <iterator>

#include "ogg/read_limits.h"

namespace cvx::ogg {

FileView::FileView(std::FILE* file, int64_t fileSizeBytes, const std::vector<FileRun>& hiddenRuns,
                   const FileWindows* alreadyRead)
    : file_(file), alreadyRead_(alreadyRead), end_(fileSizeBytes) {
    runs_.reserve(hiddenRuns.size());
    int64_t hidden = 0;
    for (const FileRun& run : hiddenRuns) {
        runs_.push_back({run.start - hidden, hidden + run.length});
        hidden += run.length;
    }
    end_ -= hidden;
}

int64_t FileView::cost() const { return ReadingCost(bytesGiven_, seeks_); }

std::vector<FileView::ViewRun>::const_iterator FileView::FirstRunAfter(int64_t visible) const {
    return std::upper_bound(runs_.begin(), runs_.end(), visible,
                            [](int64_t at, const ViewRun& run) { return at < run.visibleAt; });
}

int64_t FileView::FileOffset(int64_t visible) const {
    const auto next = FirstRunAfter(visible);
    return next == runs_.begin() ? visible : visible + std::prev(next)->hiddenThrough;
}

int64_t FileView::ContiguousEnd(int64_t visible) const {
    const auto next = FirstRunAfter(visible);
    return next == runs_.end() ? end_ : std::min(next->visibleAt, end_);
}

size_t FileView::ReadFile(int64_t fileOffset, unsigned char* destination, size_t count) {
    if (alreadyRead_ != nullptr) {
        if (const size_t copied = alreadyRead_->CopyOut(fileOffset, destination, count)) return copied;
    }
    if (streamAt_ != fileOffset) {
        if (fseeko(file_, static_cast<off_t>(fileOffset), SEEK_SET) != 0) {
            streamAt_ = -1;
            return 0;
        }
        streamAt_ = fileOffset;
    }
    const size_t read = std::fread(destination, 1, count, file_);
    streamAt_ += static_cast<int64_t>(read);
    return read;
}

size_t FileView::Read(unsigned char* destination, size_t count) {
    if (position_ >= end_) return 0;
    count = std::min(count, static_cast<size_t>(end_ - position_));
    size_t done = 0;
    while (done < count) {
        // Up to the next hidden run, then on to the bytes in view after it.
        const size_t piece = std::min(count - done, static_cast<size_t>(ContiguousEnd(position_) - position_));
        const size_t read = ReadFile(FileOffset(position_), destination + done, piece);
        done += read;
        position_ += static_cast<int64_t>(read);
        if (read == 0) break;
    }
    bytesGiven_ += static_cast<int64_t>(done);
    return done;
}

bool FileView::Seek(int64_t position) {
    if (position < 0) return false;
    position_ = position;
    return true;
}

}  // namespace cvx::ogg
