// Invariant checks for the fuzz targets: a broken one aborts, which libFuzzer
// reports with the input that caused it.
#pragma once

#include <cstring>
#include <initializer_list>

#include "frame/tag_record.h"

#define CHECK_ABORTS
#include "tests/support/check.h"

namespace cvx::fuzz {

// Every text field of the record ends with a NUL inside the field.
inline void CheckRecordTerminated(const TagRecord& record) {
    for (const char* field : {record.title, record.artist, record.album, record.comment, record.genre}) {
        CHECK(strnlen(field, kTagFieldSize) < kTagFieldSize);
    }
    CHECK(strnlen(record.path, kPathFieldSize) < kPathFieldSize);
}

}  // namespace cvx::fuzz
