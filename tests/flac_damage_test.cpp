// Damaged FLAC files: cuts, flipped bytes and metadata whose lengths lie must
// get an answer, without a crash, a leak or a descriptor left open.
#include <gtest/gtest.h>

#include <string>

#include "tools/samples/flac_files.h"
#include "tests/support/plugin_fixture.h"

namespace {

class FlacDamage : public ::testing::Test, public PluginFixture {
protected:
    FlacDamage() : PluginFixture(FLAC_PLUGIN_PATH) {}

    int32_t OpenBytes(const Bytes& bytes) {
        WriteBytes(path_, bytes);
        return info_->Open(path_.c_str());
    }

    static void PutLittleEndian32(Bytes& bytes, size_t offset, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }

    FileInfoPtr info_ = NewInfo();
    std::string path_ = dir_.File("damaged.flac");
    const Bytes original_ = WithId3v1(FlacWithTwoCommentBlocks({"TITLE=One", "ARTIST=A"}, {"ALBUM=B", "DATE=1999"}),
                                      Id3v1Tag({"T", "A", "B", "2000", "", 1, 2}));
};

// Offset of the first audio byte: the metadata is what libFLAC parses.
size_t MetadataEnd(const Bytes& file) { return file.size() - SplitFlac(file).audio.size(); }

}  // namespace

TEST_F(FlacDamage, EveryCutGetsAnAnswer) {
    const int before = CountOpenDescriptors();
    const size_t metadataEnd = MetadataEnd(original_);
    for (size_t cut = 0; cut < original_.size(); cut += (cut < metadataEnd + 64 ? 1 : 37)) {
        const int32_t result = OpenBytes(Bytes(original_.begin(), original_.begin() + cut));
        ASSERT_TRUE(result == 0 || result == 1) << "cut at " << cut;
        if (cut < 4 + 4 + 34) {
            EXPECT_EQ(result, 1) << "cut inside STREAMINFO at " << cut;
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

TEST_F(FlacDamage, EveryFlippedMetadataByteGetsAnAnswer) {
    const int before = CountOpenDescriptors();
    for (size_t offset = 0; offset < MetadataEnd(original_); ++offset) {
        for (uint8_t mask : {0xFF, 0x80, 0x01}) {
            Bytes damaged = original_;
            damaged[offset] ^= mask;
            const int32_t result = OpenBytes(damaged);
            ASSERT_TRUE(result == 0 || result == 1) << "flip at " << offset;
            char text[512];
            EXPECT_LT(info_->GetArtist(text), 512);
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

TEST_F(FlacDamage, ABlockLengthPastTheEndOfTheFile) {
    const FlacParts parts = SplitFlac(EncodeFlac({}));
    Bytes file = AssembleFlac({parts.blocks[0], VorbisCommentBlock({"TITLE=x"})});
    constexpr size_t kSecondBlockLength = 4 + 4 + 34 + 1;  // its 24-bit length
    file[kSecondBlockLength] = 0x7F;                     // about 8 MB, far past the end
    const int32_t result = OpenBytes(WithId3v1(file, Id3v1Tag({"Id3", "", "", "", "", {}, 0})));
    EXPECT_TRUE(result == 0 || result == 1);
}

TEST_F(FlacDamage, CommentLengthsThatLie) {
    const FlacParts real = SplitFlac(EncodeFlac({}));
    const MetadataBlock honest = VorbisCommentBlock({"TITLE=ok", "ARTIST=fine"}, "v");
    // vendor length (4) + "v" (1) + count (4), then the first entry's length.
    constexpr size_t kCountOffset = 5;
    constexpr size_t kFirstEntryLengthOffset = 9;
    for (uint32_t lie : {0xFFFFFFFFu, 0x7FFFFFFFu, 1000u, 9u}) {
        MetadataBlock block = honest;
        PutLittleEndian32(block.body, kFirstEntryLengthOffset, lie);
        EXPECT_TRUE(OpenBytes(AssembleFlac({real.blocks[0], block}, real.audio)) <= 1) << lie;
        block = honest;
        PutLittleEndian32(block.body, kCountOffset, lie);
        EXPECT_TRUE(OpenBytes(AssembleFlac({real.blocks[0], block}, real.audio)) <= 1) << lie;
        block = honest;
        PutLittleEndian32(block.body, 0, lie);  // vendor length
        EXPECT_TRUE(OpenBytes(AssembleFlac({real.blocks[0], block}, real.audio)) <= 1) << lie;
    }
    // A lying block is skipped, and the walk goes on to a later good one.
    MetadataBlock liar = honest;
    PutLittleEndian32(liar.body, kFirstEntryLengthOffset, 1000);
    const Bytes file = AssembleFlac({real.blocks[0], liar, VorbisCommentBlock({"ALBUM=later"})}, real.audio);
    EXPECT_EQ(OpenBytes(file), 0);
    char album[512];
    info_->GetAlbum(album);
    EXPECT_STREQ(album, "later");
}
