// Damaged FLAC files: cuts, flipped bytes, metadata whose lengths lie and
// odd starts must get libFLAC's own answer, without a crash, a leak or a
// descriptor left open.
#include <FLAC/metadata.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/tag_record.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/picture.h"
#include "tests/support/plugin_fixture.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::testing {

using namespace cvx::flac;
using namespace cvx::host;
using namespace cvx::samples;

namespace {

class FlacDamage : public ::testing::Test, public PluginFixture {
protected:
    FlacDamage() : PluginFixture(FLAC_PLUGIN_PATH) {}

    // Reads `bytes` as a file, and expects the reading the calls FLAC was
    // specified with give.
    Reading ReadAsLibFlac(const Bytes& bytes) {
        WriteBytes(path_, bytes);
        const Reading r = OpenAndRead(*info_, path_);
        PrescribedFlacFileInfo prescribed;
        EXPECT_EQ(r, OpenAndRead(prescribed, path_));
        return r;
    }

    FileInfoPtr info_ = NewInfo();
    std::string path_ = dir_.File("damaged.flac");
    const Bytes original_ = WithId3v1(FlacWithTwoCommentBlocks({"TITLE=One", "ARTIST=A"}, {"ALBUM=B", "DATE=1999"}),
                                      Id3v1Tag(Id3v1Fields()
                                                   .Title("T").Artist("A").Album("B").Year("2000").Track(1).Genre(2)));
};

// Offset of the first audio byte: the metadata is what libFLAC parses.
size_t MetadataEnd(const Bytes& file) { return file.size() - SplitFlac(file).audio.size(); }

}  // namespace

