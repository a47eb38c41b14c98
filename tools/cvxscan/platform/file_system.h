// What cvxscan needs of the platform's file system, with names as the
// platform's narrow API has them: bytes on POSIX, the ANSI code page on
// Windows, where the host passes such names to the plug-ins.
#pragma once

#include <string>
#include <vector>

namespace cvxscan {

enum class EntryKind {
    kFolder,      // a folder itself, not a link to one
    kFolderLink,  // a link to a folder (a junction on Windows): not walked into
    kOther,       // anything else: a file, a link to one, a device
    kUnknown,     // what it is cannot be told; `error` says why
};

struct FolderEntry {
    std::string name;
    EntryKind kind;
    std::string error;
};

// The entries of `folder` but "." and "..", in no particular order. False,
// with the reason in `error`, when the folder cannot be read.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::string& error);

enum class PathKind { kMissing, kFolder, kFile };
// What `path` names, following links; `error` says why when it is missing.
PathKind KindOf(const std::string& path, std::string& error);

// `name` in `folder`, with one separator between them.
std::string JoinPath(const std::string& folder, const std::string& name);
// `path` with each run of separators made one ("Music//B-Sides" as
// "Music/B-Sides"), but a network path's leading pair on Windows.
std::string WithSingleSeparators(const std::string& path);
// Where the last component of `path` starts.
size_t FileNameOffset(const std::string& path);
// `path` made absolute against the current folder, so that loading a library
// by it never searches the library path.
std::string AbsolutePath(const std::string& path);
// `path` made absolute with the links in it resolved, so that two paths to
// one file or folder give the same; AbsolutePath's where that cannot be done.
std::string IdentityPath(const std::string& path);
// The folder the running program is in, or "." when it cannot be told.
std::string OwnFolder();

// Why the host could not read `path` as a file, in the system's words
// ("Permission denied"), or "not a regular file" or "empty file"; empty when
// it opens as a regular file holding data.
std::string WhyUnreadable(const std::string& path);
// Why a file at `path` could not be created or replaced, in the system's
// words, for the folder or the file; empty when nothing stands in the way.
std::string WhyUnwritable(const std::string& path);

// A file name for display, appended to `out`: UTF-8, with what cannot be
// read as a name of this platform shown as U+FFFD.
void AppendFileNameAsUtf8(std::string& out, const std::string& name);

}  // namespace cvxscan
