// Windows' UTF-16 text and cvxscan's 8-bit text: UTF-8 for paths within
// cvxscan (file_system.h), the host's ANSI code page for what the plug-ins
// take and give.
#pragma once

#include <windows.h>

#include <string>

namespace cvxscan {

// `bytes` bytes of text in `codePage`, as UTF-16.
std::wstring WideFrom(UINT codePage, const char* text, size_t bytes);
inline std::wstring WideFrom(UINT codePage, const std::string& text) {
    return WideFrom(codePage, text.data(), text.size());
}
inline std::wstring Wide(const std::string& utf8) { return WideFrom(CP_UTF8, utf8); }

// `units` units of UTF-16, as UTF-8.
std::string Utf8(const wchar_t* wide, size_t units);
inline std::string Utf8(const std::wstring& wide) { return Utf8(wide.data(), wide.size()); }

}  // namespace cvxscan
