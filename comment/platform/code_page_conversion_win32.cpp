#include "comment/platform/code_page_conversion_win32.h"

namespace cvx::comment {

namespace {

// No flags and the default replacement character, as the readers' values
// have always been converted.
constexpr DWORD kNoFlags = 0;

int BytesFor(UINT codePage, const wchar_t* units, int count) {
    return WideCharToMultiByte(codePage, kNoFlags, units, count, nullptr, 0, nullptr, nullptr);
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

size_t ConvertToCodePage(UINT codePage, const uint16_t* units, char* out, size_t capacity) {
    if (capacity <= 1) return 0;
    const auto* wide = reinterpret_cast<const wchar_t*>(units);
    const int room = static_cast<int>(capacity);
    const int written = WideCharToMultiByte(codePage, kNoFlags, wide, -1, out, room, nullptr, nullptr);
    if (written > 0) return static_cast<size_t>(written);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return 0;

    // Too long for the field, which happens where one unit takes two bytes:
    // find the most leading units whose text fits before a NUL. The byte
    // count only grows with the units, so a binary search finds it.
    int unitCount = 0;
    while (wide[unitCount] != 0) ++unitCount;
    int fits = 0;
    int tooMany = unitCount;
    while (tooMany - fits > 1) {
        const int middle = fits + (tooMany - fits) / 2;
        const int bytes = BytesFor(codePage, wide, middle);
        if (bytes > 0 && bytes <= room - 1) {
            fits = middle;
        } else {
            tooMany = middle;
        }
    }
    if (fits > 0 && IsHighSurrogate(wide[fits - 1])) --fits;  // keep a pair whole
    if (fits == 0) return 0;
    const int bytes = WideCharToMultiByte(codePage, kNoFlags, wide, fits, out, room - 1, nullptr, nullptr);
    if (bytes <= 0) return 0;
    out[bytes] = '\0';
    return static_cast<size_t>(bytes) + 1;
}

}  // namespace cvx::comment
