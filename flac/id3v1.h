// The ID3v1 tag at the end of a file, read as the fallback for FLAC files
// whose Vorbis comment lacks title, artist or album.
#pragma once

#include <cstdint>

#include "frame/tag_record.h"

namespace cvx::flac {

// Reads the ID3v1 or ID3v1.1 tag in the last 128 bytes of the file named by
// `record.path`. A tag found replaces title, artist, album, comment, year and
// genre wholesale (and the track, for ID3v1.1), with the tag's own bytes
// unconverted; a file without one leaves the record unchanged. Returns 1
// when the file cannot be opened, else 0.
int32_t ReadId3v1Tag(TagRecord& record);

// Copies at most `n` bytes of `src`, stopping at a NUL, drops trailing spaces
// (0x20 only) and terminates `dst`, which must hold n + 1 bytes.
void CopyTrimmed(char* dst, const char* src, uint32_t n);

}  // namespace cvx::flac
