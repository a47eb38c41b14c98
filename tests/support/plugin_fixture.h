// What every suite that drives a built plug-in needs: the plug-in, loaded
// once per process as the host would load it, and a scratch folder.
#pragma once

#include <string>
#include <vector>

#include "tests/support/reading_matchers.h"
#include "tests/support/temp_dir.h"

namespace cvx::testing {

using host::FileInfoPtr;
using host::OpenAndRead;
using host::PluginLibrary;
using host::Reading;
using host::ReadFields;

// One comment for each of the seven values, and what every plug-in reads
// from them (the album narrowed to 8-bit text): 205 seconds of audio assumed.
extern const std::vector<std::string> kSevenValueComments;
ExpectedReading SevenValuesRead(int32_t fileSize, const std::string& fileName);

// The plug-in at `path`, loaded on first use and kept until the process ends.
PluginLibrary& LoadPluginOnce(const std::string& path);

class PluginFixture {
protected:
    explicit PluginFixture(const std::string& pluginPath) : plugin_(LoadPluginOnce(pluginPath)) {}

    // A new object from CreateFileInfo(0).
    FileInfoPtr NewInfo() const;
    // Writes `bytes` to `name` in the scratch folder and returns its path.
    std::string WriteFile(const Bytes& bytes, const std::string& name) const;
    // Opens `bytes`, written to a file, with a new object and reads it back.
    Reading Read(const Bytes& bytes, const std::string& name = "file") const;

    PluginLibrary& plugin_;
    TempDir dir_;
};

}  // namespace cvx::testing
