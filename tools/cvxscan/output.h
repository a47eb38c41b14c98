// Standard output with every write checked: a catalogue cut short on a full
// disk or a closed stream must not look complete.
#pragma once

#include <cstdio>
#include <string>

namespace cvxscan {

class Output {
public:
    explicit Output(std::FILE* stream) : stream_(stream) {}

    // Writes nothing more once a write has failed.
    void Write(const std::string& text) { Write(text.data(), text.size()); }
    void Write(const char* data, size_t size);
    // Flushes what is buffered; false when that or an earlier write failed.
    bool Finish();

    bool failed() const { return !error_.empty(); }
    // The system's reason for the first failed write.
    const std::string& error() const { return error_; }

private:
    void NoteFailure();

    std::FILE* stream_;
    std::string error_;
};

}  // namespace cvxscan
