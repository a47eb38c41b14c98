// The plug-in's exported entry points. They only check their argument and
// hand over to plain C++; they and every operation of the object are
// noexcept, so nothing thrown inside can cross the boundary.
#include <cstdint>

#include "frame/export.h"
#include "frame/file_info.h"
#include "frame/install.h"
#include "frame/platform/own_library_path.h"
#include "frame/plugin.h"

CVX_EXPORT const char* CVX_CDECL GetExtension(int32_t index) noexcept {
    return index == 0 ? cvx::kPluginConstants.extension : nullptr;
}

CVX_EXPORT FileInfo* CVX_CDECL CreateFileInfo(int32_t kind) noexcept {
    if (kind != 0) return nullptr;
    return cvx::NewPluginFileInfo();
}

CVX_EXPORT int32_t CVX_CDECL Install() noexcept {
    try {
        return cvx::RegisterExtension(cvx::OwnLibraryPath(), cvx::kPluginConstants);
    } catch (...) {  // memory exhausted: nothing was written
        return 0;
    }
}
