// make_seeds FOLDER: writes a seed corpus for every fuzz target into
// FOLDER/<target>/, generated here rather than downloaded: real Ogg Vorbis,
// FLAC, Ogg Opus and MP4 files and Vorbis setup headers from the encoders,
// MP4 files built box by box, tags,
// INI files and UTF-8 text.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/ogg_fixtures.h"
#include "m4a/atom_tree.h"
#include "tests/support/sanitizer_hooks.h"
#include "tools/samples/bytes.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/mp4_files.h"
#include "tools/samples/ogg_files.h"
#include "tools/samples/opus_files.h"
#include "tools/samples/picture.h"

namespace cvx::fuzz {

using namespace cvx::flac;
using namespace cvx::samples;

namespace fs = std::filesystem;

namespace {

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Prefixed(std::initializer_list<uint8_t> prefix, const Bytes& bytes) {
    Bytes out(prefix);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

void Write(const fs::path& folder, const std::vector<Bytes>& seeds) {
    fs::create_directories(folder);
    for (size_t i = 0; i < seeds.size(); ++i) WriteBytes((folder / ("seed-" + std::to_string(i))).string(), seeds[i]);
}

const std::vector<std::string> kComments = {"TITLE=Grüße", "ARTIST=A", "ARTIST=B", "ALBUM=€ and Калинка",
                                            "DATE=2002-10-19", "TRACKNUMBER=07/12", "GENRE=Rock", "COMMENT=c"};

Bytes Id3v1(bool withTrack) {
    Id3v1Fields fields;
    fields.title = "Title";
    fields.artist = "Artist";
    fields.album = "Album";
    fields.year = "1999";
    fields.comment = "Comment";
    if (withTrack) fields.track = 7;
    fields.genre = 17;
    return Id3v1Tag(fields);
}

}  // namespace

int Main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    const fs::path root = argv[1];

    VorbisStream ogg;
    ogg.seconds = 0.5;
    ogg.comments = kComments;
    const Bytes oggFile = EncodeVorbis(ogg);
    const Bytes chain = ChainedOgg(0.3, 0.3, {"TITLE=One"}, {"TITLE=Two"});
    // An Opus stream too, which OGG reads as OPUS does.
    Write(root / "ogg_open",
          {oggFile, chain, Bytes(oggFile.begin(), oggFile.begin() + static_cast<long>(oggFile.size() / 2)),
           EncodeOpus({OpusLink().Seconds(0.2).Comments({"TITLE=Opus"})})});

    // The page finder: from the start and from within, with each kind of
    // boundary; [from] [how] [boundary] first.
    Write(root / "ogg_pages", {Prefixed({0, 0, 0}, oggFile), Prefixed({0, 2, 16}, oggFile), Prefixed({100, 4, 0}, chain),
                               Prefixed({200, 1, 4}, chain), Prefixed({0, 3, 64}, oggFile), Prefixed({50, 5, 0}, chain)});

    // The setup check: real setup headers of every quality, rate and
    // channel count libvorbisenc writes; [as it is] [channels - 1] first.
    std::vector<Bytes> setups;
    for (const float quality : {-0.1f, 0.0f, 0.3f, 0.6f, 1.0f}) {
        for (const long rate : {8000L, 22050L, 44100L, 48000L, 96000L}) {
            for (const int channels : {1, 2, 6}) {
                VorbisStream stream = VorbisStream().Rate(rate).Channels(channels).Seconds(0.1);
                stream.quality = quality;
                setups.push_back(Prefixed({1, static_cast<uint8_t>(channels - 1)}, PacketOf(EncodeVorbis(stream), 2)));
            }
        }
    }
    Write(root / "vorbis_setup", setups);

    FlacStream flac;
    flac.totalSamples = 4000;
    flac.comments = kComments;
    const Bytes flacFile = EncodeFlac(flac);
    // Every kind of block a tagger or an encoder writes, small enough to
    // fuzz quickly; then behind an ID3v2 tag, behind junk, and with a second
    // STREAMINFO where the seek table was.
    const Bytes everyBlock = WithMetadataBlocks(
        flacFile, {SeekTableBlock(2), ApplicationBlock("test", {1, 2, 3}), CueSheetBlock(),
                   PictureBlock(PictureBody(kFrontCover, JpegLikeBytes(300, 1))), PaddingBlock(64)});
    Bytes behindJunk(100, 0x55);
    behindJunk.insert(behindJunk.end(), everyBlock.begin(), everyBlock.end());
    FlacParts twoStreamInfos = SplitFlac(flacFile);
    twoStreamInfos.blocks.insert(twoStreamInfos.blocks.begin() + 1, {kStreamInfoType, SeekTableBlock(1).body});
    Write(root / "flac_open", {flacFile, FlacWithTwoCommentBlocks({"TITLE=x"}, {"ARTIST=y"}),
                               WithId3v1(EncodeFlac(FlacStream()), Id3v1(true)), WithId3v2Prefix(flacFile, 40),
                               AssembleFlac({StreamInfoBlock(44100, 0), VorbisCommentBlock(kComments)}), everyBlock,
                               WithId3v2Prefix(everyBlock, 40), behindJunk,
                               AssembleFlac(twoStreamInfos.blocks, twoStreamInfos.audio)});

