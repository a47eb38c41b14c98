/* A plug-in as a host written in C sees it: three entry points found by
 * name, and file-info objects that are a pointer to a table of functions in
 * slot order. On 32-bit Windows the table is the one Microsoft's compiler
 * lays out: one scalar deleting destructor, every slot __thiscall. Elsewhere
 * it is the Itanium C++ ABI's: two destructor entries, then the operations.
 */
#ifndef FILE_INFO_SLOTS_H
#define FILE_INFO_SLOTS_H

#include <stdint.h>

#include "../../frame/field_sizes.h"

#if defined(_WIN32)
#include <windows.h>
/* GCC applies __thiscall to C function pointers (`this` in ECX, callee pops
   the rest) but warns that C has no member functions. */
#pragma GCC diagnostic ignored "-Wattributes"
#define SLOT_CALL __thiscall
#define ENTRY_CALL __cdecl
#else
#include <dlfcn.h>
#define SLOT_CALL
#define ENTRY_CALL
#endif

typedef struct FileInfo FileInfo;

typedef struct FileInfoSlots {
#if defined(_WIN32)
    void*(SLOT_CALL* DeletingDestructor)(FileInfo* self, unsigned flags);
#else
    void (*CompleteDestructor)(FileInfo* self);
    void (*DeletingDestructor)(FileInfo* self);
#endif
    int32_t(SLOT_CALL* Open)(FileInfo* self, const char* path);
    int32_t(SLOT_CALL* GetFileSize)(FileInfo* self);
    int32_t(SLOT_CALL* GetFileName)(FileInfo* self, char* out);
    int32_t(SLOT_CALL* GetLength)(FileInfo* self);
    int32_t(SLOT_CALL* GetLengthText)(FileInfo* self, char* out);
    int32_t(SLOT_CALL* GetTitle)(FileInfo* self, char* out);
    int32_t(SLOT_CALL* GetArtist)(FileInfo* self, char* out);
    int32_t(SLOT_CALL* GetAlbum)(FileInfo* self, char* out);
    int32_t(SLOT_CALL* GetComment)(FileInfo* self, char* out);
    int32_t(SLOT_CALL* GetGenre)(FileInfo* self, char* out);
    int32_t(SLOT_CALL* GetYear)(FileInfo* self);
    int32_t(SLOT_CALL* GetTrack)(FileInfo* self);
} FileInfoSlots;

struct FileInfo {
    const FileInfoSlots* slots;
};

typedef const char*(ENTRY_CALL* GetExtensionEntry)(int32_t index);
typedef FileInfo*(ENTRY_CALL* CreateFileInfoEntry)(int32_t kind);
typedef int32_t(ENTRY_CALL* InstallEntry)(void);

typedef struct Plugin {
    void* library;
    GetExtensionEntry GetExtension;
    CreateFileInfoEntry CreateFileInfo;
    InstallEntry Install;
} Plugin;

/* Loads the plug-in at `path` and finds its entry points; 0 on failure. */
static int LoadPlugin(const char* path, Plugin* plugin) {
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(path);
    plugin->library = module;
    if (module == NULL) return 0;
    plugin->GetExtension = (GetExtensionEntry)(void (*)(void))GetProcAddress(module, "GetExtension");
    plugin->CreateFileInfo = (CreateFileInfoEntry)(void (*)(void))GetProcAddress(module, "CreateFileInfo");
    plugin->Install = (InstallEntry)(void (*)(void))GetProcAddress(module, "Install");
#else
    plugin->library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (plugin->library == NULL) return 0;
    *(void**)&plugin->GetExtension = dlsym(plugin->library, "GetExtension");
    *(void**)&plugin->CreateFileInfo = dlsym(plugin->library, "CreateFileInfo");
    *(void**)&plugin->Install = dlsym(plugin->library, "Install");
#endif
    return plugin->GetExtension != NULL && plugin->CreateFileInfo != NULL && plugin->Install != NULL;
}

static void UnloadPlugin(Plugin* plugin) {
    if (plugin->library == NULL) return;
#if defined(_WIN32)
    FreeLibrary((HMODULE)plugin->library);
#else
    dlclose(plugin->library);
#endif
    plugin->library = NULL;
}

/* Destroys and frees the object, as `delete` in the host does. */
static void DestroyFileInfo(FileInfo* object) {
#if defined(_WIN32)
    object->slots->DeletingDestructor(object, 1);
#else
    object->slots->DeletingDestructor(object);
#endif
}

#endif
