// The file-info interface a host calls through the object's table of virtual
// operations. The order of the operations is the binary contract with the
// host and must never change; append nothing, reorder nothing.
#pragma once

#include <cstdint>

#include "frame/calling_convention.h"

class FileInfo {
public:
#if CVX_MSVC_DELETING_DESTRUCTOR
    // Slot 0 as Microsoft's compiler lays it out: one scalar deleting
    // destructor that ends the object's life, frees its memory when bit 0
    // of `flags` is set, and returns the object's address. GCC would give a
    // virtual destructor two slots and shift every operation below by one,
    // so the destructor is not virtual here and slot 0 is this function.
    virtual void* CVX_THISCALL DeletingDestructor(unsigned flags) noexcept = 0;
#else
    // Slot 0: destroying through the interface frees the object.
    virtual ~FileInfo() {}
#endif

    // 0 when the file was read, 1 on failure.
    virtual int32_t CVX_THISCALL Open(const char* path) noexcept = 0;
    // Size in bytes, or -1 when it could not be determined.
    virtual int32_t CVX_THISCALL GetFileSize() noexcept = 0;
    // The text getters copy the field and its NUL into `out` and return the
    // bytes copied. `out` must hold CVX_PATH_FIELD_SIZE bytes for the file
    // name and CVX_TAG_FIELD_SIZE for every tag field (field_sizes.h).
    virtual int32_t CVX_THISCALL GetFileName(char* out) noexcept = 0;
    // Playing time in whole seconds.
    virtual int32_t CVX_THISCALL GetLength() noexcept = 0;
    virtual int32_t CVX_THISCALL GetLengthText(char* out) noexcept = 0;
    virtual int32_t CVX_THISCALL GetTitle(char* out) noexcept = 0;
    virtual int32_t CVX_THISCALL GetArtist(char* out) noexcept = 0;
    virtual int32_t CVX_THISCALL GetAlbum(char* out) noexcept = 0;
    virtual int32_t CVX_THISCALL GetComment(char* out) noexcept = 0;
    virtual int32_t CVX_THISCALL GetGenre(char* out) noexcept = 0;
    virtual int32_t CVX_THISCALL GetYear() noexcept = 0;
    virtual int32_t CVX_THISCALL GetTrack() noexcept = 0;

#if CVX_MSVC_DELETING_DESTRUCTOR
protected:
    // Only DeletingDestructor ends an object's life.
    ~FileInfo() {}
#endif
};

// Bit 0 of DeletingDestructor's flags: free the memory too.
constexpr unsigned kDeletingDestructorFrees = 1;
