#include "frame/leading_number.h"

#include <gtest/gtest.h>

#include <cstring>

namespace cvx::testing {

TEST(LeadingDecimalNumber, ReadsDigitsUpToTheFirstNonDigit) {
    EXPECT_EQ(LeadingDecimalNumber("2002-10-19"), 2002);
    EXPECT_EQ(LeadingDecimalNumber("3/12"), 3);
    EXPECT_EQ(LeadingDecimalNumber("07"), 7);
    EXPECT_EQ(LeadingDecimalNumber("c. 1970"), 0);
    EXPECT_EQ(LeadingDecimalNumber(""), 0);
    EXPECT_EQ(LeadingDecimalNumber("-"), 0);
}

TEST(LeadingDecimalNumber, SkipsWhiteSpaceAndTakesOneSign) {
    EXPECT_EQ(LeadingDecimalNumber(" \t\n\v\f\r42"), 42);
    EXPECT_EQ(LeadingDecimalNumber("+5"), 5);
    EXPECT_EQ(LeadingDecimalNumber("-5"), -5);
    EXPECT_EQ(LeadingDecimalNumber("--5"), 0);
    EXPECT_EQ(LeadingDecimalNumber("- 5"), 0);
}

TEST(LeadingDecimalNumber, WrapsModuloTwoToThe32) {
    EXPECT_EQ(LeadingDecimalNumber("2147483647"), 2147483647);
    EXPECT_EQ(LeadingDecimalNumber("2147483648"), INT32_MIN);
    EXPECT_EQ(LeadingDecimalNumber("4294967297"), 1);
    EXPECT_EQ(LeadingDecimalNumber("-2147483648"), INT32_MIN);
    EXPECT_EQ(LeadingDecimalNumber("99999999999999999999999"), -159383553);
}

TEST(LeadingDecimalNumber, ReadsNoFurtherThanTheGivenLength) {
    const char yearThenComment[] = "19992nd take";
    EXPECT_EQ(LeadingDecimalNumber(yearThenComment, 4), 1999);
    EXPECT_EQ(LeadingDecimalNumber("12345", 0), 0);
    EXPECT_EQ(LeadingDecimalNumber("  7", 2), 0);
}

}  // namespace cvx::testing
