// Files made to hurt a reader: huge, sparse, crowded with comments, with
// sizes that lie, or chained a thousand times. Each must get a prompt answer
// and a sound record, leak no descriptor, and stay within a memory bound.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/formats.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/plugin_fixture.h"
#include "tests/support/run_command.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/opus_files.h"

namespace cvx::testing {

using namespace cvx::flac;
using namespace cvx::host;
using namespace cvx::samples;

namespace {

// Opening any of these files may take at most this much more memory than
// opening a tiny one. Measured: about 20 MiB for a 10 MB Ogg value (held by
// libogg and libvorbis in turn), 18 MiB for a thousand chained links, under
// 10 MiB for everything else.
constexpr long kMemoryBoundMiB = 64;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kMemoryIsMeasurable = false;  // the sanitizer's shadow memory swamps the figure
#else
constexpr bool kMemoryIsMeasurable = true;
#endif

// Peak memory growth, in MiB, of opening `path` over opening `tiny`, each in
// a fresh process.
long PeakGrowthMiBOfOpening(const std::string& plugin, const std::string& path, const std::string& tiny) {
    const long reading = std::stol(RunCommand({OPEN_ONCE_PATH, plugin, path}).out);
    const long baseline = std::stol(RunCommand({OPEN_ONCE_PATH, plugin, tiny}).out);
    return (reading - baseline) / 1024;
}

const Bytes kSmallOgg = EncodeVorbis(VorbisStream().Seconds(3.0).Comments({"TITLE=Small"}));
const Bytes kSmallFlac = EncodeFlac(FlacStream().Samples(24000).Comments({"TITLE=Small"}));

class HostileFiles : public ::testing::Test {
protected:
    // Opens `path` with a new object, checks the descriptors and the memory
    // bound, and returns what was read.
    Reading OpenChecked(PluginLibrary& plugin, const std::string& path) {
        const int descriptors = CountOpenDescriptors();
        const Reading reading = OpenAndRead(*plugin.CreateFileInfo(0), path);
        EXPECT_EQ(CountOpenDescriptors(), descriptors);
        if (kMemoryIsMeasurable) {
            // The baseline: a small sound file of the same format.
            for (const BuiltPlugin& format : BuiltPlugins()) {
                if (&LoadPluginOnce(format.path) != &plugin) continue;
                const std::string tiny = Write(format.taggedFile({"TITLE=Small"}, 3), "tiny." + format.word);
                EXPECT_LE(PeakGrowthMiBOfOpening(format.path, path, tiny), kMemoryBoundMiB);
            }
        }
        return reading;
    }

    std::string Write(const Bytes& bytes, const std::string& name) {
        const std::string path = dir_.File(name);
        WriteBytes(path, bytes);
        return path;
    }

    PluginLibrary& ogg_ = LoadPluginOnce(OGG_PLUGIN_PATH);
    PluginLibrary& flac_ = LoadPluginOnce(FLAC_PLUGIN_PATH);
    PluginLibrary& opus_ = LoadPluginOnce(OPUS_PLUGIN_PATH);
    TempDir dir_;
};

constexpr off_t kThreeGiB = 3LL << 30;

// `head` at the start and `tail` ending at byte 3 GiB, with a hole between
// them that takes no disk space.
std::string WriteSparse(const std::string& path, const Bytes& head, const Bytes& tail) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    EXPECT_EQ(ftruncate(fd, kThreeGiB - static_cast<off_t>(tail.size())), 0);
    EXPECT_EQ(pwrite(fd, tail.data(), tail.size(), kThreeGiB - static_cast<off_t>(tail.size())),
              static_cast<ssize_t>(tail.size()));
    close(fd);
    return path;
}

std::vector<std::string> ManyComments(size_t count) {
    std::vector<std::string> comments(count, "REPLAYGAIN_TRACK_GAIN=-6.5 dB");
    comments.back() = "TITLE=Last of many";
    return comments;
}

}  // namespace

