#include "tools/cvxscan/summary.h"

#include <cstdio>
#include <string>

#include "tools/cvxscan/report.h"

namespace cvxscan {

namespace {

// "3 failed", or "5 failed (3 files, 2 folders)" when not every failure is a
// file's: one for each failure reported.
std::string FailedCount(size_t filesFailed, const std::vector<Failure>& others) {
    const size_t total = filesFailed + others.size();
    std::string text = std::to_string(total) + " failed";
    if (others.empty()) return text;
    std::string parts;
    for (const FailureKindName& kind : kFailureKinds) {
        size_t count = kind.kind == FailureKind::kFile ? filesFailed : 0;
        for (const Failure& failure : others) count += failure.kind == kind.kind;
        if (count == 0) continue;
        parts += (parts.empty() ? "" : ", ") + Count(count, kind.noun);
    }
    return text + " (" + parts + ")";
}

}  // namespace

void ReportSummary(const Tally& tally, const std::vector<Failure>& others, std::chrono::duration<double> elapsed) {
    const size_t files = tally.read + tally.filesFailed;
    const double perSecond = elapsed.count() > 0 ? static_cast<double>(files) / elapsed.count() : 0.0;
    char length[48];
    std::snprintf(length, sizeof length, "%lld:%02d:%02d", static_cast<long long>(tally.seconds / 3600),
                  static_cast<int>(tally.seconds / 60 % 60), static_cast<int>(tally.seconds % 60));
    std::fprintf(stderr, "cvxscan: %s read, %s, %s, playing time %s, %.2f s, %.0f files/s\n",
                 Count(tally.read, "file").c_str(), FailedCount(tally.filesFailed, others).c_str(),
                 Count(tally.other, "other file").c_str(), length, elapsed.count(), perSecond);
}

}  // namespace cvxscan
