#include "ogg/vorbis_file.h"

#include <new>

#include "ogg/read_limits.h"

namespace cvx::ogg {

bool VorbisFile::Open(std::FILE* file, int64_t sizeBytes) {
    reading_ = VorbisReading::kAsItIs;
    if (Attempt(file, sizeBytes, {}, FirstReadBudget(sizeBytes), true)) return opened_;
    try {
        const std::vector<FileRun> runs = FindPageFreeRuns(file, sizeBytes);
        reading_ = VorbisReading::kWithoutRuns;
        if (!runs.empty() && Attempt(file, sizeBytes, runs, FinalReadBudget(sizeBytes), false)) return opened_;
    } catch (const std::bad_alloc&) {
        // The view only saves time.
    }
    reading_ = VorbisReading::kAsItIsAgain;
    if (Attempt(file, sizeBytes, {}, FinalReadBudget(sizeBytes), false)) return opened_;
    reading_ = VorbisReading::kPastEveryBudget;
    return false;
}

bool VorbisFile::Attempt(std::FILE* file, int64_t sizeBytes, const std::vector<FileRun>& hiddenRuns,
                         int64_t budgetBytes, bool stopInALongRun) {
    Clear();
    input_.emplace(file, sizeBytes, hiddenRuns, budgetBytes, stopInALongRun);
    opened_ = ov_open_callbacks(&*input_, &handle_, nullptr, 0, VorbisInput::kCallbacks) == 0;
    if (!input_->stopped()) return true;
    Clear();  // stopped short: whatever it answered is no answer on the file
    return false;
}

void VorbisFile::Clear() {
    if (opened_) ov_clear(&handle_);
    opened_ = false;
}

}  // namespace cvx::ogg
