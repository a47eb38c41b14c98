// Lists of paths to scan, as find, ls or a playlist writes them.
#pragma once

#include <string>
#include <vector>

#include "tools/cvxscan/failure.h"
#include "tools/cvxscan/options.h"

namespace cvxscan {

// The paths in `list` (the text of a list file): one per line, a CR before
// the LF dropped, or ended by NUL bytes when `nulSeparated`. Empty entries
// are skipped.
std::vector<std::string> SplitPathList(const std::string& list, bool nulSeparated);

// The paths to scan: those the options give, and those in the lists they
// name; a list that cannot be read, or is split by the wrong separator (the
// reason names the option to use), adds to `failures`.
std::vector<std::string> GatherPaths(const Options& options, std::vector<Failure>& failures);

}  // namespace cvxscan
