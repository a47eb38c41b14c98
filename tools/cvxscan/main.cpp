// cvxscan: a reference host. Loads the format plug-ins of a folder as
// Corvane does and prints the catalogue they make of the given files.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "frame/format_length.h"
#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/file_walk.h"
#include "tools/cvxscan/options.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/plugin_set.h"
#include "tools/cvxscan/progress.h"
#include "tools/cvxscan/scan.h"

namespace {

constexpr int kAllRead = 0;
constexpr int kSomeFailed = 1;
constexpr int kUnusable = 2;

void Report(const std::string& message) { std::fprintf(stderr, "cvxscan: %s\n", message.c_str()); }

// Install on every plug-in; false when one of them failed.
bool InstallAll(const PluginSet& plugins) {
    bool allInstalled = true;
    for (const LoadedPlugin& plugin : plugins.plugins()) {
        const PluginLibrary::InstallFunction install = plugin.library->install();
        if (install == nullptr) {
            Report(plugin.fileName + ": exports no Install");
            allInstalled = false;
        } else if (install() != 0) {
            Report(plugin.fileName + ": Install succeeded (its extension is listed in plugin.ini)");
        } else {
            Report(plugin.fileName + ": Install failed (plugin.ini two folders above it could not be updated)");
            allInstalled = false;
        }
    }
    return allInstalled;
}

struct Tally {
    size_t read = 0;
    size_t failed = 0;
    int64_t seconds = 0;
};

void ReportSummary(const Tally& tally, std::chrono::duration<double> elapsed) {
    const size_t files = tally.read + tally.failed;
    const double perSecond = elapsed.count() > 0 ? static_cast<double>(files) / elapsed.count() : 0.0;
    char length[32];
    const int64_t hours = tally.seconds / 3600;
    std::snprintf(length, sizeof length, "%lld:%02d:%02d", static_cast<long long>(hours),
                  static_cast<int>(tally.seconds / 60 % 60), static_cast<int>(tally.seconds % 60));
    std::fprintf(stderr, "cvxscan: %zu files read, %zu failed, playing time %s, %.2f s, %.0f files/s\n", tally.read,
                 tally.failed, length, elapsed.count(), perSecond);
}

}  // namespace

int main(int argc, char** argv) {
    std::string usageError;
    const std::optional<Options> options = ParseOptions(argc, argv, usageError);
    if (!options) {
        Report(usageError + " (try --help)");
        return kUnusable;
    }
    if (options->help) {
        std::fputs(kHelpText, stdout);
        return kAllRead;
    }

    const std::string pluginFolder = options->pluginFolder.empty() ? OwnFolder() : options->pluginFolder;
    PluginSet plugins;
    std::vector<std::string> problems;
    plugins.LoadFolder(pluginFolder, problems);
    for (const std::string& problem : problems) Report(problem);
    if (plugins.plugins().empty()) {
        Report("no plug-in could be loaded from " + pluginFolder);
        return kUnusable;
    }
    bool allWell = problems.empty();
    if (options->install) allWell = InstallAll(plugins) && allWell;
    if (options->paths.empty()) return allWell ? kAllRead : kSomeFailed;

    const auto start = std::chrono::steady_clock::now();
    problems.clear();
    const std::vector<std::string> files = CollectFiles(
        options->paths, [&](const std::string& path) { return plugins.PluginFor(path) != nullptr; }, problems);
    for (const std::string& problem : problems) Report(problem);
    allWell = allWell && problems.empty();

    const OutputFormat format =
        options->format.value_or(IsTerminal(stdout) ? OutputFormat::kTable : OutputFormat::kCsv);
    PrepareStandardOutput();
    const std::unique_ptr<CatalogueWriter> writer = MakeCatalogueWriter(format, stdout);
    ProgressLine progress;
    Tally tally;
    ScanInOrder(
        plugins, files, options->jobs,
        [&](ScanOutcome&& outcome) {
            if (outcome.read) {
                ++tally.read;
                tally.seconds += outcome.entry.reading.length;
                writer->Write(outcome.entry);
            } else {
                ++tally.failed;
                progress.Clear();
                Report(outcome.entry.path + ": " + outcome.failure);
            }
            progress.Show(tally.read + tally.failed, files.size());
        },
        [&] { progress.Show(tally.read + tally.failed, files.size()); });
    progress.Clear();
    std::fflush(stdout);
    ReportSummary(tally, std::chrono::steady_clock::now() - start);
    return allWell && tally.failed == 0 ? kAllRead : kSomeFailed;
}
