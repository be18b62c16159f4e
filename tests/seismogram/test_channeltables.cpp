// The pick list, station table and NET station rows the window and the
// command-line tool share.
#include "app/seismogram/channeltables.h"
#include "app/settings/settings.h"
#include "app/solver/solverfiles.h"

#include <gtest/gtest.h>

using namespace dyma;

namespace {

ChannelFacts Channel(int number, const std::string& component, double x, double y, double z, bool exists = true) {
    ChannelFacts c;
    c.Number = number;
    c.Component = component;
    c.X = x;
    c.Y = y;
    c.Z = z;
    c.Exists = exists;
    return c;
}

// A complete pick in the channel's section; `edit` spoils one key.
void Pick(IniImage& image, int ident, const std::string& key = {}, const std::string& value = {}) {
    const std::string s = ChannelSection(ident);
    image.WriteString(s, "Name", "99");  // what an older network called it
    image.WriteString(s, "Skladowa", "Q");
    image.WriteString(s, "WaveType", "A");
    image.WriteString(s, "Wage", "0,7");
    image.WriteString(s, "MarkerPosition", "1.0465");
    image.WriteString(s, "FirstArrival", "-");
    if (!key.empty()) image.WriteString(s, key, value);
}

}  // namespace

TEST(PickList, OnlyCompletePicksOfChannelsWithASignalInChannelOrder) {
    std::vector<ChannelFacts> channels;
    for (int i = 0; i < 8; ++i) channels.push_back(Channel(21 + i, "ZZ", 100.0 * i, 0, -800));
    channels[6].Exists = false;
    IniImage image;
    Pick(image, 5);
    Pick(image, 1);
    Pick(image, 2, "WaveType", "-");
    Pick(image, 3, "Wage", "0");
    Pick(image, 4, "MarkerPosition", "-1");
    image.EraseSection(ChannelSection(4));
    image.WriteString(ChannelSection(4), "WaveType", "C");  // wave type and weight only: no marker yet
    image.WriteString(ChannelSection(4), "Wage", "1");
    Pick(image, 6, "Active", "0");
    Pick(image, 7);  // channel without a signal
    image.WriteInteger(ChannelSection(8), "Polarity", 1);  // a section with nothing but the polarity

    const std::vector<PickRow> rows = BuildPickRows(image, channels);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Ident, 1);
    EXPECT_EQ(rows[1].Ident, 5);
    EXPECT_EQ(rows[2].Ident, 6);
    EXPECT_EQ(rows[1].Name, "25") << "the station number of the channel, not the section's old name";
    EXPECT_EQ(rows[1].Skladowa, "ZZ");
    EXPECT_EQ(rows[1].WaveType, "A");
    EXPECT_EQ(rows[1].FirstArrival, "-");
    EXPECT_DOUBLE_EQ(rows[1].Wage, 0.7);
    EXPECT_DOUBLE_EQ(rows[1].MarkerPosition, 1.0465);
    EXPECT_TRUE(rows[1].Active);
    EXPECT_FALSE(rows[2].Active) << "an unticked pick stays in the list, unchecked";
    EXPECT_EQ(CheckedRowCount(rows), 2);
}

TEST(PickList, ProcessingNeedsMoreThanTenAfterARefreshAndTenAfterAClick) {
    std::vector<PickRow> rows(11);
    EXPECT_TRUE(ReadyAfterRefresh(rows));
    rows[3].Active = false;
    EXPECT_FALSE(ReadyAfterRefresh(rows));
    EXPECT_TRUE(ReadyAfterClick(CheckedRowCount(rows)));
    EXPECT_FALSE(ReadyAfterClick(9));
}

TEST(PickList, ColumnsAsTheListShowsThem) {
    PickRow row;
    row.Ident = 7;
    row.Name = "12";
    row.Skladowa = "ZZ";
    row.WaveType = "B";
    row.FirstArrival = "+";
    row.Wage = 0.7;
    row.MarkerPosition = 1.0465;
    row.Active = false;
    DataPageValues tremor;
    tremor.X = "1000";
    tremor.Y = "2000,5";
    tremor.Z = "-900";
    const ChannelFacts c = Channel(12, "ZZ", 1300, 2400.5, -900);
    const PickListCells cells = PickListRow(row, c, tremor, ',');
    EXPECT_EQ(cells.cells, (std::array<std::string, 8>{"12", "ZZ", "07", "B", "1,047", "+", "0,7", "500"}));
    EXPECT_FALSE(cells.checked);
}

TEST(StationTable, TwelveColumnsWithTheirFormatsAndThePolarityOfTheDocument) {
    ChannelFacts c = Channel(3, "NS", 24750.25, -17444, -755.04);
    c.SensorType = 'a';
    c.Recounter = 0.005 / 8;
    c.Factor1 = 2.5;
    std::vector<ChannelFacts> channels{c, Channel(4, "ZZ", 0, 0, 0)};

    IniImage image;
    image.WriteInteger(ChannelSection(2), "Polarity", -1);
    EnsureChannelPolarities(image, 2);
    EXPECT_EQ(image.ReadInteger(ChannelSection(1), "Polarity", 0), 1) << "a missing polarity is written as 1";
    EXPECT_EQ(image.ReadInteger(ChannelSection(2), "Polarity", 0), -1) << "a stored one is kept";

    const auto rows = StationTableRows(image, channels, ',');
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::array<std::string, 12>{"3", "1", "NS", "a", "24750,3", "-17444,0", "-755,0", "6,3E-4",
                                                    "2,5", "0,0", "0,0", "Norm"}));
    EXPECT_EQ(rows[1][1], "2");
    EXPECT_EQ(rows[1][kPolarityColumn], "Rev");
    EXPECT_EQ(std::string(kStationTableColumns[kPolarityColumn]), "Polaryzacja");
}

TEST(NetStations, EveryChannelWithItsLabelAndCoordinates) {
    std::vector<ChannelFacts> channels{Channel(123, "NS", 1000, 2000, -650, false), Channel(7, "ZZ", -500, 0, -1000)};
    EXPECT_EQ(ChannelLabel(channels[0]), "123NS");
    Settings settings;
    const std::vector<std::string> net = BuildNet(settings, NetStations(channels), ',');
    ASSERT_EQ(net.size(), 3u) << "a channel without a signal still belongs to the network";
    EXPECT_EQ(net[1], "123N      1.000      2.000       .650");
    EXPECT_EQ(net[2], "7ZZ       -.500       .000      1.000");
}
