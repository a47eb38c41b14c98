#include "frame/format_length.h"

#include <gtest/gtest.h>

#include <climits>

namespace cvx::testing {

TEST(FormatLength, MinutesAndSecondsBelowAnHour) {
    EXPECT_EQ(FormatLength(0), "00:00");
    EXPECT_EQ(FormatLength(59), "00:59");
    EXPECT_EQ(FormatLength(61), "01:01");
    EXPECT_EQ(FormatLength(205), "03:25");
    EXPECT_EQ(FormatLength(3599), "59:59");
}

TEST(FormatLength, HoursFromOneHourOnWithoutDays) {
    EXPECT_EQ(FormatLength(3600), "01:00:00");
    EXPECT_EQ(FormatLength(36000), "10:00:00");
    EXPECT_EQ(FormatLength(360000), "100:00:00");
    EXPECT_EQ(FormatLength(INT_MAX), "596523:14:07");
}

TEST(FormatLength, NegativeSecondsStayWithinTwelveCharacters) {
    EXPECT_EQ(FormatLength(-61), "-1:-1");
    EXPECT_LE(FormatLength(INT_MIN).size(), 12u);
    EXPECT_EQ(FormatLength(INT_MIN), "-14:-8");
}

}  // namespace cvx::testing
