// The LGOM reader seen through the channel facts of the model.
#include "app/seismogram/signalchannels.h"
#include "common/numberformat.h"
#include "lgsig/lgsig.h"
#include "support/tempdir.h"
#include "tools/lgomgen/lgomgen.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace dyma;

namespace {

lgomgen::Signal ThreeChannels(lgomgen::Layout layout) {
    lgomgen::Signal s;
    s.layout = layout;
    s.samplingRate = 500;
    s.headerScale = 4;
    s.channels.resize(3);
    for (int c = 0; c < 3; ++c) {
        lgomgen::Channel& ch = s.channels[static_cast<size_t>(c)];
        ch.number = 11 + c;
        ch.component = "Z";
        ch.x = 24000 + c;
        ch.y = 17000 + c;
        ch.z = -700 - c;
        ch.factor1 = 2;
        ch.factor2 = 5;
        ch.samples = {1, 2, 3};
    }
    s.channels[1].active = false;
    return s;
}

}  // namespace

TEST(SignalChannels, StationRecordsActivityAndTheRangeScaledConversionFactor) {
    test::TempDir dir;
    const std::string file = dir.File("t.min");
    lgomgen::Write(file, ThreeChannels(lgomgen::Layout::MIN32));
    Quarnet::lgsig reader(file, dir.File("t.tmp"));
    ApplyMeasuringRange(reader, 5000);
    EXPECT_DOUBLE_EQ(reader.SignalRange, 0.005);

    const std::vector<ChannelFacts> channels = ReadChannelFacts(reader);
    ASSERT_EQ(channels.size(), 3u);
    EXPECT_EQ(channels[2].Number, 13);
    EXPECT_EQ(channels[2].Component, "Z");
    EXPECT_EQ(ChannelLabel(channels[2]), "13Z");
    EXPECT_DOUBLE_EQ(channels[2].X, 24002);
    EXPECT_DOUBLE_EQ(channels[2].Z, -702);
    EXPECT_DOUBLE_EQ(channels[2].Factor1, 2);
    EXPECT_TRUE(channels[0].Exists);
    EXPECT_FALSE(channels[1].Exists) << "an inactive channel holds no signal";
    EXPECT_DOUBLE_EQ(channels[0].Recounter, 0.005 / (5 * 2 * 4));

    const SignalFacts facts = SignalFactsOf(reader, file);
    EXPECT_EQ(facts.SignalFile, file);
    EXPECT_DOUBLE_EQ(facts.Date, reader.StartDate);
    EXPECT_DOUBLE_EQ(facts.Time, reader.StartTime);
}

TEST(SignalChannels, OnlyTheDistrictsFormatsTakeTheMeasuringRange) {
    test::TempDir dir;
    const std::string file = dir.File("t.mbj");
    lgomgen::Write(file, ThreeChannels(lgomgen::Layout::MBJ));
    Quarnet::lgsig reader(file, dir.File("t.tmp"));
    reader.FormatName = "Unknown";
    reader.SignalRange = 1;
    ApplyMeasuringRange(reader, 5000);
    EXPECT_DOUBLE_EQ(reader.SignalRange, 1);
}

TEST(SignalChannels, ErrorClassNamesOfTheReaderAndTheModel) {
    EXPECT_EQ(ErrorClassName(Quarnet::QuaEIOError("x")), "QuaEIOError");
    EXPECT_EQ(ErrorClassName(Quarnet::QuaEOutOfRange("x")), "QuaEOutOfRange");
    EXPECT_EQ(ErrorClassName(Quarnet::QuaEWrongOperation("x")), "QuaEWrongOperation");
    EXPECT_EQ(ErrorClassName(ConversionError("x")), "ConversionError");
    EXPECT_EQ(ErrorClassName(std::out_of_range("x")), "std::out_of_range");
    EXPECT_EQ(ErrorClassName(std::runtime_error("x")), "std::runtime_error");
}
