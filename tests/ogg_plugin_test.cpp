// OGG.cvx driven as the host drives it (see plugin_frame_test.cpp for what
// both plug-ins share): what it reads from Ogg Vorbis files.
#include <gtest/gtest.h>
#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <string>
#include <utility>
#include <vector>

#include "tools/host/bytes_read.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/plugin_fixture.h"

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::samples;

namespace {

class OggPlugin : public ::testing::Test, public PluginFixture {
protected:
    OggPlugin() : PluginFixture(OGG_PLUGIN_PATH) {}

    Reading ReadTagged(const std::vector<std::string>& comments, double seconds = 1.0) const {
        VorbisStream stream;
        stream.seconds = seconds;
        stream.comments = comments;
        return Read(EncodeVorbis(stream), "tagged.ogg");
    }
};

}  // namespace

TEST_F(OggPlugin, ReadsSizeLengthAndAllSevenValues) {
    const Bytes bytes = EncodeVorbis(VorbisStream().Seconds(205.0).Comments(kSevenValueComments));
    const Reading expected = SevenValuesRead(static_cast<int32_t>(bytes.size()), dir_.File("song.ogg"));
    EXPECT_EQ(Read(bytes, "song.ogg"), expected);
}

TEST_F(OggPlugin, MatchesNamesWithTheirEqualsSignIgnoringCase) {
    EXPECT_EQ(ReadTagged({"title=Foo"}).title, "Foo");
    EXPECT_EQ(ReadTagged({"Title=Foo"}).title, "Foo");
    EXPECT_EQ(ReadTagged({"TITLE"}).title, "");
    EXPECT_EQ(ReadTagged({"DATE2=1999"}).year, 0);
    EXPECT_EQ(ReadTagged({"TITLES=x"}).title, "");
    EXPECT_EQ(ReadTagged({"TITLE =x"}).title, "");  // the blank is part of the name
    EXPECT_EQ(ReadTagged({"T\xC3\x8DTLE=x"}).title, "");  // only ASCII letters fold
}

TEST_F(OggPlugin, TheLastCommentOfANameWins) {
    const Reading r = ReadTagged({"ARTIST=First", "ARTIST=Second", "TITLE=Kept", "TITLE=", "DATE=1990", "DATE=1991"});
    EXPECT_EQ(r.artist, "Second");
    EXPECT_EQ(r.title, "");  // an empty value empties the field
    EXPECT_EQ(r.year, 1991);
}

TEST_F(OggPlugin, LongValuesAreCutToTheField) {
    EXPECT_EQ(ReadTagged({"COMMENT=" + std::string(600, 'c')}).comment, std::string(511, 'c'));
}

TEST_F(OggPlugin, LengthIsTruncatedAndOtherRatesWork) {
    EXPECT_EQ(Read(EncodeVorbis(VorbisStream().Rate(44100).Channels(2).Seconds(3.9))).length, 3);
}

TEST_F(OggPlugin, ChainedFileSumsLengthsAndReportsTheFirstStreamsTags) {
    const Reading r = Read(ChainedOgg(60, 90, {"TITLE=One", "DATE=2001"}, {"TITLE=Two", "ARTIST=B"}));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.length, 150);
    EXPECT_EQ(r.lengthText, "02:30");
    EXPECT_EQ(r.title, "One");
    EXPECT_EQ(r.artist, "");
    EXPECT_EQ(r.year, 2001);
}

// libvorbisfile's own reading of the file at `path`, on a plain stream:
// the length and title the plug-in must report.
std::pair<int32_t, std::string> LibVorbisfileReading(const std::string& path) {
    OggVorbis_File vorbis;
    if (ov_fopen(path.c_str(), &vorbis) != 0) return {-1, ""};
    const int32_t seconds = static_cast<int32_t>(ov_time_total(&vorbis, -1));
    std::string title;
    if (vorbis_comment* comments = ov_comment(&vorbis, -1)) {
        if (const char* value = vorbis_comment_query(comments, "TITLE", 0)) title = value;
    }
    ov_clear(&vorbis);
    return {seconds, title};
}

TEST_F(OggPlugin, BytesAfterTheLastPageAreIgnored) {
    // A download allocated to its full size and only partly written: a clip
    // shorter than one of libvorbisfile's reads, so that its headers are
    // read from past its last page, and 256 MiB of zeros that take no disk.
    const Bytes clip = EncodeVorbis(VorbisStream().Seconds(0.1).Comments({"TITLE=Partial"}));
    ASSERT_LT(clip.size(), 4096u);
    const std::string path = WriteFile(clip, "partial.ogg");
    ASSERT_EQ(truncate(path.c_str(), 256 * 1024 * 1024), 0);
    const int64_t before = BytesReadSoFar();
    const Reading r = OpenAndRead(*NewInfo(), path);
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(r.title, "Partial");
    EXPECT_EQ(r.fileSize, 256 * 1024 * 1024);
    // The padding is read once, by the search for the last page (in chunks
    // a little larger than the stream's buffer: about 1.3 times over).
    EXPECT_LE(BytesReadSoFar() - before, 384 * 1024 * 1024);
}

