// The miniSEED reader on files written by libmseed itself (tools/mseedgen):
// samples, rates and times of every encoding, several streams aligned on
// the earliest, gaps, and what it refuses.
#include "mseedsig/mseedsig.h"

#include "common/daycount.h"
#include "lgsig/quaexception.h"
#include "support/tempdir.h"
#include "tools/mseedgen/mseedgen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

using dyma::test::TempDir;
using mseedgen::Encoding;
using mseedgen::Trace;
using Quarnet::mseedsig;

namespace {

Trace MakeTrace(Encoding encoding, std::vector<double> samples, std::int64_t start, double rate = 500) {
    Trace t;
    t.encoding = encoding;
    t.samples = std::move(samples);
    t.start = start;
    t.rate = rate;
    return t;
}

// A slow ramp with a sign change, long enough for several records.
std::vector<double> Ramp(int count, double step, double offset) {
    std::vector<double> v;
    for (int i = 0; i < count; ++i) v.push_back(offset + step * i * ((i % 3) - 1));
    return v;
}

std::vector<double> Row(mseedsig& r, int channel) {
    std::vector<double> v;
    for (int i = 0; i < r.GetChannelLength(channel); ++i) v.push_back(r.GetSample(channel, i));
    return v;
}

std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Quarnet::QuaException& e) {
        return e.what();
    }
    return "(no exception)";
}

const std::int64_t kStart = mseedgen::Time(2024, 3, 14, 7, 42, 16, 123456);

// Where blockette 1000 keeps a record's encoding: the blockettes form a
// chain from the offset at bytes 46-47, each starting with its type and
// the offset of the next (big-endian, as the generator writes them).
size_t EncodingByte(const std::string& record) {
    auto word = [&](size_t at) { return size_t((unsigned char)record[at]) << 8 | (unsigned char)record[at + 1]; };
    for (size_t at = word(46); at != 0 && at + 4 < record.size(); at = word(at + 2))
        if (word(at) == 1000) return at + 4;
    ADD_FAILURE() << "no blockette 1000";
    return 0;
}

}  // namespace

// Every encoding gives back exactly the samples written, values beyond 16
// bits included, with the file's rate and the first sample's time to the
// microsecond.
TEST(MseedReader, EveryEncodingReadsTheExactSamples) {
    struct Case {
        Encoding encoding;
        std::vector<double> samples;
    };
    std::vector<double> wide = Ramp(700, 40000, 12345);  // far beyond 16 bits, fits Steim differences
    wide.push_back(-8388608);
    wide.push_back(8388607);
    std::vector<double> full32 = wide;
    full32.push_back(2147483647);
    full32.push_back(-2147483647);
    std::vector<double> narrow = Ramp(700, 40, -3);
    narrow.push_back(32767);
    narrow.push_back(-32768);
    std::vector<double> reals;
    for (int i = 0; i < 600; ++i) reals.push_back(std::ldexp(0.1 * (i - 300), i % 40 - 20));
    const Case cases[] = {
        {Encoding::Int16, narrow},  {Encoding::Int32, full32},  {Encoding::Steim1, wide},
        {Encoding::Steim2, wide},   {Encoding::Float32, reals}, {Encoding::Float64, reals},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(mseedgen::EncodingName(c.encoding));
        TempDir dir;
        const std::string file = dir.File("rec.mseed");
        mseedgen::WriteFile(file, {MakeTrace(c.encoding, c.samples, kStart, 250)});
        mseedsig r(file, dir.File("rec.tmp"));
        ASSERT_EQ(r.GetChannelCount(), 1);
        EXPECT_EQ(r.GetSamplingRate(0), 250);
        ASSERT_EQ(r.GetChannelLength(0), int(c.samples.size()));
        const std::vector<double> got = Row(r, 0);
        for (size_t i = 0; i < c.samples.size(); ++i) {
            const double expected =
                c.encoding == Encoding::Float32 ? double(float(c.samples[i])) : c.samples[i];
            ASSERT_EQ(got[i], expected) << "sample " << i;
        }
        EXPECT_EQ(r.StartMicroseconds, kStart);
        EXPECT_EQ(r.Year, 2024);
        EXPECT_EQ(r.Month, 3);
        EXPECT_EQ(r.Day, 14);
        EXPECT_EQ(r.Hour, 7);
        EXPECT_EQ(r.Minute, 42);
        EXPECT_EQ(r.Second, 16);
        EXPECT_EQ(r.Microsecond, 123456);
        EXPECT_EQ(r.Millisecond(), 123);
        EXPECT_NEAR(r.StartDateTime, dyma::EncodeDate(2024, 3, 14) + dyma::EncodeTime(7, 42, 16, 123) + 0.456 / 86400e3,
                    1e-10);
        EXPECT_TRUE(r.Gaps(0).empty());
    }
}

