// Reading files through the plug-ins, on several threads, delivering the
// results in the order of the files.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/plugin_set.h"

namespace cvxscan {

struct ScanOutcome {
    bool read = false;
    std::string failure;  // why, when not read; the plug-in is entry.plugin
    CatalogueEntry entry;
};

// One file the way the host reads it: CreateFileInfo(0), Open, every getter,
// and destruction through the object's virtual destructor. `outcome` is
// filled in place, so that its strings keep their capacity.
void ReadOneFile(const LoadedPlugin& plugin, const std::string& path, ScanOutcome& outcome);

// Reads `files` with `jobs` threads, each with its own objects, and calls
// `deliver` for each file in order on the calling thread, until it returns
// false. While it waits it calls `waiting` about ten times a second; with one
// job it reads on the calling thread and never waits.
void ScanInOrder(const PluginSet& plugins, const std::vector<std::string>& files, unsigned jobs,
                 const std::function<bool(const ScanOutcome&)>& deliver, const std::function<void()>& waiting);

}  // namespace cvxscan