TEST_F(HostileFiles, ThreeGibibytesHaveNoSizeButAreRead) {
    // Ogg: its last page at the far end, so libvorbisfile finds the length
    // there (audio pages before the hole, too: libvorbisfile reads forward
    // from the headers to the first one); FLAC: its stream, then a hole.
    const Bytes longer = EncodeVorbis(VorbisStream().Seconds(20.0).Comments({"TITLE=Small"}));
    const size_t lastPage = OggPageOffsets(longer).back();
    const std::string ogg = WriteSparse(dir_.File("huge.ogg"), Bytes(longer.begin(), longer.begin() + lastPage),
                                        Bytes(longer.begin() + lastPage, longer.end()));
    Reading r = OpenChecked(ogg_, ogg);
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.fileSize, -1);
    EXPECT_EQ(r.length, 20);
    EXPECT_EQ(r.title, "Small");

    r = OpenChecked(flac_, WriteSparse(dir_.File("huge.flac"), kSmallFlac, {}));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.fileSize, -1);
    EXPECT_EQ(r.length, 3);
    EXPECT_EQ(r.title, "Small");

    // Opus: as Ogg, its last page at the far end, where libopusfile looks.
    const Bytes opus = EncodeOpus({OpusLink().Seconds(20.0).Comments({"TITLE=Small"})});
    const size_t lastOpusPage = OggPageOffsets(opus).back();
    r = OpenChecked(opus_, WriteSparse(dir_.File("huge.opus"), Bytes(opus.begin(), opus.begin() + lastOpusPage),
                                       Bytes(opus.begin() + lastOpusPage, opus.end())));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.fileSize, -1);
    EXPECT_EQ(r.length, 20);
    EXPECT_EQ(r.title, "Small");
}

TEST_F(HostileFiles, AHundredThousandComments) {
    const std::vector<std::string> comments = ManyComments(100000);
    Reading r = OpenChecked(ogg_, Write(EncodeVorbis(VorbisStream().Comments(comments)), "many.ogg"));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.title, "Last of many");

    const FlacParts audio = SplitFlac(kSmallFlac);
    r = OpenChecked(flac_, Write(AssembleFlac({audio.blocks[0], VorbisCommentBlock(comments)}, audio.audio), "many.flac"));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.title, "Last of many");

    // libopusenc reallocates its header for each comment, which a sanitizer's
    // realloc copies every time: 10,000 keep the encoding quick there.
    r = OpenChecked(opus_, Write(EncodeOpus({OpusLink().Comments(ManyComments(10000))}), "many.opus"));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.title, "Last of many");
}

TEST_F(HostileFiles, ATenMegabyteValueIsCutToTheField) {
    const std::string value(10 << 20, 'v');
    const Bytes big = EncodeVorbis(VorbisStream().Comments({"TITLE=" + value, "ARTIST=After"}));
    Reading r = OpenChecked(ogg_, Write(big, "big.ogg"));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.title, value.substr(0, 511));
    EXPECT_EQ(r.artist, "After");

    const FlacParts audio = SplitFlac(kSmallFlac);
    const Bytes flac = AssembleFlac({audio.blocks[0], VorbisCommentBlock({"TITLE=" + value, "ARTIST=After"})}, audio.audio);
    r = OpenChecked(flac_, Write(flac, "big.flac"));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.title, value.substr(0, 511));
    EXPECT_EQ(r.artist, "After");
}

TEST_F(HostileFiles, AFlacBlockClaimingSixteenMegabytesItDoesNotHave) {
    const FlacParts audio = SplitFlac(kSmallFlac);
    Bytes file = AssembleFlac({audio.blocks[0], VorbisCommentBlock({"TITLE=Claimed"})});
    // The second block's 24-bit length, after "fLaC" and STREAMINFO.
    const size_t lengthField = kFlacStreamMarkerSize + kFlacBlockHeaderSize + audio.blocks[0].body.size() + 1;
    file[lengthField] = file[lengthField + 1] = file[lengthField + 2] = 0xFF;
    // libFLAC's decoder refuses the stream when a block runs past its end.
    const std::string path = Write(file, "claims.flac");
    const Reading r = OpenChecked(flac_, path);
    EXPECT_EQ(r.openResult, 1);
    EXPECT_EQ(r.fileName, path);
    EXPECT_EQ(r.fileSize, static_cast<int32_t>(file.size()));
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(r.title, "");
}

