// The Ogg reader's page scan and the stream it shows libvorbisfile.
#include "ogg/page_scan.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "frame/platform/regular_file.h"
#include "ogg/page_layout.h"
#include "ogg/read_limits.h"
#include "ogg/vorbis_input.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/temp_dir.h"

// In the namespace of FileRun, where GoogleTest finds them.
namespace cvx::ogg {
bool operator==(const FileRun& a, const FileRun& b) { return a.start == b.start && a.length == b.length; }
void PrintTo(const FileRun& run, std::ostream* out) { *out << "{" << run.start << ", " << run.length << "}"; }
}  // namespace cvx::ogg

namespace cvx::testing {

using ogg::FileRun;

namespace {

const Bytes kLink = samples::EncodeVorbis(samples::VorbisStream().Seconds(0.5).Comments({"TITLE=x"}));
const int64_t kLinkSize = static_cast<int64_t>(kLink.size());
constexpr int64_t kMiB = int64_t{1} << 20;

std::vector<FileRun> RunsOf(const Bytes& bytes) {
    TempDir dir;
    const std::string path = dir.File("scan.ogg");
    WriteBytes(path, bytes);
    const FilePtr file = OpenRegularFileForReading(path.c_str());
    return ogg::FindPageFreeRuns(file.get(), static_cast<int64_t>(bytes.size()));
}

}  // namespace

TEST(ClassifyCapture, TellsPagesFromBytesThatOnlyBeginLikeOne) {
    size_t extent = 0;
    EXPECT_EQ(ogg::ClassifyCapture(kLink.data(), kLink.size(), extent), ogg::CaptureKind::kPage);
    EXPECT_EQ(extent, OggPageOffsets(kLink).at(1));
    const Bytes flipped = [] { Bytes b = kLink; b[ogg::kOggPageHeaderSize + 3] ^= 1; return b; }();
    EXPECT_EQ(ogg::ClassifyCapture(flipped.data(), flipped.size(), extent), ogg::CaptureKind::kNoPage);
    const Bytes fake = CaptureWithoutPage(2);
    EXPECT_EQ(ogg::ClassifyCapture(fake.data(), fake.size(), extent), ogg::CaptureKind::kCutShort);
    EXPECT_EQ(ogg::ClassifyCapture(fake.data(), ogg::kOggPageHeaderSize - 1, extent), ogg::CaptureKind::kCutShort);
}

// Each row: the file, and the runs that may be hidden from libvorbisfile.
TEST(FindPageFreeRuns, HidesLongRunsOnlyWhereNoPageOrDeclaredByteIsChanged) {
    const int64_t searched = kLinkSize + ogg::kVorbisfileChunkSize;  // past CHUNKSIZE after the last page
    const Bytes zeros(static_cast<size_t>(2 * kMiB), 0);
    const Bytes fakeLongest = CaptureWithoutPage(255);  // declares 27 + 255 + 255 * 255 bytes
    Bytes fakeInView = zeros;                    // a capture pattern just within CHUNKSIZE of the page
    std::copy(fakeLongest.begin(), fakeLongest.end(), fakeInView.begin() + 60000);
    Bytes fakeInRun = zeros;
    std::copy(fakeLongest.begin(), fakeLongest.end(), fakeInRun.begin() + 300000);
    Bytes cutShortAtEnd = zeros;
    std::copy(fakeLongest.begin(), fakeLongest.end(), cutShortAtEnd.end() - 1000);
    const struct {
        const char* what;
        Bytes file;
        std::vector<FileRun> runs;
    } rows[] = {
        {"a page alone", kLink, {}},
        {"a run too short", samples::Concatenated({kLink, Bytes(static_cast<size_t>(kMiB), 0)}), {}},
        {"zeros after the last page", samples::Concatenated({kLink, zeros}), {{searched, 2 * kMiB + kLinkSize - searched}}},
        {"zeros between two links", samples::Concatenated({kLink, zeros, kLink}), {{searched, 2 * kMiB + kLinkSize - searched}}},
        {"a capture pattern in view declares what follows it", samples::Concatenated({kLink, fakeInView}),
         {{kLinkSize + 60000 + static_cast<int64_t>(ogg::kOggLongestPage),
           2 * kMiB - 60000 - static_cast<int64_t>(ogg::kOggLongestPage)}}},
        {"a capture pattern in the run goes with it", samples::Concatenated({kLink, fakeInRun}), {{searched, 2 * kMiB + kLinkSize - searched}}},
        {"a capture pattern cut short by the end stays in view", samples::Concatenated({kLink, cutShortAtEnd}),
         {{searched, 2 * kMiB - 1000 + kLinkSize - searched}}},
    };
    for (const auto& row : rows) EXPECT_EQ(RunsOf(row.file), row.runs) << row.what;
}

TEST(VorbisInput, ReadsAndSeeksStepOverHiddenRuns) {
    TempDir dir;
    const std::string path = dir.File("stream.bin");
    WriteBytes(path, Bytes{'a', 'b', 'c', 0, 0, 0, 0, 'd', 'e', 0, 0, 'f'});
    const FilePtr file = OpenRegularFileForReading(path.c_str());
    ogg::VorbisInput input(file.get(), 12, {{3, 4}, {9, 2}}, 1 << 20, true);  // "abcdef"
    const ov_callbacks& io = ogg::VorbisInput::kCallbacks;
    char text[8] = {};
    EXPECT_EQ(io.read_func(text, 1, 3, &input), 3u);  // up to the first run
    EXPECT_EQ(io.read_func(text + 3, 1, 8, &input), 3u);
    EXPECT_STREQ(text, "abcdef");
    ASSERT_EQ(io.seek_func(&input, 2, SEEK_SET), 0);
    EXPECT_EQ(io.read_func(text, 1, 3, &input), 3u);
    EXPECT_EQ(std::string(text, 3), "cde");
    ASSERT_EQ(io.seek_func(&input, -1, SEEK_END), 0);
    EXPECT_EQ(io.tell_func(&input), 5);
    EXPECT_EQ(io.read_func(text, 1, 3, &input), 1u);
    EXPECT_EQ(text[0], 'f');
    EXPECT_FALSE(input.stopped());
    EXPECT_EQ(input.costBytes(), 10 + 2 * ogg::kSeekCostBytes);
}

TEST(VorbisInput, StopsEveryCallOnceItsBudgetIsSpent) {
    TempDir dir;
    const std::string path = dir.File("stream.bin");
    WriteBytes(path, Bytes(100, 'x'));
    const FilePtr file = OpenRegularFileForReading(path.c_str());
    ogg::VorbisInput input(file.get(), 100, {}, 60, true);
    const ov_callbacks& io = ogg::VorbisInput::kCallbacks;
    char buffer[60];
    EXPECT_EQ(io.read_func(buffer, 1, sizeof buffer, &input), 60u);
    errno = 0;
    EXPECT_EQ(io.read_func(buffer, 1, sizeof buffer, &input), 0u);
    EXPECT_NE(errno, 0);  // a read error to libvorbisfile, not the end of the file
    EXPECT_EQ(io.seek_func(&input, 0, SEEK_SET), -1);
    EXPECT_EQ(io.tell_func(&input), -1);
    EXPECT_TRUE(input.stopped());
}

}  // namespace cvx::testing
