#include "lgsigfixtures.h"

#include "common/daycount.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using dyma::test::TempDir;
using lgomgen::Layout;
using Quarnet::lgsig;

namespace {

struct LayoutCase {
    Layout layout;
    const char* identifier;
    int code;
    const char* name;
};

// One row per identifier the reader knows, in every extension it reads.
const LayoutCase kCases[] = {
    {Layout::MBJ, "M.ZENTAR_ELOGOR-C64_v1.0_RUDNA", 7, "KGHM-MBJ64-Rudna-v1.0"},
    {Layout::MBJ, "M.ZENTAR_ELOGOR-C32_v1.0_POLKO", 10, "KGHM-MBJ64-Polkowice-v1.0"},
    {Layout::MBJ, "M.ZENTAR_ELOGOR-C64_v1.0_LUBIN", 11, "KGHM-MBJ64-Lubin-v1.0"},
    {Layout::MBJ, "M.ZENTAR_ELOGOR-C64_v1.1_RUDNA", 12, "KGHM-MBJ64-Rudna-v1.1"},
    {Layout::MBJ, "M.ZENTAR_ELOGOR-C64_v1.1_LUBIN", 16, "KGHM-MBJ64-Lubin-v1.1"},
    {Layout::MBJ, "M.ZENTAR_ELOGOR-C64_v1.1_POLKO", 17, "KGHM-MBJ64-Polkowice-v1.1"},
    {Layout::MBJ, "M.ZENTAR_ELOGOR-C64_v1.2_LUBIN", 13, "KGHM-MBJ64-Lubin-v1.2"},
    {Layout::MBJ, "M.ZENTAR_ELOGOR-C64_v1.2_RUDNA", 14, "KGHM-MBJ64-Rudna-v1.2"},
    {Layout::MBJ, "M.ZENTAR_ELOGOR-C64_v1.2_POLKO", 15, "KGHM-MBJ64-Polkowice-v1.2"},
    {Layout::MBI32, "CONVERT_KRAW_v2.0_RUDNA-------", 1, "KGHM-MBI32-Rudna"},
    {Layout::MBI32, "CONVERT_KRAW_v2.0_LUBIN-------", 2, "KGHM-MBI32-Lubin"},
    {Layout::MBI32, "CONVERT_KRAW_v2.0_POLKOWICE---", 3, "KGHM-MBI32-Polkowice"},
    {Layout::MBI64, "CONVERT_KRAW_v2.6_POLSIER_2---", 9, "KGHM-MBI64-Polkowice/Sieroszowice"},
    {Layout::MBI32, "M.ZENTAR_ELOGOR-C32_v1.0_RUDNA", 1, "KGHM-MBI32-Rudna(Simplified)"},
    {Layout::MIN32, "CONVERT_KRAW_v2.0_RUDNA-------", 5, "KGHM-MIN32-Rudna"},
    {Layout::MIN32, "CONVERT_KRAW_v2.0_LUBIN-------", 4, "KGHM-MIN32-Lubin"},
    {Layout::MIN32, "CONVERT_KRAW_v2.0_POLKOWICE---", 6, "KGHM-MIN32-Polkowice"},
    {Layout::MIN64, "CONVERT_KRAW_v2.6_POLSIER_2---", 8, "KGHM-MIN64-Polkowice/Sieroszowice"},
};

bool IsMin(Layout l) { return l == Layout::MIN32 || l == Layout::MIN64; }
bool HasMilliseconds(Layout l) { return l != Layout::MIN32 && l != Layout::MBI32; }

void CheckStations(lgsig& r, Layout layout) {
    const Kelo::StationInfo& s0 = *r.GetStationInfo(0);
    const Kelo::StationInfo& s1 = *r.GetStationInfo(1);
    const Kelo::StationInfo& s2 = *r.GetStationInfo(2);
    for (const auto* s : {&s0, &s1, &s2}) EXPECT_EQ(s->Length, 5);
    if (layout == Layout::MBI32) {
        // Nothing but the length comes from the file.
        EXPECT_FALSE(r.GetStationInfoExists());
        EXPECT_FALSE(r.GetLocationExists());
        EXPECT_EQ(s0.Number, 1);
        EXPECT_EQ(s2.Number, 3);
        EXPECT_EQ(s0.Name, "");
        EXPECT_EQ(s0.X, 0.0);
        EXPECT_EQ(r.GetSamplingRate(0), 500);
        return;
    }
    EXPECT_TRUE(r.GetStationInfoExists());
    EXPECT_TRUE(r.GetLocationExists());
    EXPECT_EQ(r.GetSamplingRate(0), 500);  // 500.9 truncated
    EXPECT_EQ(s2.SamplingRate, 500);
    EXPECT_EQ(s0.Factor1, 2.0);
    EXPECT_EQ(s0.Factor2, 5.0);
    EXPECT_EQ(s2.Factor3, 0.5);
    if (layout == Layout::MBJ) {
        EXPECT_EQ(s0.Number, 1);
        EXPECT_EQ(s2.Number, 3);
        EXPECT_EQ(s0.X, 1000.0);
        EXPECT_EQ(s1.Y, 2001.0);
        EXPECT_EQ(s0.Z, -300.0);  // local coordinates: depth negated
        EXPECT_EQ(s0.Component, "ZZ");
        EXPECT_EQ(s1.Component, "NS");
        EXPECT_EQ(s2.Component, "EW");
        EXPECT_EQ(s0.Name, "STA1");
        EXPECT_EQ(s0.SensorType, 'a');
        EXPECT_EQ(s2.SensorType, 'v');
        EXPECT_EQ(s0.Enabled, 1);
        EXPECT_EQ(s2.Enabled, 0);  // no coordinates
        return;
    }
    EXPECT_EQ(s0.Number, 11);
    EXPECT_EQ(s2.Number, 13);
    EXPECT_EQ(s0.X, 1000.5);
    EXPECT_EQ(s1.Y, 2001.25);
    EXPECT_EQ(s1.Z, 301.0);
    EXPECT_EQ(s0.Component, "Z");
    EXPECT_EQ(s1.Component, "N");
    EXPECT_EQ(s2.Component, "E");
    EXPECT_EQ(s0.Name, "11Z");
    EXPECT_EQ(s1.Name, "12N");
    EXPECT_EQ(s0.SensorType, 'a');
    EXPECT_EQ(s2.SensorType, 'v');
    EXPECT_EQ(s0.Enabled, 1);
    EXPECT_EQ(s2.Enabled, 0);
}

}  // namespace

