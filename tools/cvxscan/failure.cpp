#include "tools/cvxscan/failure.h"

namespace cvxscan {

std::string Describe(const Failure& failure) {
    switch (failure.kind) {
        case FailureKind::kPlugin: return failure.plugin + ": " + failure.reason;
        case FailureKind::kInstall: return failure.plugin + ": " + failure.path + ": " + failure.reason;  // as "added"
        default: break;
    }
    return failure.path + ": " + failure.reason + (failure.plugin.empty() ? "" : " (" + failure.plugin + ")");
}

const FailureKindName kFailureKinds[6] = {
    {FailureKind::kFile, "file"}, {FailureKind::kFolder, "folder"},  {FailureKind::kPath, "path"},
    {FailureKind::kList, "list"}, {FailureKind::kPlugin, "plug-in"}, {FailureKind::kInstall, "installation"},
};

}  // namespace cvxscan
