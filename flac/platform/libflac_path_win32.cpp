#include <windows.h>

#include "flac/platform/libflac_path.h"

bool ToLibFlacPath(const char* path, LibFlacPath& out) {
    wchar_t wide[kPathFieldSize];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kPathFieldSize) == 0) return false;
    return WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.text, sizeof out.text, nullptr, nullptr) != 0;
}
