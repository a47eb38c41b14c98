#include "tools/cvxscan/output.h"

#include <cerrno>
#include <cstring>

namespace cvxscan {

void Output::Write(const char* data, size_t size) {
    if (failed()) return;
    if (std::fwrite(data, 1, size, stream_) != size || std::ferror(stream_)) NoteFailure();
}

bool Output::Finish() {
    if (!failed() && (std::fflush(stream_) != 0 || std::ferror(stream_))) NoteFailure();
    return !failed();
}

void Output::NoteFailure() {
    const int code = errno;
    error_ = code != 0 ? std::strerror(code) : "the stream failed";
}

}  // namespace cvxscan
