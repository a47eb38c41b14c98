#include "fuzz/memory_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

namespace cvx::fuzz {

MemoryFile::MemoryFile() : fd_(memfd_create("fuzz-input", MFD_CLOEXEC)) {
    if (fd_ < 0) std::abort();
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() { close(fd_); }

void MemoryFile::Replace(const uint8_t* data, size_t size) {
    if (ftruncate(fd_, 0) != 0) std::abort();
    for (size_t done = 0; done < size;) {
        const ssize_t written = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
        if (written <= 0) std::abort();
        done += static_cast<size_t>(written);
    }
}

}  // namespace cvx::fuzz
