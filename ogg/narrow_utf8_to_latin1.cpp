#include "ogg/narrow_utf8_to_latin1.h"

namespace cvx::ogg {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Continuation bytes that follow a lead byte of three bytes or more.
int TrailingCountOfLongForm(unsigned char lead) {
    if (lead <= 0xEF) return 2;
    if (lead <= 0xF7) return 3;
    if (lead <= 0xFB) return 4;
    return 5;  // 0xFC-0xFD
}

}  // namespace

void NarrowUtf8ToLatin1(const char* src, char* dst, int32_t capacity) {
    if (capacity < 1) return;
    const auto* in = reinterpret_cast<const unsigned char*>(src);
    int32_t allowed = capacity - 1;
    int32_t written = 0;

    while (allowed > 0) {
        const unsigned char lead = *in;
        unsigned char out;
        if (lead == 0x00) {
            break;
        } else if (lead <= 0x7F) {
            out = lead;
            ++in;
        } else if (lead <= 0xBF || lead >= 0xFE) {
            break;  // the text ends here (see the header)
        } else if (lead <= 0xDF) {
            ++in;
            const unsigned char next = *in;
            if (next != 0x00) ++in;  // consumed even when it is no continuation
            if (IsContinuation(next)) {
                const unsigned value = ((lead & 0x1Fu) << 6) | (next & 0x3Fu);
                out = value <= 0xFF ? static_cast<unsigned char>(value) : '?';
            } else {
                out = '?';
            }
        } else {
            ++in;
            for (int i = TrailingCountOfLongForm(lead); i > 0 && IsContinuation(*in); --i) ++in;
            out = '?';
        }
        dst[written++] = static_cast<char>(out);
        --allowed;
    }
    dst[written] = '\0';
}

}  // namespace cvx::ogg