TEST(LgsigLayouts, EveryIdentifierReadsWithItsLayout) {
    for (const LayoutCase& c : kCases) {
        SCOPED_TRACE(std::string(c.identifier) + " " + c.name);
        TempDir dir;
        lgomgen::Signal signal = lgsigtest::SmallSignal(c.layout);
        signal.identifier = c.identifier;
        const std::string file = dir.File("rec" + lgomgen::FileExtension(c.layout));
        lgomgen::Write(file, signal);

        lgsig r(file, dir.File("rec.tmp"));
        EXPECT_EQ(r.FormatCode, c.code);
        EXPECT_EQ(r.FormatName, c.name);
        EXPECT_EQ(r.GetChannelCount(), 3);
        EXPECT_EQ(r.GetMinChannel(), 0);
        EXPECT_EQ(r.GetMaxChannel(), 2);
        EXPECT_EQ(r.GetChannelLength(0), 5);
        EXPECT_EQ(r.GetChannelExists(0), true);
        EXPECT_EQ(r.GetChannelExists(1), !IsMin(c.layout));
        EXPECT_EQ(r.GetChannelExists(2), true);
        EXPECT_EQ(r.HeaderScale, 4.0);
        EXPECT_EQ(r.BytesPerChannel, 10);
        CheckStations(r, c.layout);

        EXPECT_EQ(r.Year, 2023);
        EXPECT_EQ(r.Month, 11);
        EXPECT_EQ(r.Day, 7);
        EXPECT_EQ(r.Hour, 13);
        EXPECT_EQ(r.Minute, 45);
        EXPECT_EQ(r.Second, 59);
        const int ms = HasMilliseconds(c.layout) ? 250 : 0;
        EXPECT_EQ(r.Millisecond, ms);
        EXPECT_DOUBLE_EQ(r.StartDate, dyma::EncodeDate(2023, 11, 7));
        EXPECT_DOUBLE_EQ(r.StartTime, dyma::EncodeTime(13, 45, 59, ms));
        EXPECT_DOUBLE_EQ(r.StartDateTime, r.StartDate + r.StartTime);

        EXPECT_EQ(r.GetSample(0, 0), 100.0);
        EXPECT_EQ(r.GetSample(0, 1), -200.0);
        EXPECT_EQ(r.GetSample(2, 0), -32768.0);
        EXPECT_EQ(r.GetSample(2, 4), 10.0);
        EXPECT_EQ(r.GetSample(1, 2), IsMin(c.layout) ? 0.0 : 3.0);
        EXPECT_EQ(r.GetMaxChannelValue(0), 32767.0);
        EXPECT_EQ(r.GetMinChannelValue(0), -200.0);
        EXPECT_EQ(r.GetMinChannelValue(2), -32768.0);
        EXPECT_EQ(r.GetMaxChannelValue(1), IsMin(c.layout) ? 0.0 : 5.0);
    }
}

