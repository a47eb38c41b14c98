#include "tools/cvxscan/progress.h"

#include <cstdio>

#include "tools/cvxscan/platform/console.h"

namespace cvxscan {

namespace {

constexpr auto kQuietStart = std::chrono::milliseconds(500);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr char kEraseLine[] = "\r\033[K";

}  // namespace

ProgressLine::ProgressLine() : enabled_(IsTerminal(stderr)) {}

void ProgressLine::Show(size_t done, size_t total) {
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < kQuietStart || now - lastDrawn_ < kRedrawInterval) return;
    lastDrawn_ = now;
    std::fprintf(stderr, "%sscanning %zu/%zu files", kEraseLine, done, total);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::Clear() {
    if (!shown_) return;
    std::fputs(kEraseLine, stderr);
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace cvxscan
