// What cvxscan needs of the platform's file system and console, with names
// as the platform's narrow API has them: bytes on POSIX, the ANSI code page
// on Windows, where the host passes such names to the plug-ins.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct FolderEntry {
    std::string name;
    bool isFolder;  // a folder itself, not a link to one
};

// The entries of `folder` but "." and "..", in no particular order. False,
// with the reason in `error`, when the folder cannot be read.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::string& error);

enum class PathKind { kMissing, kFolder, kFile };
// What `path` names, following links; `error` says why when it is missing.
PathKind KindOf(const std::string& path, std::string& error);

// `name` in `folder`, with one separator between them.
std::string JoinPath(const std::string& folder, const std::string& name);
// The last component of `path`.
std::string FileNameOf(const std::string& path);
// `path` made absolute against the current folder, so that loading a library
// by it never searches the library path.
std::string AbsolutePath(const std::string& path);
// The folder the running program is in, or "." when it cannot be told.
std::string OwnFolder();

// Whether `stream` is a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);
// Sets up standard output for the catalogue: its bytes go out as written.
void PrepareStandardOutput();

// A file name for display: UTF-8, with what cannot be read as a name of this
// platform shown as U+FFFD.
std::string FileNameToUtf8(const std::string& name);
