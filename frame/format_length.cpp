#include "frame/format_length.h"

#include <cstdio>

std::string FormatLength(int32_t seconds) {
    // Truncating division throughout, so negative input stays negative in
    // every part instead of borrowing; (seconds - s) cannot overflow.
    const int32_t s = seconds % 60;
    const int32_t allMinutes = (seconds - s) / 60;
    const int32_t m = allMinutes % 60;
    const int32_t h = (allMinutes - m) / 60;

    char text[16];
    if (h >= 1) {
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", h, m, s);
    } else {
        std::snprintf(text, sizeof text, "%02d:%02d", m, s);
    }
    return text;
}
