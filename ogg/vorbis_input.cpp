#include "ogg/vorbis_input.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "ogg/page_layout.h"
#include "ogg/read_limits.h"

namespace cvx::ogg {

VorbisInput::VorbisInput(std::FILE* file, int64_t fileSizeBytes, const std::vector<FileRun>& hiddenRuns,
                         int64_t budgetBytes, bool stopInALongRun)
    : file_(file), end_(fileSizeBytes), position_(0), budgetBytes_(budgetBytes), stopInALongRun_(stopInALongRun) {
    runs_.reserve(hiddenRuns.size());
    int64_t hidden = 0;
    for (const FileRun& run : hiddenRuns) {
        runs_.push_back({run.start - hidden, hidden + run.length});
        hidden += run.length;
    }
    end_ -= hidden;
    if (fseeko(file_, 0, SEEK_SET) != 0) end_ = 0;
}

const ov_callbacks VorbisInput::kCallbacks = {Read, Seek, nullptr, Tell};

bool VorbisInput::MayGoOn() {
    if (stoppable_ && costBytes_ >= budgetBytes_) stopped_ = true;
    return !stopped_;
}

void VorbisInput::SeeCapture(int64_t at, unsigned char headerType) {
    runStart_ = at;
    if ((headerType & kOggBeginsStream) == 0) {
        if (firstPageNotBeginning_ < 0) firstPageNotBeginning_ = at;
    } else if (firstPageNotBeginning_ >= 0 && at > firstPageNotBeginning_ && !inSearchForTheLastPage_) {
        stoppable_ = false;  // a later link begins here, and its headers may be read next
    }
}

void VorbisInput::Watch(const unsigned char* delivered, size_t count, int64_t at) {
    if (!stoppable_ || count == 0) return;
    if (at != watchedEnd_) {  // a seek came between: nothing carries over
        tailCount_ = 0;
        runStart_ = at;
    }
    // Capture patterns that begin in the tail of the last read.
    unsigned char joined[2 * kWatchedHeaderBytes];
    std::memcpy(joined, tail_, tailCount_);
    const size_t headCount = std::min(count, kWatchedHeaderBytes);
    std::memcpy(joined + tailCount_, delivered, headCount);
    for (size_t i = 0; i < tailCount_ && i + kWatchedHeaderBytes <= tailCount_ + headCount; ++i) {
        if (std::memcmp(joined + i, kOggCapturePattern, kOggCaptureSize) == 0) {
            SeeCapture(at - static_cast<int64_t>(tailCount_ - i), joined[i + kOggHeaderTypeOffset]);
        }
    }
    // Those that begin in this read and end in it; the rest are the tail's.
    const unsigned char* const end = delivered + count;
    for (const unsigned char* capture = FindCapturePattern(delivered, end);
         capture != nullptr && end - capture >= static_cast<ptrdiff_t>(kWatchedHeaderBytes);
         capture = FindCapturePattern(capture + 1, end)) {
        SeeCapture(at + (capture - delivered), capture[kOggHeaderTypeOffset]);
    }
    // The tail: the last bytes that could still begin a capture pattern.
    unsigned char newTail[kWatchedHeaderBytes - 1];
    const size_t keep = std::min(sizeof newTail, tailCount_ + count);
    const size_t fromOld = keep > count ? keep - count : 0;
    std::memcpy(newTail, tail_ + tailCount_ - fromOld, fromOld);
    std::memcpy(newTail + fromOld, end - (keep - fromOld), keep - fromOld);
    std::memcpy(tail_, newTail, keep);
    tailCount_ = keep;
    watchedEnd_ = at + static_cast<int64_t>(count);

    if (stopInALongRun_ && stoppable_ && watchedEnd_ - runStart_ >= kLongestRunRead) stopped_ = true;
}

std::vector<VorbisInput::ViewRun>::const_iterator VorbisInput::FirstRunAfter(int64_t visible) const {
    return std::upper_bound(runs_.begin(), runs_.end(), visible,
                            [](int64_t at, const ViewRun& run) { return at < run.visibleAt; });
}

int64_t VorbisInput::FileOffset(int64_t visible) const {
    const auto next = FirstRunAfter(visible);
    return next == runs_.begin() ? visible : visible + std::prev(next)->hiddenThrough;
}

int64_t VorbisInput::ContiguousEnd(int64_t visible) const {
    const auto next = FirstRunAfter(visible);
    return next == runs_.end() ? end_ : std::min(next->visibleAt, end_);
}

void VorbisInput::FollowTheSearchForTheLastPage(int whence, int64_t target) {
    if (whence == SEEK_END) {  // where libvorbisfile begins to measure the file
        nextStepBack_ = std::max<int64_t>(0, end_ - kVorbisfileChunkSize);
        inSearchForTheLastPage_ = false;
        return;
    }
    inSearchForTheLastPage_ = nextStepBack_ >= 0 && target == nextStepBack_;
    // From the start of the file it steps back no further.
    nextStepBack_ = inSearchForTheLastPage_ && target > 0 ? std::max<int64_t>(0, target - kVorbisfileChunkSize) : -1;
}

size_t VorbisInput::Read(void* destination, size_t size, size_t count, void* source) {
    auto& in = *static_cast<VorbisInput*>(source);
    if (!in.MayGoOn()) {
        errno = EIO;  // libvorbisfile takes a short read with errno set for a read error
        return 0;
    }
    const int64_t at = in.position_;
    if (size == 0 || in.position_ >= in.end_) return 0;
    const size_t wanted = std::min(count, static_cast<size_t>(in.end_ - in.position_) / size) * size;
    auto* out = static_cast<char*>(destination);
    size_t done = 0;
    while (done < wanted) {
        const int64_t contiguousEnd = in.ContiguousEnd(in.position_);
        const size_t piece = std::min(wanted - done, static_cast<size_t>(contiguousEnd - in.position_));
        const size_t read = std::fread(out + done, 1, piece, in.file_);
        done += read;
        in.position_ += static_cast<int64_t>(read);
        if (read < piece) break;
        // At a hidden run: on to the bytes in view after it.
        if (in.position_ == contiguousEnd && contiguousEnd < in.end_ &&
            fseeko(in.file_, static_cast<off_t>(in.FileOffset(in.position_)), SEEK_SET) != 0) {
            break;
        }
    }
    in.costBytes_ += static_cast<int64_t>(done);
    in.Watch(static_cast<const unsigned char*>(destination), done, at);
    return done / size;
}

int VorbisInput::Seek(void* source, ogg_int64_t offset, int whence) {
    auto& in = *static_cast<VorbisInput*>(source);
    if (!in.MayGoOn()) return -1;
    in.costBytes_ += kSeekCostBytes;
    int64_t target;
    switch (whence) {
        case SEEK_SET: target = offset; break;
        case SEEK_CUR: target = in.position_ + offset; break;
        case SEEK_END: target = in.end_ + offset; break;
        default: return -1;
    }
    if (target < 0 || fseeko(in.file_, static_cast<off_t>(in.FileOffset(target)), SEEK_SET) != 0) return -1;
    in.position_ = target;
    in.FollowTheSearchForTheLastPage(whence, target);
    return 0;
}

long VorbisInput::Tell(void* source) {
    auto& in = *static_cast<VorbisInput*>(source);
    return in.stopped_ ? -1 : static_cast<long>(in.position_);
}

}  // namespace cvx::ogg
