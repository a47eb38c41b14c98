// Damaged Ogg Vorbis files: every cut and every header byte flipped must get
// libvorbisfile's own answer, without a crash, a leak or a descriptor left
// open.
#include <gtest/gtest.h>

#include <string>

#include "frame/tag_record.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/plugin_fixture.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::samples;
namespace {

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

    // Reads `bytes` as a file with `info`, and expects libvorbisfile's own
    // reading of it (a failure keeps the fields of the file before, in
    // both).
    Reading ReadAsLibvorbisfile(FileInfo& info, const Bytes& bytes) {
        WriteBytes(path_, bytes);
        const Reading r = OpenAndRead(info, path_);
        EXPECT_EQ(r, OpenAndRead(prescribed_, path_));
        return r;
    }

    PrescribedVorbisFileInfo prescribed_;
    std::string path_ = dir_.File("damaged.ogg");
    Bytes original_;
    size_t headerEnd_ = 0;
};

}  // namespace

TEST_F(OggDamage, EveryCutGetsAnAnswer) {
    FileInfoPtr info = NewInfo();
    const int before = CountOpenDescriptors();
    for (size_t cut = 0; cut < original_.size(); cut += (cut < headerEnd_ + 64 ? 1 : 61)) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const Reading r = ReadAsLibvorbisfile(*info, Bytes(original_.begin(), original_.begin() + cut));
        if (cut < headerEnd_ / 2) {
            EXPECT_EQ(r.openResult, 1);
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

TEST_F(OggDamage, EveryFlippedHeaderByteGetsAnAnswer) {
    FileInfoPtr info = NewInfo();
    const int before = CountOpenDescriptors();
    for (size_t offset = 0; offset < headerEnd_; ++offset) {
        SCOPED_TRACE("flip at " + std::to_string(offset));
        const Reading r = ReadAsLibvorbisfile(*info, FlipInsidePage(original_, offset));
        EXPECT_LT(r.title.size(), kTagFieldSize);
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

}  // namespace cvx::testing
