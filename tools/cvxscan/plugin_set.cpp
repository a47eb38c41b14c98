#include "tools/cvxscan/plugin_set.h"

#include <algorithm>
#include <stdexcept>

#include "frame/ascii.h"
#include "tools/cvxscan/platform/file_system.h"

namespace {

constexpr char kPluginSuffix[] = ".cvx";
// GetExtension is asked for 0, 1, 2 ... until null; a plug-in that never
// stops is cut off here.
constexpr int kMostExtensions = 64;

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

void PluginSet::LoadFolder(const std::string& folder, std::vector<std::string>& problems) {
    std::vector<FolderEntry> entries;
    std::string error;
    if (!ListFolder(folder, entries, error)) {
        problems.push_back(folder + ": " + error);
        return;
    }
    std::vector<std::string> candidates;
    for (const FolderEntry& entry : entries) {
        if (!entry.isFolder && EndsWith(entry.name, kPluginSuffix)) candidates.push_back(entry.name);
    }
    std::sort(candidates.begin(), candidates.end());

    for (const std::string& name : candidates) {
        LoadedPlugin plugin;
        plugin.fileName = name;
        try {
            // A relative path would make the loader search its library path.
            plugin.library = std::make_unique<PluginLibrary>(AbsolutePath(JoinPath(folder, name)));
        } catch (const std::exception& failure) {
            problems.push_back("cannot load " + plugin.fileName + ": " + failure.what());
            continue;
        }
        for (int index = 0; index < kMostExtensions; ++index) {
            const char* extension = plugin.library->GetExtension(index);
            if (extension == nullptr) break;
            plugin.extensions.emplace_back(extension);
        }
        if (plugin.extensions.empty()) {
            problems.push_back(plugin.fileName + " names no extension");
            continue;
        }
        plugins_.push_back(std::move(plugin));
    }
}

const LoadedPlugin* PluginSet::PluginFor(const std::string& path) const {
    const std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return nullptr;
    const std::string extension = name.substr(dot + 1);
    for (const LoadedPlugin& plugin : plugins_) {
        for (const std::string& named : plugin.extensions) {
            if (named.size() == extension.size() &&
                EqualsIgnoringAsciiCase(named.c_str(), extension.c_str(), extension.size())) {
                return &plugin;
            }
        }
    }
    return nullptr;
}
