// A scratch folder that is removed with everything in it, and file helpers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/host/open_descriptors.h"
#include "tools/samples/bytes.h"

namespace cvx::testing {

// The tests build files with the sample builders and count descriptors with
// the host's helper.
using host::CountOpenDescriptors;
using samples::Bytes;
using samples::WriteBytes;

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Path of `name` inside the folder, as a string for the C interfaces.
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void WriteText(const std::string& path, const std::string& text);
Bytes ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);

}  // namespace cvx::testing
