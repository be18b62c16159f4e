#include "kelsig/signalprocessing.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <stdexcept>

using dyma::test::TempDir;

namespace {

// A reader in miniature: channels from vectors, even channels active.
class VectorContainer : public Kelo::signalprocessing {
public:
    VectorContainer(const std::string& tempFile, const std::vector<std::vector<double>>& rows)
        : Kelo::signalprocessing("/data/2024/rec.MBJ") {
        ChannelCount = static_cast<int>(rows.size());
        MaxChannel = ChannelCount - 1;
        int columns = 1;
        for (const auto& r : rows) columns = std::max(columns, static_cast<int>(r.size()));
        Samples.Open(tempFile, ChannelCount, columns, 0.0);
        for (int c = 0; c < ChannelCount; ++c) {
            std::copy(rows[c].begin(), rows[c].end(), Samples.Line(c));
            Stations[c].Length = static_cast<int>(rows[c].size());
            ChannelActive[c] = c % 2 == 0;
        }
        CalcMaxChnlVal();
    }
    void SetLength(int channel, int length) { Stations[channel].Length = length; }
};

}  // namespace

TEST(SignalContainer, EmptyContainerHasDefinedDefaults) {
    Kelo::signalprocessing empty("/data/rec.v1/.mbi");
    EXPECT_EQ(empty.FileName, "/data/rec.v1/.mbi");
    EXPECT_EQ(empty.Extension, ".mbi");
    EXPECT_EQ(Kelo::signalprocessing("/data/rec.v1/signal").Extension, "");
    EXPECT_EQ(empty.GetChannelCount(), 0);
    EXPECT_EQ(empty.GetMinChannel(), 0);
    EXPECT_EQ(empty.GetMaxChannel(), -1);
    EXPECT_FALSE(empty.GetStationInfoExists());
    EXPECT_FALSE(empty.GetRecounterExists());
    EXPECT_FALSE(empty.GetLocationExists());
    EXPECT_EQ(empty.GetX() + empty.GetY() + empty.GetZ() + empty.GetLongitude() + empty.GetLatitude() +
                  empty.GetDepth(),
              0.0);

    // What a file without station records reports: slots numbered from 1,
    // a finite record at the default rate, neutral factors.
    for (int slot : {0, 95}) {
        const Kelo::StationInfo* s = empty.GetStationInfo(slot);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->Number, slot + 1);
        EXPECT_EQ(s->Enabled, 1);
        EXPECT_EQ(s->Name, "");
        EXPECT_EQ(s->Component, "");
        EXPECT_EQ(s->X + s->Y + s->Z, 0.0);
        EXPECT_EQ(s->SensorType, 'v');
        EXPECT_EQ(s->Length, 0);
        EXPECT_EQ(s->SamplingRate, 500);
        EXPECT_EQ(s->Factor1 * s->Factor2 * s->Factor3, 1.0);
    }
    EXPECT_EQ(empty.GetSamplingRate(0), 500);
    EXPECT_EQ(empty.GetChannelLength(0), 0);
}

TEST(SignalContainer, ChannelNumbersOutsideTheContainerAreRejected) {
    Kelo::signalprocessing empty("x.mbj");
    EXPECT_THROW(empty.GetSample(0, 0), std::out_of_range);
    EXPECT_THROW(empty.GetMaxChannelValue(0), std::out_of_range);
    EXPECT_THROW(empty.GetStationInfo(96), std::out_of_range);
    EXPECT_THROW(empty.GetStationInfo(-1), std::out_of_range);
    EXPECT_THROW(empty.GetSamplingRate(96), std::out_of_range);
    EXPECT_FALSE(empty.GetChannelExists(0));
    EXPECT_FALSE(empty.GetChannelActive(200));

    TempDir dir;
    VectorContainer c(dir.File("t.tmp"), {{1, 2}, {3, 4}});
    try {
        c.GetSample(2, 0);
        FAIL() << "channel 2 of 2 was read";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "signalprocessing::GetSample(): Wrong channel number.");
    }
    EXPECT_THROW(c.PutSample(-1, 0, 1.0), std::out_of_range);
    EXPECT_THROW(c.GetSampleBlockAddress(2, 0), std::out_of_range);
}

