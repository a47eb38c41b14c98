// M4A.cvx driven as the host drives it (see plugin_frame_test.cpp for what
// every plug-in shares): what it reads from MP4 audio files built box by box
// and encoded by ffmpeg, the files it keeps away from TagLib's undefined
// arithmetic and deep recursion, and damaged files, each against TagLib's
// own answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "m4a/atom_tree.h"
#include "tests/support/plugin_fixture.h"
#include "tests/support/prescribed_readers.h"
#include "tools/samples/mp4_files.h"
#include "tools/samples/picture.h"

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::samples;

namespace {

class M4aPlugin : public ::testing::Test, public PluginFixture {
protected:
    M4aPlugin() : PluginFixture(M4A_PLUGIN_PATH) {}

    // Reads `bytes` through the plug-in and, unless TagLib cannot read them
    // without undefined behaviour, expects TagLib's own answer.
    Reading ReadAsTagLib(const Bytes& bytes, bool tagLibCanRead = true) {
        WriteBytes(path_, bytes);
        const Reading r = OpenAndRead(*info_, path_);
        if (tagLibCanRead) {
            PrescribedMp4FileInfo prescribed;
            EXPECT_EQ(r, OpenAndRead(prescribed, path_));
        }
        return r;
    }

    FileInfoPtr info_ = NewInfo();
    std::string path_ = dir_.File("file.m4a");
};

struct Expected {
    int32_t openResult, length;
    std::string title, artist, genre;
    int32_t year, track;
};

void ExpectFields(const Reading& r, const Expected& e) {
    EXPECT_EQ(r.openResult, e.openResult);
    EXPECT_EQ(r.length, e.length);
    EXPECT_EQ(r.title, e.title);
    EXPECT_EQ(r.artist, e.artist);
    EXPECT_EQ(r.genre, e.genre);
    EXPECT_EQ(r.year, e.year);
    EXPECT_EQ(r.track, e.track);
}

}  // namespace

