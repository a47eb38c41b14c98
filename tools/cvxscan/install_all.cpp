#include "frame/plugin_ini_path.h"
#include "tools/cvxscan/modes.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/report.h"
#include "tools/cvxscan/whole_file.h"

namespace cvxscan {

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

}  // namespace cvxscan
