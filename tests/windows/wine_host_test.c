/* wine_host_test PLUGIN_FOLDER SAMPLES_FOLDER
 *
 * Uses every plug-in the build makes (corvane_plugins.h) exactly as a host built with Microsoft's
 * compiler does: entry points by name, objects only through their table of
 * __thiscall slots, destruction through slot 0 with flags 1. Checks every
 * slot, the entry points, Install into a fresh folder tree, the version
 * resource, and, in the script of the system's ANSI code page, file and
 * folder names and FLAC tag values. Prints each failed check and exits 1
 * when there was one.
 */
#include <stdio.h>
#include <string.h>

#include <corvane_plugins.h>

#include "../host_c/file_info_slots.h"
#include "../support/check.h"

enum { kPathSize = CVX_PATH_FIELD_SIZE, kTagSize = CVX_TAG_FIELD_SIZE };

typedef struct PluginCase {
    const char* name;           /* "OGG" */
    const char* word;           /* "ogg": the folder of its samples and their extension */
    const char* description;
    const char* fileVersion;
} PluginCase;

static const PluginCase kCases[] = {
#define CVX_PLUGIN_CASE(NAME, name, word, description, fileVersion) {name, word, description, fileVersion},
    CORVANE_PLUGINS(CVX_PLUGIN_CASE)
#undef CVX_PLUGIN_CASE
};

/* The tagged sample of a plug-in's format, in the sample library. */
static const char kSampleName[] = "01 Latin-1 letters";

static const char kDefaultList[] = "MP3, MPC, MP+, MPP, WMA, APE, MAC";

/* What each ANSI code page the tests run under is used to write, in UTF-8:
   a word of its script, for folder and file names, and, in the double-byte
   code pages that have one, a character whose trail byte is the byte of
   '\'. The tag values add characters most of these code pages lack. */
typedef struct Script {
    UINT codePage;
    const char* word;
    const char* trailBackslash;
} Script;

static const Script kScripts[] = {
    {1252, "Caf\xC3\xA9", NULL},                                      /* Café */
    {1250, "\xC5\xB9r\xC3\xB3" "d\xC5\x82o", NULL},                    /* Źródło */
    {1251, "\xD0\x9C\xD1\x83\xD0\xB7\xD1\x8B\xD0\xBA\xD0\xB0", NULL},       /* Музыка */
    {1253, "\xCE\x9C\xCE\xBF\xCF\x85\xCF\x83\xCE\xB9\xCE\xBA\xCE\xAE", NULL}, /* Μουσική */
    {932, "\xE9\x9F\xB3\xE6\xA5\xBD", "\xE8\xA1\xA8"},                   /* 音楽, 表 (0x95 0x5C) */
    {936, "\xE9\x9F\xB3\xE4\xB9\x90", "\xE4\xB9\x97"},                   /* 音乐, 乗 (0x81 0x5C) */
    {949, "\xEC\x9D\x8C\xEC\x95\x85", NULL},                            /* 음악: no trail byte is '\' */
    {950, "\xE9\x9F\xB3\xE6\xA8\x82", "\xE5\x8A\x9F"},                   /* 音樂, 功 (0xA5 0x5C) */
};
/* é ß ½ ж Ω ‰ €, one space apart */
static const char kForeignCharacters[] = " \xC3\xA9 \xC3\x9F \xC2\xBD \xD0\xB6 \xCE\xA9 \xE2\x80\xB0 \xE2\x82\xAC";

static const Script* SystemScript(void) {
    for (size_t i = 0; i < sizeof kScripts / sizeof kScripts[0]; ++i) {
        if (kScripts[i].codePage == GetACP()) return &kScripts[i];
    }
    return &kScripts[0];
}

/* UTF-8 text as the system itself converts it to the ANSI code page: no
   flags, the default replacement for what the code page lacks. */
