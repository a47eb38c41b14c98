// The plug-ins of one folder, loaded as the host loads them, and which of
// them reads a given file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/cvxscan/failure.h"
#include "tools/host/plugin_library.h"

namespace cvxscan {

struct LoadedPlugin {
    std::string fileName;  // e.g. "OGG.cvx"
    std::string path;      // absolute
    std::unique_ptr<cvx::host::PluginLibrary> library;
    std::vector<std::string> extensions;  // as GetExtension names them
    std::string formatName;               // for messages: "Ogg Vorbis", "FLAC"
};

class PluginSet {
public:
    // Loads every "*.cvx" in `folder`, in sorted order. Each plug-in that
    // cannot be loaded adds a failure to `failures`, as does a folder that
    // cannot be listed.
    void LoadFolder(const std::string& folder, std::vector<Failure>& failures);

    const std::vector<LoadedPlugin>& plugins() const { return plugins_; }
    // The first plug-in naming the file's extension (compared without regard
    // to ASCII case), or null.
    const LoadedPlugin* PluginFor(const std::string& path) const;

    // An extension named by a later plug-in too, which never reads it.
    struct Clash {
        std::string extension, reader, shadowed;  // reader and shadowed: file names
    };
    std::vector<Clash> Clashes() const;

private:
    std::vector<LoadedPlugin> plugins_;
};

}  // namespace cvxscan
