#include "tests/support/run_command.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "tests/support/temp_dir.h"

namespace cvx::testing {

namespace {

// Starts `argv` with `actions`, which it then destroys; -1 when it cannot.
pid_t Spawn(const std::vector<std::string>& argv, posix_spawn_file_actions_t& actions) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t child;
    const int spawned = posix_spawn(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? child : -1;
}

// Waits for `child` to end: its status and peak memory, with what it printed.
CommandResult Wait(pid_t child, std::string out, std::string err) {
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::move(out), std::move(err), usage.ru_maxrss};
}

}  // namespace

CommandResult RunCommand(const std::vector<std::string>& argv, const CommandStreams& streams) {
    // Input and output go through files, so no stream can fill a pipe and
    // stall.
    const TempDir scratch;
    const std::string inPath = scratch.File("in"), errPath = scratch.File("err");
    const std::string outPath = streams.outputPath.empty() ? scratch.File("out") : streams.outputPath;
    WriteText(inPath, streams.input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    if (streams.closeOutput) posix_spawn_file_actions_addclose(&actions, 1);
    else posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!streams.workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, streams.workingFolder.c_str());
    }
    const pid_t child = Spawn(argv, actions);
    if (child < 0) throw std::runtime_error("cannot run " + argv[0]);
    CommandResult result = Wait(child, std::string(), std::string());
    if (streams.outputPath.empty()) result.out = ReadText(outPath);
    result.err = ReadText(errPath);
    return result;
}

CommandResult RunOnTerminal(const std::vector<std::string>& argv, unsigned short columns, int stallMilliseconds,
                            const std::string& typed) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) throw std::runtime_error("no pty");
    const std::string sideName = ptsname(terminal);
    const int side = open(sideName.c_str(), O_RDWR | O_NOCTTY);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = columns;
    ioctl(side, TIOCSWINSZ, &size);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {0, 1, 2}) posix_spawn_file_actions_adddup2(&actions, side, fd);
    posix_spawn_file_actions_addclose(&actions, terminal);
    const pid_t child = Spawn(argv, actions);
    close(side);
    if (child < 0) {
        close(terminal);
        throw std::runtime_error("cannot run " + argv[0]);
    }

    // Reading ends with EIO once the program has exited and the terminal's
    // last other end is closed.
    std::string shown;
    char block[4096];
    bool stalled = stallMilliseconds == 0;
    bool hasTyped = typed.empty();
    for (ssize_t got; (got = read(terminal, block, sizeof block)) > 0;) {
        shown.append(block, static_cast<size_t>(got));
        if (!hasTyped) {
            hasTyped = write(terminal, typed.data(), typed.size()) == static_cast<ssize_t>(typed.size());
        }
        if (!stalled) {
            std::this_thread::sleep_for(std::chrono::milliseconds(stallMilliseconds));
            stalled = true;
        }
    }
    close(terminal);
    return Wait(child, std::move(shown), std::string());
}

}  // namespace cvx::testing
