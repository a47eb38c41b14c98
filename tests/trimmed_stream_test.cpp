#include "ogg/trimmed_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "frame/platform/regular_file.h"
#include "ogg/page_layout.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::ogg;
using namespace cvx::samples;

namespace {

// The visible end TrimToLastOggPage finds for a file of `bytes`.
off_t VisibleEnd(const Bytes& bytes) {
    TempDir dir;
    const std::string path = dir.File("stream.ogg");
    WriteBytes(path, bytes);
    FilePtr file = OpenRegularFileForReading(path.c_str());
    fseeko(file.get(), 3, SEEK_SET);
    TrimmedStream stream = WholeStream(file.get());
    EXPECT_EQ(stream.end, static_cast<off_t>(bytes.size()));
    EXPECT_EQ(stream.position, 3);
    TrimToLastOggPage(stream);
    EXPECT_EQ(ftello(file.get()), 3);  // where the reader left it
    return stream.end;
}

Bytes Concatenated(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

const Bytes kOgg = EncodeVorbis(VorbisStream().Seconds(2.0).Comments({"TITLE=x"}));

}  // namespace

TEST(TrimToLastOggPage, EndsWithTheLastPage) {
    EXPECT_EQ(VisibleEnd(kOgg), static_cast<off_t>(kOgg.size()));
    EXPECT_EQ(VisibleEnd(Concatenated(kOgg, Bytes(200000, 0))), static_cast<off_t>(kOgg.size()));
}

TEST(TrimToLastOggPage, SkipsCapturePatternsThatStartNoValidPage) {
    Bytes junk(100000, 0x5A);
    for (size_t at : {10u, 65535u, 65536u, 99990u}) std::copy_n(kOggCapturePattern, kOggCaptureSize, junk.begin() + static_cast<long>(at));
    EXPECT_EQ(VisibleEnd(Concatenated(kOgg, junk)), static_cast<off_t>(kOgg.size()));
}

TEST(TrimToLastOggPage, DropsAPageCutShort) {
    const std::vector<size_t> pages = OggPageOffsets(kOgg);
    const Bytes cut(kOgg.begin(), kOgg.end() - 1);
    EXPECT_EQ(VisibleEnd(cut), static_cast<off_t>(pages.back()));
}

TEST(TrimToLastOggPage, LeavesFilesWithoutPagesWhole) {
    EXPECT_EQ(VisibleEnd(Bytes(70000, 0)), 70000);
    EXPECT_EQ(VisibleEnd({}), 0);
}

TEST(TrimmedStream, ReadsStopAtItsEnd) {
    TempDir dir;
    const std::string path = dir.File("stream.bin");
    WriteBytes(path, Bytes(100, 'x'));
    FilePtr file = OpenRegularFileForReading(path.c_str());
    ASSERT_EQ(fseeko(file.get(), 50, SEEK_SET), 0);
    TrimmedStream stream{file.get(), 60, 50, -1, {}};
    char buffer[20];
    EXPECT_EQ(kTrimmedStreamCallbacks.read_func(buffer, 1, sizeof buffer, &stream), 10u);
    EXPECT_EQ(kTrimmedStreamCallbacks.read_func(buffer, 1, sizeof buffer, &stream), 0u);
    EXPECT_EQ(stream.position, 60);
}

// Reads see the file without its hidden runs, whether they end at a run or
// cross it, and seeks are in the offsets the reader sees.
TEST(TrimmedStream, ReadsAndSeeksStepOverHiddenRuns) {
    TempDir dir;
    const std::string path = dir.File("stream.bin");
    WriteBytes(path, Bytes{'a', 'b', 'c', 0, 0, 0, 0, 'd', 'e', 0, 0, 'f'});
    FilePtr file = OpenRegularFileForReading(path.c_str());
    TrimmedStream stream{file.get(), 6, 0, -1, {{3, 4}, {5, 2}}};  // "abcdef"
    char text[8] = {};
    EXPECT_EQ(kTrimmedStreamCallbacks.read_func(text, 1, 3, &stream), 3u);  // to the first run
    EXPECT_EQ(kTrimmedStreamCallbacks.read_func(text + 3, 1, 8, &stream), 3u);
    EXPECT_STREQ(text, "abcdef");
    ASSERT_EQ(kTrimmedStreamCallbacks.seek_func(&stream, 2, SEEK_SET), 0);
    EXPECT_EQ(kTrimmedStreamCallbacks.read_func(text, 1, 3, &stream), 3u);
    EXPECT_EQ(std::string(text, 3), "cde");
    ASSERT_EQ(kTrimmedStreamCallbacks.seek_func(&stream, -1, SEEK_END), 0);
    EXPECT_EQ(kTrimmedStreamCallbacks.tell_func(&stream), 5);
    EXPECT_EQ(kTrimmedStreamCallbacks.read_func(text, 1, 3, &stream), 1u);
    EXPECT_EQ(text[0], 'f');
}

}  // namespace cvx::testing
