#include "flac/id3v1.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "flac/genres.h"
#include "tools/samples/flac_files.h"
#include "tests/support/temp_dir.h"

namespace cvx::testing {

using namespace cvx::flac;
using namespace cvx::host;
using namespace cvx::samples;

namespace {

std::string Trimmed(const std::string& src, uint32_t n) {
    char dst[64];
    CopyTrimmed(dst, src.c_str(), n);
    return dst;
}

std::string Genre(int32_t index) {
    char dst[32] = "junk";
    GenreName(dst, index);
    return dst;
}

// A record whose fields say "from the comment", pointing at a file of
// `bytes`.
class Id3v1File : public ::testing::Test {
protected:
    TagRecord ReadTag(const Bytes& bytes) {
        WriteBytes(path_, bytes);
        TagRecord record{};
        CopyToField(record.path, sizeof record.path, path_.c_str());
        CopyToField(record.title, sizeof record.title, "comment title");
        CopyToField(record.genre, sizeof record.genre, "comment genre");
        record.year = 1111;
        record.track = 9;
        result_ = ReadId3v1Tag(record);
        return record;
    }

    TempDir dir_;
    std::string path_ = dir_.File("tagged.flac");
    int32_t result_ = -1;
};

const Bytes kAudio(300, 0x55);

}  // namespace

TEST(CopyTrimmed, DropsTrailingSpacesOnly) {
    EXPECT_EQ(Trimmed("Song" + std::string(26, ' '), 30), "Song");
    EXPECT_EQ(Trimmed("Song\t ", 30), "Song\t");
    EXPECT_EQ(Trimmed("  lead", 30), "  lead");
    EXPECT_EQ(Trimmed(std::string(30, ' '), 30), "");
}

TEST(CopyTrimmed, StopsAtNulOrAfterNBytes) {
    EXPECT_EQ(Trimmed(std::string("Song\0rest", 9), 30), "Song");
    EXPECT_EQ(Trimmed(std::string(30, 'x') + "beyond", 30), std::string(30, 'x'));
    EXPECT_EQ(Trimmed("anything", 0), "");
}

TEST(GenreName, NamesTheTableEntriesAndNothingElse) {
    EXPECT_EQ(kGenreNames.size(), 148u);
    EXPECT_EQ(Genre(0), "Blues");
    EXPECT_EQ(Genre(17), "Rock");
    EXPECT_EQ(Genre(67), "Psychadelic");
    EXPECT_EQ(Genre(133), "NegerPunk");
    EXPECT_EQ(Genre(140), "Contemporary C");
    EXPECT_EQ(Genre(147), "SynthPop");
    EXPECT_EQ(Genre(148), "");
    EXPECT_EQ(Genre(255), "");
    EXPECT_EQ(Genre(-1), "");
}

TEST_F(Id3v1File, ReplacesTheTagFieldsWholesale) {
    const Id3v1Fields tag =
        Id3v1Fields().Title("Title").Artist("Artist").Album("Album").Year("1999").Comment("2nd take").Genre(8);
    const TagRecord r = ReadTag(WithId3v1(kAudio, Id3v1Tag(tag)));
    EXPECT_EQ(result_, 0);
    EXPECT_STREQ(r.title, "Title");
    EXPECT_STREQ(r.artist, "Artist");
    EXPECT_STREQ(r.album, "Album");
    EXPECT_STREQ(r.comment, "2nd take");
    EXPECT_EQ(r.year, 1999);
    EXPECT_STREQ(r.genre, "Jazz");
    EXPECT_EQ(r.track, 9);  // ID3v1.0 has no track: the comment's stays
}

TEST_F(Id3v1File, ReadsTheTrackOfAnId3v11Tag) {
    const Id3v1Fields tag = Id3v1Fields().Title("T").Comment("c").Genre(17);
    EXPECT_EQ(ReadTag(WithId3v1(kAudio, Id3v1Tag(Id3v1Fields(tag).Track(200)))).track, 200);
    const TagRecord zero = ReadTag(WithId3v1(kAudio, Id3v1Tag(Id3v1Fields(tag).Track(0))));
    EXPECT_EQ(zero.track, 0);
    EXPECT_STREQ(zero.genre, "Rock");
}

TEST_F(Id3v1File, BlankYearAndUnknownGenreOverwriteToo) {
    const TagRecord r = ReadTag(WithId3v1(kAudio, Id3v1Tag(Id3v1Fields().Title("T").Year("    ").Genre(255))));
    EXPECT_EQ(r.year, 0);
    EXPECT_STREQ(r.genre, "");
    EXPECT_STREQ(r.artist, "");
}

TEST_F(Id3v1File, ThirtyByteFieldsAreKeptWhole) {
    const std::string full(30, 'w');
    const Id3v1Fields tag = Id3v1Fields().Title(full).Artist(full).Album(full).Year("2001").Comment(full).Genre(1);
    const TagRecord r = ReadTag(WithId3v1(kAudio, Id3v1Tag(tag)));
    EXPECT_EQ(std::string(r.title), full);
    EXPECT_EQ(std::string(r.album), full);
    EXPECT_EQ(std::string(r.comment), full);  // ID3v1.0: the comment may use all 30 bytes
    EXPECT_EQ(r.year, 2001);
}

TEST_F(Id3v1File, ChangesNothingWithoutATag) {
    Bytes lowerCase = Id3v1Tag(Id3v1Fields().Title("T").Artist("A").Album("B").Year("1999").Genre(1));
    std::memcpy(lowerCase.data(), "tag", 3);
    for (const Bytes& bytes : {WithId3v1(kAudio, lowerCase), kAudio, Bytes(100, 'T'), Bytes{}}) {
        const TagRecord r = ReadTag(bytes);
        EXPECT_EQ(result_, 0);
        EXPECT_STREQ(r.title, "comment title");
        EXPECT_EQ(r.year, 1111);
    }
}

TEST_F(Id3v1File, ReportsAFileThatCannotBeOpened) {
    TagRecord record{};
    CopyToField(record.path, sizeof record.path, dir_.File("missing").c_str());
    EXPECT_EQ(ReadId3v1Tag(record), 1);
    CopyToField(record.path, sizeof record.path, dir_.path().c_str());
    EXPECT_EQ(ReadId3v1Tag(record), 1);
}

}  // namespace cvx::testing
