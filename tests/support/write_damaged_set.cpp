// write_damaged_set FOLDER [FUZZ_CORPORA]
//
// Writes FOLDER/<format> (ogg, flac, opus, m4a), a bounded set of damaged files
// for comparing the builds of the plug-ins with one another: real files cut
// short and with bytes flipped, as the damage tests make them, and a
// selection of each format's fuzz corpus, FUZZ_CORPORA/<format>_open, where
// there is one. The same
// inputs give the same set: cuts and flips at fixed strides, corpus files
// taken in byte order of their names at a fixed stride.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/mp4_files.h"
#include "tools/samples/ogg_files.h"
#include "tools/samples/opus_files.h"
#include "tools/samples/picture.h"

namespace cvx::testing {

using namespace cvx::flac;
using namespace cvx::samples;

namespace fs = std::filesystem;

namespace {

constexpr size_t kCutsPerFile = 50;
constexpr size_t kFlippedBytesPerFile = 45;
constexpr size_t kCorpusFilesPerFormat = 300;  // with the rest, under 1000 a folder
const uint8_t kMasks[] = {0xFF, 0x80, 0x01};

struct Base {
    std::string name;
    Bytes bytes;
    size_t headerBytes;  // where flips matter most: the headers or metadata
};

std::vector<Base> OggBases() {
    VorbisStream tagged;
    tagged.seconds = 0.5;
    tagged.comments = {"TITLE=Gr\xC3\xBC\xC3\x9F" "e", "ARTIST=A", "ARTIST=B", "DATE=2002-10-19", "TRACKNUMBER=07/12"};
    VorbisStream pictured = tagged;
    pictured.comments.push_back(PictureComment(PictureBody(kFrontCover, JpegLikeBytes(2000, 5))));
    // An Opus stream named .ogg too, which OGG reads as OPUS does.
    const Bytes opus = EncodeOpus({OpusLink().Seconds(0.5).Comments({"TITLE=Opus", "ARTIST=A", "ARTIST=B"})});
    return {{"tagged", EncodeVorbis(tagged), 4000},
            {"chained", ChainedOgg(0.3, 0.3, {"TITLE=One"}, {"TITLE=Two"}), 4000},
            {"pictured", EncodeVorbis(pictured), 7000},
            {"opus", opus, 1000}};
}

std::vector<Base> FlacBases() {
    FlacStream tagged;
    tagged.totalSamples = 4000;
    tagged.comments = {"TITLE=Caf\xC3\xA9", "ARTIST=A", "ARTIST=B", "ALBUM=\xE2\x82\xAC", "DATE=1999"};
    const Bytes everyBlock = WithMetadataBlocks(
        EncodeFlac(tagged), {SeekTableBlock(2), ApplicationBlock("test", {1, 2, 3}), CueSheetBlock(),
                             PictureBlock(PictureBody(kFrontCover, JpegLikeBytes(300, 1))), PaddingBlock(64)});
    const Bytes twoBlocks = WithId3v1(FlacWithTwoCommentBlocks({"TITLE=One", "ARTIST=A"}, {"ALBUM=B"}),
                                      Id3v1Tag(Id3v1Fields()
                                                   .Title("T").Artist("A").Album("B").Year("2000").Track(1).Genre(2)));
    auto metadataEnd = [](const Bytes& file) { return file.size() - SplitFlac(file).audio.size(); };
    return {{"every-block", everyBlock, metadataEnd(everyBlock)},
            {"two-comment-blocks", twoBlocks, metadataEnd(twoBlocks)},
            {"id3v2-first", WithId3v2Prefix(EncodeFlac(tagged), 40), 200}};
}

std::vector<Base> OpusBases() {
    const OpusLink tagged = OpusLink().Seconds(0.5).Comments(
        {"TITLE=Gr\xC3\xBC\xC3\x9F" "e", "ARTIST=A", "ARTIST=B", "ALBUM=\xE2\x82\xAC", "DATE=2002-10-19"});
    const OpusLink pictured = OpusLink(tagged).Picture(JpegLikeBytes(2000, 5));
    return {{"tagged", EncodeOpus({tagged}), 1000},
            {"chained", EncodeOpus({OpusLink().Seconds(0.3).Comments({"TITLE=One"}),
                                    OpusLink().Seconds(0.3).Comments({"TITLE=Two"})}), 1000},
            {"pictured", EncodeOpus({pictured}), 3000}};
}

// MP4: the boxes come first in the built file (moov before mdat) and last
// in ffmpeg's, so flips go over the built one's boxes and cuts over both.
std::vector<Base> M4aBases() {
    const std::vector<Mp4Item> items = {Mp4Item::Text("\251nam", {"Caf\xC3\xA9"}), Mp4Item::Text("\251ART", {"A", "B"}),
                                        Mp4Item::Text("\251alb", {"\xE2\x82\xAC"}), Mp4Item::Text("\251day", {"1999"}),
                                        Mp4Item::Track(2, 9), Mp4Item::Genre(9), Mp4Item::Cover(JpegLikeBytes(300, 1))};
    Mp4Layout layout = Mp4Layout().Seconds(3).Items(items);
    layout.mdatAfterMoov = true;
    layout.videoTrackFirst = true;
    const Bytes built = BuildMp4(layout);
    return {{"built", built, built.size() - layout.mdatBytes},
            {"aac", WithMp4Items(EncodeMp4(Mp4Audio().Seconds(0.5)), items), 0}};
}

std::string Numbered(const char* kind, size_t number, const std::string& rest) {
    char text[48];
    std::snprintf(text, sizeof text, "%s-%06zu-", kind, number);
    return text + rest;
}

void WriteDamaged(const fs::path& folder, const std::vector<Base>& bases, const std::string& extension) {
    for (const Base& base : bases) {
        const std::string suffix = base.name + extension;
        const size_t cutStride = std::max<size_t>(1, base.bytes.size() / kCutsPerFile);
        for (size_t cut = 0; cut < base.bytes.size(); cut += cutStride) {
            WriteBytes((folder / Numbered("cut", cut, suffix)).string(), Bytes(base.bytes.begin(), base.bytes.begin() + cut));
        }
        const size_t region = std::min(base.headerBytes, base.bytes.size());
        const size_t flipStride = std::max<size_t>(1, region / kFlippedBytesPerFile);
        for (size_t offset = 0; offset < region; offset += flipStride) {
            for (const uint8_t mask : kMasks) {
                Bytes damaged = base.bytes;
                damaged[offset] ^= mask;
                char kind[16];
                std::snprintf(kind, sizeof kind, "flip%02X", mask);
                WriteBytes((folder / Numbered(kind, offset, suffix)).string(), damaged);
            }
        }
    }
}

void WriteCorpusSelection(const fs::path& folder, const fs::path& corpus, const std::string& extension) {
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(corpus, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file()) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    const size_t stride = std::max<size_t>(1, (files.size() + kCorpusFilesPerFormat - 1) / kCorpusFilesPerFormat);
    for (size_t i = 0; i < files.size(); i += stride) {
        fs::copy_file(files[i], folder / ("corpus-" + files[i].filename().string() + extension),
                      fs::copy_options::overwrite_existing);
    }
}

}  // namespace

int Main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: write_damaged_set FOLDER [FUZZ_CORPORA]\n");
        return 2;
    }
    const fs::path root = argv[1];
    fs::remove_all(root);
    const struct {
        const char* format;
        std::vector<Base> bases;
    } sets[] = {{"ogg", OggBases()}, {"flac", FlacBases()}, {"opus", OpusBases()}, {"m4a", M4aBases()}};
    for (const auto& set : sets) {
        const fs::path folder = root / set.format;
        const std::string extension = std::string(".") + set.format;
        fs::create_directories(folder);
        WriteDamaged(folder, set.bases, extension);
        const fs::path corpus = argc == 3 ? fs::path(argv[2]) / (std::string(set.format) + "_open") : fs::path();
        if (!corpus.empty() && fs::is_directory(corpus)) WriteCorpusSelection(folder, corpus.string(), extension);
        const auto count = std::distance(fs::directory_iterator(folder), fs::directory_iterator());
        std::printf("%s: %ld files\n", set.format, static_cast<long>(count));
    }
    return 0;
}

}  // namespace cvx::testing

int main(int argc, char** argv) { return cvx::testing::Main(argc, argv); }
