/* record_dump PLUGIN FOLDER
 *
 * Opens every file directly inside FOLDER, in byte order of names, with the
 * plug-in through its table of virtual operations, and prints one line per
 * file: name, Open's result and every field, tab-separated, bytes outside
 * printable ASCII as \xHH. The same program built for Linux and for Windows
 * prints the same lines for the same files when both plug-ins read alike.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "file_info_slots.h"

#if !defined(_WIN32)
#include <dirent.h>
#include <sys/stat.h>
#endif

enum { kMaxFiles = 1000, kPathSize = CVX_PATH_FIELD_SIZE, kTagSize = CVX_TAG_FIELD_SIZE };

static const char kSeparator =
#if defined(_WIN32)
    '\\';
#else
    '/';
#endif

static void PrintEscaped(const char* text) {
    for (const unsigned char* c = (const unsigned char*)text; *c != 0; ++c) {
        if (*c < 0x20 || *c >= 0x7F || *c == '\\') {
            printf("\\x%02X", *c);
        } else {
            putchar(*c);
        }
    }
}

typedef int32_t(SLOT_CALL* TextGetter)(FileInfo* self, char* out);

/* A getter's text, checked against the count it returns. */
static void PrintText(FileInfo* info, TextGetter get) {
    char text[kTagSize];
    memset(text, 0x55, sizeof text);
    const int32_t count = get(info, text);
    putchar('\t');
    if (count < 1 || count > kTagSize || text[count - 1] != '\0' || (int32_t)strlen(text) + 1 != count) {
        printf("<count %d does not match the text>", count);
        return;
    }
    PrintEscaped(text);
}

static int CompareNames(const void* a, const void* b) { return strcmp(*(char* const*)a, *(char* const*)b); }

/* The names of the regular files directly inside `folder`, sorted. */
static int ListFiles(const char* folder, char** names) {
    int count = 0;
#if defined(_WIN32)
    char pattern[kPathSize];
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && count < kMaxFiles) {
            names[count++] = _strdup(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
#else
    DIR* dir = opendir(folder);
    if (dir == NULL) return 0;
    struct dirent* entry;
    while ((entry = readdir(dir)) != NULL && count < kMaxFiles) {
        char path[kPathSize];
        struct stat info;
        snprintf(path, sizeof path, "%s/%s", folder, entry->d_name);
        if (stat(path, &info) == 0 && S_ISREG(info.st_mode)) names[count++] = strdup(entry->d_name);
    }
    closedir(dir);
#endif
    qsort(names, (size_t)count, sizeof names[0], CompareNames);
    return count;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: record_dump PLUGIN FOLDER\n");
        return 2;
    }
    Plugin plugin;
    if (!LoadPlugin(argv[1], &plugin)) {
        fprintf(stderr, "record_dump: cannot load %s\n", argv[1]);
        return 2;
    }
    static char* names[kMaxFiles];
    const int count = ListFiles(argv[2], names);
    for (int i = 0; i < count; ++i) {
        char path[kPathSize];
        snprintf(path, sizeof path, "%s%c%s", argv[2], kSeparator, names[i]);
        FileInfo* info = plugin.CreateFileInfo(0);
        if (info == NULL) return 2;
        const int32_t status = info->slots->Open(info, path);
        PrintEscaped(names[i]);
        printf("\t%d\t%d\t%d", status, info->slots->GetFileSize(info), info->slots->GetLength(info));
        PrintText(info, info->slots->GetLengthText);
        PrintText(info, info->slots->GetTitle);
        PrintText(info, info->slots->GetArtist);
        PrintText(info, info->slots->GetAlbum);
        PrintText(info, info->slots->GetComment);
        PrintText(info, info->slots->GetGenre);
        printf("\t%d\t%d\n", info->slots->GetYear(info), info->slots->GetTrack(info));
        DestroyFileInfo(info);
        free(names[i]);
    }
    UnloadPlugin(&plugin);
    return 0;
}
