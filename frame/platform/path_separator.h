// The platform's path separator, and where it last occurs in a path.
#pragma once

#include <string>

namespace cvx {

extern const char kPathSeparator;

// Position of the last separator in `path`, or std::string::npos. On
// platforms with double-byte code pages a trail byte equal to the separator
// does not count.
size_t FindLastPathSeparator(const std::string& path);

// The folder holding `path`: everything before its last separator, the root
// itself for a file in the root, "." for a bare name.
inline std::string FolderOfPath(const std::string& path) {
    const size_t separator = FindLastPathSeparator(path);
    if (separator == std::string::npos) return ".";
    return path.substr(0, separator == 0 ? 1 : separator);
}

}  // namespace cvx
