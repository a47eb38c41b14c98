#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/text.h"

namespace fs = std::filesystem;

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::string& error) {
    std::error_code failure;
    for (fs::directory_iterator it(folder, failure), end; !failure && it != end; it.increment(failure)) {
        std::error_code ignored;
        entries.push_back({it->path().filename().string(), fs::is_directory(it->symlink_status(ignored))});
    }
    if (failure) error = failure.message();
    return !failure;
}

PathKind KindOf(const std::string& path, std::string& error) {
    std::error_code failure;
    const fs::file_status status = fs::status(path, failure);
    if (!fs::exists(status)) {
        error = failure ? failure.message() : "no such file or folder";
        return PathKind::kMissing;
    }
    return fs::is_directory(status) ? PathKind::kFolder : PathKind::kFile;
}

std::string JoinPath(const std::string& folder, const std::string& name) { return (fs::path(folder) / name).string(); }

std::string FileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

std::string AbsolutePath(const std::string& path) { return fs::absolute(path).string(); }

std::string OwnFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

void PrepareStandardOutput() {}

// File names on Linux are bytes, not always UTF-8.
std::string FileNameToUtf8(const std::string& name) { return ValidUtf8(name); }
