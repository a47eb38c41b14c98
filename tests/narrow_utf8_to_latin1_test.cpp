#include "ogg/narrow_utf8_to_latin1.h"

#include <gtest/gtest.h>

#include <string>

namespace cvx::testing {

using namespace cvx::ogg;

namespace {

std::string Narrow(const std::string& utf8, int32_t capacity = 512) {
    std::string out(capacity > 0 ? capacity : 1, '#');
    NarrowUtf8ToLatin1(utf8.c_str(), out.data(), capacity);
    return std::string(out.c_str());
}

}  // namespace

TEST(NarrowUtf8ToLatin1, KeepsLatin1CharactersAsSingleBytes) {
    EXPECT_EQ(Narrow("Caf\xC3\xA9"), "Caf\xE9");
    EXPECT_EQ(Narrow("\xC3\xBF"), "\xFF");  // U+00FF, the last that fits
    EXPECT_EQ(Narrow("Gr\xC3\xBC\xC3\x9F" "e"), "Gr\xFC\xDF" "e");
    EXPECT_EQ(Narrow("plain ASCII"), "plain ASCII");
    EXPECT_EQ(Narrow("\xC1\x81"), "A");  // over-long forms decode like others
}

TEST(NarrowUtf8ToLatin1, WritesQuestionMarkForWhatLatin1Lacks) {
    EXPECT_EQ(Narrow("\xE2\x82\xAC"), "?");             // euro sign
    EXPECT_EQ(Narrow("\xC5\x81"), "?");                 // U+0141, above 0xFF
    EXPECT_EQ(Narrow("\xF0\x9F\x8E\xB5!"), "?!");       // four-byte form
    EXPECT_EQ(Narrow("\xFC\x80\x80\x80\x80\x80x"), "?x");  // six-byte form
}

TEST(NarrowUtf8ToLatin1, AByteThatCannotStartACharacterEndsTheText) {
    EXPECT_EQ(Narrow("ab\x80" "cd"), "ab");
    EXPECT_EQ(Narrow("ab\xFE" "cd"), "ab");
    EXPECT_EQ(Narrow("ab\xFF" "cd"), "ab");
}

TEST(NarrowUtf8ToLatin1, BrokenSequencesConsumeAsTheirFormSays) {
    EXPECT_EQ(Narrow("\xE2" "A"), "?A");   // long form: the non-continuation starts anew
    EXPECT_EQ(Narrow("\xC3" "A"), "?");    // two-byte form: the 'A' is consumed
    EXPECT_EQ(Narrow("\xC3" "AB"), "?B");
    EXPECT_EQ(Narrow("x\xC3"), "x?");      // lead byte at the very end
    EXPECT_EQ(Narrow("\xC0\x80" "rest"), "");  // decodes to NUL, which ends the text
}

TEST(NarrowUtf8ToLatin1, KeepsAtMostCapacityMinusOneCharacters) {
    EXPECT_EQ(Narrow(std::string(600, 'a')), std::string(511, 'a'));
    EXPECT_EQ(Narrow("\xC3\xA9\xC3\xA9\xC3\xA9", 3), "\xE9\xE9");
    EXPECT_EQ(Narrow("abc", 1), "");
    char untouched = 'z';
    NarrowUtf8ToLatin1("abc", &untouched, 0);
    EXPECT_EQ(untouched, 'z');
}

}  // namespace cvx::testing
