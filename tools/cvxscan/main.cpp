// cvxscan: a reference host. Loads the format plug-ins of a folder as
// Corvane does and prints the catalogue they make of the given files.
#include <string>
#include <vector>

#include "tools/cvxscan/modes.h"
#include "tools/cvxscan/options.h"
#include "tools/cvxscan/output.h"
#include "tools/cvxscan/platform/console.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/plugin_set.h"
#include "tools/cvxscan/report.h"

namespace cvxscan {

namespace {

// `status`, or the write error's, reported, when standard output failed.
int Finish(Output& out, int status) {
    if (out.Finish()) return status;
    Report("write error: " + out.error());
    return kWriteError;
}

}  // namespace

int Main(int argc, char** argv) {
    PrepareStandardStreams();
    Output out(stdout);
    std::vector<std::string> arguments = CommandLineArguments(argc, argv);
    std::vector<char*> argumentPointers;
    for (std::string& argument : arguments) argumentPointers.push_back(argument.data());
    argumentPointers.push_back(nullptr);
    std::string usageError;
    const std::optional<Options> options =
        ParseOptions(static_cast<int>(arguments.size()), argumentPointers.data(), usageError);
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
    for (const PluginSet::Clash& clash : plugins.Clashes()) {
        Report(clash.shadowed + " also names " + clash.extension + ": " + clash.reader +
               " reads those files, as the first in sorted order");
    }
    // The versions, of cvxscan at least, whatever loaded.
    if (options->version) {
        WriteVersions(out, plugins);
        if (plugins.plugins().empty()) out.Write("no plug-ins in " + pluginFolder + "\n");
        return Finish(out, failures.empty() ? kAllRead : kSomeFailed);
    }
    if (plugins.plugins().empty()) {
        Report("no plug-in could be loaded from " + pluginFolder + "; name the plug-ins' folder with --plugins DIR");
        return Finish(out, kUnusable);
    }
    if (options->install && !InstallAll(plugins, pluginFolder, options->force, failures)) return Finish(out, kUnusable);
    if (options->sources.empty()) return failures.empty() ? kAllRead : kSomeFailed;
    return Scan(*options, plugins, failures, out);
}

}  // namespace cvxscan

int main(int argc, char** argv) { return cvxscan::Main(argc, argv); }
