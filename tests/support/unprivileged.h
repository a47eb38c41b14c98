// Permission checks that hold even when the tests run as root, where
// permission bits stop nothing: the check runs in a child process that has
// given up root for an ordinary user.
#pragma once

#include <filesystem>
#include <functional>

namespace cvx::testing {

// Runs `body` without root privileges (in a child as user "nobody" when this
// process is root, directly otherwise) and returns what it returned, or -1
// when the child failed.
int RunAsUnprivileged(const std::function<int()>& body);

// Lets any user write in `folder`, so the unprivileged child may create files.
void OpenUpForAnyone(const std::filesystem::path& folder);

}  // namespace cvx::testing
