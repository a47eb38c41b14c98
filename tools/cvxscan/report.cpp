#include "tools/cvxscan/report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cvxscan {

void Report(const std::string& message) { std::fprintf(stderr, "cvxscan: %s\n", message.c_str()); }

void Note(std::vector<Failure>& failures, Failure failure) {
    Report(Describe(failure));
    failures.push_back(std::move(failure));
}

std::string Count(size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string SystemErrorText(int code) { return code == ENOENT ? "no such file or folder" : std::strerror(code); }

}  // namespace cvxscan
