#include "frame/probe_file_size.h"

#include <cstdio>
#include <limits>

#include "frame/platform/regular_file.h"

int32_t ProbeFileSize(const char* path) {
    FilePtr file = OpenRegularFileForReading(path);
    if (!file) return -1;
    // Unbuffered, the seek to the end is a single lseek.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return SizeOfOpenFile(file.get());
}

int32_t SizeOfOpenFile(std::FILE* file) {
    if (fseeko(file, 0, SEEK_END) != 0) return -1;
    const off_t endPosition = ftello(file);
    if (endPosition < 0 || endPosition > std::numeric_limits<int32_t>::max()) return -1;
    return static_cast<int32_t>(endPosition);
}
