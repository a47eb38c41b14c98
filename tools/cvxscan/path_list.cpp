#include "tools/cvxscan/path_list.h"

#include <cstdio>

#include "tools/cvxscan/platform/console.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/report.h"
#include "tools/cvxscan/whole_file.h"

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

namespace {

// Why a list cannot be split as the options say, or empty: a list of
// NUL-ended paths read by lines would give one path holding them all, and a
// list of lines read by NULs one path holding every line.
std::string SeparatorMistake(const std::string& list, bool nulSeparated) {
    const bool hasNul = list.find('\0') != std::string::npos;
    if (!nulSeparated && hasNul) return "holds NUL bytes: to read paths ended by NUL, use -0 (--null)";
    if (nulSeparated && !hasNul && list.find('\n') != std::string::npos) {
        return "holds line ends but no NUL byte: to read one path per line, leave out -0 (--null)";
    }
    return {};
}

}  // namespace

std::vector<std::string> GatherPaths(const Options& options, std::vector<Failure>& failures) {
    std::vector<std::string> paths;
    for (const PathSource& source : options.sources) {
        if (!source.isList) {
            paths.push_back(source.path);
            continue;
        }
        std::string list, error;
        // Someone typing paths is told how to stop.
        if (source.path == "-" && IsTerminal(stdin)) {
            Report(std::string("reading paths from standard input, ") +
                   (options.listsSeparatedByNul ? "each ended by a NUL byte" : "one per line") + "; end with " +
                   kEndOfInputKeys);
        }
        const bool read = source.path == "-" ? ReadWholeStream(stdin, list, error)
                                             : ReadWholeFile(source.path, list, error);
        if (read) error = SeparatorMistake(list, options.listsSeparatedByNul);
        if (!error.empty()) {
            Note(failures, {FailureKind::kList, source.path == "-" ? "standard input" : source.path, "", error});
            continue;
        }
        for (const std::string& path : SplitPathList(list, options.listsSeparatedByNul)) {
            paths.push_back(PathFromListText(path));
        }
    }
    return paths;
}

}  // namespace cvxscan
