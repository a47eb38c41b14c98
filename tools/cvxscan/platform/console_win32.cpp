#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdlib>

#include "tools/cvxscan/platform/console.h"

namespace cvxscan {

namespace {

HANDLE ConsoleOf(std::FILE* stream) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))); }

// What the console had before cvxscan changed it, put back on the way out:
// the console outlives cvxscan, and its other programs expect their code page.
UINT savedOutputCodePage = 0;
DWORD savedErrorMode = 0;
bool errorModeSaved = false;

void RestoreConsole() {
    if (savedOutputCodePage != 0) SetConsoleOutputCP(savedOutputCodePage);
    if (errorModeSaved) SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), savedErrorMode);
}

// Ctrl+C and a closed window end the process without running atexit.
BOOL WINAPI RestoreOnInterrupt(DWORD) {
    RestoreConsole();
    return FALSE;  // and let the default handler end cvxscan
}

}  // namespace

void PrepareStandardStreams() {
    // The catalogue is UTF-8 with its own line ends (CRLF in CSV), and a
    // list of paths may hold NUL and control bytes: nothing is translated.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    // A console shows the UTF-8 table as it is, and obeys the sequence that
    // erases the progress line.
    if (IsTerminal(stdout)) {
        savedOutputCodePage = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
    }
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    if (GetConsoleMode(console, &savedErrorMode)) {
        errorModeSaved = true;
        SetConsoleMode(console, savedErrorMode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
    if (savedOutputCodePage != 0 || errorModeSaved) {
        std::atexit(RestoreConsole);
        SetConsoleCtrlHandler(RestoreOnInterrupt, TRUE);
    }
}

const char kEndOfInputKeys[] = "Ctrl-Z, then Enter";

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
