#include "common/daycount.h"

#include <gtest/gtest.h>

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
