// What cvxscan could not read or do, as one kind of record: a line on
// stderr, a count in the summary and, in CSV and JSON, a record.
#pragma once

#include <string>

namespace cvxscan {

enum class FailureKind {
    kFile,     // a plug-in, or the host before it, could not read the file
    kFolder,   // a folder that cannot be listed or entered
    kPath,     // a PATH or list entry that names nothing to read
    kList,     // a list of paths that cannot be read
    kPlugin,   // a plug-in that cannot be loaded or names no extension
    kInstall,  // a plug-in's Install that failed
};

struct Failure {
    FailureKind kind;
    std::string path;    // what failed, as given or found
    std::string plugin;  // file name of the plug-in concerned, or empty
    std::string reason;  // never empty
};

// The line for stderr, without "cvxscan: ": "PATH: reason (PLUGIN)"; for a
// plug-in "PLUGIN: reason", for an Install "PLUGIN: PLUGIN_INI: reason", as
// the lines of plug-ins that load and install well read.
std::string Describe(const Failure& failure);

// Every kind, in the order the summary counts them, with its noun: "file",
// "folder", "path", "list", "plug-in", "installation".
struct FailureKindName {
    FailureKind kind;
    const char* noun;
};
extern const FailureKindName kFailureKinds[6];

}  // namespace cvxscan
