#include "tools/host/plugin_library.h"

#include <dlfcn.h>

#include <stdexcept>

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

Reading ReadFields(FileInfo& info) {
    Reading r{};
    char text[512];
    r.fileSize = info.GetFileSize();
    info.GetFileName(text);
    r.fileName = text;
    r.length = info.GetLength();
    info.GetLengthText(text);
    r.lengthText = text;
    info.GetTitle(text);
    r.title = text;
    info.GetArtist(text);
    r.artist = text;
    info.GetAlbum(text);
    r.album = text;
    info.GetComment(text);
    r.comment = text;
    info.GetGenre(text);
    r.genre = text;
    r.year = info.GetYear();
    r.track = info.GetTrack();
    return r;
}

Reading OpenAndRead(FileInfo& info, const std::string& path) {
    const int32_t result = info.Open(path.c_str());
    Reading r = ReadFields(info);
    r.openResult = result;
    return r;
}
