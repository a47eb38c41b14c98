#include <windows.h>

#include "flac/platform/libflac_path.h"
#include "frame/platform/code_page_text_win32.h"

namespace cvx::flac {

const char* LibFlacFileName(const char* path, LibFlacPath& buffer) {
    wchar_t wide[kPathFieldSize];
    if (MultiByteToWideChar(kHostCodePage, 0, path, -1, wide, kPathFieldSize) == 0) return nullptr;
    if (WideCharToMultiByte(CP_UTF8, 0, wide, -1, buffer.text, sizeof buffer.text, nullptr, nullptr) == 0) {
        return nullptr;
    }
    return buffer.text;
}

}  // namespace cvx::flac
