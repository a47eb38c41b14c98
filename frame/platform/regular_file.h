// Opening audio files for reading. Only regular files are opened: a FIFO, a
// device or a directory would block the caller or feed it endless or
// meaningless bytes, so they count as files that cannot be opened.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

namespace cvx {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A stdio stream for binary reading, or null when `path` is not a regular
// file or cannot be opened. Never blocks on a FIFO. `sizeBytes`, when given,
// receives the file's size in bytes, learned while checking its type.
FilePtr OpenRegularFileForReading(const char* path, int64_t* sizeBytes = nullptr);

}  // namespace cvx
