// Making one registration's read and write of plugin.ini a single step for
// every process that registers through these plug-ins: two plug-ins that
// read the same list at once would each write it back with only their own
// word added, and one word would be lost.
#pragma once

#include <cstdint>
#include <string>

namespace cvx {

// Holds the lock of the INI file at `path` for its lifetime, waiting a few
// seconds at most to get it; `held()` tells whether it got it.
class IniFileLock {
public:
    explicit IniFileLock(const std::string& path);
    ~IniFileLock();
    IniFileLock(const IniFileLock&) = delete;
    IniFileLock& operator=(const IniFileLock&) = delete;

    bool held() const { return held_; }

private:
    bool held_ = false;
    intptr_t handle_ = -1;  // while held, the platform's: a descriptor or a mutex
};

// How long a registration waits for another to finish.
constexpr int kIniLockWaitMilliseconds = 5000;

}  // namespace cvx
