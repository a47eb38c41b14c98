// The plug-ins the build makes (corvane_plugins.h, from corvane_add_plugin)
// and what the tests over every plug-in need of each one's format. A plug-in
// added to the build needs its entry in formats.cpp.
#pragma once

#include <cstdint>
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
};

// Every plug-in, in the order the build adds them.
const std::vector<BuiltPlugin>& BuiltPlugins();

}  // namespace cvx::testing
