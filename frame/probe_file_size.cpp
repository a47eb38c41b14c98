#include "frame/probe_file_size.h"

#include <cstdio>
#include <limits>

#include "frame/platform/regular_file.h"

int32_t ProbeFileSize(const char* path) {
    FilePtr file = OpenRegularFileForReading(path);
    if (!file) return -1;
    if (fseeko(file.get(), 0, SEEK_END) != 0) return -1;
    const off_t endPosition = ftello(file.get());
    if (endPosition < 0 || endPosition > std::numeric_limits<int32_t>::max()) return -1;
    return static_cast<int32_t>(endPosition);
}
