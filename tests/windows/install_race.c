/* install_race PLUGIN_FOLDER ROUNDS
 *
 * Both plug-ins copied into ROOT\Plugins\Formats register in ROOT\plugin.ini
 * at the same moment, from two processes, ROUNDS times on a file that holds
 * other settings too: every round must end with both extensions listed once
 * each, every other line kept, and nothing else left in ROOT. Each process
 * (this program again, as `install_race --child DLL EVENT`) loads its
 * plug-in, then waits for one event that releases both.
 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

typedef int32_t(__cdecl* InstallEntry)(void);

static const char kBefore[] = "; settings\r\n[Window]\r\nLeft=10\r\n[Corvane]\r\nSkin=Dark\r\ncorvane_extlist=MP3\r\nScan=1\r\n";
static const char* const kAfter[] = {
    "; settings\r\n[Window]\r\nLeft=10\r\n[Corvane]\r\nSkin=Dark\r\ncorvane_extlist=MP3, OGG, FLAC\r\nScan=1\r\n",
    "; settings\r\n[Window]\r\nLeft=10\r\n[Corvane]\r\nSkin=Dark\r\ncorvane_extlist=MP3, FLAC, OGG\r\nScan=1\r\n",
};

static int Child(const char* library, const char* eventName) {
    HMODULE plugin = LoadLibraryA(library);
    if (plugin == NULL) return 2;
    InstallEntry install = (InstallEntry)GetProcAddress(plugin, "Install");
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, eventName);
    if (install == NULL || go == NULL) return 2;
    WaitForSingleObject(go, INFINITE);
    return install() != 0 ? 0 : 1;
}

static void WriteText(const char* path, const char* text) {
    FILE* out = fopen(path, "wb");
    if (out == NULL) return;
    fputs(text, out);
    fclose(out);
}

static void ReadText(const char* path, char* text, size_t size) {
    text[0] = '\0';
    FILE* in = fopen(path, "rb");
    if (in == NULL) return;
    text[fread(text, 1, size - 1, in)] = '\0';
    fclose(in);
}

static int EntriesIn(const char* folder) {
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    int count = 0;
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0) ++count;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[1], "--child") == 0) return Child(argv[2], argv[3]);
    if (argc != 3) {
        fprintf(stderr, "usage: install_race PLUGIN_FOLDER ROUNDS\n");
        return 2;
    }
    char temp[MAX_PATH], root[MAX_PATH], plugins[MAX_PATH], formats[MAX_PATH], ini[MAX_PATH], self[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    snprintf(root, sizeof root, "%sinstall_race-%lu", temp, GetCurrentProcessId());
    snprintf(plugins, sizeof plugins, "%s\\Plugins", root);
    snprintf(formats, sizeof formats, "%s\\Formats", plugins);
    snprintf(ini, sizeof ini, "%s\\plugin.ini", root);
    GetModuleFileNameA(NULL, self, sizeof self);
    CreateDirectoryA(root, NULL);
    CreateDirectoryA(plugins, NULL);
    CreateDirectoryA(formats, NULL);
    const char* names[] = {"OGG.cvx", "FLAC.cvx"};
    char copies[2][MAX_PATH];
    for (int i = 0; i < 2; ++i) {
        char source[MAX_PATH];
        snprintf(source, sizeof source, "%s\\%s", argv[1], names[i]);
        snprintf(copies[i], sizeof copies[i], "%s\\%s", formats, names[i]);
        if (!CopyFileA(source, copies[i], FALSE)) {
            printf("cannot copy %s\n", source);
            return 1;
        }
    }

    const int rounds = atoi(argv[2]);
    int lost = 0, failedInstalls = 0, strays = 0;
    for (int round = 0; round < rounds; ++round) {
        WriteText(ini, kBefore);
        char eventName[64];
        snprintf(eventName, sizeof eventName, "Local\\install_race-%lu-%d", GetCurrentProcessId(), round);
        HANDLE go = CreateEventA(NULL, TRUE, FALSE, eventName);
        PROCESS_INFORMATION children[2];
        for (int i = 0; i < 2; ++i) {
            char command[3 * MAX_PATH];
            snprintf(command, sizeof command, "\"%s\" --child \"%s\" %s", self, copies[i], eventName);
            STARTUPINFOA startup;
            memset(&startup, 0, sizeof startup);
            startup.cb = sizeof startup;
            if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &children[i])) {
                printf("cannot start a child\n");
                return 1;
            }
        }
        Sleep(300);  /* both load their plug-in and wait */
        SetEvent(go);
        for (int i = 0; i < 2; ++i) {
            DWORD code = 99;
            WaitForSingleObject(children[i].hProcess, INFINITE);
            GetExitCodeProcess(children[i].hProcess, &code);
            if (code != 0) ++failedInstalls;
            CloseHandle(children[i].hProcess);
            CloseHandle(children[i].hThread);
        }
        CloseHandle(go);
        char after[1024];
        ReadText(ini, after, sizeof after);
        if (strcmp(after, kAfter[0]) != 0 && strcmp(after, kAfter[1]) != 0) {
            ++lost;
            printf("round %d left:\n%s\n", round, after);
        }
        if (EntriesIn(root) != 2) ++strays;
    }
    for (int i = 0; i < 2; ++i) DeleteFileA(copies[i]);
    DeleteFileA(ini);
    RemoveDirectoryA(formats);
    RemoveDirectoryA(plugins);
    RemoveDirectoryA(root);
    printf("%s: %d rounds, %d lost an entry or a line, %d failed Install, %d left a stray file\n",
           lost || failedInstalls || strays ? "FAILED" : "passed", rounds, lost, failedInstalls, strays);
    return lost || failedInstalls || strays ? 1 : 0;
}
