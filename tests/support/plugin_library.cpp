#include "tests/support/plugin_library.h"

#include <dlfcn.h>

#include <stdexcept>
#include <tuple>

PluginLibrary::PluginLibrary(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error(std::string("dlopen: ") + dlerror());
    getExtension_ = reinterpret_cast<const char* (*)(int32_t)>(dlsym(handle_, "GetExtension"));
    createFileInfo_ = reinterpret_cast<FileInfo* (*)(int32_t)>(dlsym(handle_, "CreateFileInfo"));
    install_ = reinterpret_cast<InstallFunction>(dlsym(handle_, "Install"));
    if (getExtension_ == nullptr || createFileInfo_ == nullptr) {
        dlclose(handle_);
        throw std::runtime_error("entry points missing in " + path);
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

namespace {

auto Fields(const Reading& r) {
    return std::tie(r.openResult, r.fileSize, r.fileName, r.length, r.lengthText, r.title, r.artist, r.album,
                    r.comment, r.genre, r.year, r.track);
}

}  // namespace

bool operator==(const Reading& a, const Reading& b) { return Fields(a) == Fields(b); }

void PrintTo(const Reading& r, std::ostream* out) {
    *out << "{open " << r.openResult << ", size " << r.fileSize << ", name \"" << r.fileName << "\", length "
         << r.length << " \"" << r.lengthText << "\", title \"" << r.title << "\", artist \"" << r.artist
         << "\", album \"" << r.album << "\", comment \"" << r.comment << "\", genre \"" << r.genre
         << "\", year " << r.year << ", track " << r.track << "}";
}
