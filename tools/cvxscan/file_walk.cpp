#include "tools/cvxscan/file_walk.h"

#include <algorithm>
#include <unordered_set>

#include "tools/cvxscan/platform/file_system.h"

namespace cvxscan {

namespace {

struct Walk {
    const std::function<bool(const std::string&)>& wanted;
    WalkResult& result;
    std::vector<Failure>& failures;
    std::unordered_set<std::string> seen;  // absolute paths of the files taken

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
                case EntryKind::kUnknown: failures.push_back({FailureKind::kPath, path, "", entry.error}); break;
                case EntryKind::kOther:
                    if (wanted(path)) Take(std::move(path), JoinPath(key, entry.name));
                    else ++result.otherFiles;
                    break;
            }
        }
    }

    // A file to read, unless it was taken already.
    void Take(std::string&& path, std::string&& key) {
        if (seen.insert(std::move(key)).second) result.files.push_back(std::move(path));
    }
};

}  // namespace

WalkResult CollectFiles(const std::vector<std::string>& paths, const std::function<bool(const std::string&)>& wanted,
                        std::vector<Failure>& failures) {
    WalkResult result;
    Walk walk{wanted, result, failures, {}};
    for (const std::string& path : paths) {
        std::string error;
        switch (KindOf(path, error)) {
            case PathKind::kMissing: failures.push_back({FailureKind::kPath, path, "", error}); break;
            case PathKind::kFolder: walk.Folder(path, AbsolutePath(path)); break;
            case PathKind::kFile:
                if (wanted(path)) walk.Take(std::string(path), AbsolutePath(path));
                else failures.push_back({FailureKind::kPath, path, "", "no plug-in reads this kind of file"});
                break;
        }
    }
    return result;
}

}  // namespace cvxscan
