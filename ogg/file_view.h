// What libvorbisfile is shown of a file: the file as it is, or a view of it
// without some runs, and what showing it costs. Bytes a reading before this
// one already read (ogg/file_window.h) are given again from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "ogg/file_window.h"
#include "ogg/page_scan.h"

namespace cvx::ogg {

class FileView {
public:
    // `file` (`fileSizeBytes` long), from its start, less `hiddenRuns` (in
    // file order, within the file). The stream stays the caller's. Throws
    // std::bad_alloc only when there are runs to hide.
    FileView(std::FILE* file, int64_t fileSizeBytes, const std::vector<FileRun>& hiddenRuns,
             const FileWindows* alreadyRead);

    int64_t size() const { return end_; }  // bytes in view
    int64_t position() const { return position_; }

    // Up to `count` bytes from the position on, fewer at the end of the view
    // or on a read error; the position moves past them.
    size_t Read(unsigned char* destination, size_t count);
    // False when `position` lies outside the file or the stream cannot seek.
    bool Seek(int64_t position);

    // What the reading has cost so far (ReadingCost in ogg/read_limits.h):
    // bytes given, every seek asked for counted too, even a failing one.
    int64_t cost() const;
    void CountSeek() { ++seeks_; }

private:
    // A hidden run where the reader sees it, and the bytes hidden up to its
    // end.
    struct ViewRun {
        int64_t visibleAt;
        int64_t hiddenThrough;
    };

    // The first hidden run the reader meets after `visible`.
    std::vector<ViewRun>::const_iterator FirstRunAfter(int64_t visible) const;
    int64_t FileOffset(int64_t visible) const;
    int64_t ContiguousEnd(int64_t visible) const;
    // Reads file bytes from `fileOffset` on, from memory where they were
    // read before, else from the stream.
    size_t ReadFile(int64_t fileOffset, unsigned char* destination, size_t count);

    std::FILE* file_;
    const FileWindows* alreadyRead_;
    int64_t end_;
    int64_t position_ = 0;
    int64_t streamAt_ = -1;  // where the stream stands in the file, -1 when unknown
    int64_t bytesGiven_ = 0;
    int64_t seeks_ = 0;
    std::vector<ViewRun> runs_;
};

}  // namespace cvx::ogg
