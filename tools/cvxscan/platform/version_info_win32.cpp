#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/cvxscan/platform/version_info.h"
#include "tools/cvxscan/platform/wide_text_win32.h"

namespace cvxscan {

namespace {

// One string of the resource's U.S. English, Windows-1252 table, as the
// plug-ins' resource script writes it, in UTF-8.
std::string Value(const std::vector<char>& block, const wchar_t* key) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904E4\\") + key;
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0) {
        return {};
    }
    return Utf8(value, wcsnlen(value, length));  // without its NUL
}

}  // namespace

bool ReadVersionInfo(const std::string& path, VersionInfo& info) {
    const std::wstring wide = Wide(path);  // the path is UTF-8 (file_system.h)
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<char> block(size);
    if (!GetFileVersionInfoW(wide.c_str(), 0, size, block.data())) return false;
    info.description = Value(block, L"FileDescription");
    info.productVersion = Value(block, L"ProductVersion");
    info.fileVersion = Value(block, L"FileVersion");
    return true;
}

}  // namespace cvxscan
