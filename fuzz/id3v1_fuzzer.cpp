// The ID3v1 reader on arbitrary file tails, CopyTrimmed on arbitrary bytes
// and GenreName on arbitrary indexes.
#include <cstdint>
#include <cstring>

#include "flac/genres.h"
#include "flac/id3v1.h"
#include "flac/id3v1_layout.h"
#include "fuzz/check.h"
#include "fuzz/memory_file.h"

namespace cvx::fuzz {

using namespace cvx::flac;
using namespace cvx::host;

namespace {

constexpr size_t kLongestGenre = 17;  // "Christian Gangsta"

void CheckGenre(int32_t index) {
    char name[kLongestGenre + 1 + 8];
    std::memset(name, 0x5A, sizeof name);
    GenreName(name, index);
    if (index >= 0 && index < static_cast<int32_t>(kGenreNames.size())) {
        CHECK(std::strcmp(name, kGenreNames[static_cast<size_t>(index)]) == 0);
    } else {
        CHECK(name[0] == '\0');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file;

    // The input as the whole file: its last 128 bytes are the tag, if any.
    file.Replace(data, size);
    TagRecord record{};
    std::strcpy(record.path, file.path());
    const int descriptors = CountOpenDescriptors();
    CHECK(ReadId3v1Tag(record) == 0);
    CHECK(CountOpenDescriptors() == descriptors);
    CheckRecordTerminated(record);
    for (const char* text : {record.title, record.artist, record.album, record.comment}) {
        CHECK(std::strlen(text) <= kId3v1TextSize);
    }
    if (size >= kId3v1Size && std::memcmp(data + size - kId3v1Size, kId3v1Id, kId3v1IdSize) == 0) {
        CheckGenre(data[size - 1]);
        char expected[kTagFieldSize];
        GenreName(expected, data[size - 1]);
        CHECK(std::strcmp(record.genre, expected) == 0);
    }

    if (size >= 4) {
        int32_t index;
        std::memcpy(&index, data, sizeof index);
        CheckGenre(index);
    }
    const uint32_t n = size > 0 ? data[0] % (kId3v1TextSize + 1) : 0;
    if (size > n) {
        char trimmed[kId3v1TextSize + 1];
        CopyTrimmed(trimmed, reinterpret_cast<const char*>(data + 1), n);
        const size_t length = std::strlen(trimmed);
        CHECK(length <= n);
        CHECK(length == 0 || trimmed[length - 1] != ' ');
    }
    return 0;
}

}  // namespace cvx::fuzz
