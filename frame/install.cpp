#include "frame/install.h"

#include "frame/ascii.h"
#include "frame/platform/ini_file.h"
#include "frame/platform/ini_lock.h"
#include "frame/plugin_ini_path.h"

namespace cvx {

namespace {

std::string LowerCaseCopy(std::string text) {
    for (char& c : text) c = ToAsciiLower(c);
    return text;
}

}  // namespace

int32_t RegisterExtension(const std::optional<std::string>& libraryPath, const PluginConstants& plugin) {
    if (!libraryPath) return 0;
    const std::string iniPath = PluginIniPath(*libraryPath);
    // Another registration under way would write back a list without this
    // one's word: wait for it, and give up rather than race it.
    const IniFileLock lock(iniPath);
    if (!lock.held()) return 0;
    const std::string list = ReadIniString(iniPath, kIniSection, kExtensionListKey, kDefaultExtensionList);

    // A plain substring search: "OGGX" counts as listing OGG.
    if (LowerCaseCopy(list).find(plugin.searchWord) != std::string::npos) return 1;

    return WriteIniString(iniPath, kIniSection, kExtensionListKey, list + plugin.appendedText) ? 1 : 0;
}

}  // namespace cvx
