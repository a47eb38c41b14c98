#pragma once

#include <string>

namespace cvx {

// Where the host keeps plugin.ini for a plug-in at `libraryPath`: the folder
// two levels above the library's own folder, as in
//   /opt/corvane/Plugins/Formats/OGG.cvx  ->  /opt/corvane/plugin.ini
// Each of the three cuts happens only when the previous one found a
// separator, so a shallow path loses as many levels as it has.
std::string PluginIniPath(const std::string& libraryPath);

}  // namespace cvx
