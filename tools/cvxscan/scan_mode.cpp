// The scan: the walk, the catalogue and the summary.
#include <chrono>
#include <cstdlib>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/file_walk.h"
#include "tools/cvxscan/modes.h"
#include "tools/cvxscan/path_list.h"
#include "tools/cvxscan/platform/console.h"
#include "tools/cvxscan/platform/threads.h"
#include "tools/cvxscan/progress.h"
#include "tools/cvxscan/report.h"
#include "tools/cvxscan/scan.h"
#include "tools/cvxscan/summary.h"

namespace cvxscan {

namespace {

// COLUMNS beyond this is taken for no width at all.
constexpr unsigned long kWidestColumns = 100000;

// The width the table must fit: the terminal's, or elsewhere COLUMNS, as
// other programs take it; 0 for any.
size_t OutputColumns(std::FILE* stream) {
    if (IsTerminal(stream)) return TerminalColumns(stream);
    const char* columns = std::getenv("COLUMNS");
    if (columns == nullptr) return 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(columns, &end, 10);
    return *columns != '\0' && *end == '\0' && value <= kWidestColumns ? value : 0;
}

}  // namespace

int Scan(const Options& options, const PluginSet& plugins, std::vector<Failure>& failures, Output& out) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::string> paths = GatherPaths(options, failures);
    const size_t beforeWalk = failures.size();
    const WalkResult walk =
        CollectFiles(paths, [&](const std::string& path) { return plugins.PluginFor(path) != nullptr; }, failures);
    for (size_t i = beforeWalk; i < failures.size(); ++i) Report(Describe(failures[i]));
    const std::vector<std::string>& files = walk.files;

    const bool outputOnTerminal = IsTerminal(stdout);
    const OutputFormat format = options.format.value_or(
        outputOnTerminal && !options.byteOrderMark ? OutputFormat::kTable : OutputFormat::kCsv);
    const std::unique_ptr<CatalogueWriter> writer = MakeCatalogueWriter(
        format, out, {format == OutputFormat::kTable ? OutputColumns(stdout) : 0, options.byteOrderMark});
    for (const Failure& failure : failures) writer->WriteFailure(failure);
    ProgressLine progress;
    Tally tally;
    tally.otherFiles = walk.otherFiles;
    tally.folderLinks = walk.folderLinks;
    ScanInOrder(
        plugins, files, options.jobs.value_or(std::min(ProcessorCount(), kMostJobs)),
        [&](const ScanOutcome& outcome) {
            // The progress line goes before anything else reaches its terminal.
            if (outcome.read) {
                ++tally.read;
                if (outcome.entry.reading.length > 0) tally.seconds += outcome.entry.reading.length;
                if (outputOnTerminal) progress.Clear();
                writer->Write(outcome.entry);
                if (out.failed()) return false;
            } else {
                ++tally.filesFailed;
                progress.Clear();
                const Failure failure{FailureKind::kFile, outcome.entry.path, outcome.entry.plugin, outcome.failure};
                Report(Describe(failure));
                writer->WriteFailure(failure);
                if (out.failed()) return false;
            }
            progress.Show(tally.read + tally.filesFailed, files.size());
            return true;
        },
        [&] { progress.Show(tally.read + tally.filesFailed, files.size()); });
    progress.Clear();
    writer->Finish();
    // A catalogue cut short gets no summary, which would read as complete.
    if (!out.Finish()) {
        Report("write error: " + out.error());
        return kWriteError;
    }
    ReportSummary(tally, failures, std::chrono::steady_clock::now() - start);
    return failures.empty() && tally.filesFailed == 0 ? kAllRead : kSomeFailed;
}

}  // namespace cvxscan
