#include "tests/support/unprivileged.h"

#include <sys/wait.h>
#include <unistd.h>

namespace cvx::testing {

namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

int RunAsUnprivileged(const std::function<int()>& body) {
    if (geteuid() != 0) return body();
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(255);
        _exit(body() & 0xFF);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255) return -1;
    return WEXITSTATUS(status);
}

void OpenUpForAnyone(const std::filesystem::path& folder) {
    std::filesystem::permissions(folder, std::filesystem::perms::all, std::filesystem::perm_options::add);
}

}  // namespace cvx::testing
