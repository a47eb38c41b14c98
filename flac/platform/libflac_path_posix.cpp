#include <cstring>

#include "flac/platform/libflac_path.h"

// libFLAC passes the name to fopen unchanged: the bytes stay as they are.
bool ToLibFlacPath(const char* path, LibFlacPath& out) {
    const size_t length = std::strlen(path);
    if (length >= kPathFieldSize) return false;
    std::memcpy(out.text, path, length + 1);
    return true;
}
