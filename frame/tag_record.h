// The record behind every file-info object: what Open found in one file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/field_sizes.h"

namespace cvx {

inline constexpr size_t kTagFieldSize = CVX_TAG_FIELD_SIZE;    // 511 bytes of text + NUL
inline constexpr size_t kPathFieldSize = CVX_PATH_FIELD_SIZE;  // 259 bytes of path + NUL

// Fields in this order and of these sizes; all text is 8-bit and
// NUL-terminated. A value-initialised record is empty: texts "" and numbers 0.
struct TagRecord {
    int32_t length;  // playing time in whole seconds
    char title[kTagFieldSize];
    char artist[kTagFieldSize];
    char album[kTagFieldSize];
    char comment[kTagFieldSize];
    char genre[kTagFieldSize];
    int32_t year;   // 0 when none
    int32_t track;  // 0 when none
    char path[kPathFieldSize];
    int32_t fileSize;  // bytes, -1 when unknown
};

// Empties title, artist, album, comment and genre and zeroes year and track;
// length, path and fileSize are left alone.
void ClearTags(TagRecord& record);

// Copies title, artist, album, comment, genre, year and track of `from`.
void CopyTags(TagRecord& to, const TagRecord& from);

// Stores `path`. A null path, or one too long for the path field, is not
// stored: the path field is emptied, fileSize becomes -1 and the result is
// false, so that no field names another file than the one asked for.
// fileSize is left alone otherwise (frame/open_file_for_record.h sets it).
bool StorePath(TagRecord& record, const char* path);

// Copies NUL-terminated `text` into a field of `fieldSize` bytes, cut to fit.
void CopyToField(char* field, size_t fieldSize, const char* text);

}  // namespace cvx
