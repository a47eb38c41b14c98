// The stream libvorbisfile reads: a stdio stream over the whole file, or
// over a view of it without some runs, that counts what libvorbisfile's
// reading costs and stops it, while it can be stopped without losing memory,
// once the cost passes a budget or it has read far into a run in which no
// page starts.
//
// libvorbisfile 1.3.7 loses the headers it holds of the later links of a
// chained file when their measuring fails (_bisect_forward_serialno returns
// without freeing them). So it may be stopped only until it has been given
// the first page of a later link (a page that begins a stream, after the
// first link's header pages) other than in its search for the file's last
// page, which comes before it measures any link: from the end of the file
// back by CHUNKSIZE at a time, right after it has sought the end. From then
// on it reads as ov_open would, to the end. The watch over what it is given
// looks only at capture patterns and the header type after them.
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "ogg/page_scan.h"

namespace cvx::ogg {

class VorbisInput {
public:
    // `file` (`fileSizeBytes` long), from its start, less `hiddenRuns` (in
    // file order, within the file). The file stays the caller's: closing
    // the input does not close it. Throws std::bad_alloc only when there
    // are runs to hide.
    VorbisInput(std::FILE* file, int64_t fileSizeBytes, const std::vector<FileRun>& hiddenRuns, int64_t budgetBytes,
                bool stopInALongRun);

    // True once libvorbisfile was stopped: every later read, seek and tell
    // has failed since, so it gave up at once and its answer is not one on
    // the whole file.
    bool stopped() const { return stopped_; }

    // For ov_open_callbacks with a VorbisInput as the data source.
    static const ov_callbacks kCallbacks;

private:
    // A capture pattern and the header type byte after it.
    static constexpr size_t kWatchedHeaderBytes = 6;

    // A hidden run where the reader sees it, and the bytes hidden up to its
    // end.
    struct ViewRun {
        int64_t visibleAt;
        int64_t hiddenThrough;
    };

    static size_t Read(void* destination, size_t size, size_t count, void* source);
    static int Seek(void* source, ogg_int64_t offset, int whence);
    static long Tell(void* source);

    bool MayGoOn();
    void Watch(const unsigned char* delivered, size_t count, int64_t at);
    void SeeCapture(int64_t at, unsigned char headerType);
    void FollowTheSearchForTheLastPage(int whence, int64_t target);
    // The first hidden run the reader meets after `visible`.
    std::vector<ViewRun>::const_iterator FirstRunAfter(int64_t visible) const;
    int64_t FileOffset(int64_t visible) const;
    int64_t ContiguousEnd(int64_t visible) const;

    std::FILE* file_;
    int64_t end_;       // bytes in view
    int64_t position_;  // in view
    int64_t costBytes_ = 0;  // bytes delivered, each seek counted as kSeekCostBytes
    int64_t budgetBytes_;
    const bool stopInALongRun_;
    bool stopped_ = false;
    bool stoppable_ = true;
    // The watch: where the bytes given so far end (in view), their last few
    // (a capture pattern and its header type may span two reads), where the
    // first link's first page without the begin flag is, and where the
    // current run without a capture pattern began.
    int64_t watchedEnd_ = -1;
    unsigned char tail_[kWatchedHeaderBytes - 1];
    size_t tailCount_ = 0;
    int64_t firstPageNotBeginning_ = -1;
    int64_t runStart_ = 0;
    // libvorbisfile's search for the last page: where its next step back
    // would seek, while the seeks since it sought the end have been those
    // steps; and whether what it reads now is one of them.
    int64_t nextStepBack_ = -1;
    bool inSearchForTheLastPage_ = false;
    std::vector<ViewRun> runs_;
};

}  // namespace cvx::ogg
