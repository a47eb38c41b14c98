// OGG.cvx driven as the host drives it (see plugin_frame_test.cpp for what
// every plug-in shares): what it reads from Ogg Vorbis files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "ogg/page_scan.h"
#include "ogg/read_limits.h"
#include "tools/host/bytes_read.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/plugin_fixture.h"
#include "tests/support/prescribed_readers.h"
#include "tools/samples/opus_files.h"

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

// Encoders draw all 32 bits of a serial number: half of all files have the
// top bit set. One link or two, the plug-in reads them as libvorbisfile
// does, and reads no more of them.
TEST_F(OggPlugin, SerialNumbersOfAll32BitsAreReadAsLibvorbisfileReadsThem) {
    VorbisStream stereo = VorbisStream().Rate(44100).Channels(2).Tone(220).Seconds(20.0).Comments({"TITLE=One"});
    stereo.quality = 0.4f;
    const Bytes link = EncodeVorbis(stereo);
    const Bytes next = EncodeVorbis(stereo.Seconds(5.0).Comments({"TITLE=Two"}));
    for (const uint32_t serial : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        const Bytes first = WithSerialNumber(link, serial);
        for (const Bytes& file : {first, Concatenated({first, WithSerialNumber(next, serial + 1)})}) {
            SCOPED_TRACE("serial " + std::to_string(serial) + ", " + std::to_string(file.size()) + " bytes");
            const std::string path = WriteFile(file, "serial.ogg");
            PrescribedVorbisFileInfo prescribed;
            int64_t before = BytesReadSoFar();
            const Reading expected = OpenAndRead(prescribed, path);
            const int64_t libvorbisfileBytes = BytesReadSoFar() - before;
            before = BytesReadSoFar();
            EXPECT_EQ(OpenAndRead(*NewInfo(), path), expected);
            EXPECT_LE(BytesReadSoFar() - before, libvorbisfileBytes * 11 / 10);
        }
    }
}

// A long run in which no page starts, between links or after the last (a
// download allocated to its full size and only partly written), makes
// libvorbisfile's search quadratic in the run; the plug-in still gives its
// answer, reading no more than twice the file's bytes.
TEST_F(OggPlugin, LongRunsWithoutPagesGiveLibvorbisfilesAnswer) {
    const Bytes first = EncodeVorbis(VorbisStream().Seconds(0.5).Comments({"TITLE=One"}));
    const Bytes second = EncodeVorbis(VorbisStream().Seconds(1.7).Comments({"TITLE=Two"}).Serial(2));
    const Bytes chain = Concatenated({first, Bytes(size_t{4} << 20, 0), second});
    const std::string chainPath = WriteFile(chain, "gap.ogg");
    PrescribedVorbisFileInfo prescribed;
    const Reading expected = OpenAndRead(prescribed, chainPath);
    const int64_t chainSize = static_cast<int64_t>(chain.size());
    ASSERT_GT(prescribed.bytesRead(), ogg::FirstReadBudget(chainSize));  // the view is taken
    int64_t before = BytesReadSoFar();
    EXPECT_EQ(OpenAndRead(*NewInfo(), chainPath), expected);
    EXPECT_LE(BytesReadSoFar() - before, 2 * chainSize);

    // 16 MiB of zeros that take no disk: libvorbisfile alone would read
    // 2 GiB, to find what it finds in the clip alone.
    const std::string clipPath = WriteFile(first, "partial.ogg");
    Reading clipAlone = OpenAndRead(prescribed, clipPath);
    constexpr int64_t kPaddedSize = int64_t{16} << 20;
    ASSERT_EQ(truncate(clipPath.c_str(), kPaddedSize), 0);
    clipAlone.fileSize = static_cast<int32_t>(kPaddedSize);
    before = BytesReadSoFar();
    EXPECT_EQ(OpenAndRead(*NewInfo(), clipPath), clipAlone);
    EXPECT_LE(BytesReadSoFar() - before, 2 * kPaddedSize);
}

// The search for page-free runs reads the file a chunk at a time: a last
// page whose capture pattern straddles two chunks is still found, and not
// hidden with the zeros around it.
TEST_F(OggPlugin, ALastPageAcrossTwoChunksOfTheRunSearchIsFound) {
    const Bytes link = EncodeVorbis(VorbisStream().Seconds(3.0).Tone(330).Comments({"TITLE=Straddled"}));
    const size_t lastPage = OggPageOffsets(link).back();
    const size_t zerosBefore = ogg::kRunScanChunk - 2 - lastPage;
    const Bytes file = Concatenated({Bytes(link.begin(), link.begin() + static_cast<long>(lastPage)), Bytes(zerosBefore, 0),
                                     Bytes(link.begin() + static_cast<long>(lastPage), link.end()), Bytes(size_t{2} << 20, 0)});
    const std::string path = WriteFile(file, "straddled.ogg");
    PrescribedVorbisFileInfo prescribed;
    const Reading expected = OpenAndRead(prescribed, path);
    ASSERT_EQ(expected.length, 3);
    EXPECT_EQ(OpenAndRead(*NewInfo(), path), expected);
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

// Ogg Opus streams named .ogg: OPUS.cvx's record through OGG.cvx, and a
// file whose first stream is something else stays libvorbisfile's refusal.
TEST_F(OggPlugin, ReadsOpusStreamsNamedOggAsOpusDoes) {
    const Bytes oneLink = EncodeOpus({OpusLink().Seconds(2.5).Comments({"TITLE=Grüße 5 €", "ARTIST=A", "ARTIST=B"})});
    const Bytes chained = EncodeOpus({OpusLink().Seconds(1.5).Comments({"TITLE=First", "DATE=2001"}),
                                      OpusLink().Seconds(2.0).Comments({"TITLE=Second"})});
    PluginLibrary& opus = LoadPluginOnce(OPUS_PLUGIN_PATH);
    for (const Bytes& file : {oneLink, chained, Bytes(oneLink.begin(), oneLink.begin() + 100)}) {
        const std::string path = WriteFile(file, "opus.ogg");
        const FileInfoPtr asOpus = opus.CreateFileInfo(0);
        EXPECT_EQ(OpenAndRead(*NewInfo(), path), OpenAndRead(*asOpus, path));
    }
    const Reading r = Read(chained, "chained.ogg");
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.length, 3);
    EXPECT_EQ(r.title, "First");

    FileInfoPtr info = NewInfo();
    ASSERT_EQ(info->Open(WriteFile(EncodeVorbis(VorbisStream().Comments({"TITLE=Kept"})), "kept.ogg").c_str()), 0);
    constexpr size_t kHeaderTypeOffset = 5;
    constexpr uint8_t kBeginsStream = 0x02;
    for (const Bytes& file : {Concatenated({BeginningPage(99, Bytes(30, 'f')), oneLink}),
                              FlipInsidePage(oneLink, kHeaderTypeOffset, kBeginsStream)}) {
        const Reading refused = OpenAndRead(*info, WriteFile(file, "not-opus-first.ogg"));
        EXPECT_EQ(refused.openResult, 1);
        EXPECT_EQ(refused.title, "Kept");
    }
}

}  // namespace cvx::testing
