#include "comment/utf8_to_utf16.h"

namespace cvx::comment {

namespace {

// Leading 1 bits of a byte: 0 for ASCII, 1 for a continuation byte, 2-6 for
// the lead byte of a 2- to 6-byte form, 7 for 0xFE and 8 for 0xFF.
int LeadingOnes(uint8_t c) {
    if (c < 0x80) return 0;
    if (c < 0xC0) return 1;
    if (c < 0xE0) return 2;
    if (c < 0xF0) return 3;
    if (c < 0xF8) return 4;
    if (c < 0xFC) return 5;
    if (c < 0xFE) return 6;
    return c == 0xFE ? 7 : 8;
}

constexpr uint32_t kLargestUnit = 0xFFFF;
constexpr uint16_t kReplacement = '?';

}  // namespace

int32_t DecodeUtf8ToUtf16(const uint8_t* src, uint16_t* dst, int32_t count) {
    int32_t read = 0;
    int32_t written = 0;
    auto limitReached = [&] { return count >= 0 && read >= count; };

    while (!limitReached()) {
        const uint8_t c = src[read++];
        if (c != 0 && c < 0x80) {  // ASCII, by far the most text
            dst[written++] = c;
            continue;
        }
        const int n = LeadingOnes(c);
        if (n == 1 || n >= 7) continue;  // no character starts here (see the header)

        uint32_t unit = c;
        if (n >= 2) {
            unit = static_cast<uint32_t>(c & (0x7Fu >> n)) << (6 * (n - 1));
            for (int shift = 6 * (n - 2); shift >= 0; shift -= 6) {
                if (limitReached()) return written;
                const uint8_t next = src[read++];
                if ((next & 0xC0) != 0x80) return written;
                unit |= static_cast<uint32_t>(next & 0x3F) << shift;
            }
        }
        if (unit > kLargestUnit) unit = kReplacement;
        dst[written++] = static_cast<uint16_t>(unit);
        if (unit == 0) break;
    }
    return written;
}

}  // namespace cvx::comment
