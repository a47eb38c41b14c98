#include <opusfile.h>

#include <memory>

#include "frame/platform/regular_file.h"
#include "frame/probe_file_size.h"
#include "opus/opus_file_info.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::testing {

int32_t CVX_THISCALL PrescribedOpusFileInfo::Open(const char* path) noexcept {
    if (!StorePath(record_, path)) return 1;
    ClearTags(record_);
    record_.length = 0;
    int64_t sizeBytes = -1;
    const FilePtr probe = OpenRegularFileForReading(path, &sizeBytes);  // no FIFO reaches libopusfile
    record_.fileSize = probe ? FileSizeField(sizeBytes) : -1;
    if (!probe) return 1;
    int error = 0;
    const std::unique_ptr<OggOpusFile, void (*)(OggOpusFile*)> file(op_open_file(path, &error), op_free);
    if (!file) return 1;
    record_.length = opus::LengthSeconds(op_pcm_total(file.get(), -1));
    if (const OpusTags* tags = op_tags(file.get(), 0)) opus::TakeTags(record_, *tags);
    return 0;
}

}  // namespace cvx::testing