// The extremes the window scales the trace by are the channel's own.
TEST(MseedReader, ExtremesAreTheChannelsLargestAndSmallestSamples) {
    TempDir dir;
    const std::string file = dir.File("x.mseed");
    mseedgen::WriteFile(file, {MakeTrace(Encoding::Steim2, {5, -70000, 3, 123456, 0}, kStart)});
    mseedsig r(file, dir.File("x.tmp"));
    EXPECT_EQ(r.GetMaxChannelValue(0), 123456);
    EXPECT_EQ(r.GetMinChannelValue(0), -70000);
}

// Each stream becomes a channel, named by its codes, in the order the
// streams first appear; channels are aligned on the earliest first sample,
// and what a channel lacks at its start or end holds its nearest value.
TEST(MseedReader, StreamsBecomeChannelsAlignedOnTheEarliestStart) {
    TempDir dir;
    const std::string file = dir.File("two");
    Trace z = MakeTrace(Encoding::Steim2, Ramp(1500, 7, 100), kStart + 6000, 500);  // 3 samples later
    z.station = "RUD07";
    z.channel = "HHZ";
    Trace n = MakeTrace(Encoding::Int32, Ramp(1200, 11, -50), kStart, 500);
    n.station = "RUD02";
    n.location = "00";
    n.channel = "EHN";
    n.network = "KG";
    mseedgen::WriteFile(file, {z, n}, /*interleaved*/ true);

    mseedsig r(file, dir.File("two.tmp"));
    ASSERT_EQ(r.GetChannelCount(), 2);
    EXPECT_EQ(r.GetStationInfo(0)->Name, "PL.RUD07..HHZ");
    EXPECT_EQ(r.GetStationInfo(0)->Component, "HHZ");
    EXPECT_EQ(r.GetStationInfo(1)->Name, "KG.RUD02.00.EHN");
    EXPECT_EQ(r.Stream(1).location, "00");
    EXPECT_EQ(r.GetStationInfo(0)->Number, 1);
    EXPECT_EQ(r.GetStationInfo(1)->Number, 2);
    EXPECT_EQ(r.StartMicroseconds, kStart);  // the earlier stream's start
    ASSERT_EQ(r.GetChannelLength(0), 1503);
    ASSERT_EQ(r.GetChannelLength(1), 1503);

    const std::vector<double> c0 = Row(r, 0), c1 = Row(r, 1);
    for (int i = 0; i < 1500; ++i) ASSERT_EQ(c0[size_t(i + 3)], z.samples[size_t(i)]) << i;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(c0[size_t(i)], z.samples.front());
    for (int i = 0; i < 1200; ++i) ASSERT_EQ(c1[size_t(i)], n.samples[size_t(i)]) << i;
    for (int i = 1200; i < 1503; ++i) ASSERT_EQ(c1[size_t(i)], n.samples.back()) << i;

    ASSERT_EQ(r.Gaps(0).size(), 1u);
    EXPECT_EQ(r.Gaps(0)[0].first, 0);
    EXPECT_EQ(r.Gaps(0)[0].end, 3);
    ASSERT_EQ(r.Gaps(1).size(), 1u);
    EXPECT_EQ(r.Gaps(1)[0].first, 1200);
    EXPECT_EQ(r.Gaps(1)[0].end, 1503);
}

