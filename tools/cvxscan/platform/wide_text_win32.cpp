#include "tools/cvxscan/platform/wide_text_win32.h"

namespace cvxscan {

std::wstring WideFrom(UINT codePage, const char* text, size_t bytes) {
    if (bytes == 0) return {};
    const int units = MultiByteToWideChar(codePage, 0, text, static_cast<int>(bytes), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(codePage, 0, text, static_cast<int>(bytes), wide.data(), units);
    return wide;
}

std::string Utf8(const wchar_t* wide, size_t units) {
    if (units == 0) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(units), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(units), utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

}  // namespace cvxscan
