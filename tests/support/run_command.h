// Running a program of the project and capturing what it printed.
#pragma once

#include <string>
#include <vector>

struct CommandResult {
    int status;  // exit status, or -1 when it did not exit normally
    std::string out, err;
    long maxResidentKiB;  // the program's peak memory
};

// Runs `argv` (argv[0] a path) with stdin from /dev/null.
CommandResult RunCommand(const std::vector<std::string>& argv);
