// msvc_host PLUGIN FOLDER | msvc_host --check-the-check
//
// A host in Microsoft's C++ ABI, as Corvane's own source would declare the
// interface: a plain abstract class, virtual destructor first, the twelve
// operations after it. clang lays out every call (--target=i686-pc-windows-msvc);
// nothing here names a slot or a calling convention. Built freestanding:
// there are no MSVC headers or libraries, so the few KERNEL32 functions and
// the helpers a C runtime would give are declared and written here.
//
// It opens every file directly inside FOLDER, in byte order of names, and
// prints the lines record_dump prints. Around every call into the plug-in
// it checks that the stack pointer and the registers a callee must keep
// (EBX, ESI, EDI, EBP) come back as they were; --check-the-check calls an
// object that breaks that rule and succeeds only when the check notices.
typedef int int32_t;
typedef unsigned int uint32_t;
typedef unsigned int size_t;

#include "../../frame/field_sizes.h"

class FileInfo {
public:
    virtual ~FileInfo() {}
    virtual int32_t Open(const char* path) = 0;
    virtual int32_t GetFileSize() = 0;
    virtual int32_t GetFileName(char* out) = 0;
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

// KERNEL32, as windows.h would declare it.
typedef void* HANDLE;
typedef int BOOL;
typedef unsigned long DWORD;
struct FILETIME {
    DWORD low, high;
};
struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime, ftLastAccessTime, ftLastWriteTime;
    DWORD nFileSizeHigh, nFileSizeLow, dwReserved0, dwReserved1;
    char cFileName[260];  // MAX_PATH
    char cAlternateFileName[14];
};
extern "C" {
__declspec(dllimport) void* __stdcall LoadLibraryA(const char* name);
__declspec(dllimport) void* __stdcall GetProcAddress(void* module, const char* name);
__declspec(dllimport) BOOL __stdcall FreeLibrary(void* module);
__declspec(dllimport) HANDLE __stdcall GetStdHandle(DWORD which);
__declspec(dllimport) BOOL __stdcall WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, void*);
__declspec(dllimport) const char* __stdcall GetCommandLineA();
__declspec(dllimport) HANDLE __stdcall FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found);
__declspec(dllimport) BOOL __stdcall FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found);
__declspec(dllimport) BOOL __stdcall FindClose(HANDLE search);
__declspec(dllimport) __declspec(noreturn) void __stdcall ExitProcess(unsigned code);
}
constexpr DWORD kStdOutput = static_cast<DWORD>(-11);
constexpr DWORD kAttributeDirectory = 0x10;
const HANDLE kInvalidHandle = reinterpret_cast<HANDLE>(-1);

// The deleting destructor of an object this host makes (the check of the
// check) refers to it; the host never frees anything.
void operator delete(void*) {}
void operator delete(void*, size_t) {}

namespace {

// What a C runtime would give.
size_t Length(const char* text) {
    size_t n = 0;
    while (text[n] != '\0') ++n;
    return n;
}
int Compare(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}
void Copy(char* to, const char* from, size_t size) {
    for (size_t i = 0; i < size; ++i) to[i] = from[i];
}

// Standard output, buffered.
char gOut[8192];
size_t gOutUsed = 0;
void Flush() {
    DWORD written;
    WriteFile(GetStdHandle(kStdOutput), gOut, gOutUsed, &written, nullptr);
    gOutUsed = 0;
}
void Put(char c) {
    if (gOutUsed == sizeof gOut) Flush();
    gOut[gOutUsed++] = c;
}
void Print(const char* text) {
    while (*text != '\0') Put(*text++);
}
void PrintNumber(int32_t value) {
    char digits[12];
    int n = 0;
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) Put('-');
    while (n > 0) Put(digits[--n]);
}
void PrintHex(uint32_t value) {
    Print("0x");
    for (int shift = 28; shift >= 0; shift -= 4) Put("0123456789ABCDEF"[(value >> shift) & 0xF]);
}
[[noreturn]] void Fail(const char* message) {
    Print(message);
    Put('\n');
    Flush();
    ExitProcess(1);
}

// Bytes outside printable ASCII, and '\', as \xHH.
void PrintEscaped(const char* text) {
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c) {
        if (*c < 0x20 || *c >= 0x7F || *c == '\\') {
            Print("\\x");
            Put("0123456789ABCDEF"[*c >> 4]);
            Put("0123456789ABCDEF"[*c & 0xF]);
        } else {
            Put(static_cast<char>(*c));
        }
    }
}

