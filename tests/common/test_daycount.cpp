#include "common/daycount.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace dyma;

TEST(DayCount, EncodesFromTheDelphiEpoch) {
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDate(2024, 3, 1), 45352.0);
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(EncodeTime(12, 1, 30, 0), (12 * 3600 + 90) / 86400.0);
}

TEST(DayCount, DecodesDateAndTimeToTheMillisecond) {
    const CivilDateTime t = DecodeDateTime(EncodeDate(2023, 11, 7) + EncodeTime(23, 59, 59, 999));
    EXPECT_EQ(t.year, 2023);
    EXPECT_EQ(t.month, 11);
    EXPECT_EQ(t.day, 7);
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.minute, 59);
    EXPECT_EQ(t.second, 59);
    EXPECT_EQ(t.millisecond, 999);
    const CivilDateTime leap = DecodeDateTime(EncodeDate(2000, 2, 29));
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 29);
}

// A count far outside any calendar (a damaged file) decodes to the default
// instead of overflowing; the shown range is 1900-01-01 to 2100-12-31, a
// time of day below one day.
TEST(DayCount, HugeCountsAndTheShownRange) {
    for (double huge : {1e30, -1e30, 1e11, -1e11, std::numeric_limits<double>::infinity()}) {
        const CivilDateTime t = DecodeDateTime(huge);
        EXPECT_EQ(t.year, 1899) << huge;
        EXPECT_EQ(t.month, 12) << huge;
        EXPECT_EQ(t.day, 30) << huge;
        EXPECT_EQ(t.hour, 0) << huge;
    }
    EXPECT_TRUE(IsShownDate(EncodeDate(1900, 1, 1)));
    EXPECT_FALSE(IsShownDate(EncodeDate(1900, 1, 1) - 1e-9));
    EXPECT_TRUE(IsShownDate(EncodeDate(2100, 12, 31) + 0.999));
    EXPECT_FALSE(IsShownDate(EncodeDate(2101, 1, 1)));
    EXPECT_FALSE(IsShownDate(std::nan("")));
    EXPECT_TRUE(IsShownTime(0.0));
    EXPECT_TRUE(IsShownTime(0.99999999));
    EXPECT_FALSE(IsShownTime(1.0));
    EXPECT_FALSE(IsShownTime(-1e-12));
    EXPECT_FALSE(IsShownTime(std::nan("")));
}
