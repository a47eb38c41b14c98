// Comparing names byte by byte. INI names and extension lists fold ASCII
// letters only; bytes above 0x7F must match exactly, whatever their code
// page.
#pragma once

#include <cstddef>
#include <string>

namespace cvx {

inline char ToAsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when the `length` bytes at `a` and `b` are equal ignoring ASCII case.
inline bool EqualsIgnoringAsciiCase(const char* a, const char* b, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (ToAsciiLower(a[i]) != ToAsciiLower(b[i])) return false;
    }
    return true;
}

inline bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace cvx
