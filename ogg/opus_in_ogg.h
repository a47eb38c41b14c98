// Ogg Opus streams in files named .ogg, which some programs write: OGG.cvx
// reads them as OPUS.cvx does (opus/opus_file_info.h) when libvorbisfile
// refuses them as not Vorbis.
#pragma once

#include <cstdint>
#include <cstdio>

#include "ogg/file_window.h"

namespace cvx::ogg {

// Whether the file's first page, found as libvorbisfile's _fetch_headers
// looks for it (beginning within the first chunk), begins an Opus stream: a
// beginning-of-stream page whose first packet starts with "OpusHead". What
// `alreadyRead` holds is not read again.
bool FirstStreamIsOpus(std::FILE* file, int64_t sizeBytes, const FileWindows& alreadyRead);

}  // namespace cvx::ogg