TEST(LgsigLayouts, IdentifiersCompareOverTheirPrefixOnly) {
    struct Row {
        const char* extension;
        const char* identifier;
        int code;
    };
    const Row rows[] = {
        {".mbi", "CONVERT_KRAW_v2.0_POLKOWICE---", 3},
        {".mbi", "CONVERT_KRAW_v2.0_POLKOxxxxxxx", 3},  // 23 characters decide
        {".mbi", "CONVERT_KRAW_v2.0_POLK--------", 0},
        {".MBI", "CONVERT_KRAW_v2.0_RUDNA_X", 1},
        {".min", "CONVERT_KRAW_v2.6_POLSIER_2abc", 8},
        {".min", "CONVERT_KRAW_v2.6_POLSIER_3---", 0},
        {".mbj", "M.ZENTAR_ELOGOR-C64_v1.0_RUDNx", 0},  // all 30 characters decide
        {".min", "M.ZENTAR_ELOGOR-C32_v1.0_RUDNA", 0},
        {".mbj", "CONVERT_KRAW_v2.0_RUDNA-------", 0},
        {".dat", "M.ZENTAR_ELOGOR-C64_v1.0_RUDNA", 0},
        {"", "M.ZENTAR_ELOGOR-C64_v1.0_RUDNA", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.extension) + " " + row.identifier);
        const lgsig::Identification found = lgsig::Identify(row.extension, row.identifier);
        EXPECT_EQ(found.formatCode, row.code);
        if (row.code == 0) {
            EXPECT_EQ(found.formatName, "Unknown");
        }
    }

    // A whole file whose identifier only starts right.
    TempDir dir;
    lgomgen::Signal signal = lgsigtest::SmallSignal(Layout::MBI32);
    signal.identifier = "CONVERT_KRAW_v2.0_POLKOWICE_XY";
    lgomgen::Write(dir.File("p.mbi"), signal);
    lgsig r(dir.File("p.mbi"), dir.File("p.tmp"));
    EXPECT_EQ(r.FormatCode, 3);
    EXPECT_EQ(r.FormatName, "KGHM-MBI32-Polkowice");
}

TEST(LgsigLayouts, CompareHeadersStopsAtTheCountAndAtNul) {
    EXPECT_TRUE(lgsig::CompareHeaders("ABCDEF", "ABCxyz", 3));
    EXPECT_FALSE(lgsig::CompareHeaders("ABCDEF", "ABCxyz", 4));
    EXPECT_TRUE(lgsig::CompareHeaders("AB", "AB", 30));
    EXPECT_FALSE(lgsig::CompareHeaders(std::string_view("A\0C", 3), "ABC", 3));
    EXPECT_TRUE(lgsig::CompareHeaders(std::string_view("A\0C", 3), std::string_view("A\0D", 3), 3));
    EXPECT_TRUE(lgsig::CompareHeaders(std::string(40, 'x'), std::string(31, 'x') + "y", 40));
}

TEST(LgsigLayouts, MbjNamesComponentsAndTheDepthRule) {
    TempDir dir;
    lgomgen::Signal s = lgsigtest::SmallSignal(Layout::MBJ);
    s.channels.resize(6);
    auto channel = [](const char* component, const char* name, double x, double y, double z) {
        lgomgen::Channel c;
        c.component = component;
        c.name = name;
        c.x = x;
        c.y = y;
        c.z = z;
        return c;
    };
    s.channels[0] = channel("y", "", 5600000.9, 5700000.0, 300.7);
    s.channels[1] = channel("y", "   ", 1000.0, 5700000.0, 300.0);
    s.channels[2] = channel("X", "  AB  ", 1.0, 0.0, 0.0);
    s.channels[3] = channel("z", "Łąka", 1.0, 0.0, 0.0);
    s.channels[4] = channel(" ", "", 5000000.0, 5000001.0, 20.0);
    s.channels[5] = channel("x", "12345678", -1.0, 0.0, 0.0);
    for (auto& c : s.channels) c.samples = {1};
    lgomgen::Write(dir.File("n.mbj"), s);
    lgsig r(dir.File("n.mbj"), dir.File("n.tmp"));

    const auto* s0 = r.GetStationInfo(0);
    EXPECT_EQ(s0->Name, "01y");  // empty name: number and the raw letter
    EXPECT_EQ(s0->Component, "EW");
    EXPECT_EQ(s0->X, 5600000.0);
    EXPECT_EQ(s0->Z, 300.0);  // national grid: kept
    EXPECT_EQ(r.GetStationInfo(1)->Name, "02y");
    EXPECT_EQ(r.GetStationInfo(1)->Z, -300.0);
    EXPECT_EQ(r.GetStationInfo(2)->Name, "AB");
    EXPECT_EQ(r.GetStationInfo(2)->Component, "X");  // the letters are matched case-sensitively
    EXPECT_EQ(r.GetStationInfo(3)->Name, "Łąka");
    EXPECT_EQ(r.GetStationInfo(3)->Component, "ZZ");
    EXPECT_EQ(r.GetStationInfo(4)->Name, "05");
    EXPECT_EQ(r.GetStationInfo(4)->Component, "");
    EXPECT_EQ(r.GetStationInfo(4)->Z, -20.0);  // 5,000,000 is not above the limit
    EXPECT_EQ(r.GetStationInfo(5)->Name, "12345678");
    EXPECT_EQ(r.GetStationInfo(5)->Component, "NS");
    EXPECT_EQ(r.GetStationInfo(5)->Enabled, 1);
}

