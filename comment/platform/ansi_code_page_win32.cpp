// The ANSI code page on Windows is whatever the system is set to, double-byte
// ones included, so the conversion and every cut go through the system.
#include <windows.h>

#include "comment/platform/ansi_code_page.h"
#include "comment/platform/code_page_conversion_win32.h"
#include "frame/platform/code_page_text_win32.h"

namespace cvx::comment {

size_t ConvertToAnsi(const uint16_t* units, char* out, size_t capacity) {
    return ConvertToCodePage(kHostCodePage, units, out, capacity);
}

size_t WholeAnsiCharacters(const char* text, size_t length, size_t room) {
    return WholeCharacterPrefix(kHostCodePage, text, length, room);
}

}  // namespace cvx::comment