    // Opus: a file, a chain, a picture in the comment header, a file cut in
    // two; and two roads out of the one-link reading that need a page with
    // its checksum remade, which mutations seldom reach: a last page without
    // a granule position, and zeros between the headers and the first page
    // of sound, past the fuzz build's limit.
    const Bytes opusFile = EncodeOpus({OpusLink().Seconds(0.3).Comments(kComments)});
    const std::vector<size_t> opusPages = testing::OggPageOffsets(opusFile);
    const Bytes twoPagesOfSound = EncodeOpus({OpusLink().Seconds(1.2)});
    const auto firstSound = opusFile.begin() + static_cast<long>(opusPages.at(2));
    Write(root / "opus_open",
          {opusFile, EncodeOpus({OpusLink().Seconds(0.2).Comments({"TITLE=One"}), OpusLink().Seconds(0.2)}),
           EncodeOpus({OpusLink().Seconds(0.1).Comments({"TITLE=x"}).Picture(JpegLikeBytes(300, 1))}),
           Bytes(opusFile.begin(), opusFile.begin() + static_cast<long>(opusFile.size() / 2)),
           testing::WithGranulePosition(twoPagesOfSound, testing::OggPageOffsets(twoPagesOfSound).back(), -1),
           Concatenated({Bytes(opusFile.begin(), firstSound), Bytes(10000, 0), Bytes(firstSound, opusFile.end())})});

    // M4A: built files of each layout and item kind, an encoded AAC one, and
    // the edges of what the reader keeps from TagLib: nesting at and past
    // its limit, a box ending where a 32-bit long ends, a duration past int
    // milliseconds, a file with no bit rate.
    const std::vector<Mp4Item> items = {Mp4Item::Text("\251nam", {"One", "Two"}), Mp4Item::Text("\251day", {"2003"}),
                                        Mp4Item::Track(3, 9), Mp4Item::Genre(9), Mp4Item::Cover(JpegLikeBytes(64, 1))};
    Mp4Layout small = Mp4Layout().Items(items);
    small.mdatBytes = 16;
    Mp4Layout unusual = small;
    unusual.mediaHeaderVersion = 1;
    unusual.sampleEntry = "alac";
    unusual.videoTrackFirst = true;
    unusual.mdatAfterMoov = true;
    Mp4Layout longest = small;
    longest.mediaHeaderVersion = 1;
    longest.timescale = 1;
    longest.duration = 3000000;
    Mp4Layout noBitRate = small;
    noBitRate.averageBitRate = 0;
    const Bytes plain = BuildMp4(small);
    Write(root / "m4a_open",
          {plain, BuildMp4(unusual), BuildMp4(longest),
           WithMp4Items(EncodeMp4(Mp4Audio().Seconds(0.1).Channels(1)), {Mp4Item::Text("\251ART", {"A"})}),
           Concatenated({plain, Mp4NestedBoxes("udta", m4a::kDeepestNesting)}),
           Concatenated({plain, Mp4NestedBoxes("udta", m4a::kDeepestNesting + 1)}),
           Concatenated({plain, Mp4LargeBoxHeader("free", uint64_t{INT32_MAX} - 8 - plain.size())}),
           BuildMp4(noBitRate)});

    Write(root / "id3v1", {Id3v1(true), Id3v1(false), WithId3v1(Bytes(300, 0x20), Id3v1(true))});

    Write(root / "ini_text", {FromText("[Corvane]\ncorvane_extlist=MP3, WAV\n"),
                              FromText("\xEF\xBB\xBF; settings\r\n[Other]\r\nx=1\r\n[Corvane]\r\nlang=en\r\n"),
                              FromText("[corvane]\n  CORVANE_EXTLIST = \"MP3\"\n[Corvane]\nkey"), FromText("")});

    std::vector<Bytes> text;
    for (const std::string& comment : kComments) text.push_back(FromText("\x20\x01" + comment));
    text.push_back(FromText("\xFF\x01\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5\xC0\x80\xED\xA0\x80\x80\xFE"));
    Write(root / "narrow", text);
    Write(root / "append_tag_value", text);
    return 0;
}

}  // namespace cvx::fuzz

// libvorbisenc 1.3.7 loses its residue setup for six channels at 44.1 and
// 48 kHz (vorbis_encode_residue_setup); the seeds are made all the same.
SANITIZER_HOOK const char* __lsan_default_suppressions() { return "leak:vorbis_encode_residue_setup\n"; }

int main(int argc, char** argv) { return cvx::fuzz::Main(argc, argv); }
