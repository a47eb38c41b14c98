// Damaged Ogg Opus files: cuts and flipped bytes must get libopusfile's own
// answer (op_open_file, op_pcm_total, op_tags on the file as it is), with no
// descriptor left open.
//
// libopusfile 0.12 leaks inside a failing open of some damaged chains: a
// link whose headers were parsed before the open fails (a cut in the second
// link gives OP_EBADTIMESTAMP) keeps its comment header, which op_free never
// sees. This suite runs in an executable of its own that suppresses leaks
// under libopusfile only, and drives the reader directly, not through
// dlopen, so that the leak's frames keep their module name.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "frame/platform/regular_file.h"
#include "ogg/vorbis_file_info.h"
#include "opus/opus_file_info.h"
#include "opus/opus_one_link.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/one_link_roads.h"
#include "tests/support/plugin_fixture.h"
#include "tests/support/prescribed_readers.h"
#include "tests/support/sanitizer_hooks.h"
#include "tests/support/temp_dir.h"
#include "tools/samples/opus_files.h"

SANITIZER_HOOK const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
SANITIZER_HOOK const char* __lsan_default_suppressions() { return "leak:libopusfile.so\n"; }

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::samples;

TEST(OpusDamage, CutsAndFlippedBytesGetLibopusfilesAnswer) {
    TempDir dir;
    const std::string path = dir.File("damaged.opus");
    const Bytes original = EncodeOpus({OpusLink().Seconds(2.0).Comments({"TITLE=One", "ARTIST=A"}),
                                       OpusLink().Seconds(1.0).Comments({"TITLE=Two"})});
    opus::OpusFileInfo reader;
    const auto expectLibopusfilesAnswer = [&](const Bytes& bytes) {
        WriteBytes(path, bytes);
        PrescribedOpusFileInfo prescribed;
        const Reading r = OpenAndRead(reader, path);
        EXPECT_EQ(r, OpenAndRead(prescribed, path));
        return r;
    };
    const int before = CountOpenDescriptors();
    for (size_t cut = 0; cut < original.size(); cut += (cut < 400 ? 1 : 211)) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        expectLibopusfilesAnswer(Bytes(original.begin(), original.begin() + cut));
    }
    for (size_t at = 0; at < original.size(); at += (at < 400 ? 3 : 97)) {
        SCOPED_TRACE("flipped at " + std::to_string(at));
        Bytes flipped = original;
        flipped[at] ^= 0x5A;
        expectLibopusfilesAnswer(flipped);
    }
    EXPECT_EQ(expectLibopusfilesAnswer(Bytes(original.begin(), original.begin() + 40)).openResult, 1);
    EXPECT_EQ(expectLibopusfilesAnswer(original).length, 3);
    EXPECT_EQ(CountOpenDescriptors(), before);
}

// The same damage in an Opus stream named .ogg: OGG.cvx's reader gives
// OPUS.cvx's record (fresh objects, so that OGG's refusals, which keep the
// last file's fields, compare too).
TEST(OpusDamage, OpusStreamsNamedOggGetOpussRecordThroughOgg) {
    TempDir dir;
    const std::string path = dir.File("damaged.ogg");
    const Bytes original = EncodeOpus({OpusLink().Seconds(1.0).Comments({"TITLE=One", "ARTIST=A"}),
                                       OpusLink().Seconds(1.0).Comments({"TITLE=Two"})});
    const auto expectOpussRecord = [&](const Bytes& bytes) {
        WriteBytes(path, bytes);
        ogg::VorbisFileInfo asOgg;
        opus::OpusFileInfo asOpus;
        EXPECT_EQ(OpenAndRead(asOgg, path), OpenAndRead(asOpus, path));
    };
    for (size_t at = 0; at < original.size(); at += (at < 400 ? 1 : 173)) {
        SCOPED_TRACE("cut or flipped at " + std::to_string(at));
        expectOpussRecord(Bytes(original.begin(), original.begin() + at));
        Bytes flipped = original;
        flipped[at] ^= 0x5A;
        expectOpussRecord(flipped);
        expectOpussRecord(FlipInsidePage(original, at, 0x5A));
    }
}

