#include <windows.h>

#include <algorithm>

#include "frame/platform/code_page_text_win32.h"
#include "frame/platform/path_separator.h"
#include "tools/cvxscan/platform/file_system.h"

namespace cvxscan {


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
    const size_t backslash = cvx::FindLastPathSeparator(path);
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
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entries.push_back({name, !isFolder ? EntryKind::kOther : isLink ? EntryKind::kFolderLink : EntryKind::kFolder, {}});
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
    return endsWithSeparator ? folder + name : folder + cvx::kPathSeparator + name;
}

std::string WithSingleSeparators(const std::string& path) {
    std::string single;
    bool afterSeparator = false;
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        const bool separator = c == '\\' || c == '/';
        // The second of a network path's leading pair stays.
        if (separator && afterSeparator && i != 1) continue;
        single += c;
        afterSeparator = separator;
        // A double-byte character's trail byte may equal '\\' and is no separator.
        if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < path.size()) single += path[++i];
    }
    return single;
}

size_t FileNameOffset(const std::string& path) {
    const size_t separator = LastSeparator(path);
    return separator == std::string::npos ? 0 : separator + 1;
}

std::string AbsolutePath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length == 0 || length >= sizeof full ? path : std::string(full, length);
}

// Junctions are not walked into, so a folder is reached by one path.
std::string IdentityPath(const std::string& path) { return AbsolutePath(path); }

std::string OwnFolder() {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) return ".";
    const std::string path(self, length);
    const size_t separator = LastSeparator(path);
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

std::string WhyUnreadable(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
    if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return folder + ": " + LastErrorText();
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return {};
    }
    return GetLastError() == ERROR_FILE_NOT_FOUND ? std::string() : LastErrorText();
}

void AppendFileNameAsUtf8(std::string& out, const std::string& name) {
    if (name.empty()) return;
    const int units = MultiByteToWideChar(cvx::kHostCodePage, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(cvx::kHostCodePage, 0, name.data(), static_cast<int>(name.size()), wide.data(), units);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, out.data() + start, bytes, nullptr, nullptr);
}

}  // namespace cvxscan
