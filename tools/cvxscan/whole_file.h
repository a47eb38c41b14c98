// A file read whole, with the system's reason when it cannot be.
#pragma once

#include <cstdio>
#include <string>

namespace cvxscan {

// The bytes of the file at `path`, or false with the reason in `error`.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);
// What is left in `stream`, or false with the reason in `error`.
bool ReadWholeStream(std::FILE* stream, std::string& bytes, std::string& error);

}  // namespace cvxscan
