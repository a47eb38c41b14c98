#include "tools/cvxscan/whole_file.h"

#include <cerrno>
#include <cstring>

#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/report.h"

namespace cvxscan {

bool ReadWholeStream(std::FILE* stream, std::string& bytes, std::string& error) {
    bytes.clear();
    char block[1 << 16];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, stream)) > 0) bytes.append(block, got);
    if (std::ferror(stream)) {
        error = SystemErrorText(errno);
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    const cvx::FilePtr file = OpenStream(path);
    if (!file) {
        error = SystemErrorText(errno);
        return false;
    }
    return ReadWholeStream(file.get(), bytes, error);
}

}  // namespace cvxscan
