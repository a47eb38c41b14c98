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

#include <string>

#include "opus/opus_file_info.h"
#include "tests/support/plugin_fixture.h"
#include "tests/support/prescribed_readers.h"
#include "tests/support/temp_dir.h"
#include "tools/samples/opus_files.h"

#define SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used))
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

TEST(OpusRules, LengthIsSamplesOver48kTruncatedInTheLow32BitsAndNeverNegative) {
    EXPECT_EQ(opus::LengthSeconds(48000 * 61 + 47999), 61);
    EXPECT_EQ(opus::LengthSeconds(0), 0);
    EXPECT_EQ(opus::LengthSeconds(OP_EINVAL), 0);  // op_pcm_total's error codes are negative
    EXPECT_EQ(opus::LengthSeconds(int64_t{48000} * 0xFFFFFFFF), -1);  // the low 32 bits, as FLAC stores them
}

}  // namespace cvx::testing
