// A watch over what libvorbisfile is given, to tell while it may still be
// stopped, and whether it has read far into a run in which no page starts.
//
// libvorbisfile 1.3.7 loses the headers it holds of the later links of a
// chained file when their measuring fails (_bisect_forward_serialno returns
// without freeing them). So it may be stopped only until it has been given
// the first page of a later link (a page that begins a stream, after the
// first link's header pages) other than in its search for the file's last
// page, which comes before it measures any link: from the end of the file
// back by CHUNKSIZE at a time, right after it has sought the end. From then
// on it reads as ov_open would, to the end. The watch looks only at capture
// patterns and the header type after them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvx::ogg {

class SearchWatch {
public:
    // Bytes given, `count` of them at `at` in view.
    void SeeRead(const unsigned char* delivered, size_t count, int64_t at);
    // A seek asked for, to `target` in view, by `whence` (SEEK_SET, SEEK_CUR
    // or SEEK_END); `viewSize` is where the view ends.
    void SeeSeek(int whence, int64_t target, int64_t viewSize);

    // True while stopping libvorbisfile loses no memory.
    bool stoppable() const { return stoppable_; }
    // Bytes given since the last capture pattern, or since a seek.
    int64_t bytesSinceACapturePattern() const { return watchedEnd_ - runStart_; }

private:
    // A capture pattern and the header type byte after it.
    static constexpr size_t kWatchedHeaderBytes = 6;

    void SeeCapture(int64_t at, unsigned char headerType);

    bool stoppable_ = true;
    // Where the bytes given so far end (in view), their last few (a capture
    // pattern and its header type may span two reads), where the first
    // link's first page without the begin flag is, and where the current
    // run without a capture pattern began.
    int64_t watchedEnd_ = 0;
    unsigned char tail_[kWatchedHeaderBytes - 1] = {};
    size_t tailCount_ = 0;
    int64_t firstPageNotBeginning_ = -1;
    int64_t runStart_ = 0;
    // libvorbisfile's search for the last page: where its next step back
    // would seek, while the seeks since it sought the end have been those
    // steps; and whether what it reads now is one of them.
    int64_t nextStepBack_ = -1;
    bool inSearchForTheLastPage_ = false;
};

}  // namespace cvx::ogg
