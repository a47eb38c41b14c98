// DecodeUtf8ToUtf16 with a byte limit, then repeated AppendTagValue into one
// field: the decoder writes no more units than bytes it may read, and the
// field always stays NUL-terminated within 511 bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "comment/append_tag_value.h"
#include "comment/utf8_to_utf16.h"
#include "fuzz/check.h"

namespace cvx::fuzz {

using namespace cvx::comment;

namespace {

void CheckDecoder(const uint8_t* data, size_t size) {
    if (size == 0) return;
    const int32_t limit = static_cast<int32_t>(data[0] % (size + 1));  // 0 .. the bytes there are
    constexpr uint16_t kUntouched = 0xA5A5;
    std::vector<uint16_t> units(static_cast<size_t>(limit) + 8, kUntouched);
    const int32_t written = DecodeUtf8ToUtf16(data, units.data(), limit);
    CHECK(written >= 0 && written <= limit);
    for (size_t i = static_cast<size_t>(limit); i < units.size(); ++i) CHECK(units[i] == kUntouched);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckDecoder(data, size);

    // Values as <length byte><bytes>, appended in turn, with a capacity from
    // the first byte (some beyond the field, which count as the field).
    if (size < 1) return 0;
    const uint32_t capacity = 1 + data[0] * 3u;  // 1 .. 766
    char field[kTagFieldSize + 16];
    std::memset(field, 0x5A, sizeof field);
    field[0] = '\0';
    for (size_t at = 1; at < size;) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        AppendTagValue(field, data + at + 1, static_cast<uint32_t>(length), capacity);
        CHECK(strnlen(field, kTagFieldSize) <= std::min<uint32_t>(capacity, kTagFieldSize) - 1);
        for (size_t i = kTagFieldSize; i < sizeof field; ++i) CHECK(field[i] == 0x5A);
        at += 1 + length;
    }
    return 0;
}

}  // namespace cvx::fuzz
