#include "frame/platform/own_library_path.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstring>

namespace cvx {

namespace {

// Recorded while the loader maps the library and forgotten when it unmaps
// it. Taken at load time because the loader reports the path as it was
// given to dlopen: a relative path only means something against the
// working directory of that moment.
char gOwnPath[PATH_MAX];
bool gOwnPathKnown = false;

__attribute__((constructor)) void RecordOwnPath() {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&RecordOwnPath), &info) == 0 || info.dli_fname == nullptr ||
        info.dli_fname[0] == '\0') {
        return;
    }
    std::string path = info.dli_fname;
    if (path[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd) == nullptr) return;
        path = std::string(cwd) + "/" + path;
    }
    if (path.size() >= sizeof gOwnPath) return;
    std::memcpy(gOwnPath, path.c_str(), path.size() + 1);
    gOwnPathKnown = true;
}

__attribute__((destructor)) void ForgetOwnPath() { gOwnPathKnown = false; }

}  // namespace

std::optional<std::string> OwnLibraryPath() {
    if (!gOwnPathKnown) return std::nullopt;
    return std::string(gOwnPath);
}

}  // namespace cvx
