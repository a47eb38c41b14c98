#include "frame/plugin_ini_path.h"

#include "frame/platform/path_separator.h"

namespace cvx {

namespace {

constexpr int kLevelsToCut = 3;  // file name, its folder, that folder's parent
constexpr char kPluginIniName[] = "plugin.ini";

}  // namespace

std::string PluginIniPath(const std::string& libraryPath) {
    std::string folder = libraryPath;
    for (int cut = 0; cut < kLevelsToCut; ++cut) {
        const size_t separator = FindLastPathSeparator(folder);
        if (separator == std::string::npos) break;
        folder.resize(separator);
    }
    return folder + kPathSeparator + kPluginIniName;
}

}  // namespace cvx
