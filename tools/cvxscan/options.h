// The command line of cvxscan.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class OutputFormat { kTable, kCsv, kJson };

struct Options {
    std::string pluginFolder;  // empty: the folder cvxscan itself is in
    std::optional<OutputFormat> format;  // unset: table on a terminal, else CSV
    unsigned jobs = 1;
    bool install = false;
    bool help = false;
    std::vector<std::string> paths;
};

// The options, or nothing with `error` set when the command line is unusable.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);

extern const char kHelpText[];