// Layouts and items, each read as TagLib reads it.
TEST_F(M4aPlugin, ReadsTheFirstSoundTracksLengthAndTheItemsAsTagLibDoes) {
    const auto layout = [](std::vector<Mp4Item> items = {}) { return Mp4Layout().Seconds(61).Items(std::move(items)); };
    Mp4Layout version1 = layout({Mp4Item::Text("\251nam", {"Wide"})});
    version1.mediaHeaderVersion = 1;
    version1.sampleEntry = "alac";
    version1.timescale = 48000;
    version1.duration = uint64_t{48000} * 125;
    Mp4Layout videoFirst = layout();
    videoFirst.videoTrackFirst = true;
    Mp4Layout moovFirst = layout({Mp4Item::Text("\251ART", {"First"})});
    moovFirst.mdatAfterMoov = true;
    // TagLib rounds to milliseconds before the seconds are cut: 1.9995 s is 2.
    Mp4Layout rounded = layout();
    rounded.timescale = 1000000;
    rounded.duration = 1999500;
    const struct {
        const char* name;
        Bytes file;
        Expected expected;
    } cases[] = {
        {"mdhd version 0, mp4a", BuildMp4(layout()), {0, 61, "", "", "", 0, 0}},
        {"mdhd version 1, alac", BuildMp4(version1), {0, 125, "Wide", "", "", 0, 0}},
        {"a video track before the sound one", BuildMp4(videoFirst), {0, 61, "", "", "", 0, 0}},
        {"moov before mdat", BuildMp4(moovFirst), {0, 61, "", "First", "", 0, 0}},
        {"milliseconds rounded first", BuildMp4(rounded), {0, 2, "", "", "", 0, 0}},
        {"several data boxes: joined, the last number wins",
         BuildMp4(layout({Mp4Item::Text("\251ART", {"A", "B"}), Mp4Item::Text("\251day", {"1999", "2003-05-01T07:00:00Z"}),
                          Mp4Item::Track(7, 12)})),
         {0, 61, "", "A, B", "", 2003, 7}},
        {"Latin-1, the euro sign and Cyrillic",
         BuildMp4(layout({Mp4Item::Text("\251nam", {"Grüße 5 €"}), Mp4Item::Text("\251ART", {"Хор"})})),
         {0, 61, "Gr\xFC\xDF" "e 5 \x80", "???", "", 0, 0}},
        {"a gnre number named by TagLib's list", BuildMp4(layout({Mp4Item::Genre(18)})), {0, 61, "", "", "Rock", 0, 0}},
        {"a gnre number past the list", BuildMp4(layout({Mp4Item::Genre(999)})), {0, 61, "", "", "", 0, 0}},
        {"cover art and other items give nothing",
         BuildMp4(layout({Mp4Item::Cover(JpegLikeBytes(5000, 3)), Mp4Item::Text("\251wrt", {"Composer"})})),
         {0, 61, "", "", "", 0, 0}},
        {"a long title cut at the field", BuildMp4(layout({Mp4Item::Text("\251nam", {std::string(600, 'x')})})),
         {0, 61, std::string(511, 'x'), "", "", 0, 0}},
        {"not MP4", Bytes(3000, 'x'), {1, 0, "", "", "", 0, 0}},
        {"no moov", Concatenated({Mp4Box("ftyp", Bytes(8, 'M')), Mp4Box("mdat", Bytes(100, 1))}), {1, 0, "", "", "", 0, 0}},
        {"a box of size 0 in moov", Concatenated({BuildMp4(layout()), Mp4BoxHeader("free", 0)}),
         {0, 61, "", "", "", 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectFields(ReadAsTagLib(c.file), c.expected);
    }
}

// Files TagLib cannot read without undefined behaviour or a stack run out:
// refused, or given the length TagLib would give had it the room.
TEST_F(M4aPlugin, KeepsTagLibFromUndefinedArithmeticAndDeepRecursion) {
    const Bytes plain = BuildMp4(Mp4Layout().Seconds(5).Items({Mp4Item::Text("\251nam", {"T"})}));
    Mp4Layout longest = Mp4Layout().Items({Mp4Item::Text("\251nam", {"Long"})});
    longest.mediaHeaderVersion = 1;
    longest.timescale = 1;
    longest.duration = 3000000;  // 3e9 ms: past int
    const Expected read{0, 5, "T", "", "", 0, 0};
    ExpectFields(ReadAsTagLib(Concatenated({plain, Mp4NestedBoxes("udta", m4a::kDeepestNesting)})), read);
    ExpectFields(ReadAsTagLib(Concatenated({plain, Mp4NestedBoxes("udta", m4a::kDeepestNesting + 1)}), false),
                 {1, 0, "", "", "", 0, 0});
    // 800 KB of nested headers run TagLib off an 8 MiB stack.
    ExpectFields(ReadAsTagLib(Concatenated({plain, Mp4NestedBoxes("udta", 100000)}), false), {1, 0, "", "", "", 0, 0});
    // Boxes TagLib's 32-bit long, on Windows, cannot count: refused on every
    // platform, so that both builds give one record.
    const uint64_t lastEndCounted = m4a::kLongestTagLibCount - 8;
    ExpectFields(ReadAsTagLib(Concatenated({plain, Mp4LargeBoxHeader("free", lastEndCounted - plain.size())})), read);
    for (const Bytes& past : {Concatenated({plain, Mp4LargeBoxHeader("free", lastEndCounted + 1 - plain.size())}),
                              Concatenated({plain, Mp4BoxHeader("free", uint32_t{1} << 31)}),
                              Concatenated({plain, Mp4LargeBoxHeader("mdat", uint64_t{1} << 61)})}) {
        ExpectFields(ReadAsTagLib(past, false), {1, 0, "", "", "", 0, 0});
    }
    ExpectFields(ReadAsTagLib(Concatenated({plain, Mp4LargeBoxHeader("free", ~uint64_t{0} - 100)})),
                 {1, 0, "", "", "", 0, 0});
    ExpectFields(ReadAsTagLib(BuildMp4(longest), false), {0, 3000000, "Long", "", "", 0, 0});
}

TEST_F(M4aPlugin, EncodedAacAndAlacFilesGetTagLibsAnswer) {
    const std::vector<Mp4Item> items = {Mp4Item::Text("\251nam", {"Grüße"}), Mp4Item::Text("\251ART", {"A", "B"}),
                                        Mp4Item::Text("\251day", {"2003-05-01T07:00:00Z"}), Mp4Item::Track(3, 9),
                                        Mp4Item::Genre(9), Mp4Item::Cover(JpegLikeBytes(3000, 2))};
    ExpectFields(ReadAsTagLib(WithMp4Items(EncodeMp4(Mp4Audio().Codec("aac").Seconds(2.5)), items)),
                 {0, 2, "Gr\xFC\xDF" "e", "A, B", "Jazz", 2003, 3});
    ExpectFields(ReadAsTagLib(WithMp4Items(EncodeMp4(Mp4Audio().Codec("alac").Seconds(3.5).Channels(1)), items)),
                 {0, 3, "Gr\xFC\xDF" "e", "A, B", "Jazz", 2003, 3});
}

// Where damage changes what TagLib reads: every byte but the media data's.
bool TagLibReadsByte(const Bytes& file, size_t at) {
    for (size_t box = 0; box + 8 <= file.size();) {
        const size_t size = (size_t{file[box]} << 24) | (size_t{file[box + 1]} << 16) | (size_t{file[box + 2]} << 8) |
                            file[box + 3];
        if (at < box + size) return std::string(file.begin() + box + 4, file.begin() + box + 8) != "mdat" || at < box + 16;
        box += size;
    }
    return true;
}

// Cuts and flipped bytes in the boxes TagLib reads, and now and then in the
// media data: TagLib's answer.
TEST_F(M4aPlugin, CutsAndFlippedBytesGetTagLibsAnswer) {
    const std::vector<Mp4Item> items = {Mp4Item::Text("\251nam", {"One"}), Mp4Item::Text("\251ART", {"A", "B"}),
                                        Mp4Item::Track(1, 2), Mp4Item::Genre(3), Mp4Item::Cover(JpegLikeBytes(300, 4))};
    Mp4Layout moovFirst = Mp4Layout().Seconds(4).Items(items);
    moovFirst.mdatAfterMoov = true;
    moovFirst.videoTrackFirst = true;
    const uint8_t masks[] = {0xFF, 0x80, 0x01};
    const int before = CountOpenDescriptors();
    for (const Bytes& original : {WithMp4Items(EncodeMp4(Mp4Audio().Seconds(0.5)), items), BuildMp4(moovFirst)}) {
        for (size_t at = 0; at < original.size(); at += TagLibReadsByte(original, at) ? 1 : 97) {
            SCOPED_TRACE("cut or flipped at " + std::to_string(at));
            ReadAsTagLib(Bytes(original.begin(), original.begin() + at));
            Bytes flipped = original;
            flipped[at] ^= masks[at % 3];
            ReadAsTagLib(flipped);
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

}  // namespace cvx::testing
