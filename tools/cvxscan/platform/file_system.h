// What cvxscan needs of the platform's file system. Paths within cvxscan
// are the platform's own names: bytes on POSIX, UTF-8 of the wide (UTF-16)
// names on Windows, so that every name a folder holds is told apart. The
// host hands the plug-ins 8-bit paths in the ANSI code page: HostPathFor
// makes one for a file where it can.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "frame/platform/regular_file.h"

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

// The command line's arguments as paths within cvxscan (on Windows from the
// wide command line, not the ANSI one, which loses what the code page lacks).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// A path read from a list file, as a path within cvxscan: on Windows UTF-8
// as it is, or else taken as the ANSI code page (as `dir /b > list.txt`
// writes it).
std::string PathFromListText(const std::string& text);

// The path the host would give a plug-in for the file at `path`: on POSIX
// `path`; on Windows its ANSI form where the code page holds every
// character exactly, else its short (8.3) form where the volume keeps one.
// False, with the reason in `why`, where neither exists.
bool HostPathFor(const std::string& path, std::string& hostPath, std::string& why);

// The file at `path` opened for binary reading, or null (errno set).
cvx::FilePtr OpenStream(const std::string& path);

enum class PathKind { kMissing, kFolder, kFile };
// What `path` names, following links; `error` says why when it is missing.
PathKind KindOf(const std::string& path, std::string& error);

// The characters that end a path's folder names: '/' on POSIX; '\' and '/'
// on Windows.
extern const char kPathSeparators[];

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

// A name as the host and the plug-ins have it (GetFileName's), appended to
// `out` as UTF-8: bytes made valid UTF-8 on POSIX, the ANSI code page
// converted on Windows.
void AppendHostNameAsUtf8(std::string& out, const std::string& name);

}  // namespace cvxscan
