#include "tools/cvxscan/file_walk.h"

#include <algorithm>

#include "tools/cvxscan/platform/file_system.h"

namespace {

struct Walk {
    const std::function<bool(const std::string&)>& wanted;
    std::vector<std::string>& files;
    std::vector<std::string>& problems;

    void Folder(const std::string& folder) {
        std::vector<FolderEntry> entries;
        std::string error;
        if (!ListFolder(folder, entries, error)) {
            problems.push_back(folder + ": " + error);
            return;
        }
        std::sort(entries.begin(), entries.end(),
                  [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
        for (const FolderEntry& entry : entries) {
            const std::string path = JoinPath(folder, entry.name);
            if (entry.isFolder) {
                Folder(path);
            } else if (wanted(path)) {
                files.push_back(path);
            }
        }
    }
};

}  // namespace

std::vector<std::string> CollectFiles(const std::vector<std::string>& paths,
                                      const std::function<bool(const std::string&)>& wanted,
                                      std::vector<std::string>& problems) {
    std::vector<std::string> files;
    Walk walk{wanted, files, problems};
    for (const std::string& path : paths) {
        std::string error;
        switch (KindOf(path, error)) {
            case PathKind::kMissing: problems.push_back(path + ": " + error); break;
            case PathKind::kFolder: walk.Folder(path); break;
            case PathKind::kFile:
                if (wanted(path)) {
                    files.push_back(path);
                } else {
                    problems.push_back(path + ": no plug-in reads this kind of file");
                }
                break;
        }
    }
    return files;
}
