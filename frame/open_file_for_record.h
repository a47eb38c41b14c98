// The first step of every reader's Open: the path and the size into the
// record, and the file opened.
#pragma once

#include <cstdint>

#include "frame/platform/regular_file.h"
#include "frame/tag_record.h"

namespace cvx {

// Stores `path` in the record (StorePath: a null path, or one too long for
// the field, empties the field and opens nothing) and opens it when it
// names a regular file (OpenRegularFileForReading). fileSize becomes the
// file's size (FileSizeField: -1 beyond int32), or -1 when nothing opened;
// `sizeBytes`, when given, receives the whole size. No other field changes.
FilePtr OpenFileForRecord(TagRecord& record, const char* path, int64_t* sizeBytes = nullptr);

}  // namespace cvx
