// The lock is an advisory one (flock) on the folder holding the file: the
// folder outlives the atomic replacement of the file, which a lock on the
// file itself would not, and no lock file is left beside it.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "frame/platform/ini_lock.h"
#include "frame/platform/path_separator.h"
#include "frame/platform/unique_fd_posix.h"

namespace cvx {

namespace {

constexpr int kPollMicroseconds = 2000;

}  // namespace

IniFileLock::IniFileLock(const std::string& path) {
    UniqueFd folder(::open(FolderOfPath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        // No folder, no file to race for: the write will fail or create both.
        held_ = errno == ENOENT;
        return;
    }
    for (int waited = 0; waited <= kIniLockWaitMilliseconds * 1000; waited += kPollMicroseconds) {
        if (::flock(folder.get(), LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            folder_ = std::move(folder);
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        ::usleep(kPollMicroseconds);
    }
}

}  // namespace cvx
