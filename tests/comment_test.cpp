// The Vorbis comment rules the readers share (comment/comment_names.h) and
// their two value steps side by side: OGG's, narrowing to ISO 8859-1 with
// the last value winning (ogg/vorbis_file_info.h), and FLAC's and OPUS's,
// converting to the ANSI code page and joining (comment/ansi_comment.h).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comment/ansi_comment.h"
#include "comment/append_tag_value.h"
#include "comment/comment_names.h"
#include "ogg/vorbis_file_info.h"

namespace cvx::testing {

namespace {

using Entries = std::vector<std::string>;

struct Taken {
    std::string title, artist;
    int32_t year = 0;
};

template <typename Take>
Taken TakeAll(const Entries& entries, Take take) {
    TagRecord record{};
    for (const std::string& entry : entries) take(record, entry.data(), entry.size());
    return {record.title, record.artist, record.year};
}

Taken ByOgg(const Entries& entries) { return TakeAll(entries, ogg::TakeComment); }
Taken ByFlacAndOpus(const Entries& entries) { return TakeAll(entries, comment::TakeAnsiComment); }

std::string Nul(const std::string& before, const std::string& after) { return before + std::string(1, '\0') + after; }

}  // namespace

TEST(CommentRules, SplitAtTheFirstEqualsSignBeforeAnyNul) {
    struct Row {
        std::string entry;
        bool split;
        comment::CommentTarget target;
        std::string value;
    };
    const Row rows[] = {
        {"TITLE=Foo", true, comment::CommentTarget::kTitle, "Foo"},
        {"title=a=b", true, comment::CommentTarget::kTitle, "a=b"},
        {"TrackNumber=7", true, comment::CommentTarget::kTrack, "7"},
        {"DATE=", true, comment::CommentTarget::kYear, ""},
        {Nul("ARTIST=A", "B"), true, comment::CommentTarget::kArtist, Nul("A", "B")},
        {"TITLE", false, {}, ""},
        {"TITLES=x", false, {}, ""},
        {"DATE2=1999", false, {}, ""},
        {Nul("TI", "TLE=x"), false, {}, ""},
        {Nul("", "TITLE=x"), false, {}, ""},
        {"T\xC3\x8DTLE=x", false, {}, ""},  // bytes above 0x7F match only themselves
    };
    for (const Row& row : rows) {
        comment::CommentValue split{};
        ASSERT_EQ(comment::SplitComment(row.entry.data(), row.entry.size(), split), row.split) << row.entry;
        if (!row.split) continue;
        EXPECT_EQ(split.target, row.target) << row.entry;
        EXPECT_EQ(std::string(split.value, split.length), row.value) << row.entry;
    }
}

TEST(CommentRules, OnlyTheValueStepDiffersBetweenOggAndFlacAndOpus) {
    struct Row {
        const char* what;
        Entries entries;
        std::string oggTitle, flacTitle;
    };
    const Row rows[] = {
        {"one value", {"TITLE=Caf\xC3\xA9"}, "Caf\xE9", "Caf\xE9"},
        {"the euro sign", {"TITLE=5 \xE2\x82\xAC"}, "5 ?", "5 \x80"},
        {"two values", {"TITLE=A", "TITLE=B"}, "B", "A, B"},
        {"an empty value after one", {"TITLE=A", "TITLE="}, "", "A"},
        {"a value beginning with a NUL after one", {"TITLE=A", Nul("TITLE=", "B")}, "", "A"},
        {"a value cut at a NUL", {Nul("TITLE=A", "B")}, "A", "A"},
        // A multi-byte character broken by a byte that is no continuation,
        // though above 0x7F: the decoding ends there (FLAC and OPUS), or the
        // character becomes '?' and a byte that cannot start one ends the text (OGG).
        {"a sequence broken by a lead byte", {"TITLE=A\xC3\xC3\xA9"}, "A?", "A"},
        {"a sequence broken by 0xFF", {"TITLE=\xE2\x82\xFF\xAC!"}, "?", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ByOgg(row.entries).title, row.oggTitle) << row.what;
        EXPECT_EQ(ByFlacAndOpus(row.entries).title, row.flacTitle) << row.what;
    }
}

TEST(CommentRules, NumbersTakeTheLeadingNumberTheLastOneWinning) {
    EXPECT_EQ(ByOgg({"DATE=2002-10-19", "DATE=1999"}).year, 1999);
    EXPECT_EQ(ByFlacAndOpus({"DATE=2002-10-19", "DATE=1999"}).year, 1999);
    // An empty value, or one that begins with a NUL, is skipped by FLAC and
    // OPUS; OGG reads it as no number.
    EXPECT_EQ(ByFlacAndOpus({"DATE=2002", Nul("DATE=", "1999")}).year, 2002);
    EXPECT_EQ(ByFlacAndOpus({"DATE=2002", "DATE="}).year, 2002);
    EXPECT_EQ(ByOgg({"DATE=2002", Nul("DATE=", "1999")}).year, 0);
    EXPECT_EQ(ByFlacAndOpus({"ARTIST=A", Nul("ARTIST=", "B")}).artist, "A");
}

TEST(CommentRules, AFieldHoldsAt511BytesCutWhereACharacterWouldBeSplit) {
    const std::string value = std::string(510, 'a') + "\xC3\xA9";  // 512 bytes: the é does not fit
    EXPECT_EQ(ByFlacAndOpus({"TITLE=" + value}).title, std::string(510, 'a'));
    EXPECT_EQ(ByOgg({"TITLE=" + value}).title, std::string(510, 'a') + "\xE9");
    EXPECT_EQ(ByOgg({"TITLE=" + std::string(600, 'b')}).title, std::string(511, 'b'));
}

}  // namespace cvx::testing
