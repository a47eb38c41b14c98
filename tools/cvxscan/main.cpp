// cvxscan: a reference host. Loads the format plug-ins of a folder as
// Corvane does and prints the catalogue they make of the given files.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frame/plugin_ini_path.h"
#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/failure.h"
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

// Reported now; kept, to be counted and, in a catalogue, written.
void Note(std::vector<Failure>& failures, Failure failure) {
    Report(Describe(failure));
    failures.push_back(std::move(failure));
}

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
// came of it; each that failed adds to `failures`.
void InstallAll(const PluginSet& plugins, std::vector<Failure>& failures) {
    for (const LoadedPlugin& plugin : plugins.plugins()) {
        const cvx::host::PluginLibrary::InstallFunction install = plugin.library->install();
        if (install == nullptr) {
            Note(failures, {FailureKind::kPlugin, plugin.path, plugin.fileName, "exports no Install"});
            continue;
        }
        const std::string iniPath = cvx::PluginIniPath(plugin.path);
        std::string before, after, ignored;
        ReadWholeFile(iniPath, before, ignored);
        const bool installed = install() != 0;
        ReadWholeFile(iniPath, after, ignored);
        if (installed) {
            Report(plugin.fileName + ": " + iniPath + ": " + (after != before ? "added" : "already listed"));
            continue;
        }
        const std::string why = WhyUnwritable(iniPath);
        Note(failures, {FailureKind::kInstall, iniPath, plugin.fileName,
                        "cannot be updated: " + (why.empty() ? std::string("the plug-in gave up") : why)});
    }
}

// Why a list cannot be split as the options say, or empty: a list of
// NUL-ended paths read by lines would give one path holding them all, and a
// list of lines read by NULs one path holding every line.
std::string SeparatorMistake(const std::string& list, bool nulSeparated) {
    const bool hasNul = list.find('\0') != std::string::npos;
    if (!nulSeparated && hasNul) return "holds NUL bytes: to read paths ended by NUL, use -0 (--null)";
    if (nulSeparated && !hasNul && list.find('\n') != std::string::npos) {
        return "holds line ends but no NUL byte: to read one path per line, leave out -0 (--null)";
    }
    return {};
}

// The paths to scan: those given, and those in the lists given.
std::vector<std::string> GatherPaths(const Options& options, std::vector<Failure>& failures) {
    std::vector<std::string> paths;
    for (const PathSource& source : options.sources) {
        if (!source.isList) {
            paths.push_back(source.path);
            continue;
        }
        std::string list, error;
        const bool read = source.path == "-" ? ReadWholeStream(stdin, list, error)
                                             : ReadWholeFile(source.path, list, error);
        if (read) error = SeparatorMistake(list, options.listsSeparatedByNul);
        if (!error.empty()) {
            Note(failures, {FailureKind::kList, source.path == "-" ? "standard input" : source.path, "", error});
            continue;
        }
        for (std::string& path : SplitPathList(list, options.listsSeparatedByNul)) paths.push_back(std::move(path));
    }
    return paths;
}

struct Tally {
    size_t read = 0;
    size_t filesFailed = 0;
    size_t other = 0;
    int64_t seconds = 0;  // of the lengths that are not negative
};

// "3 failed", or "5 failed (3 files, 2 folders)" when not every failure is a
// file's: one for each failure reported.
std::string FailedCount(size_t filesFailed, const std::vector<Failure>& others) {
    constexpr FailureKind kKinds[] = {FailureKind::kFile, FailureKind::kFolder, FailureKind::kPath,
                                      FailureKind::kList, FailureKind::kPlugin, FailureKind::kInstall};
    const size_t total = filesFailed + others.size();
    std::string text = std::to_string(total) + " failed";
    if (others.empty()) return text;
    std::string parts;
    for (const FailureKind kind : kKinds) {
        size_t count = kind == FailureKind::kFile ? filesFailed : 0;
        for (const Failure& failure : others) count += failure.kind == kind;
        if (count == 0) continue;
        parts += (parts.empty() ? "" : ", ") + Count(count, NounFor(kind));
    }
    return text + " (" + parts + ")";
}

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

// The width the table must fit: the terminal's, or elsewhere COLUMNS, as
// other programs take it; 0 for any.
size_t OutputColumns(std::FILE* stream) {
    if (IsTerminal(stream)) return TerminalColumns(stream);
    const char* columns = std::getenv("COLUMNS");
    if (columns == nullptr) return 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(columns, &end, 10);
    return *columns != '\0' && *end == '\0' && value <= 100000 ? value : 0;
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
        out.Write(HelpText());
        return Finish(out, kAllRead);
    }

    const std::string pluginFolder = options->pluginFolder.empty() ? OwnFolder() : options->pluginFolder;
    PluginSet plugins;
    // Failures found before the first file is read, in the order found.
    std::vector<Failure> failures;
    plugins.LoadFolder(pluginFolder, failures);
    for (const Failure& failure : failures) Report(Describe(failure));
    if (options->version) WriteVersions(out, plugins);
    if (plugins.plugins().empty()) {
        Report("no plug-in could be loaded from " + pluginFolder + "; name the plug-ins' folder with --plugins DIR");
        return Finish(out, kUnusable);
    }
    if (options->version) return Finish(out, failures.empty() ? kAllRead : kSomeFailed);
    if (options->install) InstallAll(plugins, failures);
    if (options->sources.empty()) return failures.empty() ? kAllRead : kSomeFailed;

    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::string> paths = GatherPaths(*options, failures);
    const size_t beforeWalk = failures.size();
    const WalkResult walk =
        CollectFiles(paths, [&](const std::string& path) { return plugins.PluginFor(path) != nullptr; }, failures);
    for (size_t i = beforeWalk; i < failures.size(); ++i) Report(Describe(failures[i]));
    const std::vector<std::string>& files = walk.files;

    const bool outputOnTerminal = IsTerminal(stdout);
    const OutputFormat format = options->format.value_or(outputOnTerminal ? OutputFormat::kTable : OutputFormat::kCsv);
    const std::unique_ptr<CatalogueWriter> writer =
        MakeCatalogueWriter(format, out, {format == OutputFormat::kTable ? OutputColumns(stdout) : 0, options->byteOrderMark});
    for (const Failure& failure : failures) writer->WriteFailure(failure);
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
    if (!out.Finish()) return Finish(out, kSomeFailed);
    ReportSummary(tally, failures, std::chrono::steady_clock::now() - start);
    return failures.empty() && tally.filesFailed == 0 ? kAllRead : kSomeFailed;
}

}  // namespace cvxscan

int main(int argc, char** argv) { return cvxscan::Main(argc, argv); }
