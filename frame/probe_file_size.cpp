#include "frame/probe_file_size.h"

#include <limits>

#include "frame/platform/regular_file.h"

namespace cvx {

int32_t ProbeFileSize(const char* path) {
    // Checking that the file is a regular one tells its size as well.
    int64_t sizeBytes = -1;
    if (!OpenRegularFileForReading(path, &sizeBytes)) return -1;
    return FileSizeField(sizeBytes);
}

int32_t FileSizeField(int64_t sizeBytes) {
    if (sizeBytes < 0 || sizeBytes > std::numeric_limits<int32_t>::max()) return -1;
    return static_cast<int32_t>(sizeBytes);
}

}  // namespace cvx
