// Lists of paths to scan, as find, ls or a playlist writes them.
#pragma once

#include <string>
#include <vector>

namespace cvxscan {

// The paths in `list` (the text of a list file): one per line, a CR before
// the LF dropped, or ended by NUL bytes when `nulSeparated`. Empty entries
// are skipped.
std::vector<std::string> SplitPathList(const std::string& list, bool nulSeparated);

}  // namespace cvxscan
