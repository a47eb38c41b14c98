#include "tools/cvxscan/path_list.h"

namespace cvxscan {

std::vector<std::string> SplitPathList(const std::string& list, bool nulSeparated) {
    const char end = nulSeparated ? '\0' : '\n';
    std::vector<std::string> paths;
    for (size_t start = 0; start < list.size();) {
        size_t stop = list.find(end, start);
        if (stop == std::string::npos) stop = list.size();
        size_t length = stop - start;
        if (!nulSeparated && length > 0 && list[stop - 1] == '\r') --length;
        if (length > 0) paths.emplace_back(list, start, length);
        start = stop + 1;
    }
    return paths;
}

}  // namespace cvxscan
