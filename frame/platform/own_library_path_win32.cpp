// The library's own path on Windows: the module handle the loader passes to
// DllMain, kept from process attach to process detach, and
// GetModuleFileNameA on it.
#include <windows.h>

#include "frame/platform/own_library_path.h"

namespace {

HMODULE gOwnModule = nullptr;
constexpr DWORD kPathBufferSize = MAX_PATH;  // 260 bytes, as the host's own buffers

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    // Thread notifications stay on: the statically linked GCC runtime may
    // keep per-thread data of its own.
    if (reason == DLL_PROCESS_ATTACH) {
        gOwnModule = instance;
    } else if (reason == DLL_PROCESS_DETACH) {
        gOwnModule = nullptr;
    }
    return TRUE;  // the library never refuses to load
}

std::optional<std::string> OwnLibraryPath() {
    if (gOwnModule == nullptr) return std::nullopt;
    char path[kPathBufferSize];
    const DWORD length = GetModuleFileNameA(gOwnModule, path, kPathBufferSize);
    // A full buffer means the path was cut short.
    if (length == 0 || length >= kPathBufferSize) return std::nullopt;
    return std::string(path, length);
}
