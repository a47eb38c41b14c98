// The files below the paths given on the command line, in a stable order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/cvxscan/failure.h"

namespace cvxscan {

struct WalkResult {
    std::vector<std::string> files;  // wanted, in walk order
    size_t otherFiles = 0;           // not wanted
};

// Every file in or below `paths` for which `wanted` is true: a path naming a
// file is taken as it is, a folder is walked recursively with the entries of
// each folder in byte order of their names. Links to folders are not
// followed, so a loop cannot trap the walk; a file reached twice (by
// overlapping paths) is taken once, by the path it was first reached by. A
// path that does not exist, a file given by name that is not wanted, a
// folder that cannot be listed or entered and an entry whose kind cannot be
// told each add a failure to `failures`.
WalkResult CollectFiles(const std::vector<std::string>& paths, const std::function<bool(const std::string&)>& wanted,
                        std::vector<Failure>& failures);

}  // namespace cvxscan
