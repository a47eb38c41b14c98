// The ID3v1 reader on arbitrary file tails, CopyTrimmed on arbitrary bytes
// and GenreName on arbitrary indexes.
#include <cstdint>
#include <cstring>

#include "flac/genres.h"
#include "flac/id3v1.h"
#include "fuzz/check.h"
#include "fuzz/memory_file.h"

namespace {

constexpr size_t kId3v1TextSize = 30;
constexpr size_t kLongestGenre = 17;  // "Christian Gangsta"

void CheckGenre(int32_t index) {
    char name[kLongestGenre + 1 + 8];
    std::memset(name, 0x5A, sizeof name);
    GenreName(name, index);
    if (index >= 0 && index < static_cast<int32_t>(kGenreNames.size())) {
        FUZZ_CHECK(std::strcmp(name, kGenreNames[static_cast<size_t>(index)]) == 0);
    } else {
        FUZZ_CHECK(name[0] == '\0');
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
    FUZZ_CHECK(ReadId3v1Tag(record) == 0);
    FUZZ_CHECK(CountOpenDescriptors() == descriptors);
    CheckRecordTerminated(record);
    for (const char* text : {record.title, record.artist, record.album, record.comment}) {
        FUZZ_CHECK(std::strlen(text) <= kId3v1TextSize);
    }
    if (size >= 128 && std::memcmp(data + size - 128, "TAG", 3) == 0) {
        CheckGenre(data[size - 1]);
        char expected[kTagFieldSize];
        GenreName(expected, data[size - 1]);
        FUZZ_CHECK(std::strcmp(record.genre, expected) == 0);
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
        FUZZ_CHECK(length <= n);
        FUZZ_CHECK(length == 0 || trimmed[length - 1] != ' ');
    }
    return 0;
}
