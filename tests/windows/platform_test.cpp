// The Windows platform layers, called directly: double-byte code pages are
// given explicitly, so these run on a Wine set to any code page.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "comment/append_tag_value.h"
#include "comment/platform/code_page_conversion_win32.h"
#include "flac/platform/libflac_path.h"
#include "frame/platform/code_page_text_win32.h"
#include "frame/platform/ini_file.h"
#include "frame/platform/ini_lock.h"
#include "frame/platform/regular_file.h"
#include "frame/plugin_ini_path.h"
#include "frame/tag_record.h"
#include "tests/support/check.h"

namespace cvx::testing {

using namespace cvx::comment;
using namespace cvx::flac;

namespace {

constexpr UINT kShiftJis = 932;
constexpr UINT kWestern = 1252;
constexpr UINT kUtf8 = 65001;  // the ANSI code page Windows 10 can be set to
// U+8868 in Shift-JIS is 0x95 0x5C: its trail byte is the byte of '\'.
constexpr char kTrailBackslash[] = "\x95\x5C";
constexpr uint16_t kTrailBackslashUnit = 0x8868;

void SeparatorSearchSkipsTrailBytes() {
    const std::string path = std::string("D:\\Music") + kTrailBackslash;
    CHECK(FindLastCharacter(kShiftJis, path, '\\') == 2);
    CHECK(FindLastCharacter(kWestern, path, '\\') == path.size() - 1);
    CHECK(FindLastCharacter(kShiftJis, "plain", '\\') == std::string::npos);
    // A lead byte at the very end has no trail byte: it is a character alone.
    CHECK(FindLastCharacter(kShiftJis, std::string("a\\\x95"), '\\') == 1);
}

void PluginIniSitsThreeLevelsUp() {
    CHECK(PluginIniPath("D:\\Apps\\Cat\\Plugins\\Formats\\OGG.cvx") == "D:\\Apps\\Cat\\plugin.ini");
    CHECK(PluginIniPath("OGG.cvx") == "OGG.cvx\\plugin.ini");
}

void CutsNeverSplitACharacter() {
    const std::string text = std::string("ab") + kTrailBackslash + kTrailBackslash;
    CHECK(WholeCharacterPrefix(kShiftJis, text.data(), text.size(), 3) == 2);
    CHECK(WholeCharacterPrefix(kShiftJis, text.data(), text.size(), 4) == 4);
    CHECK(WholeCharacterPrefix(kShiftJis, text.data(), text.size(), 100) == text.size());
    CHECK(WholeCharacterPrefix(kWestern, text.data(), text.size(), 3) == 3);
}

void LongConversionKeepsWholeCharacters() {
    // 300 characters of two bytes each: 600 bytes for a 512-byte field.
    uint16_t units[301];
    for (int i = 0; i < 300; ++i) units[i] = kTrailBackslashUnit;
    units[300] = 0;
    char out[kTagFieldSize];
    CHECK(ConvertToCodePage(kShiftJis, units, out, sizeof out) == 511);
    CHECK(std::strlen(out) == 510);
    CHECK(std::memcmp(out + 508, kTrailBackslash, 2) == 0);

    // What fits is converted as it is.
    const uint16_t short_units[] = {'A', 0x00E9, 0};
    CHECK(ConvertToCodePage(kWestern, short_units, out, sizeof out) == 3);
    CHECK(std::strcmp(out, "A\xE9") == 0);
    // A pair of surrogates is never cut in half.
    const uint16_t pair[] = {'A', 0xD83C, 0xDFB5, 0};
    CHECK(ConvertToCodePage(kWestern, pair, out, 3) == 2);
    CHECK(std::strcmp(out, "A") == 0);
}

// In UTF-8 a character takes up to four bytes: no cut may end inside one.
void Utf8CutsWholeSequences() {
    const std::string euros = "ab\xE2\x82\xAC\xE2\x82\xAC";  // "ab€€"
    CHECK(WholeCharacterPrefix(kUtf8, euros.data(), euros.size(), 4) == 2);
    CHECK(WholeCharacterPrefix(kUtf8, euros.data(), euros.size(), 5) == 5);
    CHECK(WholeCharacterPrefix(kUtf8, euros.data(), euros.size(), 7) == 5);
    // A sequence without its continuation bytes is cut a byte at a time.
    CHECK(WholeCharacterPrefix(kUtf8, "a\xE2\x82" "b", 4, 3) == 3);
    CHECK(FindLastCharacter(kUtf8, "x\\\xE2\x82\xAC", '\\') == 1);

    // A joined field's cut: 300 euros converted whole (what fits: 170 of
    // three bytes), then cut to the 109 bytes left after 400 bytes and ", ".
    uint16_t units[301];
    for (int i = 0; i < 300; ++i) units[i] = 0x20AC;
    units[300] = 0;
    char converted[kTagFieldSize];
    const size_t size = ConvertToCodePage(kUtf8, units, converted, sizeof converted);
    CHECK(size == 511);
    CHECK(WholeCharacterPrefix(kUtf8, converted, size - 1, kTagFieldSize - 1 - 402) == 108);
}

// The whole chain under the system's code page, when that is 932: a value
// appended to a nearly full field is cut before a character, not inside it.
void AppendingUnderShiftJisCutsWholeCharacters() {
    if (GetACP() != kShiftJis) return;
    char field[kTagFieldSize];
    std::memset(field, 'a', 400);
    field[400] = '\0';
    std::string value;
    for (int i = 0; i < 100; ++i) value += "\xE8\xA1\xA8";  // U+8868 in UTF-8
    AppendTagValue(field, reinterpret_cast<const uint8_t*>(value.data()), static_cast<uint32_t>(value.size()),
                   kTagFieldSize);
    // 400 + ", " + 54 characters of two bytes: 510 bytes, the 511th would
    // have been half a character.
    CHECK(std::strlen(field) == 510);
    CHECK(std::memcmp(field + 508, kTrailBackslash, 2) == 0);
}

void LibFlacGetsUtf8Names() {
    if (GetACP() != kWestern) return;  // 0xE9 is 'é' only there
    LibFlacPath buffer;
    const char* converted = LibFlacFileName("C:\\t\xE9st.flac", buffer);
    CHECK(converted != nullptr && std::strcmp(converted, "C:\\t\xC3\xA9st.flac") == 0);
}

std::string TemporaryPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name + "-" + std::to_string(GetCurrentProcessId());
}

void ProfileValuesAreReadWhole() {
    const std::string ini = TemporaryPath("platform_test.ini");
    CHECK(ReadIniString(ini, "Corvane", "corvane_extlist", "default") == "default");
    const std::string longList(1000, 'X');
    CHECK(WriteIniString(ini, "Corvane", "corvane_extlist", longList));
    CHECK(ReadIniString(ini, "Corvane", "corvane_extlist", "default") == longList);
    DeleteFileA(ini.c_str());
}

void OnlyFilesOnDiskAreOpened() {
    CHECK(!OpenRegularFileForReading("NUL"));
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    CHECK(!OpenRegularFileForReading(folder));
    const std::string file = TemporaryPath("platform_test.bin");
    std::FILE* created = std::fopen(file.c_str(), "wb");
    CHECK(created != nullptr);
    if (created != nullptr) std::fclose(created);
    CHECK(OpenRegularFileForReading(file.c_str()) != nullptr);
    DeleteFileA(file.c_str());
}

DWORD WINAPI CallInstall(void* install) {
    return static_cast<DWORD>(reinterpret_cast<int32_t(__cdecl*)()>(install)());
}

// OGG.cvx from `pluginFolder`, copied into ROOT\Plugins\Formats, calls
// Install from a thread of its own while this one holds the lock of
// ROOT\plugin.ini: it must give up after its five seconds, writing
// nothing.
void InstallGivesUpWhenTheLockIsHeld(const char* pluginFolder) {
    const std::string root = TemporaryPath("install_waits");
    const std::string formats = root + "\\Plugins\\Formats", ini = root + "\\plugin.ini";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\Plugins").c_str(), nullptr);
    CreateDirectoryA(formats.c_str(), nullptr);
    const std::string copy = formats + "\\OGG.cvx";
    CHECK(CopyFileA((std::string(pluginFolder) + "\\OGG.cvx").c_str(), copy.c_str(), FALSE));
    const std::string before = "[Corvane]\r\ncorvane_extlist=MP3\r\n";
    std::FILE* out = std::fopen(ini.c_str(), "wb");
    CHECK(out != nullptr);
    if (out != nullptr) {
        std::fputs(before.c_str(), out);
        std::fclose(out);
    }
    HMODULE plugin = LoadLibraryA(copy.c_str());
    CHECK(plugin != nullptr);
    void* install = plugin ? reinterpret_cast<void*>(GetProcAddress(plugin, "Install")) : nullptr;
    CHECK(install != nullptr);
    if (install != nullptr) {
        const IniFileLock held(ini);
        CHECK(held.held());
        const DWORD start = GetTickCount();
        HANDLE caller = CreateThread(nullptr, 0, CallInstall, install, 0, nullptr);
        WaitForSingleObject(caller, INFINITE);
        DWORD result = 99;
        GetExitCodeThread(caller, &result);
        CloseHandle(caller);
        CHECK(result == 0);
        CHECK(GetTickCount() - start >= 4500);
    }
    char after[256] = {};
    if (std::FILE* in = std::fopen(ini.c_str(), "rb")) {
        after[std::fread(after, 1, sizeof after - 1, in)] = '\0';
        std::fclose(in);
    }
    CHECK(before == after);
    if (plugin != nullptr) FreeLibrary(plugin);
    DeleteFileA(copy.c_str());
    DeleteFileA(ini.c_str());
    RemoveDirectoryA(formats.c_str());
    RemoveDirectoryA((root + "\\Plugins").c_str());
    RemoveDirectoryA(root.c_str());
}

}  // namespace

