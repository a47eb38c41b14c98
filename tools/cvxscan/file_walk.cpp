#include "tools/cvxscan/file_walk.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

struct Walk {
    const std::function<bool(const std::string&)>& wanted;
    std::vector<std::string>& files;
    std::vector<std::string>& problems;

    void Folder(const fs::path& folder) {
        std::vector<fs::path> entries;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            entries.push_back(it->path());
        }
        if (error) {
            problems.push_back(folder.string() + ": " + error.message());
            return;
        }
        std::sort(entries.begin(), entries.end(),
                  [](const fs::path& a, const fs::path& b) { return a.filename().native() < b.filename().native(); });
        for (const fs::path& entry : entries) {
            std::error_code ignored;
            if (fs::is_directory(fs::symlink_status(entry, ignored))) {
                Folder(entry);
            } else if (wanted(entry.string())) {
                files.push_back(entry.string());
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
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (!fs::exists(status)) {
            problems.push_back(path + ": " + (error ? error.message() : "no such file or folder"));
        } else if (fs::is_directory(status)) {
            walk.Folder(path);
        } else if (wanted(path)) {
            files.push_back(path);
        } else {
            problems.push_back(path + ": no plug-in reads this kind of file");
        }
    }
    return files;
}
