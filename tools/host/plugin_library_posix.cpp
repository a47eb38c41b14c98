#include "tools/host/plugin_library.h"

#include <dlfcn.h>

#include <stdexcept>

namespace cvx::host {

PluginLibrary::PluginLibrary(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error(dlerror());
    getExtension_ = reinterpret_cast<const char* (*)(int32_t)>(dlsym(handle_, "GetExtension"));
    createFileInfo_ = reinterpret_cast<FileInfo* (*)(int32_t)>(dlsym(handle_, "CreateFileInfo"));
    install_ = reinterpret_cast<InstallFunction>(dlsym(handle_, "Install"));
    if (getExtension_ == nullptr || createFileInfo_ == nullptr) {
        dlclose(handle_);
        throw std::runtime_error(path + ": exports no GetExtension or no CreateFileInfo");
    }
}

PluginLibrary::~PluginLibrary() { dlclose(handle_); }

}  // namespace cvx::host
