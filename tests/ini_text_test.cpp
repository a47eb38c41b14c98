#include "frame/ini_text.h"

#include <gtest/gtest.h>

#include <string>

namespace cvx::testing {

TEST(FindIniValue, MatchesNamesIgnoringCaseAndBlanks) {
    const std::string text = "  [ corvane ]  \n  CORVANE_EXTLIST =  MP3, OGG  \n";
    EXPECT_EQ(FindIniValue(text, "Corvane", "corvane_extlist"), "MP3, OGG");
    EXPECT_EQ(FindIniValue(text, "Other", "corvane_extlist"), std::nullopt);
    EXPECT_EQ(FindIniValue(text, "Corvane", "missing"), std::nullopt);
    EXPECT_EQ(FindIniValue("", "Corvane", "k"), std::nullopt);
}

TEST(FindIniValue, TakesTheFirstSectionAndKeyAndSkipsComments) {
    const std::string text =
        "[Corvane]\n"
        ";k=commented\n"
        "k=first\n"
        "k=second\n"
        "[Corvane]\n"
        "k=other section\n"
        "j=only here\n";
    EXPECT_EQ(FindIniValue(text, "Corvane", "k"), "first");
    EXPECT_EQ(FindIniValue(text, "Corvane", "j"), std::nullopt);
    EXPECT_EQ(FindIniValue(text, "Corvane", ";k"), std::nullopt);
}

TEST(FindIniValue, StripsOnePairOfQuotes) {
    EXPECT_EQ(FindIniValue("[s]\nk=\"a, b\"\n", "s", "k"), "a, b");
    EXPECT_EQ(FindIniValue("[s]\nk='a'\n", "s", "k"), "a");
    EXPECT_EQ(FindIniValue("[s]\nk=\"a'\n", "s", "k"), "\"a'");
    EXPECT_EQ(FindIniValue("[s]\nk=\"\"x\"\"\n", "s", "k"), "\"x\"");
}

TEST(FindIniValue, ReadsCrlfFilesByteOrderMarksAndBareKeys) {
    EXPECT_EQ(FindIniValue("\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k"), "v");
    EXPECT_EQ(FindIniValue("[s]\nk\nj=1", "s", "k"), "");
    EXPECT_EQ(FindIniValue("[s]\nk=" + std::string(400, 'x'), "s", "k"), std::string(400, 'x'));
}

TEST(SetIniValue, ReplacesOnlyTheKeysOwnLine) {
    const std::string text =
        "; Corvane settings\r\n"
        "[General]\r\n"
        "corvane_extlist=not this one\r\n"
        "\r\n"
        "[CORVANE]\r\n"
        "Skin = dark\r\n"
        "  Corvane_ExtList = \"MP3\"  \r\n"
        "Last=1\r\n";
    const IniEdit edit = SetIniValue(text, "Corvane", "corvane_extlist", "MP3, OGG");
    EXPECT_EQ(edit.change, IniChange::kUpdated);
    EXPECT_EQ(edit.text,
              "; Corvane settings\r\n"
              "[General]\r\n"
              "corvane_extlist=not this one\r\n"
              "\r\n"
              "[CORVANE]\r\n"
              "Skin = dark\r\n"
              "corvane_extlist=MP3, OGG\r\n"
              "Last=1\r\n");
}

TEST(SetIniValue, AddsAMissingKeyAfterTheLastKeyOfItsSection) {
    const std::string text =
        "[Corvane]\n"
        "a=1\n"
        "; about b\n"
        "b=2\n"
        "\n"
        "; next section\n"
        "[Other]\n"
        "c=3\n";
    const IniEdit edit = SetIniValue(text, "corvane", "k", "v");
    EXPECT_EQ(edit.change, IniChange::kInserted);
    EXPECT_EQ(edit.text,
              "[Corvane]\n"
              "a=1\n"
              "; about b\n"
              "b=2\n"
              "k=v\n"
              "\n"
              "; next section\n"
              "[Other]\n"
              "c=3\n");
    EXPECT_EQ(SetIniValue("[Corvane]\r\n\r\n[Other]\r\n", "Corvane", "k", "v").text,
              "[Corvane]\r\nk=v\r\n\r\n[Other]\r\n");
}

TEST(SetIniValue, AddsAMissingSectionAtTheEnd) {
    EXPECT_EQ(SetIniValue("", "Corvane", "k", "v").text, "[Corvane]\nk=v\n");
    EXPECT_EQ(SetIniValue("[A]\r\nx=1\r\n", "Corvane", "k", "v").text, "[A]\r\nx=1\r\n[Corvane]\r\nk=v\r\n");
    EXPECT_EQ(SetIniValue("[A]\nx=1", "Corvane", "k", "v").text, "[A]\nx=1\n[Corvane]\nk=v\n");
    EXPECT_EQ(SetIniValue("\xEF\xBB\xBF", "Corvane", "k", "v").text, "\xEF\xBB\xBF[Corvane]\nk=v\n");
    EXPECT_EQ(SetIniValue("[A]\nx=1\r", "Corvane", "k", "v").text, "[A]\nx=1\r\n[Corvane]\nk=v\n");
}

TEST(SetIniValue, KeepsByteOrderMarkAndUnterminatedLastLine) {
    EXPECT_EQ(SetIniValue("\xEF\xBB\xBF[s]\nk=old", "s", "k", "new").text, "\xEF\xBB\xBF[s]\nk=new");
    EXPECT_EQ(SetIniValue("[s]\nj=1", "s", "k", "v").text, "[s]\nj=1\nk=v\n");
}

// Found by fuzzing: a last line ending in a lone '\r' took the new key onto
// itself, changing that line's value and losing the key.
TEST(SetIniValue, EndsALastLineThatStopsAtACarriageReturn) {
    const std::string text = "\xEF\xBB\xBF; setti\r\nx=1\r\n[Corvane]\r\nlang=en\r\r";
    const IniEdit edit = SetIniValue(text, "Corvane", "corvane_extlist", "MP3, OGG");
    EXPECT_EQ(edit.text, text + "\ncorvane_extlist=MP3, OGG\r\n");
    EXPECT_EQ(FindIniValue(edit.text, "Corvane", "lang"), FindIniValue(text, "Corvane", "lang"));
    EXPECT_EQ(FindIniValue(edit.text, "Corvane", "corvane_extlist"), "MP3, OGG");
}

TEST(SetIniValue, LeavesAnIdenticalLineUnchanged) {
    const IniEdit edit = SetIniValue("[s]\nk=v\n", "S", "k", "v");
    EXPECT_EQ(edit.change, IniChange::kUnchanged);
    EXPECT_EQ(edit.text, "[s]\nk=v\n");
    EXPECT_EQ(SetIniValue("[s]\nk = v\n", "s", "k", "v").change, IniChange::kUpdated);
}

TEST(SetIniValue, WritesTheFirstMatchingSectionOnly) {
    EXPECT_EQ(SetIniValue("[s]\na=1\n[s]\nk=old\n", "s", "k", "new").text, "[s]\na=1\nk=new\n[s]\nk=old\n");
}

}  // namespace cvx::testing