TEST(LgsigLayouts, MinFramesSkipInactiveChannels) {
    for (Layout layout : {Layout::MIN32, Layout::MIN64}) {
        SCOPED_TRACE(lgomgen::FileExtension(layout));
        TempDir dir;
        lgomgen::Signal s = lgsigtest::SmallSignal(layout);
        s.channels.resize(5);
        s.samplesPerChannel = 40;
        s.channels[1].active = false;
        s.channels[2].active = false;
        s.channels[3].active = true;
        s.channels[4].active = true;
        s.source = [](int c, int i) { return static_cast<std::int16_t>(100 * c + i); };
        const std::string file = dir.File("m" + lgomgen::FileExtension(layout));
        lgomgen::Write(file, s);
        lgsig r(file, dir.File("m.tmp"));
        for (int c : {0, 3, 4}) {
            EXPECT_TRUE(r.GetChannelExists(c));
            for (int i : {0, 1, 39}) EXPECT_EQ(r.GetSample(c, i), 100.0 * c + i) << c << " " << i;
        }
        for (int c : {1, 2}) {
            EXPECT_FALSE(r.GetChannelExists(c));
            EXPECT_EQ(r.GetMaxChannelValue(c), 0.0);
            EXPECT_EQ(r.GetMinChannelValue(c), 0.0);
        }
        EXPECT_EQ(r.GetChannelLength(0), 40);
    }
}

// Every layout filled to the channel count it holds, with records long
// enough that the reader takes their frames in several chunks: every sample
// of every channel lands in its place, in whatever order channels are then
// read, and the extremes are those of the whole record.
TEST(LgsigLayouts, FullLayoutsReadEverySampleAcrossBlocks) {
    struct Full {
        Layout layout;
        int channels;
    };
    for (const Full f : {Full{Layout::MBI32, 96}, Full{Layout::MIN32, 96}, Full{Layout::MBI64, 64},
                         Full{Layout::MIN64, 64}, Full{Layout::MBJ, 64}}) {
        SCOPED_TRACE(lgomgen::FileExtension(f.layout) + " " + std::to_string(f.channels));
        TempDir dir;
        lgomgen::Signal s = lgsigtest::SmallSignal(f.layout);
        s.channels.resize(static_cast<std::size_t>(f.channels));
        const bool min = IsMin(f.layout);
        for (lgomgen::Channel& c : s.channels) c.active = true;
        if (min) s.channels[7].active = false;
        s.samplesPerChannel = 70001;  // several chunks of frames, the last one incomplete
        // A value that differs for every channel and sample; the channel's
        // extremes lie in different blocks.
        auto value = [](int c, int i) { return static_cast<std::int16_t>((c * 7919 + i * 31) % 60001 - 30000); };
        s.source = value;
        const std::string file = dir.File("full" + lgomgen::FileExtension(f.layout));
        lgomgen::Write(file, s);

        lgsig r(file, dir.File("full.tmp"));
        ASSERT_EQ(r.GetChannelCount(), f.channels);
        EXPECT_EQ(r.GetStationInfo(f.channels - 1)->Length, 70001);
        if (f.layout != Layout::MBI32 && f.layout != Layout::MBJ) {
            EXPECT_EQ(r.GetStationInfo(f.channels - 1)->Number, f.channels);  // the last record is read
        }
        for (int c = f.channels - 1; c >= 0; --c) {  // last channel first: rows come back from the file
            const bool inactive = min && c == 7;
            double lowest = 1e9, highest = -1e9;
            int wrong = 0;
            // In MIN files an inactive channel has no samples in the frames:
            // the channels after it take the frame's next words.
            for (int i = 0; i < 70001; ++i) {
                const double expected = inactive ? 0.0 : value(c, i);
                wrong += r.GetSample(c, i) != expected;
                lowest = std::min(lowest, expected);
                highest = std::max(highest, expected);
            }
            EXPECT_EQ(wrong, 0) << "channel " << c;
            EXPECT_EQ(r.GetMinChannelValue(c), lowest) << "channel " << c;
            EXPECT_EQ(r.GetMaxChannelValue(c), highest) << "channel " << c;
        }
    }
}

