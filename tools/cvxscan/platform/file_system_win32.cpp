#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>

#include "frame/platform/code_page_text_win32.h"
#include "frame/platform/path_separator.h"
#include "tools/cvxscan/platform/file_system.h"

namespace {

// The system's text for the last error, without its line end.
std::string LastErrorText() {
    char text[256] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        GetLastError(), 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "cannot be read" : message;
}

// The last '\' (never a double-byte character's trail byte) or '/' (which
// no trail byte equals), or npos.
size_t LastSeparator(const std::string& path) {
    const size_t backslash = FindLastPathSeparator(path);
    const size_t slash = path.rfind('/');
    if (backslash == std::string::npos) return slash;
    return slash == std::string::npos ? backslash : std::max(backslash, slash);
}

}  // namespace

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::string& error) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(JoinPath(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        error = LastErrorText();
        return false;
    }
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        // A junction or symbolic link to a folder is not walked into.
        const DWORD attributes = found.dwFileAttributes;
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        entries.push_back({name, isFolder});
    } while (FindNextFileA(search, &found));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    if (!complete) error = LastErrorText();
    FindClose(search);
    return complete;
}

PathKind KindOf(const std::string& path, std::string& error) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        error = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? "no such file or folder" : LastErrorText();
        return PathKind::kMissing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder : PathKind::kFile;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const bool endsWithSeparator = LastSeparator(folder) == folder.size() - 1 || folder.back() == ':';
    return endsWithSeparator ? folder + name : folder + kPathSeparator + name;
}

std::string FileNameOf(const std::string& path) {
    const size_t separator = LastSeparator(path);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string AbsolutePath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length == 0 || length >= sizeof full ? path : std::string(full, length);
}

std::string OwnFolder() {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) return ".";
    const std::string path(self, length);
    const size_t separator = LastSeparator(path);
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

bool IsTerminal(std::FILE* stream) {
    DWORD mode;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}

void PrepareStandardOutput() {
    // The catalogue is UTF-8 with its own line ends (CRLF in CSV): nothing
    // may be translated on the way out.
    _setmode(_fileno(stdout), _O_BINARY);
    // A console shows the UTF-8 table as it is, and obeys the sequence that
    // erases the progress line.
    if (IsTerminal(stdout)) SetConsoleOutputCP(CP_UTF8);
    DWORD mode;
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    if (GetConsoleMode(console, &mode)) SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

std::string FileNameToUtf8(const std::string& name) {
    if (name.empty()) return name;
    const int units = MultiByteToWideChar(kHostCodePage, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(kHostCodePage, 0, name.data(), static_cast<int>(name.size()), wide.data(), units);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}
