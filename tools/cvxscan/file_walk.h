// The files below the paths given on the command line, in a stable order.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/cvxscan/failure.h"

namespace cvxscan {

struct WalkResult {
    std::vector<std::string> files;  // wanted, in walk order
    // Files no plug-in wants, by extension (lower case, with its dot; empty
    // for none), each counted once however many paths reach it.
    std::map<std::string, size_t> otherFiles;
    size_t folderLinks = 0;  // links to folders met in a walk, not followed
};

// Every file in or below `paths` for which `wanted` is true: a path naming a
// file is taken as it is, a folder is walked recursively with the entries of
// each folder in byte order of their names. Links to folders met in a walk
// are not followed, so a loop cannot trap the walk, and are counted; a file
// reached twice (by overlapping paths) is taken once, by the path it was
// first reached by. A file no plug-in wants is an other file, whether met
// in a walk or named. A path that does not exist, a folder that cannot be
// listed or entered and an entry whose kind cannot be told each add a
// failure to `failures`.
WalkResult CollectFiles(const std::vector<std::string>& paths, const std::function<bool(const std::string&)>& wanted,
                        std::vector<Failure>& failures);

}  // namespace cvxscan
