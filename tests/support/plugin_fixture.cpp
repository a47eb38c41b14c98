#include "tests/support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace cvx::testing {

PluginLibrary& LoadPluginOnce(const std::string& path) {
    static std::map<std::string, std::unique_ptr<PluginLibrary>> loaded;
    std::unique_ptr<PluginLibrary>& plugin = loaded[path];
    if (!plugin) plugin = std::make_unique<PluginLibrary>(path);
    return *plugin;
}

const std::vector<std::string> kSevenValueComments = {
    "TITLE=Song", "ARTIST=Band", "ALBUM=Gr\xC3\xBC\xC3\x9F" "e", "COMMENT=Live", "GENRE=Jazz", "DATE=2002-10-19",
    "TRACKNUMBER=07/12"};

ExpectedReading SevenValuesRead(int32_t fileSize, const std::string& fileName) {
    return ExpectedReading()
        .Size(fileSize)
        .FileName(fileName)
        .Length(205, "03:25")
        .Title("Song")
        .Artist("Band")
        .Album("Gr\xFC\xDF" "e")
        .Comment("Live")
        .Genre("Jazz")
        .Year(2002)
        .Track(7);
}

FileInfoPtr PluginFixture::NewInfo() const {
    FileInfoPtr info = plugin_.CreateFileInfo(0);
    EXPECT_NE(info, nullptr);
    return info;
}

std::string PluginFixture::WriteFile(const Bytes& bytes, const std::string& name) const {
    const std::string path = dir_.File(name);
    WriteBytes(path, bytes);
    return path;
}

Reading PluginFixture::Read(const Bytes& bytes, const std::string& name) const {
    return OpenAndRead(*NewInfo(), WriteFile(bytes, name));
}

}  // namespace cvx::testing