namespace {

// Files for each way the one-link reading ends, with the way it must take.
std::vector<OneLinkCase<opus::OneLinkOpus>> OneLinkCases() {
    using opus::OneLinkOpus;
    const Bytes link = EncodeOpus({OpusLink().Seconds(1.2).Comments({"TITLE=One"})}, 0x80000001);
    const Bytes other = EncodeOpus({OpusLink().Seconds(1.4).Comments({"TITLE=Two"})}, 7);
    const std::vector<size_t> pages = OggPageOffsets(link);
    const auto at = [&](size_t page) { return link.begin() + static_cast<long>(pages.at(page)); };
    // Mapping family 1 with 200 streams of which 100 coupled: opus_head_parse
    // takes it, libopus makes no decoder for it.
    const Bytes manyStreams = {'O', 'p', 'u', 's', 'H', 'e', 'a', 'd', 1, 1, 0x38, 1, 0x80, 0xBB, 0, 0, 0, 0, 1, 200, 100, 0};
    return {
        {"one link", link, OneLinkOpus::kAnswered},
        {"text", Bytes(3000, 'x'), OneLinkOpus::kNoHeaders},
        {"more streams than a decoder takes", Concatenated({BeginningPage(0x80000001, manyStreams), Bytes(at(1), link.end())}),
         OneLinkOpus::kNoHeaders},
        {"a second stream begun beside the first",
         Concatenated({Bytes(at(0), at(1)), OggPage(other, 0), Bytes(at(1), link.end()),
                       Bytes(other.begin() + static_cast<long>(OggPageOffsets(other)[1]), other.end())}),
         OneLinkOpus::kOtherStreams},
        {"a last granule position before the pre-skip ends", WithGranulePosition(link, pages.back(), 1),
         OneLinkOpus::kBadTimestamp},
        {"more than a chunk of zeros after the last page", Concatenated({link, Bytes(70000, 0)}), OneLinkOpus::kNoPageAtTheEnd},
        {"two links", Concatenated({link, other}), OneLinkOpus::kMoreThanOneLink},
        {"no granule position on the last page", WithGranulePosition(link, pages.back(), -1), OneLinkOpus::kNoEndGranule},
        {"a megabyte of zeros between the headers and the first page of sound",
         Concatenated({Bytes(link.begin(), at(2)), Bytes(size_t{1} << 20, 0), Bytes(at(2), link.end())}),
         OneLinkOpus::kFarToTheFirstSound},
    };
}

}  // namespace

TEST(OpusDamage, TheOneLinkReadingAnswersOrLeavesTheFileToLibopusfile) {
    ExpectEveryRoadTaken(
        OneLinkCases(), EncodeOpus({OpusLink().Seconds(1.2)}),
        [](ogg::FileWindows& read) {
            int64_t samples = 0;
            TagRecord tags{};
            return opus::ReadOneLinkOpus(read, samples, tags);
        },
        [](const std::string& path) {
            opus::OpusFileInfo reader;
            PrescribedOpusFileInfo prescribed;
            EXPECT_EQ(OpenAndRead(reader, path), OpenAndRead(prescribed, path));
        });
}

TEST(OpusRules, LengthIsSamplesOver48kTruncatedInTheLow32BitsAndNeverNegative) {
    EXPECT_EQ(opus::LengthSeconds(48000 * 61 + 47999), 61);
    EXPECT_EQ(opus::LengthSeconds(0), 0);
    EXPECT_EQ(opus::LengthSeconds(OP_EINVAL), 0);  // op_pcm_total's error codes are negative
    EXPECT_EQ(opus::LengthSeconds(int64_t{48000} * 0xFFFFFFFF), -1);  // the low 32 bits, as FLAC stores them
}

}  // namespace cvx::testing
