// The identification is a run of "Key=value" strings, each ended by NUL,
// that starts with the product name; it lies in the file as it is written.
#include <cstring>

#include "tools/cvxscan/platform/version_info.h"
#include "tools/cvxscan/whole_file.h"

namespace cvxscan {

namespace {

constexpr char kFirstEntry[] = "ProductName=" CORVANE_PRODUCT_NAME;

}  // namespace

bool ReadVersionInfo(const std::string& path, VersionInfo& info) {
    std::string bytes, error;
    if (!ReadWholeFile(path, bytes, error)) return false;
    // The string with its NUL, so that a prefix elsewhere does not match.
    size_t at = bytes.find(std::string(kFirstEntry, sizeof kFirstEntry));
    if (at == std::string::npos) return false;
    for (; at < bytes.size(); ++at) {
        const size_t end = bytes.find('\0', at);
        const size_t equals = bytes.find('=', at);
        if (end == std::string::npos || equals == std::string::npos || equals > end) break;
        const std::string key = bytes.substr(at, equals - at), value = bytes.substr(equals + 1, end - equals - 1);
        if (key == "FileDescription") info.description = value;
        else if (key == "ProductVersion") info.productVersion = value;
        else if (key == "FileVersion") info.fileVersion = value;
        at = end;
    }
    return true;
}

}  // namespace cvxscan