// platform_test [CODE_PAGE]: with an argument, fails unless the system's
// ANSI code page is that one, so a run meant for a double-byte code page
// cannot pass without one.
// platform_test --install-waits PLUGIN_FOLDER: only the wait for the
// registration lock, which takes its five seconds.
int Main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--install-waits") == 0) {
        InstallGivesUpWhenTheLockIsHeld(argv[2]);
        std::printf("%s: %d failed check(s)\n", gCheckFailures ? "FAILED" : "passed", gCheckFailures);
        return gCheckFailures ? 1 : 0;
    }
    if (argc > 1 && GetACP() != static_cast<UINT>(std::atoi(argv[1]))) {
        std::printf("FAILED: ANSI code page %u, not %s\n", GetACP(), argv[1]);
        return 1;
    }
    SeparatorSearchSkipsTrailBytes();
    PluginIniSitsThreeLevelsUp();
    CutsNeverSplitACharacter();
    LongConversionKeepsWholeCharacters();
    Utf8CutsWholeSequences();
    AppendingUnderShiftJisCutsWholeCharacters();
    LibFlacGetsUtf8Names();
    ProfileValuesAreReadWhole();
    OnlyFilesOnDiskAreOpened();
    std::printf("%s: %d failed check(s), ANSI code page %u\n", gCheckFailures ? "FAILED" : "passed", gCheckFailures, GetACP());
    return gCheckFailures ? 1 : 0;
}

}  // namespace cvx::testing

int main(int argc, char** argv) { return cvx::testing::Main(argc, argv); }
