/* load_cycles PLUGIN FILE CYCLES BOUND_KB
 *
 * A host that frees a plug-in and loads it again: CYCLES times
 * LoadLibraryA, CreateFileInfo(0), Open of FILE, destruction through slot 0,
 * FreeLibrary. The process's committed private memory after them may exceed
 * what it was after the first ten cycles by BOUND_KB at most. (Wine answers
 * PrivateUsage with 0, so PagefileUsage, the same figure on Windows, is
 * read.)
 */
#include <stdio.h>
#include <stdlib.h>

#include "../host_c/file_info_slots.h" /* windows.h first */

#include <psapi.h>

static SIZE_T CommittedBytes(void) {
    PROCESS_MEMORY_COUNTERS counters;
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.PagefileUsage : 0;
}

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: load_cycles PLUGIN FILE CYCLES BOUND_KB\n");
        return 2;
    }
    const int cycles = atoi(argv[3]);
    const SIZE_T boundBytes = (SIZE_T)atoi(argv[4]) * 1024;
    SIZE_T settled = 0;
    for (int i = 0; i < cycles; ++i) {
        Plugin plugin;
        if (!LoadPlugin(argv[1], &plugin)) {
            printf("cannot load %s\n", argv[1]);
            return 1;
        }
        FileInfo* info = plugin.CreateFileInfo(0);
        if (info == NULL || info->slots->Open(info, argv[2]) != 0) {
            printf("cannot read %s\n", argv[2]);
            return 1;
        }
        DestroyFileInfo(info);
        UnloadPlugin(&plugin);
        if (i == 9) settled = CommittedBytes();
    }
    const SIZE_T last = CommittedBytes();
    const int kept = last <= settled + boundBytes;
    printf("%s: %lu KB after 10 cycles, %lu KB after %d\n", kept ? "passed" : "FAILED", (unsigned long)(settled / 1024),
           (unsigned long)(last / 1024), cycles);
    return kept ? 0 : 1;
}
