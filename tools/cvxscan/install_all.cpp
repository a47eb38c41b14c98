#include <cstring>
#include <iterator>
#include <string>

#include "frame/ascii.h"
#include "frame/platform/path_separator.h"
#include "frame/plugin_ini_path.h"
#include "tools/cvxscan/modes.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/report.h"
#include "tools/cvxscan/whole_file.h"

namespace cvxscan {

namespace {

// The names of Corvane's own folders for format plug-ins: ROOT/Plugins/Formats.
constexpr const char* kLayout[] = {"Plugins", "Formats"};

// Whether `folder` ends in Plugins/Formats (either separator, any case).
bool IsFormatsFolder(std::string folder) {
    while (folder.size() > 1 && std::strchr(kPathSeparators, folder.back()) != nullptr) folder.pop_back();
    for (size_t i = std::size(kLayout); i-- > 0;) {
        const size_t cut = folder.find_last_of(kPathSeparators);
        const std::string name = folder.substr(cut == std::string::npos ? 0 : cut + 1);
        if (name.size() != std::strlen(kLayout[i]) || !cvx::EqualsIgnoringAsciiCase(name.c_str(), kLayout[i], name.size())) {
            return false;
        }
        if (cut == std::string::npos) return i == 0;
        folder.resize(cut);
    }
    return true;
}

}  // namespace

bool InstallAll(const PluginSet& plugins, const std::string& pluginFolder, bool force, std::vector<Failure>& failures) {
    if (!force && !IsFormatsFolder(pluginFolder) && !plugins.plugins().empty()) {
        Report(pluginFolder + " is not a Plugins" + cvx::kPathSeparator + "Formats folder: the plug-ins would register in " +
               cvx::PluginIniPath(plugins.plugins().front().path) +
               ", which Corvane does not read. Name Corvane's own with --plugins, or give --force");
        return false;
    }
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
    return true;
}

}  // namespace cvxscan
