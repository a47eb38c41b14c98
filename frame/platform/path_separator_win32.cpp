#include "frame/platform/code_page_text_win32.h"
#include "frame/platform/path_separator.h"

namespace cvx {

// Paths are in the ANSI code page, where a double-byte character's trail
// byte can be 0x5C, the same byte as '\' (as _mbsrchr knows).
const char kPathSeparator = '\\';

size_t FindLastPathSeparator(const std::string& path) { return FindLastCharacter(kHostCodePage, path, kPathSeparator); }

}  // namespace cvx
