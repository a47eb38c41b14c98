// FLAC.cvx driven as the host drives it (see plugin_frame_test.cpp for what
// every plug-in shares): what it reads from FLAC files and their ID3v1 tags.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tools/host/bytes_read.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/picture.h"
#include "tests/support/plugin_fixture.h"

namespace cvx::testing {

using namespace cvx::flac;
using namespace cvx::host;
using namespace cvx::samples;

namespace {

class FlacPlugin : public ::testing::Test, public PluginFixture {
protected:
    FlacPlugin() : PluginFixture(FLAC_PLUGIN_PATH) {}

    static Bytes Tagged(const std::vector<std::string>& comments) {
        FlacStream stream;
        stream.comments = comments;
        return EncodeFlac(stream);
    }
};

const std::vector<std::string> kFullComment = {"TITLE=Vorbis title", "ARTIST=Vorbis artist",
                                               "ALBUM=Vorbis album"};

}  // namespace

TEST_F(FlacPlugin, ReadsSizeLengthAndAllSevenValues) {
    const FlacStream stream =
        FlacStream().Rate(44100).Channels(2).Samples(44100 * 205 + 100).Comments(kSevenValueComments);
    const Bytes bytes = EncodeFlac(stream);
    const Reading expected = SevenValuesRead(static_cast<int32_t>(bytes.size()), dir_.File("song.flac"));
    EXPECT_EQ(Read(bytes, "song.flac"), expected);
}

TEST_F(FlacPlugin, LengthIsTotalSamplesOverRateTruncated) {
    EXPECT_EQ(Read(AssembleFlac({StreamInfoBlock(8000, 80000)})).length, 10);
    EXPECT_EQ(Read(AssembleFlac({StreamInfoBlock(8000, 7999)})).length, 0);
    EXPECT_EQ(Read(AssembleFlac({StreamInfoBlock(0, 80000)})).length, 0);
    EXPECT_EQ(Read(AssembleFlac({StreamInfoBlock(1, 0xFFFFFFFFFull)})).length, -1);  // low 32 bits of 2^36 - 1
    // A count past 2^32 at a real rate: the division is 64-bit.
    EXPECT_EQ(Read(AssembleFlac({StreamInfoBlock(44100, 4'410'000'000ull)})).length, 100'000);
}

TEST_F(FlacPlugin, JoinsRepeatedNamesAndLetTheLastNumberWin) {
    const Reading r = Read(Tagged({"ARTIST=A", "ARTIST=B", "artist=C", "DATE=1990", "DATE=1991", "TRACKNUMBER=1",
                                   "TRACKNUMBER=2"}));
    EXPECT_EQ(r.artist, "A, B, C");
    EXPECT_EQ(r.year, 1991);
    EXPECT_EQ(r.track, 2);
}

TEST_F(FlacPlugin, SkipsEmptyValuesAndEntriesWithoutEquals) {
    const Reading r =
        Read(Tagged({"TITLE=Foo", "TITLE=", "TITLE", "TITLES=x", "TITLE =x", "=x", "ALBUM=Bar", "ARTIST=Baz"}));
    EXPECT_EQ(r.title, "Foo");
    EXPECT_EQ(r.album, "Bar");
}

TEST_F(FlacPlugin, WalksEveryCommentBlockInFileOrder) {
    const Reading r = Read(FlacWithTwoCommentBlocks({"ARTIST=First", "TITLE=T", "DATE=1990"},
                                                    {"ARTIST=Second", "ALBUM=Al", "DATE=2000"}));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.artist, "First, Second");
    EXPECT_EQ(r.title, "T");
    EXPECT_EQ(r.album, "Al");
    EXPECT_EQ(r.year, 2000);
}

TEST_F(FlacPlugin, ACompleteCommentIgnoresTheId3v1Tag) {
    const Id3v1Fields tag = Id3v1Fields()
                                .Title("Id3 title")
                                .Artist("Id3 artist")
                                .Album("Id3 album")
                                .Year("1977")
                                .Comment("Id3 comment")
                                .Track(5)
                                .Genre(17);
    const Reading r = Read(WithId3v1(Tagged(kFullComment), Id3v1Tag(tag)));
    EXPECT_EQ(r.title, "Vorbis title");
    EXPECT_EQ(r.comment, "");
    EXPECT_EQ(r.year, 0);
    EXPECT_EQ(r.genre, "");
}

TEST_F(FlacPlugin, AMissingAlbumLetsTheId3v1TagReplaceEverything) {
    const Id3v1Fields tag =
        Id3v1Fields().Title("Id3 title").Artist("Id3 artist").Album("Id3 album").Year("1977").Comment("Id3 comment");
    const Reading r = Read(WithId3v1(Tagged({"TITLE=Vorbis title", "ARTIST=Vorbis artist", "COMMENT=Vc",
                                             "GENRE=Vorbis genre", "DATE=1990", "TRACKNUMBER=4"}),
                                     Id3v1Tag(tag)));
    EXPECT_EQ(r.title, "Id3 title");
    EXPECT_EQ(r.artist, "Id3 artist");
    EXPECT_EQ(r.album, "Id3 album");
    EXPECT_EQ(r.comment, "Id3 comment");
    EXPECT_EQ(r.year, 1977);
    EXPECT_EQ(r.genre, "");  // 255: no genre, over the Vorbis one
    EXPECT_EQ(r.track, 4);   // ID3v1.0 has none
}

TEST_F(FlacPlugin, Id3v1TextIsStoredUnconverted) {
    const Reading r = Read(WithId3v1(Tagged({}), Id3v1Tag(Id3v1Fields().Title("Caf\xE9").Track(3).Genre(0))));
    EXPECT_EQ(r.title, "Caf\xE9");
    EXPECT_EQ(r.track, 3);
    EXPECT_EQ(r.genre, "Blues");
}

TEST_F(FlacPlugin, AnId3v2TagInFrontIsSkipped) {
    for (uint32_t payloadBytes : {100u, 300000u}) {  // a small tag, and one with cover art
        const Reading r = Read(WithId3v2Prefix(Tagged(kFullComment), payloadBytes));
        EXPECT_EQ(r.openResult, 0) << payloadBytes;
        EXPECT_EQ(r.length, 1) << payloadBytes;
        EXPECT_EQ(r.title, "Vorbis title") << payloadBytes;
    }
}

// libFLAC's decoder finds the stream behind leading junk, its metadata
// iterator does not: the Vorbis comment is out of reach, the ID3v1 tag is not.
TEST_F(FlacPlugin, UnreachableCommentBlocksFallBackToId3v1) {
    Bytes junkFirst(64, 0);
    const Bytes flac = Tagged(kFullComment);
    junkFirst.insert(junkFirst.end(), flac.begin(), flac.end());
    const Reading r = Read(WithId3v1(junkFirst, Id3v1Tag(Id3v1Fields().Title("Id3 title").Year("1999").Genre(1))));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.length, 1);
    EXPECT_EQ(r.title, "Id3 title");
    EXPECT_EQ(r.year, 1999);
}

TEST_F(FlacPlugin, NoStreamInformationMeansFailureEvenWithAnId3v1Tag) {
    const Bytes tag = Id3v1Tag(Id3v1Fields().Title("Id3 title").Year("1999").Genre(1));
    const Reading r = Read(WithId3v1(Bytes(1000, 0x11), tag));
    EXPECT_EQ(r.openResult, 1);
    EXPECT_EQ(r.title, "");
    EXPECT_EQ(r.year, 0);
}

TEST_F(FlacPlugin, ReopeningResetsEveryField) {
    FileInfoPtr info = NewInfo();
    const std::string first = WriteFile(Tagged({"TITLE=A", "ARTIST=B", "ALBUM=C", "DATE=1999", "TRACKNUMBER=2"}), "a");
    ASSERT_EQ(info->Open(first.c_str()), 0);
    const std::string bare = WriteFile(EncodeFlac(FlacStream().Samples(16000)), "bare");
    const Reading expected =
        ExpectedReading().Size(static_cast<int32_t>(ReadBytes(bare).size())).FileName(bare).Length(2, "00:02");
    EXPECT_EQ(OpenAndRead(*info, bare), expected);

    ASSERT_EQ(info->Open(first.c_str()), 0);
    const std::string garbage = WriteFile(Bytes(50, 'x'), "garbage.flac");
    const Reading failed = ExpectedReading().OpenResult(1).Size(50).FileName(garbage).Length(0, "00:00");
    EXPECT_EQ(OpenAndRead(*info, garbage), failed);
}

TEST_F(FlacPlugin, AStreamMarkerAloneIsRefused) {
    EXPECT_EQ(Read({'f', 'L', 'a', 'C'}).openResult, 1);
    EXPECT_EQ(Read(Bytes(SplitFlac(Tagged({})).audio)).openResult, 1);  // frames without metadata
}

// Cover art and padding are passed over, not read: a 3 MB front cover and
// an 8 KiB padding block add no more than a few buffers' worth of reading,
// and nothing to the record.
TEST_F(FlacPlugin, ReadsNothingOfCoverArtOrPadding) {
    const Bytes plain =
        EncodeFlac(FlacStream().Rate(44100).Channels(2).Samples(44100 * 3).Comments(kFullComment).Tone(220));
    const Bytes covered = WithMetadataBlocks(
        plain, {PictureBlock(PictureBody(kFrontCover, JpegLikeBytes(3'000'000, 7))), PaddingBlock(8192)});
    auto readCounting = [&](const Bytes& bytes, const std::string& name, int64_t& bytesRead) {
        const std::string path = WriteFile(bytes, name);
        FileInfoPtr info = NewInfo();
        const int64_t before = BytesReadSoFar();
        info->Open(path.c_str());
        bytesRead = BytesReadSoFar() - before;
        return ReadFields(*info);
    };
    int64_t plainBytes = 0, coveredBytes = 0;
    Reading plainReading = readCounting(plain, "plain.flac", plainBytes);
    const Reading coveredReading = readCounting(covered, "covered.flac", coveredBytes);
    ASSERT_GE(plainBytes, 0) << "no /proc/self/io";
    EXPECT_LE(std::abs(coveredBytes - plainBytes), 16 * 1024) << plainBytes << " and " << coveredBytes;

    EXPECT_EQ(coveredReading.openResult, 0);
    EXPECT_EQ(coveredReading.fileSize, static_cast<int32_t>(covered.size()));
    plainReading.fileSize = coveredReading.fileSize;
    plainReading.fileName = coveredReading.fileName;
    EXPECT_EQ(coveredReading, plainReading);
}

}  // namespace cvx::testing
