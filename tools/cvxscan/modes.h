// What cvxscan can be asked to do, each a step of Main (main.cpp): print the
// versions, install the plug-ins, scan.
#pragma once

#include <vector>

#include "tools/cvxscan/failure.h"
#include "tools/cvxscan/options.h"
#include "tools/cvxscan/output.h"
#include "tools/cvxscan/plugin_set.h"

namespace cvxscan {

// cvxscan's version and every plug-in's identification, a line each.
void WriteVersions(Output& out, const PluginSet& plugins);

// Install on every plug-in, naming the plugin.ini each one writes and what
// came of it; each that failed adds to `failures`. Refused (false, and
// said) for plug-ins outside a Plugins/Formats folder unless `force`:
// their plugin.ini, two folders up, is not Corvane's.
bool InstallAll(const PluginSet& plugins, const std::string& pluginFolder, bool force, std::vector<Failure>& failures);

// The scan of the paths the options give: the catalogue on `out`, failures
// on stderr and in the catalogue, the summary last. The exit status.
int Scan(const Options& options, const PluginSet& plugins, std::vector<Failure>& failures, Output& out);

}  // namespace cvxscan
