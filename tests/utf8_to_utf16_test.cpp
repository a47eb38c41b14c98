#include "comment/utf8_to_utf16.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cvx::testing {

using namespace cvx::comment;

namespace {

// Decodes `utf8` (its bytes, no terminator unless written in) with `count`.
std::vector<uint16_t> Decode(const std::string& utf8, int32_t count) {
    std::vector<uint16_t> units(utf8.size() + 1, 0xDEAD);
    const int32_t written = DecodeUtf8ToUtf16(reinterpret_cast<const uint8_t*>(utf8.c_str()), units.data(), count);
    units.resize(static_cast<size_t>(written));
    return units;
}

std::vector<uint16_t> Decode(const std::string& utf8) { return Decode(utf8, static_cast<int32_t>(utf8.size())); }

using Units = std::vector<uint16_t>;

}  // namespace

TEST(DecodeUtf8ToUtf16, DecodesEachFormToOneUnit) {
    EXPECT_EQ(Decode("Ab"), (Units{'A', 'b'}));
    EXPECT_EQ(Decode("\xC3\xA9"), (Units{0xE9}));
    EXPECT_EQ(Decode("\xE2\x82\xAC"), (Units{0x20AC}));
    EXPECT_EQ(Decode("\xC1\x81"), (Units{'A'}));          // over-long, not rejected
    EXPECT_EQ(Decode("\xED\xA0\x80"), (Units{0xD800}));   // surrogate value, not rejected
}

TEST(DecodeUtf8ToUtf16, CharactersBeyondTheBasicPlaneBecomeQuestionMarks) {
    EXPECT_EQ(Decode("\xF0\x9F\x8E\xB5"), (Units{'?'}));
    EXPECT_EQ(Decode("\xF8\x88\x80\x80\x80x"), (Units{'?', 'x'}));
    EXPECT_EQ(Decode("\xFC\x84\x80\x80\x80\x80"), (Units{'?'}));
}

TEST(DecodeUtf8ToUtf16, SkipsBytesThatCannotStartACharacter) {
    EXPECT_EQ(Decode("\x80\x80\x80"), Units{});
    EXPECT_EQ(Decode("a\xBF" "b\xFE" "c\xFF"), (Units{'a', 'b', 'c'}));
}

TEST(DecodeUtf8ToUtf16, ABrokenSequenceEndsTheDecoding) {
    EXPECT_EQ(Decode("\xC3" "A"), Units{});
    EXPECT_EQ(Decode("x\xC3" "A"), (Units{'x'}));
    EXPECT_EQ(Decode("x\xE2\x82" "A"), (Units{'x'}));
}

TEST(DecodeUtf8ToUtf16, StopsAtTheByteLimitDroppingAPartialCharacter) {
    EXPECT_EQ(Decode("abc", 2), (Units{'a', 'b'}));
    EXPECT_EQ(Decode("a\xC3\xA9", 2), (Units{'a'}));
    EXPECT_EQ(Decode("abc", 0), Units{});
}

TEST(DecodeUtf8ToUtf16, ANulUnitIsWrittenCountedAndEndsTheDecoding) {
    EXPECT_EQ(Decode(std::string("ab\0cd", 5)), (Units{'a', 'b', 0}));
    EXPECT_EQ(Decode("ab", -1), (Units{'a', 'b', 0}));  // no limit: up to the terminator
    EXPECT_EQ(Decode("\xC0\x80" "x"), (Units{0}));
}

}  // namespace cvx::testing