// Zeros between the links of a chained file are read once, and the file
// reads as libvorbisfile alone reads it.
TEST_F(OggPlugin, GapsBetweenLinksAreReadOnce) {
    const Bytes first = EncodeVorbis(VorbisStream().Seconds(0.5).Comments({"TITLE=One"}));
    const Bytes second = EncodeVorbis(VorbisStream().Seconds(0.7).Comments({"TITLE=Two"}).Serial(2));
    const Bytes third = EncodeVorbis(VorbisStream().Seconds(1.4).Comments({"TITLE=Three"}).Serial(3));
    for (const size_t gapBytes : {size_t{0}, size_t{1536} * 1024, size_t{8} << 20}) {
        SCOPED_TRACE(gapBytes);
        Bytes chain = first;
        chain.insert(chain.end(), gapBytes, 0);
        chain.insert(chain.end(), second.begin(), second.end());
        chain.insert(chain.end(), gapBytes, 0);
        chain.insert(chain.end(), third.begin(), third.end());
        const std::string path = WriteFile(chain, "gaps.ogg");
        const int64_t before = BytesReadSoFar();
        const Reading r = OpenAndRead(*NewInfo(), path);
        EXPECT_LE(BytesReadSoFar() - before, static_cast<int64_t>(chain.size()) + 1024 * 1024);
        EXPECT_EQ(r.openResult, 0);
        EXPECT_EQ(r.length, 2);
        EXPECT_EQ(std::make_pair(r.length, r.title), LibVorbisfileReading(path));
    }
}

TEST_F(OggPlugin, ReopeningResetsWhatTheNextFileLacks) {
    FileInfoPtr info = NewInfo();
    const VorbisStream tagged =
        VorbisStream().Seconds(2.0).Comments({"TITLE=A", "ARTIST=B", "DATE=1999", "TRACKNUMBER=3"});
    const std::string full = WriteFile(EncodeVorbis(tagged), "full");
    const std::string bare = WriteFile(EncodeVorbis(VorbisStream()), "bare");
    ASSERT_EQ(info->Open(full.c_str()), 0);
    const Reading expected =
        ExpectedReading().Size(static_cast<int32_t>(ReadBytes(bare).size())).FileName(bare).Length(1, "00:01");
    EXPECT_EQ(OpenAndRead(*info, bare), expected);
}

TEST_F(OggPlugin, AFailedOpenUpdatesPathAndSizeAndKeepsTheRest) {
    FileInfoPtr info = NewInfo();
    const VorbisStream kept = VorbisStream().Seconds(2.0).Comments({"TITLE=Kept", "DATE=1999"});
    const std::string good = WriteFile(EncodeVorbis(kept), "good");
    ASSERT_EQ(info->Open(good.c_str()), 0);

    const std::string garbage = WriteFile(Bytes(26, 'g'), "garbage.ogg");
    const Reading failed = OpenAndRead(*info, garbage);
    EXPECT_EQ(failed.openResult, 1);
    EXPECT_EQ(failed.fileName, garbage);
    EXPECT_EQ(failed.fileSize, 26);
    EXPECT_EQ(failed.title, "Kept");
    EXPECT_EQ(failed.length, 2);
    EXPECT_EQ(failed.year, 1999);

    const Reading missing = OpenAndRead(*info, dir_.File("missing.ogg"));
    EXPECT_EQ(missing.openResult, 1);
    EXPECT_EQ(missing.fileName, dir_.File("missing.ogg"));
    EXPECT_EQ(missing.fileSize, -1);
    EXPECT_EQ(missing.title, "Kept");
}

TEST_F(OggPlugin, OggStreamsThatAreNotVorbisAreRefused) {
    const Bytes good = EncodeVorbis(VorbisStream().Comments({"TITLE=x"}));
    const std::vector<size_t> pages = OggPageOffsets(good);
    const int before = CountOpenDescriptors();
    EXPECT_EQ(Read(OggOfAnotherCodec()).openResult, 1);
    EXPECT_EQ(Read(Bytes(good.begin(), good.begin() + static_cast<long>(pages[1]))).openResult, 1);  // no setup
    EXPECT_EQ(Read(Bytes(good.begin(), good.begin() + static_cast<long>(pages[2]) - 1)).openResult, 1);
    EXPECT_EQ(CountOpenDescriptors(), before);
}

}  // namespace cvx::testing
