// install_once PLUGIN: loads PLUGIN, waits until its standard input ends,
// then calls Install once and exits 0 when it answered nonzero. Several of
// them released together register at the same moment, as host processes
// starting together would.
#include <unistd.h>

#include <cstdio>
#include <exception>

#include "tools/host/plugin_library.h"

namespace cvx::testing {

using namespace cvx::host;

int Main(int argc, char** argv) {
    if (argc != 2) return 2;
    try {
        const PluginLibrary plugin(argv[1]);
        if (plugin.install() == nullptr) return 2;
        char byte;
        while (read(STDIN_FILENO, &byte, 1) > 0) {
        }
        return plugin.install()() != 0 ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
}

}  // namespace cvx::testing

int main(int argc, char** argv) { return cvx::testing::Main(argc, argv); }
