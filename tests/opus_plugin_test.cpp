// OPUS.cvx driven as the host drives it (see plugin_frame_test.cpp for what
// every plug-in shares): what it reads from Ogg Opus files (damaged ones in
// opus_damage_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/tag_record.h"
#include "tests/support/plugin_fixture.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/opus_files.h"
#include "tools/samples/picture.h"

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::samples;

namespace {

class OpusPlugin : public ::testing::Test, public PluginFixture {
protected:
    OpusPlugin() : PluginFixture(OPUS_PLUGIN_PATH) {}

    static Bytes Tagged(const std::vector<std::string>& comments, double seconds = 1.0) {
        return EncodeOpus({OpusLink().Seconds(seconds).Comments(comments)});
    }

};

}  // namespace

TEST_F(OpusPlugin, ReadsSizeLengthAndAllSevenValues) {
    const Bytes bytes = EncodeOpus({OpusLink().Seconds(205.4).Comments(kSevenValueComments)});
    EXPECT_EQ(Read(bytes, "song.opus"), SevenValuesRead(static_cast<int32_t>(bytes.size()), dir_.File("song.opus")));
}

// The comment rules are FLAC's: the ANSI code page with best fit, repeated
// names joined, leading numbers, the last one winning, empty values skipped.
TEST_F(OpusPlugin, ReadsCommentsAsFlacDoes) {
    const Reading r = Read(Tagged({"TITLE=Grüße 5 €", "ARTIST=A", "artist=B", "ALBUM=Калинка", "DATE=2002-10-19",
                                   "DATE=2003", "TRACKNUMBER=07/12", "GENRE=", "COMMENT=c"}));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.title, "Gr\xFC\xDF" "e 5 \x80");
    EXPECT_EQ(r.artist, "A, B");
    EXPECT_EQ(r.album, "???????");
    EXPECT_EQ(r.year, 2003);
    EXPECT_EQ(r.track, 7);
    EXPECT_EQ(r.genre, "");
    EXPECT_EQ(r.comment, "c");
    EXPECT_EQ(Read(Tagged({"TITLE=" + std::string(600, 'x')})).title, std::string(kTagFieldSize - 1, 'x'));
}

// Unlike FLAC, no ID3v1 tag at the end stands in for missing comments.
TEST_F(OpusPlugin, AnId3v1TagIsNoFallback) {
    const Reading r = Read(WithId3v1(Tagged({"DATE=2001"}), Id3v1Tag(Id3v1Fields().Title("T").Artist("A").Album("B"))));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.title, "");
    EXPECT_EQ(r.year, 2001);
}

// A chain: the playing time of every link, the tags of the first.
TEST_F(OpusPlugin, AChainedFileTakesEveryLinksLengthAndTheFirstLinksTags) {
    const Bytes chain = EncodeOpus({OpusLink().Seconds(3.0).Comments({"TITLE=First", "DATE=2005"}),
                                    OpusLink().Seconds(4.5).Comments({"TITLE=Second", "ARTIST=Later"}),
                                    OpusLink().Seconds(2.0)},
                                   0xFFFFFFF0u);
    const Reading r = Read(chain);
    EXPECT_EQ(r.length, 9);
    EXPECT_EQ(r.title, "First");
    EXPECT_EQ(r.artist, "");
    EXPECT_EQ(r.year, 2005);
}

TEST_F(OpusPlugin, APictureInTheCommentHeaderLeavesTheTags) {
    const Reading r = Read(EncodeOpus({OpusLink().Comments({"TITLE=Cover"}).Picture(JpegLikeBytes(200 * 1024, 1))}));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.title, "Cover");
}

}  // namespace cvx::testing
