#include "comment/append_tag_value.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "comment/platform/ansi_code_page.h"
#include "comment/utf8_to_utf16.h"
#include "frame/tag_record.h"

namespace cvx::comment {

namespace {

constexpr char kSeparator[] = ", ";

// Appends `text` to the NUL-terminated `field`, cut so the field holds at
// most capacity - 1 bytes and never half a character.
void AppendCut(char* field, const char* text, size_t capacity) {
    const size_t used = std::strlen(field);
    const size_t room = capacity - 1 - std::min(used, capacity - 1);
    const size_t count = WholeAnsiCharacters(text, std::strlen(text), room);
    std::memcpy(field + used, text, count);
    field[used + count] = '\0';
}

// Length of the leading run of ASCII bytes other than NUL. Each such byte is
// its own 16-bit unit and its own character in the code page, and the
// decoder starts afresh at every character, so the run is simply copied and
// only the rest goes through decoding and conversion.
uint32_t PlainAsciiPrefix(const uint8_t* value, uint32_t length) {
    uint32_t i = 0;
    while (i < length && value[i] != 0 && value[i] < 0x80) ++i;
    return i;
}

}  // namespace

void AppendTagValue(char* field, const uint8_t* value, uint32_t length, uint32_t capacity) {
    if (capacity == 0) return;
    capacity = std::min<uint32_t>(capacity, kTagFieldSize);  // no field is larger

    const uint32_t bytesToRead = std::min(length, capacity - 1);
    const uint32_t plain = PlainAsciiPrefix(value, bytesToRead);
    std::array<char, kTagFieldSize> converted;
    std::memcpy(converted.data(), value, plain);
    if (plain == bytesToRead) {
        if (plain == 0) return;  // nothing decoded
        converted[plain] = '\0';
    } else {
        // One unit per byte read, and room for a terminator after the last.
        std::array<uint16_t, kTagFieldSize> units;
        const int32_t unitCount =
            DecodeUtf8ToUtf16(value + plain, units.data(), static_cast<int32_t>(bytesToRead - plain));
        if (plain == 0 && unitCount == 0) return;
        if (unitCount == 0 || units[unitCount - 1] != 0) units[unitCount] = 0;
        if (ConvertToAnsi(units.data(), converted.data() + plain, capacity - plain) == 0) return;
    }

    if (field[0] != '\0') AppendCut(field, kSeparator, capacity);
    AppendCut(field, converted.data(), capacity);
}

}  // namespace cvx::comment
