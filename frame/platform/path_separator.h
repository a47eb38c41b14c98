// The platform's path separator, and where it last occurs in a path.
#pragma once

#include <string>

extern const char kPathSeparator;

// Position of the last separator in `path`, or std::string::npos. On
// platforms with double-byte code pages a trail byte equal to the separator
// does not count.
size_t FindLastPathSeparator(const std::string& path);
