// open_once PLUGIN FILE: opens FILE once with a new object of PLUGIN and
// prints the process's peak resident memory in KiB (VmHWM), for tests that
// bound what opening a file may cost. A program of its own, so that nothing
// a test process allocated before hides the growth.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "tools/host/plugin_library.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    try {
        const PluginLibrary plugin(argv[1]);
        plugin.CreateFileInfo(0)->Open(argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) std::printf("%ld\n", std::stol(line.substr(6)));
    }
    return 0;
}
