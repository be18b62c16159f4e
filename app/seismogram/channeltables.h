// The tables the seismogram window derives from the channels of its signal
// file and the picks of its document: the pick list ("Plik przetwarzania"),
// the station table ("Sieć") and the station records of NPF.NET. They live
// here as plain values so that the window and the command-line tool list
// exactly the same rows and give the solver exactly the same files.
#pragma once

#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/solver/solverfiles.h"

#include <array>
#include <string>
#include <vector>

namespace dyma {

// What the tables need to know about one channel of the signal file (its
// station record and what the reader says about it), in channel order.
struct ChannelFacts {
    int Number = 0;          // the station number
    std::string Name;        // the station name of the record
    std::string Component;
    char SensorType = 'v';
    double X = 0, Y = 0, Z = 0;  // metres, Z negative below sea level
    double Factor1 = 1;
    double Recounter = 0;    // the reader's conversion factor of the channel
    bool Exists = false;     // the channel holds a signal (GetChannelExists)
    // A miniSEED channel: its stream codes, and whether its station table
    // marks the sensor as reversed. Empty and false for LGOM channels.
    std::string Network, Station, Location, Channel;
    bool Reversed = false;
};

// The channel label the solver files and the solution use: the station
// number as decimal text followed directly by the component.
std::string ChannelLabel(const ChannelFacts& channel);

// ---- the pick list
// The complete picks of the document in channel order: for every channel
// whose section exists, a row unless its wave type is "-", its weight 0,
// its marker unset (-1) or the channel holds no signal. Name and Skladowa
// come from the channel's station record, not from the section, so a
// section copied from another network cannot mislabel a station.
std::vector<PickRow> BuildPickRows(const IniImage& image, const std::vector<ChannelFacts>& channels);

// The columns of one row as the list shows them.
inline constexpr std::array<const char*, 8> kPickListColumns = {
    "Nazwa", "Skladowa", "Identyfikator", "Fala", "Marker", "Wstąpienie", "Waga", "Odległość"};
struct PickListCells {
    std::array<std::string, 8> cells;
    bool checked = true;
};
// `tremor` holds the data page's X, Y, Z texts (the distance column).
PickListCells PickListRow(const PickRow& row, const ChannelFacts& channel, const DataPageValues& tremor,
                          char decimalSeparator);

int CheckedRowCount(const std::vector<PickRow>& rows);
// Processing may start with more than ten checked picks after the list is
// refreshed, and with ten or more after the operator ticks in the list.
bool ReadyAfterRefresh(const std::vector<PickRow>& rows);
bool ReadyAfterClick(int checkedRows);

// ---- the station table
inline constexpr std::array<const char*, 12> kStationTableColumns = {
    "Nazwa", "Identyfikator", "Składowa", "Typ", "X", "Y",
    "Z", "Przelicznik", "Wzmocnienie", "Czułość", "Tłumienie", "Polaryzacja"};
inline constexpr size_t kPolarityColumn = 11;

// The window writes Polarity = 1 into every channel's section that lacks
// one as soon as it lists the stations; -1 for a channel whose station
// table marks its sensor reversed. A Polarity already in the document is
// the operator's and stays.
void EnsureChannelPolarities(IniImage& image, const std::vector<ChannelFacts>& channels);
// The same for channels that know nothing of reversed sensors.
void EnsureChannelPolarities(IniImage& image, int channelCount);

// "Norm" for a channel Polarity of 1, "Rev" for any other value.
std::string PolarityText(long long polarity);

// One row per channel; the polarity column from the image (default 1).
std::vector<std::array<std::string, 12>> StationTableRows(const IniImage& image,
                                                          const std::vector<ChannelFacts>& channels,
                                                          char decimalSeparator);

// ---- NPF.NET
// Every channel of the signal file, picked or not.
std::vector<NetStation> NetStations(const std::vector<ChannelFacts>& channels);

}  // namespace dyma
