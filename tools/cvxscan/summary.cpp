#include "tools/cvxscan/summary.h"

#include <algorithm>
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

// "18 other files (12 .jpg, 4 .txt, 2 more)": the commonest kinds first.
std::string OtherFilesCount(const std::map<std::string, size_t>& byExtension) {
    constexpr size_t kMostNamed = 3;
    std::vector<std::pair<std::string, size_t>> kinds(byExtension.begin(), byExtension.end());
    std::stable_sort(kinds.begin(), kinds.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    size_t total = 0;
    for (const auto& kind : kinds) total += kind.second;
    std::string text = Count(total, "other file");
    if (total == 0) return text;
    std::string parts;
    size_t named = 0;
    for (size_t i = 0; i < kinds.size() && i < kMostNamed; ++i) {
        parts += (i == 0 ? "" : ", ") + std::to_string(kinds[i].second) + " " +
                 (kinds[i].first.empty() ? std::string("without extension") : kinds[i].first);
        named += kinds[i].second;
    }
    if (named < total) parts += ", " + std::to_string(total - named) + " more";
    return text + " (" + parts + ")";
}

}  // namespace

void ReportSummary(const Tally& tally, const std::vector<Failure>& others, std::chrono::duration<double> elapsed) {
    const size_t files = tally.read + tally.filesFailed;
    char length[48];
    std::snprintf(length, sizeof length, "%lld:%02d:%02d", static_cast<long long>(tally.seconds / 3600),
                  static_cast<int>(tally.seconds / 60 % 60), static_cast<int>(tally.seconds % 60));
    char time[64];
    std::snprintf(time, sizeof time, "%.2f s", elapsed.count());
    std::string summary = Count(tally.read, "file") + " read, " + FailedCount(tally.filesFailed, others) + ", " +
                          OtherFilesCount(tally.otherFiles);
    if (tally.folderLinks > 0) {
        summary += ", " + Count(tally.folderLinks, "link") + (tally.folderLinks == 1 ? " to a folder" : " to folders") +
                   " not followed";
    }
    summary += ", playing time " + std::string(length) + ", " + time;
    // A rate only for files read, and over a time that can be measured.
    if (tally.read > 0 && elapsed.count() > 0) {
        char rate[48];
        std::snprintf(rate, sizeof rate, ", %.0f files/s", static_cast<double>(files) / elapsed.count());
        summary += rate;
    }
    Report(summary);
}

}  // namespace cvxscan
