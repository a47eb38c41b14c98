#include "ogg/vorbis_file.h"

#include <new>
#include <utility>

#include "ogg/read_limits.h"

namespace cvx::ogg {

ReadingPlan ReadingPlan::First(int64_t fileSizeBytes) { return {{}, FirstReadBudget(fileSizeBytes), true}; }

ReadingPlan ReadingPlan::View(std::vector<FileRun> runs, int64_t fileSizeBytes) {
    return {std::move(runs), FinalReadBudget(fileSizeBytes), false};
}

ReadingPlan ReadingPlan::Final(int64_t fileSizeBytes) { return {{}, FinalReadBudget(fileSizeBytes), false}; }

bool VorbisFile::Open(std::FILE* file, int64_t sizeBytes, const FileWindows* alreadyRead) {
    reading_ = VorbisReading::kFirst;
    if (Attempt(file, sizeBytes, ReadingPlan::First(sizeBytes), alreadyRead)) return opened_;
    try {
        std::vector<FileRun> runs = FindPageFreeRuns(file, sizeBytes);
        reading_ = VorbisReading::kView;
        if (!runs.empty() && Attempt(file, sizeBytes, ReadingPlan::View(std::move(runs), sizeBytes), alreadyRead)) {
            return opened_;
        }
    } catch (const std::bad_alloc&) {
        // The view only saves time.
    }
    reading_ = VorbisReading::kFinal;
    if (Attempt(file, sizeBytes, ReadingPlan::Final(sizeBytes), alreadyRead)) return opened_;
    reading_ = VorbisReading::kRefused;
    openResult_ = OV_EFAULT;
    return false;
}

bool VorbisFile::Attempt(std::FILE* file, int64_t sizeBytes, const ReadingPlan& plan, const FileWindows* alreadyRead) {
    Clear();
    input_.emplace(file, sizeBytes, plan, alreadyRead);
    const int result = ov_open_callbacks(&*input_, &handle_, nullptr, 0, VorbisInput::kCallbacks);
    opened_ = result == 0;
    if (!input_->stopped()) {
        openResult_ = result;
        return true;
    }
    Clear();  // stopped short: whatever it answered is no answer on the file
    return false;
}

void VorbisFile::Clear() {
    if (opened_) ov_clear(&handle_);
    opened_ = false;
}

}  // namespace cvx::ogg
