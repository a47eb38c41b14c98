// Damaged Ogg Vorbis files: every cut and every header byte flipped must get
// an answer, without a crash, a leak or a descriptor left open.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <string>

#include "frame/tag_record.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/plugin_fixture.h"

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::samples;
namespace {

// What Open must answer for the file at `path`: libvorbisfile's own
// verdict, ov_open on a plain stream.
int32_t LibVorbisfileVerdict(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return 1;
    OggVorbis_File vorbis;
    if (ov_open(file, &vorbis, nullptr, 0) != 0) {
        std::fclose(file);
        return 1;
    }
    ov_clear(&vorbis);
    return 0;
}

class OggDamage : public ::testing::Test, public PluginFixture {
protected:
    OggDamage() : PluginFixture(OGG_PLUGIN_PATH) {}

    void SetUp() override {
        const VorbisStream stream =
            VorbisStream().Seconds(2.0).Comments({"TITLE=Damaged", "ARTIST=Someone", "DATE=1999"});
        original_ = EncodeVorbis(stream);
        // The identification header has a page of its own; comments and
        // codebooks share the second; audio starts on the third.
        headerEnd_ = OggPageOffsets(original_).at(2);
    }

    // Opens `bytes` as a file and returns Open's result.
    int32_t OpenBytes(FileInfo& info, const Bytes& bytes) {
        WriteBytes(path_, bytes);
        return info.Open(path_.c_str());
    }

    std::string path_ = dir_.File("damaged.ogg");
    Bytes original_;
    size_t headerEnd_ = 0;
};

}  // namespace

TEST_F(OggDamage, EveryCutGetsAnAnswer) {
    FileInfoPtr info = NewInfo();
    const int before = CountOpenDescriptors();
    for (size_t cut = 0; cut < original_.size(); cut += (cut < headerEnd_ + 64 ? 1 : 61)) {
        const int32_t result = OpenBytes(*info, Bytes(original_.begin(), original_.begin() + cut));
        ASSERT_EQ(result, LibVorbisfileVerdict(path_)) << "cut at " << cut;
        if (cut < headerEnd_ / 2) {
            EXPECT_EQ(result, 1) << "cut at " << cut;
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

TEST_F(OggDamage, EveryFlippedHeaderByteGetsAnAnswer) {
    FileInfoPtr info = NewInfo();
    const int before = CountOpenDescriptors();
    for (size_t offset = 0; offset < headerEnd_; ++offset) {
        const int32_t result = OpenBytes(*info, FlipInsidePage(original_, offset));
        ASSERT_EQ(result, LibVorbisfileVerdict(path_)) << "flip at " << offset;
        char text[kTagFieldSize];
        EXPECT_LT(info->GetTitle(text), 512);
        EXPECT_LE(info->GetLengthText(text), 13);
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

}  // namespace cvx::testing
