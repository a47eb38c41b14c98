// What cvxscan needs of the platform's standard streams and terminal.
#pragma once

#include <cstddef>
#include <cstdio>

namespace cvxscan {

// Sets up the standard streams before anything is written: a closed one is
// held by a stand-in that fails every write, so that no file opened later
// takes its place; standard output passes its bytes on as written.
void PrepareStandardStreams();

// Whether `stream` is a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);
// The width of the terminal `stream` goes to, in columns; 0 when it is not
// a terminal or its width cannot be told.
size_t TerminalColumns(std::FILE* stream);
// The keys that end typed input on this platform's terminal.
extern const char kEndOfInputKeys[];

}  // namespace cvxscan
