// INI access on POSIX systems: the text editor of ini_text.h over files that
// are replaced atomically, so a crash or a full disk never leaves a
// truncated file behind.
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "frame/ini_text.h"
#include "frame/platform/ini_file.h"
#include "frame/platform/path_separator.h"
#include "frame/platform/regular_file.h"
#include "frame/platform/unique_fd_posix.h"

namespace cvx {

namespace {

constexpr int kMaxSymbolicLinks = 40;  // as the kernel allows in one lookup
constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, like fopen's

// The whole file, or nothing when it is missing, not a regular file, or
// cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    FilePtr file = OpenRegularFileForReading(path.c_str());
    if (!file) return std::nullopt;
    std::string text;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, count);
    if (std::ferror(file.get())) return std::nullopt;
    return text;
}

// The file a plain write to `path` would change: symbolic links followed to
// their end, even when that end does not exist yet.
std::optional<std::string> ResolveWriteTarget(std::string path) {
    for (int hops = 0; hops < kMaxSymbolicLinks; ++hops) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
        if (length < 0) return std::nullopt;
        target[length] = '\0';
        path = target[0] == '/' ? std::string(target) : FolderOfPath(path) + "/" + target;
    }
    return std::nullopt;  // a loop of links
}

bool WriteAll(int fd, const std::string& text) {
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<size_t>(count);
    }
    return true;
}

// A new file beside `target` for the replacement, created with O_EXCL so it
// never reuses another writer's file (nor a leftover of a crashed one).
// None when the folder refuses it.
UniqueFd CreateTemporaryBeside(const std::string& target, std::string& temporaryPath) {
    constexpr int kNamesToTry = 100;
    for (int attempt = 0; attempt < kNamesToTry; ++attempt) {
        temporaryPath = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        UniqueFd fd(::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
        if (fd || errno != EEXIST) return fd;
    }
    return UniqueFd();
}

// Writes `text` to a temporary file, flushes it to disk and renames it over
// `target`; `existing` carries the permissions and owner to keep.
bool ReplaceFile(const std::string& target, const std::string& text, const struct stat* existing) {
    std::string temporaryPath;
    UniqueFd fd = CreateTemporaryBeside(target, temporaryPath);
    if (!fd) return false;

    bool ok = WriteAll(fd.get(), text);
    if (ok && existing != nullptr) {
        ok = ::fchmod(fd.get(), existing->st_mode & 07777) == 0;
        // Only a privileged process can give the file back to another owner;
        // anyone else keeps the file as their own, as a plain write would not.
        if (ok && (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid())) {
            (void)!::fchown(fd.get(), existing->st_uid, existing->st_gid);
        }
    }
    ok = ok && ::fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    ok = ok && ::rename(temporaryPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporaryPath.c_str());
        return false;
    }
    // Make the rename itself durable; the file is already in place if this fails.
    const UniqueFd folder(::open(FolderOfPath(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) ::fsync(folder.get());
    return true;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

std::string ReadIniString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return defaultValue;
    return FindIniValue(*text, section, key).value_or(defaultValue);
}

bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
    // A line break would split the key line and corrupt the file.
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;

    const std::optional<std::string> target = ResolveWriteTarget(path);
    if (!target) return false;

    struct stat existing;
    const bool exists = ::stat(target->c_str(), &existing) == 0;
    std::string text;
    if (exists) {
        // Renaming needs only the folder's permission; insist on the file's
        // own, as a plain write would, and never replace a non-file.
        if (!S_ISREG(existing.st_mode)) return false;
        if (::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) return false;
        std::optional<std::string> current = ReadWholeFile(*target);
        if (!current) return false;
        text = std::move(*current);
    } else if (errno != ENOENT) {
        return false;
    }

    const IniEdit edit = SetIniValue(text, section, key, value);
    if (edit.change == IniChange::kUnchanged) return true;
    return ReplaceFile(*target, edit.text, exists ? &existing : nullptr);
}

}  // namespace cvx
