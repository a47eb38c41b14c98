// Joining converted values into a field, and the code-page conversion below it.
#include "comment/append_tag_value.h"

#include <gtest/gtest.h>

#include <string>

#include "comment/platform/ansi_code_page.h"
#include "frame/tag_record.h"

namespace cvx::testing {

using namespace cvx::comment;

namespace {

class Field {
public:
    Field() { text_[0] = '\0'; }
    explicit Field(const std::string& initial) { CopyToField(text_, sizeof text_, initial.c_str()); }

    Field& Append(const std::string& value) {
        AppendTagValue(text_, reinterpret_cast<const uint8_t*>(value.data()), static_cast<uint32_t>(value.size()),
                       kTagFieldSize);
        return *this;
    }
    std::string text() const { return text_; }

private:
    char text_[kTagFieldSize];
};

std::string ToAnsi(std::u16string units) {
    char out[64];
    const size_t written = ConvertToAnsi(reinterpret_cast<const uint16_t*>(units.c_str()), out, sizeof out);
    return written == 0 ? "<none>" : std::string(out, written - 1);
}

}  // namespace

TEST(AppendTagValue, JoinsValuesWithCommaAndSpace) {
    EXPECT_EQ(Field().Append("A").text(), "A");
    EXPECT_EQ(Field().Append("A").Append("B").text(), "A, B");
    EXPECT_EQ(Field().Append("A").Append("B").Append("C").text(), "A, B, C");
}

TEST(AppendTagValue, AValueThatDecodesToNothingAddsNoSeparator) {
    EXPECT_EQ(Field("A").Append("\x80\x80").text(), "A");
    EXPECT_EQ(Field("A").Append("\xC3" "A").text(), "A");
    EXPECT_EQ(Field("A").Append("x\xC3" "A").text(), "A, x");
}

TEST(AppendTagValue, ConvertsToTheAnsiCodePage) {
    EXPECT_EQ(Field().Append("Caf\xC3\xA9").text(), "Caf\xE9");
    EXPECT_EQ(Field().Append("\xE2\x82\xAC 5").text(), "\x80 5");            // euro sign: 0x80 in 1252
    EXPECT_EQ(Field().Append("\xC4\x80" "bc").text(), "Abc");               // U+0100, best fit 'A'
    EXPECT_EQ(Field().Append("\xF0\x9F\x8E\xB5").text(), "?");              // decoded to '?' already
    EXPECT_EQ(Field().Append("\xE4\xB8\xAD").text(), "?");                  // U+4E2D: no equivalent
}

TEST(AppendTagValue, NeverFillsMoreThan511Bytes) {
    EXPECT_EQ(Field().Append(std::string(600, 'a')).text(), std::string(511, 'a'));
    EXPECT_EQ(Field(std::string(509, 'x')).Append("XYZ").text(), std::string(509, 'x') + ", ");
    EXPECT_EQ(Field(std::string(510, 'x')).Append("XYZ").text(), std::string(510, 'x') + ",");
    EXPECT_EQ(Field(std::string(511, 'x')).Append("XYZ").text(), std::string(511, 'x'));
}

TEST(ConvertToAnsi, KeepsWhatCodePage1252Has) {
    EXPECT_EQ(ToAnsi(u"plain"), "plain");
    EXPECT_EQ(ToAnsi(u"\u00E9\u00FF\u00A0"), "\xE9\xFF\xA0");
    EXPECT_EQ(ToAnsi(u"\u20AC\u2026\u0152\u017E\u0192"), "\x80\x85\x8C\x9E\x83");
}

TEST(ConvertToAnsi, UsesWindowsBestFitOrQuestionMark) {
    EXPECT_EQ(ToAnsi(u"\u0100\u0107\u0141"), "AcL");
    EXPECT_EQ(ToAnsi(u"\u0110"), "\xD0");       // D with stroke: best fit Eth
    EXPECT_EQ(ToAnsi(u"\uFF21\uFF5E"), "A~");   // fullwidth forms
    EXPECT_EQ(ToAnsi(u"\u0080\u009F"), "??");   // C1 controls 1252 puts letters at
    EXPECT_EQ(ToAnsi(u"\u4E2D\u3042"), "??");
}

TEST(ConvertToAnsi, LoneSurrogatesBecomeQuestionMarks) {
    const uint16_t units[] = {0xD800, 'a', 0xDFFF, 0};
    char out[8];
    ASSERT_EQ(ConvertToAnsi(units, out, sizeof out), 4u);
    EXPECT_STREQ(out, "?a?");
}

TEST(ConvertToAnsi, KeepsTheLongestPrefixThatFits) {
    const uint16_t units[] = {'a', 'b', 'c', 0};
    char out[4];
    EXPECT_EQ(ConvertToAnsi(units, out, 4), 4u);
    EXPECT_EQ(ConvertToAnsi(units, out, 3), 3u);
    EXPECT_STREQ(out, "ab");
    EXPECT_EQ(ConvertToAnsi(units, out, 1), 0u);
}

}  // namespace cvx::testing
