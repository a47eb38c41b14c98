// Paths within cvxscan are UTF-8 of the wide names: every call here goes
// through the wide (UTF-16) functions, so a name the ANSI code page cannot
// hold is still found, told apart from its neighbours and shown as it is.
// Only the path handed to a plug-in is 8-bit (HostPathFor).
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "frame/platform/code_page_text_win32.h"
#include "frame/platform/path_separator.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/platform/wide_text_win32.h"
#include "tools/cvxscan/utf8_text.h"

namespace cvxscan {

namespace {

// `wide` in the host's code page where it holds every character exactly:
// no character replaced by the default one or by a best fit, which the
// conversion back would not restore. UTF-8 as the ANSI code page (Windows
// 10) has neither, and refuses the flags that ask about them.
bool ExactlyInHostCodePage(const std::wstring& wide, std::string& text) {
    if (wide.empty()) {
        text.clear();
        return true;
    }
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const askUsedDefault = utf8 ? nullptr : &usedDefault;
    const int units = static_cast<int>(wide.size());
    const int bytes =
        WideCharToMultiByte(cvx::kHostCodePage, flags, wide.data(), units, nullptr, 0, nullptr, askUsedDefault);
    if (bytes == 0 || usedDefault) return false;
    text.assign(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(cvx::kHostCodePage, flags, wide.data(), units, text.data(), bytes, nullptr, askUsedDefault);
    std::wstring back(static_cast<size_t>(units), L'\0');
    const int backUnits = MultiByteToWideChar(cvx::kHostCodePage, MB_ERR_INVALID_CHARS, text.data(), bytes, back.data(),
                                              units);
    return !usedDefault && backUnits == units && back == wide;
}

// The system's text for the last error, without its line end.
std::string LastErrorText() {
    wchar_t text[256] = L"";
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(),
                                  0, text, static_cast<DWORD>(std::size(text)), nullptr);
    while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r' || text[length - 1] == L'.')) --length;
    return length == 0 ? std::string("cannot be read") : Utf8(text, length);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The last '\' or '/', or npos (UTF-8 has no byte of a character that
// equals either).
size_t LastSeparator(const std::string& path) { return path.find_last_of(kPathSeparators); }

// A wide path's full form from a Windows function that answers its length.
template <typename Call>
std::wstring WideAnswer(Call call) {
    std::wstring answer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = call(answer.data(), static_cast<DWORD>(answer.size()));
        if (length == 0) return {};
        if (length < answer.size()) {
            answer.resize(length);
            return answer;
        }
        answer.resize(length + 1);
    }
}

}  // namespace

const char kPathSeparators[] = "\\/";

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8(wide[i], wcslen(wide[i])));
    LocalFree(wide);
    return arguments;
}

std::string PathFromListText(const std::string& text) {
    std::string valid;
    AppendValidUtf8(valid, text);
    return valid == text ? text : Utf8(WideFrom(cvx::kHostCodePage, text));
}

bool HostPathFor(const std::string& path, std::string& hostPath, std::string& why) {
    const std::wstring wide = Wide(path);
    if (ExactlyInHostCodePage(wide, hostPath)) return true;
    // The volume's short names, where it keeps them, are ASCII.
    const std::wstring shortPath =
        WideAnswer([&](wchar_t* out, DWORD room) { return GetShortPathNameW(wide.c_str(), out, room); });
    if (!shortPath.empty() && ExactlyInHostCodePage(shortPath, hostPath)) return true;
    why = "the name cannot be written in code page " + std::to_string(GetACP()) +
          ", and the volume keeps no short name for it";
    return false;
}

cvx::FilePtr OpenStream(const std::string& path) { return cvx::FilePtr(_wfopen(Wide(path).c_str(), L"rb")); }

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::string& error) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Wide(JoinPath(folder, "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        error = LastErrorText();
        return false;
    }
    do {
        const std::string name = Utf8(found.cFileName, wcslen(found.cFileName));
        if (name == "." || name == "..") continue;
        // A junction or symbolic link to a folder is not walked into.
        const DWORD attributes = found.dwFileAttributes;
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entries.push_back({name, !isFolder ? EntryKind::kOther : isLink ? EntryKind::kFolderLink : EntryKind::kFolder, {}});
    } while (FindNextFileW(search, &found));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    if (!complete) error = LastErrorText();
    FindClose(search);
    return complete;
}

PathKind KindOf(const std::string& path, std::string& error) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        error = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? "no such file or folder" : LastErrorText();
        return PathKind::kMissing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder : PathKind::kFile;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const bool endsWithSeparator = IsSeparator(folder.back()) || folder.back() == ':';
    return endsWithSeparator ? folder + name : folder + cvx::kPathSeparator + name;
}

std::string WithSingleSeparators(const std::string& path) {
    std::string single;
    for (size_t i = 0; i < path.size(); ++i) {
        // The second of a network path's leading pair stays.
        if (IsSeparator(path[i]) && !single.empty() && IsSeparator(single.back()) && i != 1) continue;
        single += path[i];
    }
    return single;
}

size_t FileNameOffset(const std::string& path) {
    const size_t separator = LastSeparator(path);
    return separator == std::string::npos ? 0 : separator + 1;
}

std::string AbsolutePath(const std::string& path) {
    const std::wstring wide = Wide(path);
    const std::wstring full =
        WideAnswer([&](wchar_t* out, DWORD room) { return GetFullPathNameW(wide.c_str(), room, out, nullptr); });
    return full.empty() ? path : Utf8(full);
}

// The final path the system resolves, links and junctions followed, where
// the file or folder can be opened.
std::string IdentityPath(const std::string& path) {
    const HANDLE handle = CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return AbsolutePath(path);
    const std::wstring final =
        WideAnswer([&](wchar_t* out, DWORD room) { return GetFinalPathNameByHandleW(handle, out, room, 0); });
    CloseHandle(handle);
    return final.empty() ? AbsolutePath(path) : Utf8(final);
}

std::string OwnFolder() {
    const std::wstring self = WideAnswer([](wchar_t* out, DWORD room) {
        const DWORD length = GetModuleFileNameW(nullptr, out, room);
        return length == room ? room + 1 : length;  // cut short: ask again with more room
    });
    const std::string path = Utf8(self);
    const size_t separator = LastSeparator(path);
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

std::string WhyUnreadable(const std::string& path) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrorText();
    std::string why;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK) why = "not a regular file";
    else if (GetFileSizeEx(file, &size) && size.QuadPart == 0) why = "empty file";
    CloseHandle(file);
    return why;
}

std::string WhyUnwritable(const std::string& path) {
    const size_t nameStart = FileNameOffset(path);
    const std::string folder = nameStart == 0 ? std::string(".") : path.substr(0, nameStart - 1);
    if (GetFileAttributesW(Wide(folder).c_str()) == INVALID_FILE_ATTRIBUTES) return folder + ": " + LastErrorText();
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return {};
    }
    return GetLastError() == ERROR_FILE_NOT_FOUND ? std::string() : LastErrorText();
}

void AppendHostNameAsUtf8(std::string& out, const std::string& name) { out += Utf8(WideFrom(cvx::kHostCodePage, name)); }

}  // namespace cvxscan
