#include <windows.h>

#include <cstring>
#include <vector>

#include "tools/cvxscan/platform/version_info.h"

namespace cvxscan {

namespace {

// One string of the resource's U.S. English, Windows-1252 table, as the
// plug-ins' resource script writes it.
std::string Value(const std::vector<char>& block, const char* key) {
    char* value = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\040904E4\\") + key;
    if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0) {
        return {};
    }
    return std::string(value, strnlen(value, length));  // without its NUL
}

}  // namespace

bool ReadVersionInfo(const std::string& path, VersionInfo& info) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return false;
    info.description = Value(block, "FileDescription");
    info.productVersion = Value(block, "ProductVersion");
    info.fileVersion = Value(block, "FileVersion");
    return true;
}

}  // namespace cvxscan
