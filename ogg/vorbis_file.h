// libvorbisfile's handle on one file, opened on the file as it is; and the
// one case in which libvorbisfile is shown anything else.
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "ogg/page_scan.h"
#include "ogg/vorbis_input.h"

namespace cvx::ogg {

// The reading that gave the answer.
enum class VorbisReading {
    kAsItIs,         // the file as it is, within the first budget: every sound file
    kWithoutRuns,    // a view without its long page-free runs
    kAsItIsAgain,    // the file as it is, within the final budget
    kPastEveryBudget,  // none: the file is refused
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
    // opened it. It reads the file as it is. Only when that reading passes
    // a budget no sound file comes near, or reads far into a run in which
    // no page starts (through which its search would step back, in time
    // quadratic in the run), is the attempt stopped and the file opened on
    // a view without such runs; should even that cost more than a final
    // budget, on the file as it is once more. A file that passes the final
    // budget there too is refused. libvorbisfile is stopped only while that
    // loses no memory (ogg/vorbis_input.h).
    bool Open(std::FILE* file, int64_t sizeBytes);

    OggVorbis_File& get() { return handle_; }
    VorbisReading reading() const { return reading_; }

private:
    // One ov_open_callbacks on a new input. True when libvorbisfile
    // answered within the budget; opened_ then says what it answered.
    bool Attempt(std::FILE* file, int64_t sizeBytes, const std::vector<FileRun>& hiddenRuns, int64_t budgetBytes,
                 bool stopInALongRun);
    void Clear();

    std::optional<VorbisInput> input_;  // read by libvorbisfile until ov_clear
    OggVorbis_File handle_{};
    bool opened_ = false;
    VorbisReading reading_ = VorbisReading::kPastEveryBudget;
};

}  // namespace cvx::ogg
