// Invariant checks for the fuzz targets: a broken one aborts, which libFuzzer
// reports with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "frame/tag_record.h"

#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

// Every text field of the record ends with a NUL inside the field.
inline void CheckRecordTerminated(const TagRecord& record) {
    for (const char* field : {record.title, record.artist, record.album, record.comment, record.genre}) {
        FUZZ_CHECK(strnlen(field, kTagFieldSize) < kTagFieldSize);
    }
    FUZZ_CHECK(strnlen(record.path, kPathFieldSize) < kPathFieldSize);
}