static void ToAnsi(const char* utf8, char* out, int size) {
    static WCHAR wide[4096];
    out[0] = '\0';
    if (MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 4096) == 0) return;
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, out, size, NULL, NULL) == 0) out[0] = '\0';
}

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
    snprintf(sample, sizeof sample, "%s\\%s\\%s.%s", samples, c->word, kSampleName, c->word);
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

    /* A name in the script of the system's code page, as the host passes
       it: in that code page. The plug-in must find the file it names. */
    char word[kPathSize], nonAscii[kPathSize];
    ToAnsi(SystemScript()->word, word, sizeof word);
    CHECK(word[0] != '\0' && strchr(word, '?') == NULL);
    snprintf(nonAscii, sizeof nonAscii, "%s\\%s.%s", scratch, word, c->word);
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
    /* The numeric versions: a.b.c.d as two words of two halves each. */
    unsigned file[4] = {0}, product[2] = {0};
    CHECK(sscanf(c->fileVersion, "%u.%u.%u.%u", &file[0], &file[1], &file[2], &file[3]) == 4);
    CHECK(sscanf(CORVANE_PRODUCT_VERSION, "%u.%u", &product[0], &product[1]) == 2);
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    CHECK(VerQueryValueA(data, "\\", (void**)&fixed, &length) && length >= sizeof *fixed);
    if (fixed != NULL) {
        CHECK(fixed->dwFileVersionMS == MAKELONG(file[1], file[0]));
        CHECK(fixed->dwFileVersionLS == MAKELONG(file[3], file[2]));
        CHECK(fixed->dwProductVersionMS == MAKELONG(product[1], product[0]));
        CHECK(fixed->dwProductVersionLS == 0);
    }
    const struct {
        const char* key;
        const char* expected;
    } strings[] = {
        {"\\StringFileInfo\\040904E4\\FileDescription", c->description},
        {"\\StringFileInfo\\040904E4\\FileVersion", c->fileVersion},
        {"\\StringFileInfo\\040904E4\\ProductName", "Corvane (File Format Plugin)"},
        {"\\StringFileInfo\\040904E4\\ProductVersion", CORVANE_PRODUCT_VERSION},
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
    /* The plug-ins' folder is named in the system's script and ends, where
       the code page has one, with a character whose trail byte is the byte
       of '\': the path search must step over it. */
    const Script* script = SystemScript();
    char folder[kPathSize] = "", trail[8] = "";
    ToAnsi(script->word, folder, sizeof folder);
    if (script->trailBackslash != NULL) {
        ToAnsi(script->trailBackslash, trail, sizeof trail);
        CHECK(strlen(trail) == 2 && trail[1] == '\\');
        strcat(folder, trail);
    }
    Join(formats, plugins, folder);
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

/* A FLAC file of nothing but its stream information and one Vorbis
   comment: what the FLAC reader needs to read tags. */
static void WriteTaggedFlac(const char* path, const char* const* entries, size_t count) {
    static unsigned char file[8192];
    size_t n = 0;
    memcpy(file, "fLaC", 4);
    n = 4;
    /* STREAMINFO (type 0, 34 bytes): 4096-sample blocks, 44.1 kHz, mono,
       16 bits, 441000 samples (10 s), no MD5. */
    const unsigned char streamInfo[4 + 34] = {0x00, 0, 0, 34, 0x10, 0x00, 0x10, 0x00, 0, 0, 0, 0, 0, 0,
                                              0x0A, 0xC4, 0x40, 0xF0, 0x00, 0x06, 0xBA, 0xA8};
    memcpy(file + n, streamInfo, sizeof streamInfo);
    n += sizeof streamInfo;
    /* VORBIS_COMMENT (type 4, last): vendor length 0, entry count, entries,
       every length 32-bit little-endian. */
    const size_t header = n;
    n += 4;
    size_t body = n;
    memset(file + n, 0, 4);
    n += 4;
    file[n++] = (unsigned char)count;
    file[n++] = 0, file[n++] = 0, file[n++] = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t length = strlen(entries[i]);
        for (int k = 0; k < 4; ++k) file[n++] = (unsigned char)(length >> (8 * k));
        memcpy(file + n, entries[i], length);
        n += length;
    }
    const size_t bodyLength = n - body;
    file[header] = 0x80 | 4;
    file[header + 1] = (unsigned char)(bodyLength >> 16);
    file[header + 2] = (unsigned char)(bodyLength >> 8);
    file[header + 3] = (unsigned char)bodyLength;
    FILE* out = fopen(path, "wb");
    CHECK(out != NULL);
    if (out == NULL) return;
    fwrite(file, 1, n, out);
    fclose(out);
}

/* FLAC values come out as the system's own conversion gives them, and a
   joined field cut at 511 bytes ends on a whole character. */
static void CheckFlacValuesInTheSystemScript(const char* pluginFolder, const char* scratch) {
    char library[kPathSize], path[kPathSize];
    Join(library, pluginFolder, "FLAC.cvx");
    Join(path, scratch, "values.flac");
    Plugin plugin;
    CHECK(LoadPlugin(library, &plugin));
    if (plugin.library == NULL) return;

    static char title[4096], first[4096], second[4096], longValue[4096];
    snprintf(title, sizeof title, "TITLE=%s%s", SystemScript()->word, kForeignCharacters);
    /* Two artists: 400 letters, then the script's word again and again, so
       the field's 511 bytes end inside the second value. */
    snprintf(first, sizeof first, "ARTIST=");
    memset(first + strlen(first), 'a', 400);
    snprintf(second, sizeof second, "ARTIST=");
    while (strlen(second) + strlen(SystemScript()->word) + 1 < 1400) strcat(second, SystemScript()->word);
    const char* entries[] = {title, first, second};
    WriteTaggedFlac(path, entries, 3);
    Record read;
    ReadRecord(&plugin, path, &read);
    CHECK(read.status == 0 && read.length == 10);

    char expected[kTagSize];
    ToAnsi(title + strlen("TITLE="), expected, sizeof expected);
    CHECK_TEXT(read.title, expected);

    /* The first artist, ", ", then as many whole characters of the second
       as fit in 511 bytes, each converted by the system on its own. A value
       is decoded from its first 511 bytes only. */
    snprintf(longValue, sizeof longValue, "%s, ", first + strlen("ARTIST="));
    const char* value = second + strlen("ARTIST=");
    const char* next = value;
    while (*next != '\0') {
        const char* end = next + 1;
        while ((*end & 0xC0) == 0x80) ++end;  /* one UTF-8 character */
        if (end - value > kTagSize - 1) break;
        char character[8], converted[8];
        memcpy(character, next, (size_t)(end - next));
        character[end - next] = '\0';
        ToAnsi(character, converted, sizeof converted);
        if (strlen(longValue) + strlen(converted) > kTagSize - 1) break;
        strcat(longValue, converted);
        next = end;
    }
    CHECK_TEXT(read.artist, longValue);
    DeleteFileA(path);
    UnloadPlugin(&plugin);
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
            ++gCheckFailures;
            continue;
        }
        CheckEntryPointsAndSlots(c, &plugin, argv[2], scratch);
        CheckVersionResource(c, library);
        UnloadPlugin(&plugin);
    }
    CheckFlacValuesInTheSystemScript(argv[1], scratch);
    CheckInstall(argv[1], scratch);
    RemoveDirectoryA(scratch);

    printf("%s: %d failed check(s), ANSI code page %u\n", gCheckFailures ? "FAILED" : "passed", gCheckFailures, GetACP());
    return gCheckFailures ? 1 : 0;
}
