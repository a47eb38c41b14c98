#include "tools/cvxscan/file_walk.h"

#include <algorithm>
#include <unordered_set>

#include "frame/ascii.h"
#include "tools/cvxscan/platform/file_system.h"

namespace cvxscan {

namespace {

// ".jpg" for "Cover.JPG"; empty for a name without a dot.
std::string ExtensionOf(const std::string& path) {
    const std::string name = path.substr(FileNameOffset(path));
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    std::string extension = name.substr(dot);
    for (char& c : extension) c = cvx::ToAsciiLower(c);
    return extension;
}

struct Walk {
    const std::function<bool(const std::string&)>& wanted;
    WalkResult& result;
    std::vector<Failure>& failures;
    // Absolute paths of the files taken, and of the other entries counted.
    std::unordered_set<std::string> seen, seenOthers;

    // `key`: the folder's absolute path, from which its files' are made.
    void Folder(const std::string& folder, const std::string& key) {
        std::vector<FolderEntry> entries;
        std::string error;
        if (!ListFolder(folder, entries, error)) {
            failures.push_back({FailureKind::kFolder, folder, "", error});
            return;
        }
        std::sort(entries.begin(), entries.end(),
                  [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
        for (const FolderEntry& entry : entries) {
            std::string path = JoinPath(folder, entry.name);
            switch (entry.kind) {
                case EntryKind::kFolder: Folder(path, JoinPath(key, entry.name)); break;
                case EntryKind::kFolderLink:
                    if (seenOthers.insert(JoinPath(key, entry.name)).second) ++result.folderLinks;
                    break;
                case EntryKind::kUnknown: failures.push_back({FailureKind::kPath, path, "", entry.error}); break;
                case EntryKind::kOther: File(std::move(path), JoinPath(key, entry.name)); break;
            }
        }
    }

    // A file to read, unless it was taken already; or an other file,
    // counted once.
    void File(std::string&& path, std::string&& key) {
        if (!wanted(path)) {
            if (seenOthers.insert(std::move(key)).second) ++result.otherFiles[ExtensionOf(path)];
        } else if (seen.insert(std::move(key)).second) {
            result.files.push_back(std::move(path));
        }
    }
};

}  // namespace

WalkResult CollectFiles(const std::vector<std::string>& paths, const std::function<bool(const std::string&)>& wanted,
                        std::vector<Failure>& failures) {
    WalkResult result;
    Walk walk{wanted, result, failures, {}, {}};
    for (const std::string& given : paths) {
        const std::string path = WithSingleSeparators(given);
        std::string error;
        switch (KindOf(path, error)) {
            case PathKind::kMissing: failures.push_back({FailureKind::kPath, path, "", error}); break;
            case PathKind::kFolder: walk.Folder(path, IdentityPath(path)); break;
            case PathKind::kFile: walk.File(std::string(path), IdentityPath(path)); break;
        }
    }
    return result;
}

}  // namespace cvxscan
