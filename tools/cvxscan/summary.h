// The summary line a scan ends with on stderr.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "tools/cvxscan/failure.h"

namespace cvxscan {

struct Tally {
    size_t read = 0;
    size_t filesFailed = 0;
    size_t other = 0;
    int64_t seconds = 0;  // of the lengths that are not negative
};

// "N files read, M failed (by kind, when not all are files'), K other files,
// playing time H:MM:SS, E s, R files/s".
void ReportSummary(const Tally& tally, const std::vector<Failure>& others, std::chrono::duration<double> elapsed);

}  // namespace cvxscan