// The registers the Windows x86 convention keeps across a call.
struct Registers {
    uint32_t ebx, esi, edi, ebp, esp;
};
Registers gBefore, gAfter;
const char* gCalling;
int32_t gResult;
bool gCheckingTheCheck = false;

// Both snapshots sit right around the call the compiler lays out; the
// memory clobber keeps the stores of the name and the result on their side.
// Between them the compiler may use only EAX, ECX and EDX (check_snapshots.py
// reads the object code to make sure), so any other change is the callee's.
#define SNAPSHOT(r)                                                                                  \
    asm volatile("movl %%ebx, %0\n\tmovl %%esi, %1\n\tmovl %%edi, %2\n\tmovl %%ebp, %3\n\tmovl %%esp, %4" \
                 : "=m"(r.ebx), "=m"(r.esi), "=m"(r.edi), "=m"(r.ebp), "=m"(r.esp)                   \
                 :                                                                                   \
                 : "memory")

void CompareRegisters() {
    const char* names[] = {"EBX", "ESI", "EDI", "EBP", "ESP"};
    const uint32_t before[] = {gBefore.ebx, gBefore.esi, gBefore.edi, gBefore.ebp, gBefore.esp};
    const uint32_t after[] = {gAfter.ebx, gAfter.esi, gAfter.edi, gAfter.ebp, gAfter.esp};
    for (int i = 0; i < 5; ++i) {
        if (before[i] == after[i]) continue;
        Print(gCheckingTheCheck ? "the check noticed: " : "");
        Print(gCalling);
        Print(" changed ");
        Print(names[i]);
        Print(" from ");
        PrintHex(before[i]);
        Print(" to ");
        PrintHex(after[i]);
        Put('\n');
        Flush();
        // The stack may be off: go no further than this.
        ExitProcess(gCheckingTheCheck ? 0 : 1);
    }
}

// `call()` (one call into the plug-in) between two snapshots of the
// registers, which must agree.
template <typename Call>
__attribute__((noinline)) int32_t Checked(const char* name, const Call& call) {
    gCalling = name;
    SNAPSHOT(gBefore);
    gResult = call();
    SNAPSHOT(gAfter);
    CompareRegisters();
    return gResult;
}

// A getter's text (`get(text)`, one call into the plug-in), checked against
// the count it returns.
template <typename Get>
void PrintText(const char* name, const Get& get) {
    char text[CVX_TAG_FIELD_SIZE];
    for (char& c : text) c = 0x55;
    const int32_t count = Checked(name, [&] { return get(text); });
    Put('\t');
    if (count < 1 || count > CVX_TAG_FIELD_SIZE || text[count - 1] != '\0' || static_cast<int32_t>(Length(text)) + 1 != count) {
        Print("<count ");
        PrintNumber(count);
        Print(" does not match the text>");
        return;
    }
    PrintEscaped(text);
}

// Command-line words, with Windows' quoting of blanks.
int SplitCommandLine(char* line, char** words, int most) {
    int count = 0;
    char* out = line;
    for (const char* in = line; *in != '\0' && count < most;) {
        while (*in == ' ' || *in == '\t') ++in;
        if (*in == '\0') break;
        words[count++] = out;
        bool quoted = false;
        for (; *in != '\0' && (quoted || (*in != ' ' && *in != '\t')); ++in) {
            if (*in == '"') {
                quoted = !quoted;
            } else {
                *out++ = *in;
            }
        }
        *out++ = '\0';
        if (*in != '\0') ++in;
    }
    return count;
}

