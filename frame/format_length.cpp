#include "frame/format_length.h"

namespace cvx {

namespace {

// Appends `value` as "%02d" prints it: at least two digits, a '-' before a
// negative value. Written out by hand because snprintf costs more than the
// rest of a getter.
void AppendTwoDigitsAtLeast(LengthText& text, int32_t value) {
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) text.Append('-');
    else if (count < 2) text.Append('0');
    while (count > 0) text.Append(digits[--count]);
}

}  // namespace

LengthText FormatLength(int32_t seconds) noexcept {
    // Truncating division keeps each part negative instead of borrowing;
    // (seconds - s) cannot overflow.
    const int32_t s = seconds % 60;
    const int32_t allMinutes = (seconds - s) / 60;
    const int32_t m = allMinutes % 60;
    const int32_t h = (allMinutes - m) / 60;

    LengthText text;
    if (h >= 1) {
        AppendTwoDigitsAtLeast(text, h);
        text.Append(':');
    }
    AppendTwoDigitsAtLeast(text, m);
    text.Append(':');
    AppendTwoDigitsAtLeast(text, s);
    return text;
}

}  // namespace cvx
