#pragma once

#include <cstdint>
#include <cstdio>

// Size of the file at `path` in bytes, or -1 when it cannot be opened, is not
// a regular file, or is too large for int32.
int32_t ProbeFileSize(const char* path);

// The same for a stream already open: seeks to its end and tells. Leaves the
// stream at its end.
int32_t SizeOfOpenFile(std::FILE* file);
