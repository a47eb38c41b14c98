#include "frame/platform/regular_file.h"

#include "frame/platform/unique_fd_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cvx {

FilePtr OpenRegularFileForReading(const char* path, int64_t* sizeBytes) {
    // O_NONBLOCK keeps open() from waiting for a FIFO's writer; the type is
    // then checked on the descriptor itself, so nothing can swap the file in
    // between. On a regular file the flag changes nothing, so it stays.
    UniqueFd fd(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) return nullptr;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    std::FILE* file = ::fdopen(fd.get(), "rb");
    if (file == nullptr) return nullptr;
    fd.release();  // the stream closes it now
    if (sizeBytes != nullptr) *sizeBytes = static_cast<int64_t>(info.st_size);
    return FilePtr(file);
}

}  // namespace cvx
