// The library's own path on Windows: the module handle the loader passes to
// DllMain, kept from process attach to process detach, and
// GetModuleFileNameA on it. DllMain also hands back, when the host frees the
// library, what the statically linked C++ runtime keeps until then.
#include <windows.h>

#include "frame/platform/own_library_path.h"

// libstdc++'s release of its emergency pool for exceptions, which a static
// constructor allocates at every load and nothing else frees: without it
// every load and unload of the library lost the pool, and the memory it
// kept from being reused (18 KB a cycle after an Open). Defined in
// libstdc++ (eh_alloc.cc), declared in none of its headers.
namespace __gnu_cxx {
void __freeres() noexcept;
}

namespace {

HMODULE gOwnModule = nullptr;
constexpr DWORD kPathBufferSize = MAX_PATH;  // 260 bytes, as the host's own buffers

}  // namespace

// The loader calls it by this name, outside any namespace.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    // Thread notifications stay on: the statically linked GCC runtime may
    // keep per-thread data of its own.
    if (reason == DLL_PROCESS_ATTACH) {
        gOwnModule = instance;
    } else if (reason == DLL_PROCESS_DETACH) {
        gOwnModule = nullptr;
        // Only when the host frees the library (no reserved pointer): at
        // process exit the memory goes with the process anyway.
        if (reserved == nullptr) __gnu_cxx::__freeres();
    }
    return TRUE;  // the library never refuses to load
}

namespace cvx {

std::optional<std::string> OwnLibraryPath() {
    if (gOwnModule == nullptr) return std::nullopt;
    char path[kPathBufferSize];
    const DWORD length = GetModuleFileNameA(gOwnModule, path, kPathBufferSize);
    // A full buffer means the path was cut short.
    if (length == 0 || length >= kPathBufferSize) return std::nullopt;
    return std::string(path, length);
}

}  // namespace cvx
