// The lock is a named mutex whose name comes from the file's full path, so
// every process registering in the same plugin.ini waits for the same one.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>

#include "frame/platform/ini_lock.h"

namespace cvx {

namespace {

// "Local\corvane-plugin-ini-" and a hash of the full path in upper case
// (Windows names are case-insensitive; a mutex name may not hold '\'). The
// case is mapped by KERNEL32's LCMapStringA, so that the DLLs import from
// KERNEL32 and msvcrt alone.
std::string MutexName(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    std::string name = length > 0 && length < sizeof full ? std::string(full, length) : path;
    std::string upper(name.size(), '\0');
    if (!name.empty() && LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_UPPERCASE, name.data(), static_cast<int>(name.size()),
                                      upper.data(), static_cast<int>(upper.size())) == static_cast<int>(name.size())) {
        name = upper;
    }
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char text[64];
    std::snprintf(text, sizeof text, "Local\\corvane-plugin-ini-%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// A handle not yet holding the mutex: only closed.
struct HandleCloser {
    void operator()(void* handle) const { CloseHandle(handle); }
};

}  // namespace

IniFileLock::IniFileLock(const std::string& path) {
    std::unique_ptr<void, HandleCloser> mutex(CreateMutexA(nullptr, FALSE, MutexName(path).c_str()));
    if (!mutex) return;
    // An abandoned mutex (its holder died) is ours now, and the file is whole:
    // it is only ever replaced or written by the profile routines.
    const DWORD waited = WaitForSingleObject(mutex.get(), kIniLockWaitMilliseconds);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return;
    held_ = true;
    mutex_.reset(mutex.release());
}

void IniFileLock::MutexRelease::operator()(void* mutex) const {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

}  // namespace cvx
