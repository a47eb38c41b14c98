// The stream libvorbisfile reads in one reading (ogg/vorbis_file.h): a view
// of the file (ogg/file_view.h) that stops libvorbisfile, while the watch
// over its search (ogg/search_watch.h) says it loses no memory by it, once
// the reading's cost passes its budget or, where the plan says so, once it
// has read far into a run in which no page starts.
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <cstdio>

#include "ogg/file_view.h"
#include "ogg/search_watch.h"

namespace cvx::ogg {

struct ReadingPlan;

class VorbisInput {
public:
    // `file`, `fileSizeBytes` long, shown as `plan` says; the bytes in
    // `alreadyRead` (or null) are given from memory. Throws std::bad_alloc
    // only when there are runs to hide.
    VorbisInput(std::FILE* file, int64_t fileSizeBytes, const ReadingPlan& plan, const FileWindows* alreadyRead);

    // True once libvorbisfile was stopped: every later read, seek and tell
    // has failed since, so it gave up at once and its answer is not one on
    // the whole file.
    bool stopped() const { return stopped_; }

    // For ov_open_callbacks with a VorbisInput as the data source.
    static const ov_callbacks kCallbacks;

private:
    static size_t Read(void* destination, size_t size, size_t count, void* source);
    static int Seek(void* source, ogg_int64_t offset, int whence);
    static long Tell(void* source);

    bool MayGoOn();

    FileView view_;
    SearchWatch watch_;
    const int64_t budgetBytes_;
    const bool stopInALongRun_;
    bool stopped_ = false;
};

}  // namespace cvx::ogg
