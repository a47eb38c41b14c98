// The lock is a named mutex whose name comes from the file's full path, so
// every process registering in the same plugin.ini waits for the same one.
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "frame/platform/ini_lock.h"

namespace cvx {

namespace {

// "Local\corvane-plugin-ini-" and a hash of the full path in upper case
// (Windows names are case-insensitive; a mutex name may not hold '\').
std::string MutexName(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    std::string name = length > 0 && length < sizeof full ? std::string(full, length) : path;
    CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char text[64];
    std::snprintf(text, sizeof text, "Local\\corvane-plugin-ini-%016llx", static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace

IniFileLock::IniFileLock(const std::string& path) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName(path).c_str());
    if (mutex == nullptr) return;
    // An abandoned mutex (its holder died) is ours now, and the file is whole:
    // it is only ever replaced or written by the profile routines.
    const DWORD waited = WaitForSingleObject(mutex, kIniLockWaitMilliseconds);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return;
    }
    held_ = true;
    handle_ = reinterpret_cast<intptr_t>(mutex);
}

IniFileLock::~IniFileLock() {
    if (!held_) return;
    const auto mutex = reinterpret_cast<HANDLE>(handle_);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

}  // namespace cvx
