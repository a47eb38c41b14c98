// The FLAC reader: reads the stream information and every Vorbis comment
// block through libFLAC's metadata interface, converts the values to the
// ANSI code page joining repeated names with ", ", and falls back to an
// ID3v1 tag when title, artist or album is still empty.
#pragma once

#include "frame/record_file_info.h"

namespace cvx::flac {

class FlacFileInfo : public RecordFileInfo {
public:
    // 0 when the stream information was read, whether or not any tag was
    // found; 1 otherwise. Every field but path and fileSize is emptied first.
    int32_t CVX_THISCALL Open(const char* path) noexcept override;
};

}  // namespace cvx::flac
