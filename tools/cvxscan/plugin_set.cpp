#include "tools/cvxscan/plugin_set.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "frame/ascii.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/host/plugin_library.h"

namespace cvxscan {


namespace {

constexpr char kPluginSuffix[] = ".cvx";
// GetExtension is asked for 0, 1, 2 ... until null; a plug-in that never
// stops is cut off here.
constexpr int kMostExtensions = 64;

// How users call the formats of the extensions a plug-in names first; an
// unknown plug-in's format goes by its extension.
std::string FormatNameOf(const std::string& extension) {
    const auto is = [&](const char* name) {
        return extension.size() == std::strlen(name) && cvx::EqualsIgnoringAsciiCase(extension.c_str(), name, extension.size());
    };
    if (is("ogg")) return "Ogg Vorbis";
    if (is("opus")) return "Ogg Opus";
    if (is("m4a")) return "MP4 audio";
    return extension;
}

}  // namespace

void PluginSet::LoadFolder(const std::string& folder, std::vector<Failure>& failures) {
    std::vector<FolderEntry> entries;
    std::string error;
    if (!ListFolder(folder, entries, error)) {
        failures.push_back({FailureKind::kFolder, folder, "", error});
        return;
    }
    std::vector<std::string> candidates;
    for (const FolderEntry& entry : entries) {
        if (entry.kind != EntryKind::kFolder && cvx::EndsWith(entry.name, kPluginSuffix)) candidates.push_back(entry.name);
    }
    std::sort(candidates.begin(), candidates.end());

    for (const std::string& name : candidates) {
        LoadedPlugin plugin;
        plugin.fileName = name;
        // A relative path would make the loader search its library path.
        plugin.path = AbsolutePath(JoinPath(folder, name));
        std::string hostPath, why;
        if (!HostPathFor(plugin.path, hostPath, why)) {
            failures.push_back({FailureKind::kPlugin, plugin.path, plugin.fileName, "cannot be loaded: " + why});
            continue;
        }
        try {
            // As the host loads it: by its 8-bit path.
            plugin.library = std::make_unique<cvx::host::PluginLibrary>(hostPath);
        } catch (const std::exception& failure) {
            failures.push_back({FailureKind::kPlugin, plugin.path, plugin.fileName,
                                std::string("cannot be loaded: ") + failure.what()});
            continue;
        }
        for (int index = 0; index < kMostExtensions; ++index) {
            const char* extension = plugin.library->GetExtension(index);
            if (extension == nullptr) break;
            plugin.extensions.emplace_back(extension);
        }
        if (plugin.extensions.empty()) {
            failures.push_back({FailureKind::kPlugin, plugin.path, plugin.fileName, "names no extension"});
            continue;
        }
        plugin.formatName = FormatNameOf(plugin.extensions.front());
        plugins_.push_back(std::move(plugin));
    }
}

std::vector<PluginSet::Clash> PluginSet::Clashes() const {
    std::vector<Clash> clashes;
    for (size_t later = 1; later < plugins_.size(); ++later) {
        for (const std::string& extension : plugins_[later].extensions) {
            const LoadedPlugin* reader = PluginFor("file." + extension);
            if (reader != nullptr && reader != &plugins_[later]) {
                clashes.push_back({extension, reader->fileName, plugins_[later].fileName});
            }
        }
    }
    return clashes;
}

const LoadedPlugin* PluginSet::PluginFor(const std::string& path) const {
    const size_t nameStart = FileNameOffset(path);
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) return nullptr;  // none, or a name like ".ogg"
    const char* extension = path.c_str() + dot + 1;
    const size_t length = path.size() - dot - 1;
    for (const LoadedPlugin& plugin : plugins_) {
        for (const std::string& named : plugin.extensions) {
            if (named.size() == length && cvx::EqualsIgnoringAsciiCase(named.c_str(), extension, length)) {
                return &plugin;
            }
        }
    }
    return nullptr;
}

}  // namespace cvxscan
