#include "frame/install.h"

#include "frame/platform/ini_file.h"
#include "frame/plugin_ini_path.h"

namespace {

std::string ToAsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

int32_t RegisterExtension(const std::optional<std::string>& libraryPath, const PluginConstants& plugin) {
    if (!libraryPath) return 0;
    const std::string iniPath = PluginIniPath(*libraryPath);
    const std::string list = ReadIniString(iniPath, kIniSection, kExtensionListKey, kDefaultExtensionList);

    // A plain substring search: "OGGX" counts as listing OGG.
    if (ToAsciiLower(list).find(plugin.searchWord) != std::string::npos) return 1;

    return WriteIniString(iniPath, kIniSection, kExtensionListKey, list + plugin.appendedText) ? 1 : 0;
}
