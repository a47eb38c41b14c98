/* wine_host_test PLUGIN_FOLDER SAMPLES_FOLDER
 *
 * Uses OGG.cvx and FLAC.cvx exactly as a host built with Microsoft's
 * compiler does: entry points by name, objects only through their table of
 * __thiscall slots, destruction through slot 0 with flags 1. Checks every
 * slot, the entry points, Install into a fresh folder tree, the version
 * resource, and files whose names are not ASCII. Prints each failed check
 * and exits 1 when there was one.
 */
#include <stdio.h>
#include <string.h>

#include "../host_c/file_info_slots.h"

enum { kPathSize = MAX_PATH, kTagSize = 512 };

static int gFailures = 0;

#define CHECK(condition)                                                       \
    do {                                                                       \
        if (!(condition)) {                                                    \
            printf("%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            ++gFailures;                                                       \
        }                                                                      \
    } while (0)

#define CHECK_TEXT(actual, expected)                                                         \
    do {                                                                                     \
        if (strcmp((actual), (expected)) != 0) {                                             \
            printf("%s:%d: '%s' is not '%s'\n", __FILE__, __LINE__, (actual), (expected));   \
            ++gFailures;                                                                     \
        }                                                                                    \
    } while (0)

typedef struct PluginCase {
    const char* name;           /* "OGG" */
    const char* sample;         /* a tagged sample file of the format */
    const char* extension;      /* ".ogg" */
    const char* description;
    const char* fileVersion;
    DWORD fileVersionLow;       /* the last two parts of FILEVERSION */
} PluginCase;

static const PluginCase kCases[] = {
    {"OGG", "ogg\\01 Latin-1 letters.ogg", ".ogg", "OGG Support for Corvane", "1.42.0.19", 19},
    {"FLAC", "flac\\01 Latin-1 letters.flac", ".flac", "FLAC Support for Corvane", "1.42.0.1", 1},
};

static const char kDefaultList[] = "MP3, MPC, MP+, MPP, WMA, APE, MAC";

static void Join(char* out, const char* folder, const char* name) {
    snprintf(out, kPathSize, "%s\\%s", folder, name);
}

static void CheckFreshObject(FileInfo* info) {
    char text[kTagSize];
    CHECK(info->slots->GetFileSize(info) == 0);
    CHECK(info->slots->GetLength(info) == 0);
    CHECK(info->slots->GetYear(info) == 0);
    CHECK(info->slots->GetTrack(info) == 0);
    CHECK(info->slots->GetFileName(info, text) == 1 && text[0] == '\0');
    CHECK(info->slots->GetLengthText(info, text) == 6);
    CHECK_TEXT(text, "00:00");
    CHECK(info->slots->GetTitle(info, text) == 1 && text[0] == '\0');
    CHECK(info->slots->GetArtist(info, text) == 1 && text[0] == '\0');
    CHECK(info->slots->GetAlbum(info, text) == 1 && text[0] == '\0');
    CHECK(info->slots->GetComment(info, text) == 1 && text[0] == '\0');
    CHECK(info->slots->GetGenre(info, text) == 1 && text[0] == '\0');
}

/* What one Open found, read back through every slot. */
typedef struct Record {
    int32_t status, size, length, year, track;
    char fileName[kPathSize], lengthText[16];
    char title[kTagSize], artist[kTagSize], album[kTagSize], comment[kTagSize], genre[kTagSize];
} Record;

static void ReadRecord(const Plugin* plugin, const char* path, Record* r) {
    FileInfo* info = plugin->CreateFileInfo(0);
    CHECK(info != NULL);
    if (info == NULL) return;
    r->status = info->slots->Open(info, path);
    r->size = info->slots->GetFileSize(info);
    r->length = info->slots->GetLength(info);
    r->year = info->slots->GetYear(info);
    r->track = info->slots->GetTrack(info);
    CHECK(info->slots->GetFileName(info, r->fileName) == (int32_t)strlen(r->fileName) + 1);
    CHECK(info->slots->GetLengthText(info, r->lengthText) == (int32_t)strlen(r->lengthText) + 1);
    CHECK(info->slots->GetTitle(info, r->title) == (int32_t)strlen(r->title) + 1);
    CHECK(info->slots->GetArtist(info, r->artist) == (int32_t)strlen(r->artist) + 1);
    CHECK(info->slots->GetAlbum(info, r->album) == (int32_t)strlen(r->album) + 1);
    CHECK(info->slots->GetComment(info, r->comment) == (int32_t)strlen(r->comment) + 1);
    CHECK(info->slots->GetGenre(info, r->genre) == (int32_t)strlen(r->genre) + 1);
    /* Slot 0 with bit 0 set destroys, frees and returns the object. */
    CHECK(info->slots->DeletingDestructor(info, 1) == (void*)info);
}

static int32_t FileSizeOf(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
    return (int32_t)data.nFileSizeLow;
}

static void CheckEntryPointsAndSlots(const PluginCase* c, const Plugin* plugin, const char* samples,
                                     const char* scratch) {
    CHECK_TEXT(plugin->GetExtension(0), c->name);
    CHECK(plugin->GetExtension(1) == NULL);
    CHECK(plugin->GetExtension(-1) == NULL);
    CHECK(plugin->CreateFileInfo(1) == NULL);

    FileInfo* fresh = plugin->CreateFileInfo(0);
    CHECK(fresh != NULL);
    if (fresh == NULL) return;
    CheckFreshObject(fresh);
    DestroyFileInfo(fresh);

    char sample[kPathSize];
    Join(sample, samples, c->sample);
    Record read;
    ReadRecord(plugin, sample, &read);
    CHECK(read.status == 0);
    CHECK_TEXT(read.fileName, sample);
    CHECK(read.size == FileSizeOf(sample));
    CHECK(read.length > 0);
    CHECK(read.title[0] != '\0' && read.artist[0] != '\0' && read.album[0] != '\0');

    /* Nothing that is not a file on disk is read: a missing file, a folder,
       and the devices NUL and CON, which would block waiting for the console. */
    char missing[kPathSize];
    Join(missing, scratch, "missing");
    const char* unreadable[] = {missing, scratch, "NUL", "CON"};
    for (size_t i = 0; i < sizeof unreadable / sizeof unreadable[0]; ++i) {
        Record failed;
        ReadRecord(plugin, unreadable[i], &failed);
        CHECK(failed.status == 1);
        CHECK(failed.size == -1);
    }

    /* 't\xE9st' is 'tést' in code page 1252 (and a letter in every single-byte
       ANSI code page): the plug-in must find the file the host names. */
    char nonAscii[kPathSize];
    snprintf(nonAscii, sizeof nonAscii, "%s\\t\xE9st%s", scratch, c->extension);
    CHECK(CopyFileA(sample, nonAscii, FALSE));
    Record copy;
    ReadRecord(plugin, nonAscii, &copy);
    CHECK(copy.status == 0);
    CHECK_TEXT(copy.fileName, nonAscii);
    CHECK(copy.size == read.size && copy.length == read.length);
    CHECK_TEXT(copy.title, read.title);
    CHECK_TEXT(copy.album, read.album);
    DeleteFileA(nonAscii);
}

static void CheckVersionResource(const PluginCase* c, const char* library) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(library, &handle);
    CHECK(size > 0);
    static char data[8192];
    if (size == 0 || size > sizeof data || !GetFileVersionInfoA(library, 0, size, data)) {
        CHECK(!"version resource readable");
        return;
    }
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    CHECK(VerQueryValueA(data, "\\", (void**)&fixed, &length) && length >= sizeof *fixed);
    if (fixed != NULL) {
        CHECK(fixed->dwFileVersionMS == MAKELONG(42, 1));
        CHECK(fixed->dwFileVersionLS == MAKELONG(c->fileVersionLow, 0));
        CHECK(fixed->dwProductVersionMS == MAKELONG(42, 1));
        CHECK(fixed->dwProductVersionLS == 0);
    }
    const struct {
        const char* key;
        const char* expected;
    } strings[] = {
        {"\\StringFileInfo\\040904E4\\FileDescription", c->description},
        {"\\StringFileInfo\\040904E4\\FileVersion", c->fileVersion},
        {"\\StringFileInfo\\040904E4\\ProductName", "Corvane (File Format Plugin)"},
        {"\\StringFileInfo\\040904E4\\ProductVersion", "1.42"},
    };
    for (size_t i = 0; i < sizeof strings / sizeof strings[0]; ++i) {
        char* value = NULL;
        CHECK(VerQueryValueA(data, strings[i].key, (void**)&value, &length));
        if (value != NULL) CHECK_TEXT(value, strings[i].expected);
    }
}

static void ReadExtensionList(const char* ini, char* out, DWORD size) {
    GetPrivateProfileStringA("Corvane", "corvane_extlist", "<missing>", out, size, ini);
}

/* Both plug-ins copied into ROOT\Plugins\Formats\ register themselves in
   ROOT\plugin.ini, once each, in the order they are installed. */
static void CheckInstall(const char* pluginFolder, const char* scratch) {
    char root[kPathSize], plugins[kPathSize], formats[kPathSize], ini[kPathSize];
    Join(root, scratch, "Corvane");
    Join(plugins, root, "Plugins");
    /* Under code page 932 the plug-ins' folder is named U+8868, 0x95 0x5C,
       whose trail byte is the byte of '\': the path search must step over it. */
    Join(formats, plugins, GetACP() == 932 ? "\x95\x5C" : "Formats");
    Join(ini, root, "plugin.ini");
    CHECK(CreateDirectoryA(root, NULL) && CreateDirectoryA(plugins, NULL) && CreateDirectoryA(formats, NULL));

    char expected[1024];
    snprintf(expected, sizeof expected, "%s", kDefaultList);
    for (size_t i = 0; i < sizeof kCases / sizeof kCases[0]; ++i) {
        char source[kPathSize], copy[kPathSize], name[32];
        snprintf(name, sizeof name, "%s.cvx", kCases[i].name);
        Join(source, pluginFolder, name);
        Join(copy, formats, name);
        CHECK(CopyFileA(source, copy, FALSE));
        Plugin plugin;
        CHECK(LoadPlugin(copy, &plugin));
        if (plugin.library == NULL) continue;
        CHECK(plugin.Install() != 0);
        snprintf(expected + strlen(expected), sizeof expected - strlen(expected), ", %s", kCases[i].name);
        char list[1024];
        ReadExtensionList(ini, list, sizeof list);
        CHECK_TEXT(list, expected);
        /* Already listed: nothing more is written. */
        CHECK(plugin.Install() != 0);
        ReadExtensionList(ini, list, sizeof list);
        CHECK_TEXT(list, expected);
        UnloadPlugin(&plugin);
        DeleteFileA(copy);
    }
    DeleteFileA(ini);
    RemoveDirectoryA(formats);
    RemoveDirectoryA(plugins);
    RemoveDirectoryA(root);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: wine_host_test PLUGIN_FOLDER SAMPLES_FOLDER\n");
        return 2;
    }
    char temp[kPathSize], scratch[kPathSize];
    GetTempPathA(sizeof temp, temp);
    snprintf(scratch, sizeof scratch, "%swine_host_test-%lu", temp, GetCurrentProcessId());
    CHECK(CreateDirectoryA(scratch, NULL));

    for (size_t i = 0; i < sizeof kCases / sizeof kCases[0]; ++i) {
        const PluginCase* c = &kCases[i];
        char library[kPathSize], name[32];
        snprintf(name, sizeof name, "%s.cvx", c->name);
        Join(library, argv[1], name);
        Plugin plugin;
        if (!LoadPlugin(library, &plugin)) {
            printf("cannot load %s or find its entry points\n", library);
            ++gFailures;
            continue;
        }
        CheckEntryPointsAndSlots(c, &plugin, argv[2], scratch);
        CheckVersionResource(c, library);
        UnloadPlugin(&plugin);
    }
    CheckInstall(argv[1], scratch);
    RemoveDirectoryA(scratch);

    printf("%s: %d failed check(s), ANSI code page %u\n", gFailures ? "FAILED" : "passed", gFailures, GetACP());
    return gFailures ? 1 : 0;
}
