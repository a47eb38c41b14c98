// The file-info interface a host calls through the object's table of virtual
// operations. The order of the operations is the binary contract with the
// host and must never change; append nothing, reorder nothing.
#pragma once

#include <cstdint>

class FileInfo {
public:
    // Slot 0: destroying through the interface frees the object.
    virtual ~FileInfo() {}

    // 0 when the file was read, 1 on failure.
    virtual int32_t Open(const char* path) = 0;
    // Size in bytes, or -1 when it could not be determined.
    virtual int32_t GetFileSize() = 0;
    // The text getters copy the field and its NUL into `out` and return the
    // bytes copied. `out` must hold 260 bytes for the file name and 512 for
    // every tag field.
    virtual int32_t GetFileName(char* out) = 0;
    // Playing time in whole seconds.
    virtual int32_t GetLength() = 0;
    virtual int32_t GetLengthText(char* out) = 0;
    virtual int32_t GetTitle(char* out) = 0;
    virtual int32_t GetArtist(char* out) = 0;
    virtual int32_t GetAlbum(char* out) = 0;
    virtual int32_t GetComment(char* out) = 0;
    virtual int32_t GetGenre(char* out) = 0;
    virtual int32_t GetYear() = 0;
    virtual int32_t GetTrack() = 0;
};
