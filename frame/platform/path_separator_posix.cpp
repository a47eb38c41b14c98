#include "frame/platform/path_separator.h"

namespace cvx {

// '/' never occurs inside a multibyte UTF-8 character, so a plain search
// from the end is exact.
const char kPathSeparator = '/';

size_t FindLastPathSeparator(const std::string& path) { return path.rfind(kPathSeparator); }

}  // namespace cvx
