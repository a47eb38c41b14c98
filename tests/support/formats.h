// The plug-ins the build makes (corvane_plugins.h, from corvane_add_plugin)
// and what the tests over every plug-in need of each one's format. A plug-in
// added to the build needs its entry in formats.cpp.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tools/samples/bytes.h"

namespace cvx::testing {

struct BuiltPlugin {
    std::string name;         // the extension word, "OGG"
    std::string word;         // in lower case: the files' extension
    std::string path;         // the built library
    std::string description;  // its version identification's
    std::string fileVersion;
    // A file of the format with these "NAME=value" comments and length.
    samples::Bytes (*taggedFile)(const std::vector<std::string>& comments, uint32_t seconds);
    // Whether an Open that fails before the file is read keeps the length
    // and tags of the last file (OGG) or empties them (FLAC, OPUS).
    bool failedOpenKeepsTheRest;
};

// Every plug-in, in the order the build adds them.
const std::vector<BuiltPlugin>& BuiltPlugins();

// A test over every plug-in names the one it failed on.
inline void PrintTo(const BuiltPlugin& plugin, std::ostream* out) { *out << plugin.name; }

}  // namespace cvx::testing
