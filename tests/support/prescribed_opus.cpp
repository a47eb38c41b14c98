#include <opusfile.h>

#include <memory>

#include "frame/open_file_for_record.h"
#include "opus/opus_file_info.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::testing {

int32_t CVX_THISCALL PrescribedOpusFileInfo::Open(const char* path) noexcept {
    const FilePtr probe = OpenFileForRecord(record_, path);  // no FIFO reaches libopusfile
    ClearTags(record_);
    record_.length = 0;
    if (!probe) return 1;
    int error = 0;
    const std::unique_ptr<OggOpusFile, void (*)(OggOpusFile*)> file(op_open_file(path, &error), op_free);
    if (!file) return 1;
    record_.length = opus::LengthSeconds(op_pcm_total(file.get(), -1));
    if (const OpusTags* tags = op_tags(file.get(), 0)) opus::TakeTags(record_, *tags);
    return 0;
}

}  // namespace cvx::testing
