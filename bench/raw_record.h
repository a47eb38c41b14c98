// What the floor readers keep of a file: the plug-ins' record, filled with
// the library's bytes as they are.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "bench/readers.h"
#include "frame/platform/regular_file.h"
#include "frame/tag_record.h"

namespace cvx::bench {

// The most text bytes a field holds, before its NUL.
constexpr size_t kMostTextBytes = kTagFieldSize - 1;

// Copies at most kMostTextBytes and the NUL.
inline void CopyRaw(char* field, const char* value, size_t length) {
    if (length > kMostTextBytes) length = kMostTextBytes;
    std::memcpy(field, value, length);
    field[length] = '\0';
}

// Appends `value` to `field`, joining repeated names with ", ".
inline void AppendRaw(char* field, const char* value, size_t length) {
    size_t used = std::strlen(field);
    if (used > 0 && used + 2 < kMostTextBytes) {
        std::memcpy(field + used, ", ", 2);
        used += 2;
    }
    CopyRaw(field + used, value, std::min(length, kMostTextBytes - used));
}

struct RawRecord {
    int32_t length = 0, year = 0, track = 0, fileSize = -1;
    char title[kTagFieldSize] = "", artist[kTagFieldSize] = "", album[kTagFieldSize] = "", comment[kTagFieldSize] = "", genre[kTagFieldSize] = "";

    // The text field a comment name selects, or null; for DATE and
    // TRACKNUMBER `number` then points at the number field.
    char* TextField(const char* name, size_t nameLength, int32_t*& number) {
        number = nullptr;
        auto is = [&](const char* wanted) {
            return std::strlen(wanted) == nameLength && strncasecmp(name, wanted, nameLength) == 0;
        };
        if (is("TITLE")) return title;
        if (is("ARTIST")) return artist;
        if (is("ALBUM")) return album;
        if (is("COMMENT")) return comment;
        if (is("GENRE")) return genre;
        if (is("DATE")) number = &year;
        if (is("TRACKNUMBER")) number = &track;
        return nullptr;
    }

    // One comment entry "NAME=value" of `entryLength` bytes: a text value
    // joined to the field, a number read with atoi, anything else skipped.
    void TakeComment(const char* entry, size_t entryLength) {
        const char* equals = static_cast<const char*>(std::memchr(entry, '=', entryLength));
        if (equals == nullptr) return;
        const size_t nameLength = static_cast<size_t>(equals - entry);
        int32_t* number;
        if (char* field = TextField(entry, nameLength, number)) {
            AppendRaw(field, equals + 1, entryLength - nameLength - 1);
        } else if (number != nullptr) {
            *number = std::atoi(equals + 1);
        }
    }

    void AddTo(PassTotals& totals) const {
        ++totals.files;
        totals.seconds += static_cast<uint64_t>(length);
        totals.textBytes += std::strlen(title) + std::strlen(artist) + std::strlen(album) + std::strlen(comment) +
                            std::strlen(genre) + 7 + static_cast<uint64_t>(year + track) + (fileSize > 0);
    }
};

// fopen, seek to the end, tell, with an unbuffered stream: the seek is then
// one lseek.
inline int32_t ProbeSize(const char* path) {
    const FilePtr file(std::fopen(path, "rb"));
    if (!file) return -1;
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    const long size = std::fseek(file.get(), 0, SEEK_END) == 0 ? std::ftell(file.get()) : -1;
    return size < 0 || size > INT32_MAX ? -1 : static_cast<int32_t>(size);
}

}  // namespace cvx::bench
