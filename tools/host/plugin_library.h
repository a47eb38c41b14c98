// A plug-in loaded the way the host loads it: dlopen (LoadLibraryA on
// Windows), the entry points by name, and the file-info object used only
// through its table of virtual operations.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "frame/file_info.h"

namespace cvx::host {

// Destruction through slot 0: the virtual destructor, or on Windows the
// scalar deleting destructor an MSVC-built host calls.
struct FileInfoDeleter {
#if CVX_MSVC_DELETING_DESTRUCTOR
    void operator()(FileInfo* info) const { info->DeletingDestructor(kDeletingDestructorFrees); }
#else
    void operator()(FileInfo* info) const { delete info; }
#endif
};
using FileInfoPtr = std::unique_ptr<FileInfo, FileInfoDeleter>;

class PluginLibrary {
public:
    // Throws std::runtime_error, with the loader's reason, when the library
    // cannot be loaded or lacks GetExtension or CreateFileInfo.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const char* GetExtension(int32_t index) const { return getExtension_(index); }
    FileInfoPtr CreateFileInfo(int32_t kind) const { return FileInfoPtr(createFileInfo_(kind)); }
    using InstallFunction = int32_t(CVX_CDECL*)();
    // Null when the library does not export Install.
    InstallFunction install() const { return install_; }

private:
    void* handle_ = nullptr;
    const char*(CVX_CDECL* getExtension_)(int32_t) = nullptr;
    FileInfo*(CVX_CDECL* createFileInfo_)(int32_t) = nullptr;
    InstallFunction install_ = nullptr;
};

// Everything a reader reports about one file, read through the getters.
struct Reading {
    int32_t openResult;
    int32_t fileSize;
    std::string fileName;
    int32_t length;
    std::string lengthText;
    std::string title, artist, album, comment, genre;
    int32_t year, track;
};

// Opens `path` with `info` and reads every field back.
Reading OpenAndRead(FileInfo& info, const std::string& path);
// Reads every field without opening anything.
Reading ReadFields(FileInfo& info);
// The same into `r`, whose strings keep their capacity: a host reading file
// after file into one record allocates nothing once they have grown.
void OpenAndReadInto(FileInfo& info, const std::string& path, Reading& r);

}  // namespace cvx::host
