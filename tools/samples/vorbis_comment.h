// The Vorbis comment structure both formats store: in an Ogg Vorbis comment
// header packet and in a FLAC VORBIS_COMMENT block.
#pragma once

#include <string>
#include <vector>

#include "tools/samples/bytes.h"

namespace cvx::samples {

// Vendor length and vendor, entry count, then each entry with its length,
// all lengths 32-bit little-endian; entries stored as given.
Bytes VorbisCommentBody(const std::vector<std::string>& entries, const std::string& vendor);

}  // namespace cvx::samples