TEST_F(HostileFiles, AThousandChainedLinks) {
    // 500 samples at 8 kHz, 1/16 s a link, exact in binary: 62.5 s in all.
    Bytes chained;
    for (int link = 0; link < 1000; ++link) {
        const VorbisStream stream =
            VorbisStream().Seconds(0.0625).Comments({"TITLE=Link " + std::to_string(link)}).Serial(link + 1);
        const Bytes bytes = EncodeVorbis(stream);
        chained.insert(chained.end(), bytes.begin(), bytes.end());
    }
    Reading r = OpenChecked(ogg_, Write(chained, "chain.ogg"));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.length, 62);
    EXPECT_EQ(r.title, "Link 0");

    std::vector<OpusLink> links;
    for (int link = 0; link < 1000; ++link) links.push_back(OpusLink().Seconds(0.0625).Comments({"TITLE=Link " + std::to_string(link)}));
    r = OpenChecked(opus_, Write(EncodeOpus(links), "chain.opus"));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.length, 62);
    EXPECT_EQ(r.title, "Link 0");
}

TEST_F(HostileFiles, AnOggFileWithoutItsEndOfStreamPage) {
    constexpr size_t kHeaderTypeOffset = 5;
    constexpr uint8_t kEndOfStream = 0x04;
    const Bytes open = FlipInsidePage(kSmallOgg, OggPageOffsets(kSmallOgg).back() + kHeaderTypeOffset, kEndOfStream);
    ASSERT_NE(open, kSmallOgg);
    const Reading r = OpenChecked(ogg_, Write(open, "open-ended.ogg"));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.length, 3);
}

TEST_F(HostileFiles, FlacStreamInformationWithoutSamplesOrRate) {
    const FlacParts audio = SplitFlac(kSmallFlac);
    for (const auto& [rate, samples] : {std::pair<uint32_t, uint64_t>{8000, 0}, {0, 24000}}) {
        const Bytes file = AssembleFlac({StreamInfoBlock(rate, samples), VorbisCommentBlock({"TITLE=Odd"})}, audio.audio);
        const Reading r = OpenChecked(flac_, Write(file, "odd.flac"));
        EXPECT_EQ(r.openResult, 0);
        EXPECT_EQ(r.length, 0);
        EXPECT_EQ(r.lengthText, "00:00");
        EXPECT_EQ(r.title, "Odd");
    }
}

// A host that frees a plug-in and loads it again keeps no memory for it:
// 300 cycles of dlopen, Open and dlclose grow by 256 KiB at most after the
// first ten.
TEST_F(HostileFiles, LoadingAndFreeingAgainKeepsNoMemory) {
    if (!kMemoryIsMeasurable) GTEST_SKIP() << "the sanitizer's memory swamps the figure";
    for (const BuiltPlugin& plugin : BuiltPlugins()) {
        const std::string small = Write(plugin.taggedFile({"TITLE=Small"}, 3), "small." + plugin.word);
        const CommandResult run = RunCommand({OPEN_ONCE_PATH, plugin.path, small, "300"});
        ASSERT_EQ(run.status, 0) << run.err;
        long settledKiB = 0, lastKiB = 0;
        ASSERT_EQ(std::sscanf(run.out.c_str(), "%ld %ld", &settledKiB, &lastKiB), 2) << run.out;
        EXPECT_LE(lastKiB - settledKiB, 256) << plugin.name << ": " << run.out;
    }
}

}  // namespace cvx::testing
