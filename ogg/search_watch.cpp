#include "ogg/search_watch.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ogg/page_finder.h"
#include "ogg/page_layout.h"
#include "ogg/read_limits.h"

namespace cvx::ogg {

void SearchWatch::SeeCapture(int64_t at, unsigned char headerType) {
    runStart_ = at;
    if ((headerType & kOggBeginsStream) == 0) {
        if (firstPageNotBeginning_ < 0) firstPageNotBeginning_ = at;
    } else if (firstPageNotBeginning_ >= 0 && at > firstPageNotBeginning_ && !inSearchForTheLastPage_) {
        stoppable_ = false;  // a later link begins here, and its headers may be read next
    }
}

void SearchWatch::SeeRead(const unsigned char* delivered, size_t count, int64_t at) {
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
}

void SearchWatch::SeeSeek(int whence, int64_t target, int64_t viewSize) {
    if (whence == SEEK_END) {  // where libvorbisfile begins to measure the file
        nextStepBack_ = std::max<int64_t>(0, viewSize - kVorbisfileChunkSize);
        inSearchForTheLastPage_ = false;
        return;
    }
    inSearchForTheLastPage_ = nextStepBack_ >= 0 && target == nextStepBack_;
    // From the start of the file it steps back no further.
    nextStepBack_ = inSearchForTheLastPage_ && target > 0 ? std::max<int64_t>(0, target - kVorbisfileChunkSize) : -1;
}

}  // namespace cvx::ogg
