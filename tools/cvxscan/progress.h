// A progress line on stderr while a long scan runs on a terminal.
#pragma once

#include <chrono>
#include <cstddef>

namespace cvxscan {

class ProgressLine {
public:
    // Shown only when stderr is a terminal.
    ProgressLine();
    // Redraws "scanning done/total" at most ten times a second, and only once
    // the scan has run longer than half a second.
    void Show(size_t done, size_t total);
    // Removes the line, before other text goes to stderr.
    void Clear();

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_{};
};

}  // namespace cvxscan