TEST_F(FlacDamage, EveryCutGetsAnAnswer) {
    const int before = CountOpenDescriptors();
    const size_t metadataEnd = MetadataEnd(original_);
    for (size_t cut = 0; cut < original_.size(); cut += (cut < metadataEnd + 64 ? 1 : 37)) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const Reading r = ReadAsLibFlac(Bytes(original_.begin(), original_.begin() + cut));
        if (cut < kFlacStreamInfoEnd) {
            EXPECT_EQ(r.openResult, 1);
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

TEST_F(FlacDamage, EveryFlippedMetadataByteGetsAnAnswer) {
    const int before = CountOpenDescriptors();
    for (size_t offset = 0; offset < MetadataEnd(original_); ++offset) {
        for (uint8_t mask : {0xFF, 0x80, 0x01}) {
            SCOPED_TRACE("flip at " + std::to_string(offset) + " with " + std::to_string(mask));
            Bytes damaged = original_;
            damaged[offset] ^= mask;
            EXPECT_LT(ReadAsLibFlac(damaged).artist.size(), kTagFieldSize);
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

TEST_F(FlacDamage, ABlockLengthPastTheEndOfTheFile) {
    const FlacParts parts = SplitFlac(EncodeFlac(FlacStream()));
    Bytes file = AssembleFlac({parts.blocks[0], VorbisCommentBlock({"TITLE=x"})});
    constexpr size_t kSecondBlockLength = kFlacStreamInfoEnd + 1;  // its 24-bit length
    file[kSecondBlockLength] = 0x7F;                             // about 8 MB, far past the end
    ReadAsLibFlac(WithId3v1(file, Id3v1Tag(Id3v1Fields().Title("Id3").Genre(0))));
}

TEST_F(FlacDamage, CommentLengthsThatLie) {
    const FlacParts real = SplitFlac(EncodeFlac(FlacStream()));
    const MetadataBlock honest = VorbisCommentBlock({"TITLE=ok", "ARTIST=fine"}, "v");
    // vendor length (4) + "v" (1) + count (4), then the first entry's length.
    constexpr size_t kCountOffset = 5;
    constexpr size_t kFirstEntryLengthOffset = 9;
    for (uint32_t lie : {0xFFFFFFFFu, 0x7FFFFFFFu, 1000u, 9u}) {
        for (const size_t field : {kFirstEntryLengthOffset, kCountOffset, size_t{0}}) {  // 0: the vendor length
            SCOPED_TRACE("field at " + std::to_string(field) + " says " + std::to_string(lie));
            MetadataBlock block = honest;
            PutLittleEndian(block.body, field, lie, 4);
            ReadAsLibFlac(AssembleFlac({real.blocks[0], block}, real.audio));
        }
    }
    // A lying block is skipped, and the walk goes on to a later good one.
    MetadataBlock liar = honest;
    PutLittleEndian(liar.body, kFirstEntryLengthOffset, 1000, 4);
    const Bytes file = AssembleFlac({real.blocks[0], liar, VorbisCommentBlock({"ALBUM=later"})}, real.audio);
    EXPECT_EQ(ReadAsLibFlac(file).album, "later");
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

    // What may come before the marker. libFLAC's decoder skips an ID3v2
    // tag's header and stated size (never a footer) and wants the marker
    // right there; without a tag it searches junk of any length for the
    // marker, and gives up at a frame sync. The iterator takes the marker
    // only at the start or right after the tag.
    const Bytes flac = AssembleFlac({streamInfo, comment}, real.audio);
    const auto behindTag = [&](uint8_t flags, const std::array<uint8_t, 4>& sizeBytes, size_t payloadBytes) {
        return Concatenated({Id3v2Header(flags, sizeBytes), Bytes(payloadBytes, 0), flac});
    };
    add("an ID3v2 tag", behindTag(0, SyncSafe(100), 100), 0);
    add("an ID3v2 tag announcing a footer it lacks", behindTag(0x10, SyncSafe(100), 100), 0);
    add("an ID3v2 tag with its footer",
        Concatenated({Id3v2Header(0x10, SyncSafe(100)), Bytes(100, 0), Id3v2Header(0x10, SyncSafe(100)), flac}),
        1);
    for (const uint8_t flags : {0x20, 0x40, 0x80, 0xFF}) add("an ID3v2 tag with more flags", behindTag(flags, SyncSafe(7), 7), 0);
    add("an ID3v2 tag of size 0", behindTag(0, SyncSafe(0), 0), 0);
    add("an ID3v2 tag whose size bytes have their top bit set", behindTag(0, {0x80, 0x80, 0x80, 0x80 | 100}, 100), 0);
    add("an ID3v2 tag stating less than it holds", behindTag(0, SyncSafe(60), 100), 1);
    add("an ID3v2 tag stating more than it holds, over the marker", behindTag(0, SyncSafe(200), 100), 1);
    add("two ID3v2 tags", Concatenated({Id3v2Header(0, SyncSafe(10)), Bytes(10, 0), behindTag(0, SyncSafe(5), 5)}), 1);
    add("an ID3v2 header cut short", Concatenated({Bytes{'I', 'D', '3', 4, 0}, flac}), 1);
    add("a stray 'f' before the marker", Concatenated({{'f'}, flac}), 1);
    for (const size_t length : {size_t{65535}, size_t{65536}, size_t{65537}, size_t{70000}}) {
        add("zeros before the marker", Concatenated({Bytes(length, 0), flac}), 0);
    }
    add("text before the marker", Concatenated({Bytes(70000, 'j'), flac}), 0);
    add("a frame sync before the marker", Concatenated({Bytes(100, 0), {0xFF, 0xF8}, Bytes(100, 0), flac}), 1);
    add("zeros and then no marker", Bytes(70000, 0), 1);
    return damages;
}

}  // namespace

TEST_F(FlacDamage, MetadataAndStartsGetLibFlacsOwnAnswer) {
    const int before = CountOpenDescriptors();
    for (const MetadataDamage& damage : MetadataDamages()) {
        SCOPED_TRACE(damage.name);
        WriteBytes(path_, damage.file);
        FLAC__StreamMetadata streamInfo;
        const bool libFlacReads = FLAC__metadata_get_streaminfo(path_.c_str(), &streamInfo);
        EXPECT_EQ(libFlacReads, damage.openResult == 0) << "the table disagrees with libFLAC";

        EXPECT_EQ(ReadAsLibFlac(damage.file).openResult, damage.openResult);
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

}  // namespace cvx::testing
