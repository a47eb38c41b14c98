#pragma once

#include <cstdint>

namespace cvx {

// Size of the file at `path` in bytes, or -1 when it cannot be opened, is not
// a regular file, or is too large for int32.
int32_t ProbeFileSize(const char* path);

// The record's form of a size in bytes: -1 when unknown (negative) or too
// large for int32.
int32_t FileSizeField(int64_t sizeBytes);

}  // namespace cvx
