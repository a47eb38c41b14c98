// open_once PLUGIN FILE: opens FILE once with a new object of PLUGIN and
// prints the process's peak resident memory in KiB (VmHWM), for tests that
// bound what opening a file may cost. A program of its own, so that nothing
// a test process allocated before hides the growth.
//
// open_once PLUGIN FILE CYCLES: as a host that frees the plug-in and loads
// it again, CYCLES times loads PLUGIN, opens FILE with a new object,
// destroys it and unloads PLUGIN; prints the resident memory in KiB (VmRSS)
// after the first ten cycles and after the last.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>

#include "tools/host/plugin_library.h"

namespace cvx::testing {

using namespace cvx::host;

namespace {

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string name = std::string(field) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(name, 0) == 0) return std::stol(line.substr(name.size()));
    }
    return -1;
}

}  // namespace

int Main(int argc, char** argv) {
    if (argc != 3 && argc != 4) return 2;
    const int cycles = argc == 4 ? std::atoi(argv[3]) : 1;
    long settled = -1;
    try {
        for (int i = 0; i < cycles; ++i) {
            const PluginLibrary plugin(argv[1]);
            plugin.CreateFileInfo(0)->Open(argv[2]);
            if (i == 9) settled = StatusKiB("VmRSS");
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    if (argc == 4) {
        std::printf("%ld %ld\n", settled, StatusKiB("VmRSS"));
    } else {
        std::printf("%ld\n", StatusKiB("VmHWM"));
    }
    return 0;
}

}  // namespace cvx::testing

int main(int argc, char** argv) { return cvx::testing::Main(argc, argv); }
