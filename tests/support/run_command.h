// Running a program of the project and capturing what it printed.
#pragma once

#include <string>
#include <vector>

namespace cvx::testing {

struct CommandResult {
    int status;  // exit status, or -1 when it did not exit normally
    std::string out, err;
    long maxResidentKiB;  // the program's peak memory
};

// Where the program's streams go, when not the defaults: stdin from
// /dev/null, stdout and stderr captured.
struct CommandStreams {
    std::string input;         // fed to stdin
    std::string outputPath;    // stdout written here instead of captured
    bool closeOutput = false;  // stdout closed
    std::string workingFolder;
};

// Runs `argv` (argv[0] a path).
CommandResult RunCommand(const std::vector<std::string>& argv, const CommandStreams& streams = {});

// Runs `argv` with all three streams on a new pseudo-terminal `columns`
// wide and returns what it printed there (line ends as the terminal gives
// them, "\r\n"). With `stallMilliseconds`, stops reading for that long once
// the program has printed something, so that its writes block; `typed` is
// typed at the terminal once the program has printed something ("\x04":
// the end of input).
CommandResult RunOnTerminal(const std::vector<std::string>& argv, unsigned short columns,
                            int stallMilliseconds = 0, const std::string& typed = "");

}  // namespace cvx::testing
