#include "tools/host/open_descriptors.h"

#include <dirent.h>

namespace cvx::host {

int CountOpenDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr) ++count;
        closedir(dir);
    }
    return count;
}

}  // namespace cvx::host