TEST(LgsigLayouts, RecounterFromRangeFactorsAndHeaderScale) {
    TempDir dir;
    lgomgen::Signal s = lgsigtest::SmallSignal(Layout::MBJ);
    s.channels[1].factor1 = 0.0;
    lgomgen::Write(dir.File("r.mbj"), s);
    lgsig r(dir.File("r.mbj"), dir.File("r.tmp"));
    EXPECT_EQ(r.GetRecounter(0), 0.0);  // no range set yet
    r.SignalRange = 0.005;
    EXPECT_DOUBLE_EQ(r.GetRecounter(0), 0.005 / (5.0 * 2.0 * 4.0));
    EXPECT_EQ(r.GetRecounter(1), 0.0);
    const auto failure = lgsigtest::FailureOf([&] { r.GetRecounter(3); });
    EXPECT_EQ(failure.type, "QuaEOutOfRange");
    EXPECT_EQ(failure.message, "lgsig::GetRecounter(): Wrong channel number.");
    EXPECT_EQ(lgsigtest::FailureOf([&] { r.GetRecounter(-1); }).type, "QuaEOutOfRange");

    lgomgen::Write(dir.File("r.mbi"), lgsigtest::SmallSignal(Layout::MBI32));
    lgsig mbi(dir.File("r.mbi"), dir.File("r2.tmp"));
    mbi.SignalRange = 0.005;
    EXPECT_EQ(mbi.GetRecounter(0), 0.0);  // no station records
}

TEST(LgsigLayouts, TheTemporaryFileLivesWithTheReader) {
    TempDir dir;
    lgomgen::Write(dir.File("t.mbj"), lgsigtest::SmallSignal(Layout::MBJ));
    const std::string temp = dir.File("t.mbj.tmp");
    {
        auto reader = std::make_unique<lgsig>(dir.File("t.mbj"), temp);
        EXPECT_EQ(std::filesystem::file_size(temp), 3u * 5u * 8u);
        std::unique_ptr<Kelo::signalprocessing> owner = std::move(reader);
        EXPECT_EQ(owner->GetSample(2, 4), 10.0);
    }
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_EQ(lgsigtest::FileCount(dir.Path()), 1);
}

TEST(LgsigLayouts, TheGeneratorProgramWritesAReadableTremor) {
    TempDir dir;
    const std::string file = dir.File("ex.mbj");
    // The shell of Windows takes a leading "/" for a switch: native separators.
    const std::string program = std::filesystem::path(DYMA_PROGRAM_DIR "/lgomgen").make_preferred().string();
    const std::string command = program + " --channels 30 --rate 1000 --seconds 3 --start \"2024-05-06 07:08:09.250\" " +
                                file;
    ASSERT_EQ(std::system(command.c_str()), 0);
    lgsig r(file, dir.File("ex.tmp"));
    EXPECT_EQ(r.GetChannelCount(), 30);
    EXPECT_EQ(r.GetSamplingRate(0), 1000);
    EXPECT_EQ(r.GetChannelLength(29), 3000);
    EXPECT_DOUBLE_EQ(r.StartDateTime, dyma::EncodeDate(2024, 5, 6) + dyma::EncodeTime(7, 8, 9, 250));
    // Quiet before the onset, first motion up on channel 1 and down on channel 2.
    EXPECT_EQ(r.GetMaxChannelValue(0) > 0 && r.GetMinChannelValue(0) < 0, true);
    EXPECT_EQ(r.GetSample(0, 499), 0.0);
    EXPECT_GT(r.GetSample(0, 505), 0.0);
    EXPECT_LT(r.GetSample(1, 555), 0.0);
    EXPECT_EQ(r.GetStationInfo(1)->Component, "NS");
}
