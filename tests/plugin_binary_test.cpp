// What the plug-in files show without being loaded: the symbols they export
// and the version identification they carry.
#include <corvane_plugins.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/formats.h"

namespace cvx::testing {

namespace {

std::string ShellOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get()) != nullptr) output += buffer;
    return output;
}

std::set<std::string> ExportedSymbols(const std::string& library) {
    std::istringstream lines(ShellOutput("nm -D --defined-only '" + library + "'"));
    std::set<std::string> names;
    std::string address, type, name;
    while (lines >> address >> type >> name) names.insert(name);
    return names;
}

}  // namespace

TEST(PluginBinary, ExportsOnlyTheEntryPoints) {
    for (const BuiltPlugin& plugin : BuiltPlugins()) {
        SCOPED_TRACE(plugin.path);
        EXPECT_EQ(ExportedSymbols(plugin.path), (std::set<std::string>{"CreateFileInfo", "GetExtension", "Install"}));
    }
}

TEST(PluginBinary, CarriesReadableVersionIdentification) {
    for (const BuiltPlugin& plugin : BuiltPlugins()) {
        SCOPED_TRACE(plugin.path);
        const std::string dump = ShellOutput("readelf -p .cvx_version '" + plugin.path + "'");
        EXPECT_NE(dump.find("ProductName=Corvane (File Format Plugin)"), std::string::npos) << dump;
        EXPECT_NE(dump.find("ProductVersion=" CORVANE_PRODUCT_VERSION "\n"), std::string::npos) << dump;
        EXPECT_NE(dump.find(std::string("FileVersion=") + plugin.fileVersion + "\n"), std::string::npos) << dump;
        EXPECT_NE(dump.find(std::string("FileDescription=") + plugin.description + "\n"), std::string::npos)
            << dump;
    }
}

}  // namespace cvx::testing
