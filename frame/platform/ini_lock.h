// Making one registration's read and write of plugin.ini a single step for
// every process that registers through these plug-ins: two plug-ins that
// read the same list at once would each write it back with only their own
// word added, and one word would be lost.
#pragma once

#include <memory>
#include <string>

#if !defined(_WIN32)
#include "frame/platform/unique_fd_posix.h"
#endif

namespace cvx {

// Holds the lock of the INI file at `path` for its lifetime, waiting a few
// seconds at most to get it; `held()` tells whether it got it. Deliberate:
// on POSIX the lock covers the folder holding the file (an advisory lock on
// the folder, which outlives the file's atomic replacement), on Windows the
// file's own name (a named mutex), so two INI files in one folder share a
// lock on POSIX only. Pinned by InstallTest.TwoPlugInsRegisteringAtOnceBothStay
// and InstallTest.ALockHeldPastTheWaitLeavesTheFileAlone, and under Wine by
// install_race.
class IniFileLock {
public:
    explicit IniFileLock(const std::string& path);
    IniFileLock(const IniFileLock&) = delete;
    IniFileLock& operator=(const IniFileLock&) = delete;

    bool held() const { return held_; }

private:
    bool held_ = false;
#if defined(_WIN32)
    // The mutex, while held: released and closed with the lock.
    struct MutexRelease {
        void operator()(void* mutex) const;
    };
    std::unique_ptr<void, MutexRelease> mutex_;
#else
    UniqueFd folder_;  // while held: closing it releases the lock
#endif
};

// How long a registration waits for another to finish.
constexpr int kIniLockWaitMilliseconds = 5000;

}  // namespace cvx
