// Damaged FLAC files: cuts, flipped bytes and metadata whose lengths lie must
// get an answer, without a crash, a leak or a descriptor left open.
#include <FLAC/metadata.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/tag_record.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/picture.h"
#include "tests/support/plugin_fixture.h"

namespace cvx::testing {

using namespace cvx::flac;
using namespace cvx::host;
using namespace cvx::samples;

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
                                      Id3v1Tag(Id3v1Fields()
                                                   .Title("T").Artist("A").Album("B").Year("2000").Track(1).Genre(2)));
};

// Offset of the first audio byte: the metadata is what libFLAC parses.
size_t MetadataEnd(const Bytes& file) { return file.size() - SplitFlac(file).audio.size(); }

// What Open must answer for the file at `path`: libFLAC's own verdict.
int32_t LibFlacVerdict(const std::string& path) {
    FLAC__StreamMetadata streamInfo;
    return FLAC__metadata_get_streaminfo(path.c_str(), &streamInfo) ? 0 : 1;
}

}  // namespace

TEST_F(FlacDamage, EveryCutGetsAnAnswer) {
    const int before = CountOpenDescriptors();
    const size_t metadataEnd = MetadataEnd(original_);
    for (size_t cut = 0; cut < original_.size(); cut += (cut < metadataEnd + 64 ? 1 : 37)) {
        const int32_t result = OpenBytes(Bytes(original_.begin(), original_.begin() + cut));
        ASSERT_EQ(result, LibFlacVerdict(path_)) << "cut at " << cut;
        if (cut < kFlacStreamInfoEnd) {
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
            ASSERT_EQ(result, LibFlacVerdict(path_)) << "flip at " << offset << " with " << int{mask};
            char text[kTagFieldSize];
            EXPECT_LT(info_->GetArtist(text), static_cast<int32_t>(kTagFieldSize));
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

TEST_F(FlacDamage, ABlockLengthPastTheEndOfTheFile) {
    const FlacParts parts = SplitFlac(EncodeFlac(FlacStream()));
    Bytes file = AssembleFlac({parts.blocks[0], VorbisCommentBlock({"TITLE=x"})});
    constexpr size_t kSecondBlockLength = kFlacStreamInfoEnd + 1;  // its 24-bit length
    file[kSecondBlockLength] = 0x7F;                             // about 8 MB, far past the end
    const int32_t result = OpenBytes(WithId3v1(file, Id3v1Tag(Id3v1Fields().Title("Id3").Genre(0))));
    EXPECT_EQ(result, LibFlacVerdict(path_));
}

TEST_F(FlacDamage, CommentLengthsThatLie) {
    const FlacParts real = SplitFlac(EncodeFlac(FlacStream()));
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
    char album[kTagFieldSize];
    info_->GetAlbum(album);
    EXPECT_STREQ(album, "later");
}

namespace {

// Metadata that the stream decoder and the metadata iterator may see
// differently; each must get libFLAC's own verdict, promptly.
struct MetadataDamage {
    const char* name;
    Bytes file;
    int32_t openResult;
};

// "fLaC" and `blocks`, none of them marked last, so the metadata runs on
// into whatever `rest` appends.
Bytes UnendedMetadata(const std::vector<MetadataBlock>& blocks, std::initializer_list<Bytes> rest) {
    Bytes file = AssembleFlac(blocks);
    size_t lastHeader = kFlacStreamMarkerSize;
    for (size_t i = 0; i + 1 < blocks.size(); ++i) lastHeader += kFlacBlockHeaderSize + blocks[i].body.size();
    file[lastHeader] &= kFlacBlockTypeMask;
    for (const Bytes& bytes : rest) file.insert(file.end(), bytes.begin(), bytes.end());
    return file;
}

// A block header: last-block flag, type and 24-bit length.
enum class Last : uint8_t { kNo = 0, kYes = 0x80 };
Bytes BlockHeader(Last last, uint8_t type, uint32_t length) {
    return {static_cast<uint8_t>(static_cast<uint8_t>(last) | type), static_cast<uint8_t>(length >> 16),
            static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
}

std::vector<MetadataDamage> MetadataDamages() {
    const FlacParts real = SplitFlac(EncodeFlac(FlacStream().Comments({"TITLE=t"})));
    const MetadataBlock streamInfo = real.blocks.at(0);
    const MetadataBlock comment = VorbisCommentBlock({"TITLE=t"});
    const Bytes picture = PictureBody(kFrontCover, JpegLikeBytes(100'000, 3));
    std::vector<MetadataDamage> damages;
    auto add = [&](const char* name, Bytes file, int32_t openResult) {
        damages.push_back({name, std::move(file), openResult});
    };

    add("a picture claiming more than the file holds",
        UnendedMetadata({streamInfo, comment}, {BlockHeader(Last::kYes, kPictureType, 1'000'000), real.audio}), 1);
    // A picture over 16 MiB, padding after it: the picture's 24-bit length
    // kept only the low bits, so the next header is read from the image.
    const Bytes hugePicture = PictureBody(kFrontCover, JpegLikeBytes((16u << 20) + 5000, 4));
    const auto wrappedLength = static_cast<uint32_t>(hugePicture.size() & 0xFFFFFF);
    add("a picture whose length wrapped at 16 MiB",
        UnendedMetadata({streamInfo, comment},
                        {BlockHeader(Last::kNo, kPictureType, wrappedLength), hugePicture,
                         BlockHeader(Last::kYes, kPaddingType, 8192), Bytes(8192, 0), real.audio}),
        0);
    add("no block marked last", UnendedMetadata({streamInfo, comment}, {real.audio}), 1);
    add("nothing but padding", AssembleFlac({PaddingBlock(100), PaddingBlock(8192)}), 1);
    add("padding before the stream information", AssembleFlac({PaddingBlock(10), streamInfo, comment}), 0);

    // A damaged seek table whose type became STREAMINFO: too short for one.
    add("a seek table read as a second STREAMINFO",
        AssembleFlac({streamInfo, {kStreamInfoType, SeekTableBlock(1).body}, comment}, real.audio), 1);
    add("a second STREAMINFO long enough for its fields",
        AssembleFlac({streamInfo, {kStreamInfoType, SeekTableBlock(2).body}, comment}, real.audio), 0);
    add("a STREAMINFO shorter than its fields",
        AssembleFlac({{kStreamInfoType, Bytes(streamInfo.body.begin(), streamInfo.body.begin() + 20)}, comment}), 1);
    add("an APPLICATION block shorter than its ID", AssembleFlac({streamInfo, {kApplicationType, {'a', 'b'}}, comment}), 1);
    add("an empty seek table after another",
        AssembleFlac({streamInfo, SeekTableBlock(1), SeekTableBlock(0), comment}, real.audio), 1);
    add("one empty seek table", AssembleFlac({streamInfo, SeekTableBlock(0), comment}, real.audio), 0);
    add("every kind of block, a cover among them",
        AssembleFlac({streamInfo, SeekTableBlock(3), comment, ApplicationBlock("abcd", {}), CueSheetBlock(),
                      PictureBlock(picture), {99, Bytes(7, 1)}, PaddingBlock(8192)},
                     real.audio),
        0);
    add("a cover that ends where the file does", AssembleFlac({streamInfo, comment, PictureBlock(picture)}), 0);
    return damages;
}

}  // namespace

TEST_F(FlacDamage, MetadataGetsLibFlacsOwnVerdict) {
    const int before = CountOpenDescriptors();
    for (const MetadataDamage& damage : MetadataDamages()) {
        SCOPED_TRACE(damage.name);
        WriteBytes(path_, damage.file);
        FLAC__StreamMetadata streamInfo;
        const bool libFlacReads = FLAC__metadata_get_streaminfo(path_.c_str(), &streamInfo);
        ASSERT_EQ(libFlacReads, damage.openResult == 0) << "the table disagrees with libFLAC";

        const Reading r = OpenAndRead(*info_, path_);
        EXPECT_EQ(r.openResult, damage.openResult);
        const FLAC__StreamMetadata_StreamInfo& info = streamInfo.data.stream_info;
        if (libFlacReads) {
            EXPECT_EQ(r.length, static_cast<int32_t>(info.total_samples / info.sample_rate));
        } else {
            EXPECT_EQ(r.title, "");
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

}  // namespace cvx::testing
