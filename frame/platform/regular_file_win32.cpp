#include <io.h>
#include <windows.h>

#include "frame/platform/regular_file.h"

namespace cvx {

FilePtr OpenRegularFileForReading(const char* path, int64_t* sizeBytes) {
    // fopen refuses a folder, but opens devices ("NUL", "CON", "COM1") and
    // pipes like files; only a file on disk counts.
    FilePtr file(std::fopen(path, "rb"));
    if (!file) return nullptr;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.get())));
    if (GetFileType(handle) != FILE_TYPE_DISK) return nullptr;
    LARGE_INTEGER size;
    if (sizeBytes != nullptr) *sizeBytes = GetFileSizeEx(handle, &size) ? size.QuadPart : -1;
    return file;
}

}  // namespace cvx
