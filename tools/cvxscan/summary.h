// The summary line a scan ends with on stderr.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/cvxscan/failure.h"

namespace cvxscan {

struct Tally {
    size_t read = 0;
    size_t filesFailed = 0;
    std::map<std::string, size_t> otherFiles;  // by extension
    size_t folderLinks = 0;
    int64_t seconds = 0;  // of the lengths that are not negative
};

// "N files read, M failed (by kind, when not all are files'), K other files
// (the commonest extensions), L links to folders not followed (when any),
// playing time H:MM:SS, E s, R files/s" (no rate when nothing was read).
void ReportSummary(const Tally& tally, const std::vector<Failure>& others, std::chrono::duration<double> elapsed);

}  // namespace cvxscan
