#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

#include "tools/cvxscan/platform/console.h"

namespace cvxscan {

void PrepareStandardStreams() {
    // /dev/null opened for reading fails every write with EBADF, as the
    // closed stream would; standard input gets it open for writing.
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int standIn = open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (standIn >= 0 && standIn != fd) {
            dup2(standIn, fd);
            close(standIn);
        }
    }
}

const char kEndOfInputKeys[] = "Ctrl-D";

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

size_t TerminalColumns(std::FILE* stream) {
    winsize size{};
    if (!IsTerminal(stream) || ioctl(fileno(stream), TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

}  // namespace cvxscan
