#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "tools/cvxscan/platform/console.h"

namespace cvxscan {

namespace {

HANDLE ConsoleOf(std::FILE* stream) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))); }

}  // namespace

void PrepareStandardStreams() {
    // The catalogue is UTF-8 with its own line ends (CRLF in CSV), and a
    // list of paths may hold NUL and control bytes: nothing is translated.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    // A console shows the UTF-8 table as it is, and obeys the sequence that
    // erases the progress line.
    if (IsTerminal(stdout)) SetConsoleOutputCP(CP_UTF8);
    DWORD mode;
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    if (GetConsoleMode(console, &mode)) SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

bool IsTerminal(std::FILE* stream) {
    DWORD mode;
    return GetConsoleMode(ConsoleOf(stream), &mode) != 0;
}

size_t TerminalColumns(std::FILE* stream) {
    CONSOLE_SCREEN_BUFFER_INFO screen;
    if (!GetConsoleScreenBufferInfo(ConsoleOf(stream), &screen)) return 0;
    // The window's width; a line filling it would wrap in a legacy console.
    const int columns = screen.srWindow.Right - screen.srWindow.Left + 1;
    return columns > 1 ? static_cast<size_t>(columns - 1) : 0;
}

}  // namespace cvxscan
