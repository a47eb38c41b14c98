// What cvxscan tells on stderr, and the exit statuses it ends with.
#pragma once

#include <string>
#include <vector>

#include "tools/cvxscan/failure.h"

namespace cvxscan {

inline constexpr int kAllRead = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kUnusable = 2;
inline constexpr int kWriteError = 3;

// "cvxscan: " and `message` on stderr.
void Report(const std::string& message);

// Reported now; kept, to be counted and, in a catalogue, written.
void Note(std::vector<Failure>& failures, Failure failure);

// "1 file", "2 files".
std::string Count(size_t count, const char* noun);

// The system's words for the errno value `code`, but one wording for a file
// or folder that is not there, wherever it is met.
std::string SystemErrorText(int code);

}  // namespace cvxscan
