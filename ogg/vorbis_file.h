// libvorbisfile's handle on one file, had by the readings README.md names:
// the one-link reading (ogg/vorbis_one_link.h) stands before these; the
// first reading, of the file as it is; the view, without the file's long
// page-free runs; the final reading, of the file as it is once more; and
// past every budget, the file refused.
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "ogg/file_window.h"
#include "ogg/page_scan.h"
#include "ogg/vorbis_input.h"

namespace cvx::ogg {

// The reading that gave the answer.
enum class VorbisReading {
    kFirst,    // the file as it is, within the first budget: every sound file the one-link reading leaves
    kView,     // a view without its long page-free runs
    kFinal,    // the file as it is, within the final budget
    kRefused,  // none: the file is refused
};

// What one reading by libvorbisfile is shown, and how far it may go.
struct ReadingPlan {
    std::vector<FileRun> hiddenRuns;  // none: the file as it is
    int64_t budgetBytes;              // in ReadingCost
    bool stopInALongRun;              // stopped once it reads far into a page-free run

    static ReadingPlan First(int64_t fileSizeBytes);
    static ReadingPlan View(std::vector<FileRun> runs, int64_t fileSizeBytes);
    static ReadingPlan Final(int64_t fileSizeBytes);
};

// An OggVorbis_File over a VorbisInput, cleared with ov_clear when it was
// opened (libvorbisfile clears it itself when opening fails). The stdio
// stream stays the caller's and must outlive it.
class VorbisFile {
public:
    VorbisFile() = default;
    VorbisFile(const VorbisFile&) = delete;
    VorbisFile& operator=(const VorbisFile&) = delete;
    ~VorbisFile() { Clear(); }

    // libvorbisfile's answer on `file`, `sizeBytes` long: true when it
    // opened it. The first reading shows it the file as it is. Only when
    // that reading passes a budget no sound file comes near, or reads far
    // into a run in which no page starts (through which its search would
    // step back, in time quadratic in the run), is it stopped and the file
    // shown as a view without such runs; should even that cost more than the
    // final budget, the file as it is once more, in the final reading. A
    // file that passes the final budget there too is refused. libvorbisfile
    // is stopped only while that loses no memory (ogg/search_watch.h). What
    // `alreadyRead` holds (or null) is not read from the file again.
    bool Open(std::FILE* file, int64_t sizeBytes, const FileWindows* alreadyRead = nullptr);

    OggVorbis_File& get() { return handle_; }
    VorbisReading reading() const { return reading_; }
    // ov_open_callbacks' answer in the reading that gave one: 0, or why
    // libvorbisfile refused the file (OV_ENOTVORBIS, OV_EBADHEADER ...);
    // OV_EFAULT when every reading was stopped.
    int openResult() const { return openResult_; }

private:
    // One ov_open_callbacks by `plan`. True when libvorbisfile answered
    // within the plan's budget; opened_ then says what it answered.
    bool Attempt(std::FILE* file, int64_t sizeBytes, const ReadingPlan& plan, const FileWindows* alreadyRead);
    void Clear();

    std::optional<VorbisInput> input_;  // read by libvorbisfile until ov_clear
    OggVorbis_File handle_{};
    bool opened_ = false;
    int openResult_ = OV_EFAULT;
    VorbisReading reading_ = VorbisReading::kRefused;
};

}  // namespace cvx::ogg
