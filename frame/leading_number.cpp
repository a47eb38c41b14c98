#include "frame/leading_number.h"

#include <cstdint>

namespace cvx {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int32_t LeadingDecimalNumber(const char* text, size_t length) {
    size_t i = 0;
    while (i < length && IsBlank(text[i])) ++i;

    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // Unsigned arithmetic wraps by definition; the cast back is modular.
    uint32_t value = 0;
    for (; i < length && IsDigit(text[i]); ++i) {
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

int32_t LeadingDecimalNumber(const char* text) {
    return LeadingDecimalNumber(text, SIZE_MAX);
}

}  // namespace cvx