TEST(SignalContainer, SamplesReadAcrossChannelsAndOutsideTheRecordReadAsZero) {
    TempDir dir;
    VectorContainer c(dir.File("t.tmp"), {{1.0, -2.0, 3.0}, {10.0, 20.0, 30.0}, {-7.0, 7.0, 0.5}});
    EXPECT_EQ(c.GetSample(0, 2), 3.0);
    EXPECT_EQ(c.GetSample(2, 0), -7.0);
    EXPECT_EQ(c.GetSample(1, 1), 20.0);
    EXPECT_EQ(c.GetSample(0, 0), 1.0);
    // The sample under the mouse may lie one past the last one.
    EXPECT_EQ(c.GetSample(1, 3), 0.0);
    EXPECT_EQ(c.GetSample(1, -1), 0.0);
    EXPECT_EQ(c.GetSampleBlockAddress(1, 3), nullptr);
    EXPECT_EQ(c.GetSampleInt(1, 3), 0);

    // A record length beyond the table's columns never reads past the row.
    c.SetLength(1, 1000);
    EXPECT_EQ(c.GetSample(1, 999), 0.0);
    EXPECT_EQ(c.GetSample(1, 2), 30.0);
}

TEST(SignalContainer, IntegerAndBlockAccess) {
    TempDir dir;
    VectorContainer c(dir.File("t.tmp"), {{2.5, -2.5, 1e12, -0.4}, {5, 6, 7, 8}});
    EXPECT_EQ(c.GetSampleInt(0, 0), 3);
    EXPECT_EQ(c.GetSampleInt(0, 1), -3);
    EXPECT_EQ(c.GetSampleInt(0, 2), INT_MAX);
    EXPECT_EQ(c.GetSampleInt(0, 3), 0);

    const int* ints = c.GetSampleBlockAddressInt(1, 1);
    ASSERT_NE(ints, nullptr);
    EXPECT_EQ(ints[0], 6);
    EXPECT_EQ(ints[2], 8);
    EXPECT_EQ(c.GetSampleBlockAddressInt(1, 4), nullptr);

    double* block = c.GetSampleBlockAddress(1, 2);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[0], 7.0);
    EXPECT_EQ(block[1], 8.0);
}

TEST(SignalContainer, PutSampleReachesTheTableAndTheExtremesFollow) {
    TempDir dir;
    VectorContainer c(dir.File("t.tmp"), {{1, 9, -4}, {0, 0, 0}});
    EXPECT_EQ(c.GetMaxChannelValue(0), 9.0);
    EXPECT_EQ(c.GetMinChannelValue(0), -4.0);
    EXPECT_EQ(c.GetMaxChannelValue(1), 0.0);

    c.PutSample(0, 1, 2.0);   // the old largest sample goes
    c.PutSample(1, 2, -50.0);
    EXPECT_EQ(c.GetSample(1, 2), -50.0);
    EXPECT_EQ(c.GetSample(0, 1), 2.0);  // back from the file after the other channel
    EXPECT_EQ(c.GetMaxChannelValue(0), 2.0);
    EXPECT_EQ(c.GetMinChannelValue(1), -50.0);
    EXPECT_THROW(c.PutSample(0, 3, 1.0), std::out_of_range);
}

TEST(SignalContainer, ActivityAndTheTemporaryFileLifetime) {
    TempDir dir;
    const std::string temp = dir.File("t.tmp");
    {
        VectorContainer c(temp, {{1}, {2}, {3}});
        EXPECT_TRUE(c.GetChannelExists(0));
        EXPECT_FALSE(c.GetChannelExists(1));
        EXPECT_TRUE(c.GetChannelActive(2));
        EXPECT_FALSE(c.GetChannelExists(3));
        EXPECT_FALSE(c.GetChannelExists(-1));
        EXPECT_TRUE(std::filesystem::exists(temp));
        EXPECT_EQ(std::filesystem::file_size(temp), 3u * 8u);
    }
    EXPECT_FALSE(std::filesystem::exists(temp));
}
