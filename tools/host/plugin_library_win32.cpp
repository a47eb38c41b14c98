#include <windows.h>

#include <stdexcept>

#include "tools/host/plugin_library.h"

namespace cvx::host {

namespace {

std::string LoaderReason(const std::string& path) {
    char text[256] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        GetLastError(), 0, text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    return path + ": " + (reason.empty() ? "cannot be loaded" : reason);
}

// The entry points are plain exported functions: GetProcAddress answers a
// FARPROC, which is cast to their real type.
template <typename Function>
Function EntryPoint(void* handle, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name)));
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) {
    handle_ = LoadLibraryA(path.c_str());
    if (handle_ == nullptr) throw std::runtime_error(LoaderReason(path));
    getExtension_ = EntryPoint<const char*(CVX_CDECL*)(int32_t)>(handle_, "GetExtension");
    createFileInfo_ = EntryPoint<FileInfo*(CVX_CDECL*)(int32_t)>(handle_, "CreateFileInfo");
    install_ = EntryPoint<InstallFunction>(handle_, "Install");
    if (getExtension_ == nullptr || createFileInfo_ == nullptr) {
        FreeLibrary(static_cast<HMODULE>(handle_));
        throw std::runtime_error(path + ": exports no GetExtension or no CreateFileInfo");
    }
}

PluginLibrary::~PluginLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

}  // namespace cvx::host
