// The version identification a plug-in file carries: a section of its own
// on Linux, a version resource on Windows.
#pragma once

#include <string>

namespace cvxscan {

struct VersionInfo {
    std::string description, productVersion, fileVersion;
};

// The identification of the library at `path`, or false when it has none.
bool ReadVersionInfo(const std::string& path, VersionInfo& info);

}  // namespace cvxscan