// The names of the files directly inside `folder`, sorted.
char gNames[1000][CVX_PATH_FIELD_SIZE];
int ListFiles(const char* folder) {
    char pattern[270];
    const size_t length = Length(folder);
    if (length + 3 > sizeof pattern) return 0;
    Copy(pattern, folder, length);
    Copy(pattern + length, "\\*", 3);
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern, &found);
    if (search == kInvalidHandle) return 0;
    int count = 0;
    do {
        if (!(found.dwFileAttributes & kAttributeDirectory) && count < 1000) {
            Copy(gNames[count++], found.cFileName, 260);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (int i = 1; i < count; ++i) {  // insertion sort: a folder of samples
        for (int j = i; j > 0 && Compare(gNames[j - 1], gNames[j]) > 0; --j) {
            char swap[CVX_PATH_FIELD_SIZE];
            Copy(swap, gNames[j], 260);
            Copy(gNames[j], gNames[j - 1], 260);
            Copy(gNames[j - 1], swap, 260);
        }
    }
    return count;
}

using CreateFileInfoEntry = FileInfo* (*)(int32_t);

void DumpFolder(const char* pluginPath, const char* folder) {
    void* plugin = LoadLibraryA(pluginPath);
    if (plugin == nullptr) Fail("msvc_host: cannot load the plug-in");
    const auto create = reinterpret_cast<CreateFileInfoEntry>(GetProcAddress(plugin, "CreateFileInfo"));
    if (create == nullptr) Fail("msvc_host: the plug-in exports no CreateFileInfo");
    const int count = ListFiles(folder);
    for (int i = 0; i < count; ++i) {
        char path[CVX_PATH_FIELD_SIZE];
        const size_t folderLength = Length(folder), nameLength = Length(gNames[i]);
        if (folderLength + 1 + nameLength + 1 > sizeof path) Fail("msvc_host: path too long");
        Copy(path, folder, folderLength);
        path[folderLength] = '\\';
        Copy(path + folderLength + 1, gNames[i], nameLength + 1);

        FileInfo* info = create(0);
        if (info == nullptr) Fail("msvc_host: CreateFileInfo(0) gave no object");
        const int32_t status = Checked("Open", [&] { return info->Open(path); });
        PrintEscaped(gNames[i]);
        Put('\t');
        PrintNumber(status);
        Put('\t');
        PrintNumber(Checked("GetFileSize", [&] { return info->GetFileSize(); }));
        Put('\t');
        PrintNumber(Checked("GetLength", [&] { return info->GetLength(); }));
        PrintText("GetLengthText", [&](char* text) { return info->GetLengthText(text); });
        PrintText("GetTitle", [&](char* text) { return info->GetTitle(text); });
        PrintText("GetArtist", [&](char* text) { return info->GetArtist(text); });
        PrintText("GetAlbum", [&](char* text) { return info->GetAlbum(text); });
        PrintText("GetComment", [&](char* text) { return info->GetComment(text); });
        PrintText("GetGenre", [&](char* text) { return info->GetGenre(text); });
        Put('\t');
        PrintNumber(Checked("GetYear", [&] { return info->GetYear(); }));
        Put('\t');
        PrintNumber(Checked("GetTrack", [&] { return info->GetTrack(); }));
        Put('\n');
        // GetFileName is checked too, though record_dump prints no path.
        char name[CVX_PATH_FIELD_SIZE];
        Checked("GetFileName", [&] { return info->GetFileName(name); });
        Checked("delete", [&] {
            delete info;
            return 0;
        });
    }
    Flush();
    FreeLibrary(plugin);
}

// An object whose GetTrack gives EBX back changed, as a callee built for
// another convention would: the compiler is not told, so it does not save it.
class ClobberingCallee : public FileInfo {
public:
    int32_t Open(const char*) override { return 1; }
    int32_t GetFileSize() override { return -1; }
    int32_t GetFileName(char* out) override { return *out = '\0', 1; }
    int32_t GetLength() override { return 0; }
    int32_t GetLengthText(char* out) override { return *out = '\0', 1; }
    int32_t GetTitle(char* out) override { return *out = '\0', 1; }
    int32_t GetArtist(char* out) override { return *out = '\0', 1; }
    int32_t GetAlbum(char* out) override { return *out = '\0', 1; }
    int32_t GetComment(char* out) override { return *out = '\0', 1; }
    int32_t GetGenre(char* out) override { return *out = '\0', 1; }
    int32_t GetYear() override { return 0; }
    int32_t GetTrack() override {
        asm volatile("movl $0x5EB0BAD5, %%ebx" ::: "memory");
        return 0;
    }
};

void CheckTheCheck() {
    gCheckingTheCheck = true;
    ClobberingCallee callee;
    FileInfo* volatile info = &callee;  // called through the table, not devirtualised
    Checked("GetTrack", [&] { return info->GetTrack(); });
    Fail("the check missed a callee that changed EBX");
}

}  // namespace

extern "C" void __cdecl start() {
    static char line[32768];
    const char* commandLine = GetCommandLineA();
    const size_t length = Length(commandLine);
    if (length + 1 > sizeof line) Fail("msvc_host: command line too long");
    Copy(line, commandLine, length + 1);
    char* words[4];
    const int count = SplitCommandLine(line, words, 4);
    if (count == 2 && Compare(words[1], "--check-the-check") == 0) CheckTheCheck();
    if (count != 3) Fail("usage: msvc_host PLUGIN FOLDER | msvc_host --check-the-check");
    DumpFolder(words[1], words[2]);
    ExitProcess(0);
}
