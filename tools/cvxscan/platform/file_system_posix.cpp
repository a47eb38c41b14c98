#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "frame/platform/unique_fd_posix.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/fit_text.h"
#include "tools/cvxscan/report.h"
#include "tools/cvxscan/utf8_text.h"

namespace cvxscan {


namespace fs = std::filesystem;

namespace {

std::string SystemText(int code) { return SystemErrorText(code); }

struct FolderStream {
    explicit FolderStream(const std::string& path) : stream(opendir(path.c_str())) {}
    ~FolderStream() {
        if (stream != nullptr) closedir(stream);
    }
    FolderStream(const FolderStream&) = delete;
    FolderStream& operator=(const FolderStream&) = delete;
    DIR* const stream;
};

}  // namespace

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::string& error) {
    const FolderStream listing(folder);
    if (listing.stream == nullptr) {
        error = SystemText(errno);
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(listing.stream);
        if (entry == nullptr) break;
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        // Most file systems give the type with the name; others need a look.
        unsigned char type = entry->d_type;
        std::string why;
        struct stat status;
        if (type == DT_UNKNOWN) {
            if (fstatat(dirfd(listing.stream), name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
                type = S_ISDIR(status.st_mode) ? DT_DIR : S_ISLNK(status.st_mode) ? DT_LNK : DT_REG;
            } else {
                why = SystemText(errno);
            }
        }
        // A link is looked through only to tell a link to a folder.
        const bool folderLink = type == DT_LNK && fstatat(dirfd(listing.stream), name, &status, 0) == 0 &&
                                S_ISDIR(status.st_mode);
        const EntryKind kind = !why.empty()     ? EntryKind::kUnknown
                               : type == DT_DIR ? EntryKind::kFolder
                               : folderLink     ? EntryKind::kFolderLink
                                                : EntryKind::kOther;
        entries.push_back({name, kind, std::move(why)});
    }
    if (errno != 0) {
        error = SystemText(errno);
        return false;
    }
    return true;
}

PathKind KindOf(const std::string& path, std::string& error) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        const int reason = errno;
        // A link to nothing is a file the plug-in is asked about, as in a walk.
        if (lstat(path.c_str(), &status) == 0) return PathKind::kFile;
        error = SystemText(reason);
        return PathKind::kMissing;
    }
    return S_ISDIR(status.st_mode) ? PathKind::kFolder : PathKind::kFile;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path = folder;
    if (!path.empty() && path.back() != '/') path += '/';
    return path += name;
}

const char kPathSeparators[] = "/";

std::string WithSingleSeparators(const std::string& path) {
    std::string single;
    for (const char c : path) {
        if (!(c == '/' && !single.empty() && single.back() == '/')) single += c;
    }
    return single;
}

size_t FileNameOffset(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;  // no current folder: the path as it is
    const fs::path absolute = fs::absolute(path, error);
    return (error ? fs::path(path) : absolute).lexically_normal().string();
}

std::string IdentityPath(const std::string& path) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(AbsolutePath(path), error);
    return error ? AbsolutePath(path) : resolved.string();
}

std::string OwnFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

std::string WhyUnreadable(const std::string& path) {
    // Without blocking on a FIFO or a device that waits for a peer.
    const cvx::UniqueFd file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file) return SystemText(errno);
    struct stat status;
    if (fstat(file.get(), &status) != 0) return SystemText(errno);
    if (!S_ISREG(status.st_mode)) return "not a regular file";
    return status.st_size == 0 ? "empty file" : std::string();
}

std::string WhyUnwritable(const std::string& path) {
    const size_t nameStart = FileNameOffset(path);
    const std::string folder = nameStart == 0 ? "." : nameStart == 1 ? "/" : path.substr(0, nameStart - 1);
    // A new copy is written beside the file and renamed over it.
    if (access(folder.c_str(), W_OK | X_OK) != 0) return folder + ": " + SystemText(errno);
    if (access(path.c_str(), F_OK) == 0 && access(path.c_str(), R_OK | W_OK) != 0) return SystemText(errno);
    return {};
}

// File names on Linux are bytes, not always UTF-8.
void AppendHostNameAsUtf8(std::string& out, const std::string& name) { AppendValidUtf8(out, name); }

std::vector<std::string> CommandLineArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

std::string PathFromListText(const std::string& text) { return text; }

bool HostPathFor(const std::string& path, std::string& hostPath, std::string&) {
    hostPath = path;
    return true;
}

cvx::FilePtr OpenStream(const std::string& path) { return cvx::FilePtr(std::fopen(path.c_str(), "rb")); }

}  // namespace cvxscan
