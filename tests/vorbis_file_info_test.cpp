#include <gtest/gtest.h>
#include <vorbis/codec.h>

#include <limits>

#include "ogg/vorbis_file_info.h"

namespace cvx::testing {

using namespace cvx::ogg;

TEST(WholeSeconds, TruncatesTowardZero) {
    EXPECT_EQ(WholeSeconds(3.9), 3);
    EXPECT_EQ(WholeSeconds(150.0), 150);
    EXPECT_EQ(WholeSeconds(0.2), 0);
}

TEST(WholeSeconds, UnknownOrAbsurdTotalsGiveZero) {
    EXPECT_EQ(WholeSeconds(OV_EINVAL), 0);
    EXPECT_EQ(WholeSeconds(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(WholeSeconds(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(WholeSeconds(-std::numeric_limits<double>::infinity()), 0);
}

TEST(WholeSeconds, HugeTotalsKeepTheLow32Bits) {
    EXPECT_EQ(WholeSeconds(2147483648.5), INT32_MIN);
    EXPECT_EQ(WholeSeconds(4294967296.0 + 7.0), 7);
    EXPECT_EQ(WholeSeconds(1e15 + 7.5), -1530494969);  // 10^15 + 7 is 2,764,472,327 above a multiple of 2^32
    EXPECT_EQ(WholeSeconds(1e300), 0);                 // a multiple of 2^944
}

}  // namespace cvx::testing
