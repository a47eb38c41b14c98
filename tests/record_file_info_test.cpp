// The record, its accessors and the size probe.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>

#include <string>

#include "frame/open_file_for_record.h"
#include "frame/probe_file_size.h"
#include "frame/record_file_info.h"
#include "frame/tag_record.h"
#include "tests/support/temp_dir.h"

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::samples;
namespace {

// The accessors with a trivial Open, to reach them without a format.
class PlainFileInfo : public RecordFileInfo {
public:
    int32_t Open(const char* path) noexcept override { return OpenFileForRecord(record_, path) ? 0 : 1; }
    TagRecord& mutableRecord() { return record_; }
};

}  // namespace

TEST(TagRecord, KeepsTheBinaryLayoutOfItsFields) {
    EXPECT_EQ(offsetof(TagRecord, length), 0u);
    EXPECT_EQ(offsetof(TagRecord, title), 4u);
    EXPECT_EQ(offsetof(TagRecord, genre), 4u + 4 * 512);
    EXPECT_EQ(offsetof(TagRecord, year), 4u + 5 * 512);
    EXPECT_EQ(offsetof(TagRecord, path), 4u + 5 * 512 + 8);
    EXPECT_EQ(offsetof(TagRecord, fileSize), 4u + 5 * 512 + 8 + 260);
}

TEST(RecordFileInfo, StartsEmpty) {
    PlainFileInfo info;
    char text[kTagFieldSize] = "junk";
    EXPECT_EQ(info.GetTitle(text), 1);
    EXPECT_EQ(text[0], '\0');
    EXPECT_EQ(info.GetFileName(text), 1);
    EXPECT_EQ(info.GetFileSize(), 0);
    EXPECT_EQ(info.GetLength(), 0);
    EXPECT_EQ(info.GetYear(), 0);
    EXPECT_EQ(info.GetTrack(), 0);
    EXPECT_EQ(info.GetLengthText(text), 6);
    EXPECT_STREQ(text, "00:00");
}

TEST(RecordFileInfo, GettersCopyTextAndNulAndCountBoth) {
    PlainFileInfo info;
    TagRecord& record = info.mutableRecord();
    std::string full(511, 'x');
    CopyToField(record.title, sizeof record.title, full.c_str());
    CopyToField(record.genre, sizeof record.genre, "Rock");
    char text[kTagFieldSize];
    EXPECT_EQ(info.GetTitle(text), 512);
    EXPECT_EQ(std::string(text), full);
    EXPECT_EQ(info.GetGenre(text), 5);
    EXPECT_STREQ(text, "Rock");

    record.length = 59;
    EXPECT_EQ(info.GetLengthText(text), 6);
    EXPECT_STREQ(text, "00:59");
    record.length = 3600;
    EXPECT_EQ(info.GetLengthText(text), 9);
    EXPECT_STREQ(text, "01:00:00");
}

TEST(RecordFileInfo, CopyToFieldCutsAtCapacity) {
    TagRecord record{};
    const std::string longText(600, 'a');
    CopyToField(record.comment, sizeof record.comment, longText.c_str());
    EXPECT_EQ(std::string(record.comment), std::string(511, 'a'));
}

TEST(OpenFileForRecord, RefusesPathsTooLongForTheField) {
    TempDir dir;
    PlainFileInfo info;
    const std::string fits = dir.File("a");
    WriteText(fits, "12345");
    ASSERT_EQ(info.Open(fits.c_str()), 0);
    EXPECT_EQ(info.GetFileSize(), 5);

    std::string tooLong = dir.path().string() + "/" + std::string(300, 'b');
    tooLong.resize(kPathFieldSize);  // exactly 260 bytes: one more than fits
    EXPECT_EQ(info.Open(tooLong.c_str()), 1);
    char text[kPathFieldSize];
    EXPECT_EQ(info.GetFileName(text), 1);
    EXPECT_EQ(info.GetFileSize(), -1);

    std::string longest = dir.path().string() + "/" + std::string(300, 'c');
    longest.resize(kPathFieldSize - 1);
    WriteText(longest, "123");
    EXPECT_EQ(info.Open(longest.c_str()), 0);
    EXPECT_EQ(info.GetFileName(text), 260);
    EXPECT_EQ(info.GetFileSize(), 3);
    EXPECT_EQ(info.Open(nullptr), 1);
    EXPECT_EQ(info.GetFileName(text), 1);
}

TEST(ProbeFileSize, ReportsBytesOrMinusOne) {
    TempDir dir;
    const std::string empty = dir.File("empty");
    WriteText(empty, "");
    const std::string some = dir.File("some");
    WriteBytes(some, std::vector<uint8_t>(1000, 0));
    EXPECT_EQ(ProbeFileSize(empty.c_str()), 0);
    EXPECT_EQ(ProbeFileSize(some.c_str()), 1000);
    EXPECT_EQ(ProbeFileSize(dir.File("missing").c_str()), -1);
}

TEST(ProbeFileSize, NeverOpensWhatIsNotARegularFile) {
    TempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int before = CountOpenDescriptors();
    EXPECT_EQ(ProbeFileSize(fifo.c_str()), -1);  // would block if opened plainly
    EXPECT_EQ(ProbeFileSize(dir.path().c_str()), -1);
    EXPECT_EQ(ProbeFileSize("/dev/zero"), -1);
    EXPECT_EQ(CountOpenDescriptors(), before);
}

TEST(ProbeFileSize, SizesBeyondInt32AreUnknown) {
    TempDir dir;
    const std::string huge = dir.File("sparse");
    WriteText(huge, "");
    ASSERT_EQ(truncate(huge.c_str(), 3LL * 1024 * 1024 * 1024), 0);  // sparse, takes no space
    EXPECT_EQ(ProbeFileSize(huge.c_str()), -1);
}

}  // namespace cvx::testing