// A stretch no record covers holds the last value before it and is listed.
TEST(MseedReader, AGapHoldsTheLastValueBeforeIt) {
    TempDir dir;
    const std::string file = dir.File("gap.mseed");
    const double rate = 200;
    Trace before = MakeTrace(Encoding::Steim1, Ramp(300, 9, 1000), kStart, rate);
    Trace after = MakeTrace(Encoding::Steim1, Ramp(300, 13, -2000), kStart + 400 * 5000, rate);  // sample 400
    mseedgen::WriteFile(file, {after, before});  // out of time order in the file

    mseedsig r(file, dir.File("gap.tmp"));
    ASSERT_EQ(r.GetChannelCount(), 1);
    ASSERT_EQ(r.GetChannelLength(0), 700);
    const std::vector<double> row = Row(r, 0);
    for (int i = 0; i < 300; ++i) ASSERT_EQ(row[size_t(i)], before.samples[size_t(i)]);
    for (int i = 300; i < 400; ++i) ASSERT_EQ(row[size_t(i)], before.samples.back()) << i;
    for (int i = 0; i < 300; ++i) ASSERT_EQ(row[size_t(400 + i)], after.samples[size_t(i)]);
    ASSERT_EQ(r.Gaps(0).size(), 1u);
    EXPECT_EQ(r.Gaps(0)[0].first, 300);
    EXPECT_EQ(r.Gaps(0)[0].end, 400);
}

