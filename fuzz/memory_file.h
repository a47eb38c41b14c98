// A file in memory with a path, for the readers that take a path: a memfd
// named through /proc/self/fd. Each fuzz input replaces its contents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/host/open_descriptors.h"

namespace cvx::fuzz {

class MemoryFile {
public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const char* path() const { return path_.c_str(); }
    void Replace(const uint8_t* data, size_t size);

private:
    int fd_;
    std::string path_;
};

}  // namespace cvx::fuzz
