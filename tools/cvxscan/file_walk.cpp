#include "tools/cvxscan/file_walk.h"

#include <algorithm>

#include "tools/cvxscan/platform/file_system.h"

namespace cvxscan {

namespace {

struct Walk {
    const std::function<bool(const std::string&)>& wanted;
    WalkResult& result;
    std::vector<std::string>& problems;

    void Folder(const std::string& folder) {
        std::vector<FolderEntry> entries;
        std::string error;
        if (!ListFolder(folder, entries, error)) {
            problems.push_back(folder + ": " + error);
            return;
        }
        // Sorted through pointers: an entry is far larger to move than one.
        std::vector<const FolderEntry*> sorted;
        sorted.reserve(entries.size());
        for (const FolderEntry& entry : entries) sorted.push_back(&entry);
        std::sort(sorted.begin(), sorted.end(),
                  [](const FolderEntry* a, const FolderEntry* b) { return a->name < b->name; });
        for (const FolderEntry* listed : sorted) {
            const FolderEntry& entry = *listed;
            std::string path = JoinPath(folder, entry.name);
            switch (entry.kind) {
                case EntryKind::kFolder: Folder(path); break;
                case EntryKind::kUnknown: problems.push_back(path + ": " + entry.error); break;
                case EntryKind::kOther: File(std::move(path)); break;
            }
        }
    }

    // Whether the file is one to read.
    bool File(std::string&& path) {
        if (!wanted(path)) {
            ++result.otherFiles;
            return false;
        }
        result.files.push_back(std::move(path));
        return true;
    }
};

}  // namespace

WalkResult CollectFiles(const std::vector<std::string>& paths, const std::function<bool(const std::string&)>& wanted,
                        std::vector<std::string>& problems) {
    WalkResult result;
    Walk walk{wanted, result, problems};
    for (const std::string& path : paths) {
        std::string error;
        switch (KindOf(path, error)) {
            case PathKind::kMissing: problems.push_back(path + ": " + error); break;
            case PathKind::kFolder: walk.Folder(path); break;
            case PathKind::kFile:
                if (!walk.File(std::string(path))) problems.push_back(path + ": no plug-in reads this kind of file");
                break;
        }
    }
    return result;
}

}  // namespace cvxscan
