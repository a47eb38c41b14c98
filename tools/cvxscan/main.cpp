// cvxscan: a reference host. Loads the format plug-ins of a folder as
// Corvane does and prints the catalogue they make of the given files.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "frame/plugin_ini_path.h"
#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/file_walk.h"
#include "tools/cvxscan/options.h"
#include "tools/cvxscan/output.h"
#include "tools/cvxscan/path_list.h"
#include "tools/cvxscan/platform/console.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/platform/threads.h"
#include "tools/cvxscan/platform/version_info.h"
#include "tools/cvxscan/plugin_set.h"
#include "tools/cvxscan/progress.h"
#include "tools/cvxscan/scan.h"
#include "tools/cvxscan/whole_file.h"

namespace cvxscan {


namespace {

constexpr int kAllRead = 0;
constexpr int kSomeFailed = 1;
constexpr int kUnusable = 2;
constexpr int kWriteError = 3;

void Report(const std::string& message) { std::fprintf(stderr, "cvxscan: %s\n", message.c_str()); }

// `status`, or the write error's, reported, when standard output failed.
int Finish(Output& out, int status) {
    if (out.Finish()) return status;
    Report("write error: " + out.error());
    return kWriteError;
}

// "1 file", "2 files".
std::string Count(size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

void WriteVersions(Output& out, const PluginSet& plugins) {
    out.Write(std::string("cvxscan ") + kCvxscanVersion + "\n");
    for (const LoadedPlugin& plugin : plugins.plugins()) {
        std::string line = plugin.fileName + ": ";
        VersionInfo version;
        if (ReadVersionInfo(plugin.path, version)) {
            line += version.description + ", version " + version.productVersion + " (file version " +
                    version.fileVersion + ")";
        } else {
            line += "no version identification";
        }
        line += ", extensions";
        for (const std::string& extension : plugin.extensions) line += " " + extension;
        out.Write(line + "\n");
    }
}

// Install on every plug-in, naming the plugin.ini each one writes and what
// came of it; false when one of them failed.
bool InstallAll(const PluginSet& plugins) {
    bool allInstalled = true;
    for (const LoadedPlugin& plugin : plugins.plugins()) {
        const cvx::host::PluginLibrary::InstallFunction install = plugin.library->install();
        if (install == nullptr) {
            Report(plugin.fileName + ": exports no Install");
            allInstalled = false;
            continue;
        }
        const std::string iniPath = cvx::PluginIniPath(plugin.path);
        std::string before, after, ignored;
        ReadWholeFile(iniPath, before, ignored);
        const bool installed = install() != 0;
        ReadWholeFile(iniPath, after, ignored);
        std::string outcome;
        if (installed) {
            outcome = after != before ? "added" : "already listed";
        } else {
            const std::string why = WhyUnwritable(iniPath);
            outcome = "cannot be updated: " + (why.empty() ? std::string("the plug-in gave up") : why);
            allInstalled = false;
        }
        Report(plugin.fileName + ": " + iniPath + ": " + outcome);
    }
    return allInstalled;
}

// The paths to scan: those given, and those in the lists given.
std::vector<std::string> GatherPaths(const Options& options, bool& allRead) {
    std::vector<std::string> paths;
    for (const PathSource& source : options.sources) {
        if (!source.isList) {
            paths.push_back(source.path);
            continue;
        }
        std::string list, error;
        const bool read = source.path == "-" ? ReadWholeStream(stdin, list, error)
                                             : ReadWholeFile(source.path, list, error);
        if (!read) {
            Report((source.path == "-" ? std::string("standard input") : source.path) + ": " + error);
            allRead = false;
            continue;
        }
        for (std::string& path : SplitPathList(list, options.listsSeparatedByNul)) paths.push_back(std::move(path));
    }
    return paths;
}

struct Tally {
    size_t read = 0;
    size_t failed = 0;
    size_t other = 0;
    int64_t seconds = 0;  // of the lengths that are not negative
};

void ReportSummary(const Tally& tally, std::chrono::duration<double> elapsed) {
    const size_t files = tally.read + tally.failed;
    const double perSecond = elapsed.count() > 0 ? static_cast<double>(files) / elapsed.count() : 0.0;
    char length[48];
    std::snprintf(length, sizeof length, "%lld:%02d:%02d", static_cast<long long>(tally.seconds / 3600),
                  static_cast<int>(tally.seconds / 60 % 60), static_cast<int>(tally.seconds % 60));
    std::fprintf(stderr, "cvxscan: %s read, %zu failed, %s, playing time %s, %.2f s, %.0f files/s\n",
                 Count(tally.read, "file").c_str(), tally.failed, Count(tally.other, "other file").c_str(), length,
                 elapsed.count(), perSecond);
}

}  // namespace

int Main(int argc, char** argv) {
    PrepareStandardStreams();
    Output out(stdout);
    std::string usageError;
    const std::optional<Options> options = ParseOptions(argc, argv, usageError);
    if (!options) {
        Report(usageError + " (try --help)");
        return kUnusable;
    }
    if (options->help) {
        out.Write(kHelpText);
        return Finish(out, kAllRead);
    }

    const std::string pluginFolder = options->pluginFolder.empty() ? OwnFolder() : options->pluginFolder;
    PluginSet plugins;
    std::vector<std::string> problems;
    plugins.LoadFolder(pluginFolder, problems);
    for (const std::string& problem : problems) Report(problem);
    bool allWell = problems.empty();
    if (options->version) WriteVersions(out, plugins);
    if (plugins.plugins().empty()) {
        Report("no plug-in could be loaded from " + pluginFolder);
        return Finish(out, kUnusable);
    }
    if (options->version) return Finish(out, allWell ? kAllRead : kSomeFailed);
    if (options->install) allWell = InstallAll(plugins) && allWell;
    if (options->sources.empty()) return allWell ? kAllRead : kSomeFailed;

    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::string> paths = GatherPaths(*options, allWell);
    problems.clear();
    const WalkResult walk =
        CollectFiles(paths, [&](const std::string& path) { return plugins.PluginFor(path) != nullptr; }, problems);
    for (const std::string& problem : problems) Report(problem);
    allWell = allWell && problems.empty();
    const std::vector<std::string>& files = walk.files;

    const bool outputOnTerminal = IsTerminal(stdout);
    const OutputFormat format = options->format.value_or(outputOnTerminal ? OutputFormat::kTable : OutputFormat::kCsv);
    const std::unique_ptr<CatalogueWriter> writer =
        MakeCatalogueWriter(format, out, format == OutputFormat::kTable ? TerminalColumns(stdout) : 0);
    ProgressLine progress;
    Tally tally;
    tally.other = walk.otherFiles;
    ScanInOrder(
        plugins, files, options->jobs.value_or(std::min(ProcessorCount(), kMostJobs)),
        [&](const ScanOutcome& outcome) {
            // The progress line goes before anything else reaches its terminal.
            if (outcome.read) {
                ++tally.read;
                if (outcome.entry.reading.length > 0) tally.seconds += outcome.entry.reading.length;
                if (outputOnTerminal) progress.Clear();
                writer->Write(outcome.entry);
                if (out.failed()) return false;
            } else {
                ++tally.failed;
                progress.Clear();
                Report(outcome.entry.path + ": " + outcome.failure);
            }
            progress.Show(tally.read + tally.failed, files.size());
            return true;
        },
        [&] { progress.Show(tally.read + tally.failed, files.size()); });
    progress.Clear();
    // A catalogue cut short gets no summary, which would read as complete.
    if (!out.Finish()) return Finish(out, kSomeFailed);
    ReportSummary(tally, std::chrono::steady_clock::now() - start);
    return allWell && tally.failed == 0 ? kAllRead : kSomeFailed;
}

}  // namespace cvxscan

int main(int argc, char** argv) { return cvxscan::Main(argc, argv); }
