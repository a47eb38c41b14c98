#include "frame/format_length.h"

#include <gtest/gtest.h>

#include <climits>

namespace cvx::testing {

TEST(FormatLength, MinutesAndSecondsBelowAnHour) {
    EXPECT_EQ(FormatLength(0).view(), "00:00");
    EXPECT_EQ(FormatLength(59).view(), "00:59");
    EXPECT_EQ(FormatLength(61).view(), "01:01");
    EXPECT_EQ(FormatLength(205).view(), "03:25");
    EXPECT_EQ(FormatLength(3599).view(), "59:59");
}

TEST(FormatLength, HoursFromOneHourOnWithoutDays) {
    EXPECT_EQ(FormatLength(3600).view(), "01:00:00");
    EXPECT_EQ(FormatLength(36000).view(), "10:00:00");
    EXPECT_EQ(FormatLength(360000).view(), "100:00:00");
    EXPECT_EQ(FormatLength(INT_MAX).view(), "596523:14:07");
}

TEST(FormatLength, NegativeSecondsStayWithinTwelveCharacters) {
    EXPECT_EQ(FormatLength(-61).view(), "-1:-1");
    EXPECT_LE(FormatLength(INT_MIN).view().size(), 12u);
    EXPECT_EQ(FormatLength(INT_MIN).view(), "-14:-8");
}

}  // namespace cvx::testing
