#include "tools/cvxscan/modes.h"
#include "tools/cvxscan/platform/version_info.h"

namespace cvxscan {

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

}  // namespace cvxscan
