// The command line of cvxscan.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cvxscan {

inline constexpr unsigned kMostJobs = 256;

enum class OutputFormat { kTable, kCsv, kJson };

// A file or folder to scan, or a list of them to read first.
struct PathSource {
    std::string path;
    bool isList = false;  // `path` names a list of paths; "-" standard input
};

struct Options {
    std::string pluginFolder;  // empty: the folder cvxscan itself is in
    std::optional<OutputFormat> format;  // unset: table on a terminal, else CSV
    std::optional<unsigned> jobs;        // unset: one per processor
    bool install = false;
    bool force = false;  // --install from a folder not laid out as Corvane's
    bool help = false;
    bool version = false;
    bool byteOrderMark = false;        // CSV starts with U+FEFF, for spreadsheets
    bool listsSeparatedByNul = false;  // else by line ends
    std::vector<PathSource> sources;   // in command-line order
};

// The options, or nothing with `error` set when the command line is unusable.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);

// The text --help prints, its option lines made from the table the parser
// reads.
std::string HelpText();

extern const char kCvxscanVersion[];

}  // namespace cvxscan
