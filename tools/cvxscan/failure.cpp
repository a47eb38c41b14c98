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

const char* NounFor(FailureKind kind) {
    switch (kind) {
        case FailureKind::kFile: return "file";
        case FailureKind::kFolder: return "folder";
        case FailureKind::kPath: return "path";
        case FailureKind::kList: return "list";
        case FailureKind::kPlugin: return "plug-in";
        case FailureKind::kInstall: return "installation";
    }
    return "failure";
}

}  // namespace cvxscan