// A file's contents that the program cannot take give a clear reason and
// no container.
TEST(MseedReader, RefusedFilesSayWhy) {
    struct Case {
        const char* what;
        std::function<std::string(const TempDir&)> make;
        const char* expected;
    };
    auto written = [](std::vector<Trace> traces) {
        return [traces](const TempDir& d) {
            const std::string f = d.File("f.mseed");
            mseedgen::WriteFile(f, traces);
            return f;
        };
    };
    Trace a = MakeTrace(Encoding::Steim2, Ramp(400, 3, 0), kStart, 100);
    Trace b = a;
    b.station = "OTHER";
    b.rate = 200;
    Trace slow = a;
    slow.rate = 19.98;
    Trace text = a;
    text.encoding = Encoding::Text;
    text.samples.assign(100, 'x');
    std::vector<Trace> many;
    for (int i = 0; i < 97; ++i) {
        Trace t = MakeTrace(Encoding::Int32, {1, 2, 3}, kStart, 100);
        t.station = "S" + std::to_string(i);
        many.push_back(t);
    }
    Trace farAway = a;
    farAway.start = a.start + std::int64_t(3600) * 24 * 365 * 1000000;  // a year later
    const Case cases[] = {
        {"records a year apart", written({a, farAway}), "czas któregoś rekordu jest uszkodzony"},
        {"two rates", written({a, b}), "różne częstotliwości próbkowania: PL.STA01..HHZ 100 Hz, PL.OTHER..HHZ 200 Hz"},
        {"a rate that is not a whole number", written({slow}), "(19.98 Hz) nie jest całkowitą liczbą próbek"},
        {"text records only", written({text}), "nie zawiera próbek sygnału"},
        {"97 streams", written(many), "ma 97 kanałów; program przyjmuje najwyżej 96"},
        {"missing file", [](const TempDir& d) { return d.File("none.mseed"); }, "Plik nie istnieje"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = c.make(dir);
        const std::string message = FailureOf([&] { mseedsig(file, dir.File("t.tmp")); });
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_FALSE(std::filesystem::exists(dir.File("t.tmp")));
    }
}

// Damaged bytes end in the library's reason, never in a crash or in
// samples that are not the recorded ones.
TEST(MseedReader, DamagedRecordsGiveTheLibrarysReason) {
    Trace t = MakeTrace(Encoding::Steim2, Ramp(2000, 1000, 7), kStart, 100);
    const std::vector<std::string> records = mseedgen::PackRecords(t);
    ASSERT_GE(records.size(), 4u);
    auto joined = [&](const std::function<void(std::vector<std::string>&)>& change) {
        std::vector<std::string> r = records;
        change(r);
        std::string out;
        for (const std::string& s : r) out += s;
        return out;
    };
    struct Case {
        const char* what;
        std::string bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"cut inside the third record", joined([](auto& r) { r[2].resize(200); }), "rekord nr 3 (bajt 1024)"},
        {"garbage instead of a header", joined([](auto& r) { r[1].replace(0, 8, "garbage!"); }),
         "rekord nr 2 (bajt 512)"},
        {"a Steim frame overwritten",
         joined([](auto& r) {
             for (size_t i = 128; i < 256; ++i) r[1][i] = char(0x5A);
         }),
         "rekord nr 2"},
        {"an unknown encoding", joined([](auto& r) { r[0][EncodingByte(r[0])] = char(99); }), "rekord nr 1"},
        {"the file cut inside its last record", joined([](auto& r) { r.back().resize(300); }),
         "zostało 300 bajtów"},
        {"bytes after the last record", joined([](auto& r) { r.push_back("trailing bytes, no record"); }),
         "zostało 25 bajtów"},
        {"zeros after the last record", joined([](auto& r) { r.push_back(std::string(512, '\0')); }),
         "miniSEED"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = dir.Write("bad.mseed", c.bytes);
        const std::string message = FailureOf([&] { mseedsig(file, dir.File("t.tmp")); });
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_NE(message.find("miniSEED"), std::string::npos) << message;
        EXPECT_FALSE(std::filesystem::exists(dir.File("t.tmp")));
    }
}

// A damaged record on which the library's diagnostics go round for ever
// (found by fuzzing) is refused with a reason instead of hanging the
// program and filling its memory.
TEST(MseedReader, ARecordTheLibraryCannotFinishIsRefused) {
    TempDir dir;
    const std::string message =
        FailureOf([&] { mseedsig(MSEED_TEST_DATA "/endless-diagnostics.mseed", dir.File("t.tmp")); });
    EXPECT_NE(message.find("miniSEED"), std::string::npos) << message;
    EXPECT_NE(message.find("nie kończy odczytu"), std::string::npos) << message;
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.tmp")));
}

// A long gap is still a gap: the record is read with it.
TEST(MseedReader, AGapOfAMinuteIsStillRead) {
    TempDir dir;
    Trace first = MakeTrace(Encoding::Steim2, Ramp(400, 3, 0), kStart, 100);
    Trace later = first;
    later.start = kStart + std::int64_t(50) * 1000000;
    const std::string file = dir.File("long.mseed");
    mseedgen::WriteFile(file, {first, later});
    mseedsig r(file, dir.File("long.tmp"));
    EXPECT_EQ(r.GetChannelLength(0), 5400);
    ASSERT_EQ(r.Gaps(0).size(), 1u);
    EXPECT_EQ(r.Gaps(0)[0].first, 400);
    EXPECT_EQ(r.Gaps(0)[0].end, 5000);
}

TEST(MseedReader, TheSampleTableIsNeverTheSignalFile) {
    TempDir dir;
    const std::string file = dir.File("same.mseed");
    mseedgen::WriteFile(file, {MakeTrace(Encoding::Int32, {1, 2, 3}, kStart)});
    const std::string before = dyma::test::ReadAll(file);
    EXPECT_NE(FailureOf([&] { mseedsig(file, file); }).find("nie może być plikiem sygnału"), std::string::npos);
    EXPECT_EQ(dyma::test::ReadAll(file), before);
}

// Without a station a channel has no place and cannot take part in a
// mechanism; its station makes it active.
TEST(MseedReader, AChannelIsActiveOnlyWithItsStation) {
    TempDir dir;
    const std::string file = dir.File("s.mseed");
    Trace t2 = MakeTrace(Encoding::Int32, {4, 5, 6}, kStart);
    t2.station = "STA02";
    mseedgen::WriteFile(file, {MakeTrace(Encoding::Int32, {1, 2, 3}, kStart), t2});
    mseedsig r(file, dir.File("s.tmp"));
    EXPECT_FALSE(r.GetChannelExists(0));
    EXPECT_FALSE(r.HasStation(1));
    r.SetStation(1, 24750.5, -755.25, -820, true);
    EXPECT_FALSE(r.GetChannelExists(0));
    EXPECT_TRUE(r.GetChannelExists(1));
    EXPECT_TRUE(r.HasStation(1));
    EXPECT_TRUE(r.Reversed(1));
    EXPECT_EQ(r.GetStationInfo(1)->X, 24750.5);
    EXPECT_EQ(r.GetStationInfo(1)->Y, -755.25);
    EXPECT_EQ(r.GetStationInfo(1)->Z, -820);
}

