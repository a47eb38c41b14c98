// What each plug-in supplies to the shared frame: its constants and its
// reader. The frame's entry points and registration are compiled into every
// plug-in and refer to these two definitions, made once per plug-in.
#pragma once

#include "frame/file_info.h"

namespace cvx {

struct PluginConstants {
    const char* extension;     // returned by GetExtension(0), e.g. "OGG"
    const char* searchWord;    // lower case, looked for in the extension list
    const char* appendedText;  // added to the extension list, e.g. ", OGG"
};

extern const PluginConstants kPluginConstants;

// A new reader object, or null when memory is exhausted. Never throws.
FileInfo* NewPluginFileInfo() noexcept;

// The object handed to the host: the plug-in's reader as the most derived
// class, so that slot 0 ends the life of exactly this object.
template <class Reader>
class HostFileInfo final : public Reader {
#if CVX_MSVC_DELETING_DESTRUCTOR
public:
    void* CVX_THISCALL DeletingDestructor(unsigned flags) noexcept override {
        void* const self = this;
        this->~HostFileInfo();
        if (flags & kDeletingDestructorFrees) ::operator delete(self);
        return self;
    }
#endif
};

}  // namespace cvx
