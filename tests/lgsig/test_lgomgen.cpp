// The generator's bytes checked at the documented offsets, written out here
// as plain numbers so that a wrong shared offset cannot hide behind a reader
// that makes the same mistake.
#include "tools/lgomgen/lgomgen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

using lgomgen::Layout;

namespace {

template <typename T>
T At(const std::string& bytes, std::size_t offset) {
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

lgomgen::Signal TwoChannels(Layout layout) {
    lgomgen::Signal s;
    s.layout = layout;
    s.samplingRate = 1000.0;
    s.start = {2021, 6, 30, 23, 58, 57, 456};
    s.headerScale = 9;
    s.channels.resize(2);
    lgomgen::Channel& a = s.channels[0];
    a.number = 7;
    a.component = "x";
    a.name = "AB";
    a.x = 5.5;
    a.y = 6.5;
    a.z = 7.5;
    a.factor1 = 3.0;
    a.sensorType = 'a';
    a.samples = {1, 2, 3};
    lgomgen::Channel& b = s.channels[1];
    b.number = 8;
    b.component = "ZZ";
    b.x = -1.0;
    b.active = false;
    b.samples = {-1, -2, -3};
    return s;
}

}  // namespace

TEST(LgomGen, MbjHeaderAndFrames) {
    const std::string b = lgomgen::Encode(TwoChannels(Layout::MBJ));
    ASSERT_EQ(b.size(), 8192u + 2 * 3 * 2);
    EXPECT_EQ(b.substr(0, 30), "M.ZENTAR_ELOGOR-C64_v1.0_RUDNA");
    EXPECT_EQ(At<std::uint16_t>(b, 34), 8192);
    EXPECT_EQ(At<std::uint8_t>(b, 40), 23);
    EXPECT_EQ(At<std::uint8_t>(b, 41), 58);
    EXPECT_EQ(At<std::uint8_t>(b, 42), 57);
    EXPECT_EQ(At<std::uint16_t>(b, 43), 456);
    EXPECT_EQ(At<std::uint16_t>(b, 45), 2021);
    EXPECT_EQ(At<std::uint8_t>(b, 47), 30);
    EXPECT_EQ(At<std::uint8_t>(b, 48), 6);
    EXPECT_EQ(At<double>(b, 49), 1000.0);
    EXPECT_EQ(At<std::uint8_t>(b, 57), 2);
    EXPECT_EQ(At<std::uint16_t>(b, 58), 9);
    EXPECT_EQ(At<double>(b, 316), 5.5);
    EXPECT_EQ(At<double>(b, 316 + 8), -1.0);
    EXPECT_EQ(At<double>(b, 828), 6.5);
    EXPECT_EQ(At<double>(b, 1340), 7.5);
    EXPECT_EQ(b[1852], 'a');
    EXPECT_EQ(b[1916], 'x');
    EXPECT_EQ(b[1917], 'Z');
    EXPECT_EQ(At<double>(b, 1980), 3.0);
    EXPECT_EQ(At<double>(b, 2492), 1.0);
    EXPECT_EQ(b.substr(6076, 3), std::string("AB\0", 3));
    // Frames: channel 0 then channel 1, sample after sample.
    EXPECT_EQ(At<std::int16_t>(b, 8192), 1);
    EXPECT_EQ(At<std::int16_t>(b, 8194), -1);
    EXPECT_EQ(At<std::int16_t>(b, 8196), 2);
}

TEST(LgomGen, Min32RecordsActivityAndFramesOfActiveChannels) {
    const std::string b = lgomgen::Encode(TwoChannels(Layout::MIN32));
    const std::size_t data = 4096 + 92 * 2;
    ASSERT_EQ(b.size(), data + 3 * 2);
    EXPECT_EQ(At<std::uint8_t>(b, 40), 23);
    EXPECT_EQ(At<std::uint16_t>(b, 44), 2021);
    EXPECT_EQ(At<std::uint8_t>(b, 46), 30);
    EXPECT_EQ(At<std::uint8_t>(b, 47), 6);
    EXPECT_EQ(At<double>(b, 52), 1000.0);
    EXPECT_EQ(At<std::int16_t>(b, 62), 2);
    EXPECT_EQ(At<std::int16_t>(b, 1024), 9);
    EXPECT_EQ(At<std::uint8_t>(b, 4096), 7);
    EXPECT_EQ(b.substr(4097, 3), std::string("x\0\0", 3));
    EXPECT_EQ(At<std::uint8_t>(b, 4096 + 8), 1);
    EXPECT_EQ(At<float>(b, 4096 + 9), 5.5f);
    EXPECT_EQ(At<float>(b, 4096 + 21), 3.0f);
    EXPECT_EQ(At<std::uint8_t>(b, 4096 + 59), 1);
    EXPECT_EQ(At<std::uint8_t>(b, 4096 + 90), 8);
    EXPECT_EQ(At<std::uint8_t>(b, 4096 + 90 + 59), 0);
    EXPECT_EQ(At<std::int16_t>(b, 4096 + 180), 1);
    EXPECT_EQ(At<std::int16_t>(b, 4096 + 182), 0);
    EXPECT_EQ(At<std::int16_t>(b, data), 1);
    EXPECT_EQ(At<std::int16_t>(b, data + 2), 2);
    EXPECT_EQ(At<std::int16_t>(b, data + 4), 3);
}

TEST(LgomGen, V26AndMbi32FixedOffsets) {
    const std::string min = lgomgen::Encode(TwoChannels(Layout::MIN64));
    ASSERT_EQ(min.size(), 7104u + 3 * 2);
    EXPECT_EQ(min.substr(0, 30), "CONVERT_KRAW_v2.6_POLSIER_2---");
    EXPECT_EQ(At<std::uint16_t>(min, 40), 456);
    EXPECT_EQ(At<std::uint8_t>(min, 42), 57);
    EXPECT_EQ(At<std::uint8_t>(min, 44), 23);
    EXPECT_EQ(At<std::uint8_t>(min, 45), 30);
    EXPECT_EQ(At<std::uint8_t>(min, 46), 6);
    EXPECT_EQ(At<std::uint16_t>(min, 47), 2021);
    EXPECT_EQ(At<double>(min, 53), 1000.0);
    EXPECT_EQ(At<std::int16_t>(min, 63), 2);
    EXPECT_EQ(At<std::int16_t>(min, 1025), 9);
    EXPECT_EQ(At<std::uint8_t>(min, 1216), 7);
    EXPECT_EQ(At<std::uint8_t>(min, 1216 + 90), 8);
    EXPECT_EQ(At<std::int16_t>(min, 6976), 1);
    EXPECT_EQ(At<std::int16_t>(min, 6978), 0);
    EXPECT_EQ(At<std::int16_t>(min, 7104), 1);

    const std::string mbi64 = lgomgen::Encode(TwoChannels(Layout::MBI64));
    ASSERT_EQ(mbi64.size(), 6976u + 2 * 3 * 2);
    EXPECT_EQ(At<std::int16_t>(mbi64, 6976 + 2), -1);

    const std::string mbi = lgomgen::Encode(TwoChannels(Layout::MBI32));
    ASSERT_EQ(mbi.size(), 1026u + 2 * 3 * 2);
    EXPECT_EQ(mbi.substr(0, 30), "CONVERT_KRAW_v2.0_RUDNA-------");
    EXPECT_EQ(At<std::uint16_t>(mbi, 30), 1026);
    EXPECT_EQ(At<std::int16_t>(mbi, 62), 2);
    EXPECT_EQ(At<double>(mbi, 52), 0.0);  // MBI32 carries no rate
    EXPECT_EQ(At<std::int16_t>(mbi, 1026 + 2), -1);
}

TEST(LgomGen, RefusesWhatTheLayoutCannotHold) {
    lgomgen::Signal s = TwoChannels(Layout::MBJ);
    s.channels.resize(65);
    EXPECT_THROW(lgomgen::Encode(s), std::invalid_argument);
    s.layout = Layout::MIN32;
    EXPECT_NO_THROW(lgomgen::Encode(s));
    s.channels.resize(97);
    EXPECT_THROW(lgomgen::Encode(s), std::invalid_argument);
    s = TwoChannels(Layout::MBJ);
    s.identifier = std::string(31, 'A');
    EXPECT_THROW(lgomgen::Encode(s), std::invalid_argument);
}
