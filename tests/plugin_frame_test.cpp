// What the shared frame gives every plug-in, checked on each built library as
// the host uses it: entry points, the table of operations, and a prompt,
// clean failure for every path that is not a readable file of the format.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "frame/tag_record.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/opus_files.h"
#include "tests/support/formats.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/plugin_fixture.h"

namespace cvx::testing {

using namespace cvx::flac;
using namespace cvx::host;
using namespace cvx::samples;

namespace {

class PluginFrame : public ::testing::TestWithParam<BuiltPlugin>, public PluginFixture {
protected:
    PluginFrame() : PluginFixture(GetParam().path.c_str()) {}

    std::string WriteTagged(const std::string& name) const {
        return WriteFile(GetParam().taggedFile({"TITLE=t", "ARTIST=ar", "ALBUM=alb", "COMMENT=comm", "GENRE=genre",
                                              "DATE=1999", "TRACKNUMBER=4"},
                                             61),
                         name);
    }
};

}  // namespace

TEST_P(PluginFrame, NamesOneExtension) {
    EXPECT_STREQ(plugin_.GetExtension(0), GetParam().name.c_str());
    EXPECT_EQ(plugin_.GetExtension(1), nullptr);
    EXPECT_EQ(plugin_.GetExtension(-1), nullptr);
}

TEST_P(PluginFrame, CreatesEmptyObjectsOnlyOfKindZero) {
    EXPECT_EQ(plugin_.CreateFileInfo(1), nullptr);
    EXPECT_EQ(plugin_.CreateFileInfo(-1), nullptr);
    Reading expected{};
    expected.lengthText = "00:00";
    EXPECT_EQ(ReadFields(*NewInfo()), expected);
}

// The host knows the operations only by their position in the table. Call
// them by position, on the platform's layout (two destructor entries first),
// and check each answers for its own field.
TEST_P(PluginFrame, OperationsSitInTheirFixedSlots) {
    const std::string path = WriteTagged("tagged");
    FileInfo* info = plugin_.CreateFileInfo(0).release();
    ASSERT_NE(info, nullptr);
    void** table = *reinterpret_cast<void***>(info);
    constexpr int kOpenSlot = 2;  // after the complete and deleting destructors
    using OpenOperation = int32_t (*)(FileInfo*, const char*);
    using NumberOperation = int32_t (*)(FileInfo*);
    using TextOperation = int32_t (*)(FileInfo*, char*);
    using DeletingDestructor = void (*)(FileInfo*);
    // `operation` counts as in the interface: Open is 1, GetTrack 12.
    auto number = [&](int operation) {
        return reinterpret_cast<NumberOperation>(table[kOpenSlot + operation - 1])(info);
    };
    auto text = [&](int operation) {
        char out[kTagFieldSize];
        reinterpret_cast<TextOperation>(table[kOpenSlot + operation - 1])(info, out);
        return std::string(out);
    };

    EXPECT_EQ(reinterpret_cast<OpenOperation>(table[kOpenSlot])(info, path.c_str()), 0);
    EXPECT_EQ(number(2), static_cast<int32_t>(ReadBytes(path).size()));
    EXPECT_EQ(text(3), path);
    EXPECT_EQ(number(4), 61);
    EXPECT_EQ(text(5), "01:01");
    EXPECT_EQ(text(6), "t");
    EXPECT_EQ(text(7), "ar");
    EXPECT_EQ(text(8), "alb");
    EXPECT_EQ(text(9), "comm");
    EXPECT_EQ(text(10), "genre");
    EXPECT_EQ(number(11), 1999);
    EXPECT_EQ(number(12), 4);
    reinterpret_cast<DeletingDestructor>(table[1])(info);
}

TEST_P(PluginFrame, GettersReturnTheBytesTheyCopy) {
    FileInfoPtr info = NewInfo();
    ASSERT_EQ(info->Open(WriteTagged("tagged").c_str()), 0);
    char text[kTagFieldSize];
    EXPECT_EQ(info->GetTitle(text), 2);
    EXPECT_EQ(info->GetLengthText(text), 6);
    EXPECT_EQ(info->GetFileName(text), static_cast<int32_t>(dir_.File("tagged").size() + 1));
}

TEST_P(PluginFrame, APathTooLongForTheRecordIsRefusedUnopened) {
    FileInfoPtr info = NewInfo();
    ASSERT_EQ(info->Open(WriteTagged("tagged").c_str()), 0);
    const Reading tagged = ReadFields(*info);
    // A real file behind a 260-byte path: refused even though it exists,
    // and every field as after any Open that fails before reading.
    std::string longPath = dir_.path().string() + "/";
    longPath += std::string(260 - longPath.size(), 'n');
    WriteBytes(longPath, ReadBytes(dir_.File("tagged")));
    Reading expected = tagged;
    if (!GetParam().failedOpenKeepsTheRest) expected = {0, 0, "", 0, "00:00", "", "", "", "", "", 0, 0};
    expected.openResult = 1;
    expected.fileName = "";
    expected.fileSize = -1;
    EXPECT_EQ(OpenAndRead(*info, longPath), expected);

    longPath.pop_back();  // 259 bytes fit
    WriteBytes(longPath, ReadBytes(dir_.File("tagged")));
    EXPECT_EQ(info->Open(longPath.c_str()), 0);
    EXPECT_EQ(ReadFields(*info).fileName, longPath);
}

TEST_P(PluginFrame, BadInputGetsAPromptFailureAndLeaksNoDescriptor) {
    const std::string fifo = dir_.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir_.File("folder");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const Bytes valid = GetParam().taggedFile({"TITLE=x"}, 1);
    const std::vector<std::string> paths = {
        WriteFile({}, "empty"),
        WriteFile(Bytes(valid.begin(), valid.begin() + 20), "cut short"),
        WriteFile(Bytes(5000, 'a'), "text"),
        fifo,
        folder,
        dir_.File("missing"),
        "/dev/null",
        "/dev/zero",
    };

    const int before = CountOpenDescriptors();
    FileInfoPtr info = NewInfo();
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        EXPECT_EQ(info->Open(path.c_str()), 1);
        EXPECT_EQ(ReadFields(*info).fileName, path);
    }
    EXPECT_EQ(info->GetFileSize(), -1);  // /dev/zero has no size
    EXPECT_EQ(info->Open(nullptr), 1);
    EXPECT_EQ(ReadFields(*info).fileName, "");
    EXPECT_EQ(CountOpenDescriptors(), before);
}

INSTANTIATE_TEST_SUITE_P(EveryPlugIn, PluginFrame, ::testing::ValuesIn(BuiltPlugins()),
                         [](const ::testing::TestParamInfo<BuiltPlugin>& test) { return test.param.name; });

}  // namespace cvx::testing
