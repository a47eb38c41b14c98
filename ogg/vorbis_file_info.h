// The Ogg Vorbis reader: opens a file through libvorbisfile and fills the
// record with its size, playing time and Vorbis comment values narrowed to
// ISO 8859-1.
#pragma once

#include "frame/record_file_info.h"

namespace cvx::ogg {

class VorbisFileInfo : public RecordFileInfo {
public:
    // 0 when the file was read as Ogg Vorbis, 1 otherwise. On failure path
    // and fileSize are current and every other field keeps its old value.
    int32_t CVX_THISCALL Open(const char* path) noexcept override;
};

// ov_time_total's result in whole seconds: truncated toward zero, 0 for
// OV_EINVAL (not seekable) and for a value that is not finite, the low
// 32 bits of the integer part beyond int32's range.
int32_t WholeSeconds(double totalSeconds);

}  // namespace cvx::ogg
