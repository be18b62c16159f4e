#include "channeltables.h"

#include "app/document/tremordocument.h"
#include "common/numberformat.h"

#include <algorithm>

namespace dyma {

std::string ChannelLabel(const ChannelFacts& c) { return std::to_string(c.Number) + c.Component; }

// ------------------------------------------------------------------ pick list

std::vector<PickRow> BuildPickRows(const IniImage& image, const std::vector<ChannelFacts>& channels) {
    std::vector<PickRow> rows;
    for (size_t i = 0; i < channels.size(); ++i) {
        const int ident = static_cast<int>(i) + 1;
        if (!image.SectionExists(ChannelSection(ident))) continue;
        const ChannelPick pick = ReadChannelPick(image, ident);
        if (!pick.IsComplete() || !channels[i].Exists) continue;
        PickRow row;
        row.Ident = ident;
        row.Name = std::to_string(channels[i].Number);
        row.Skladowa = channels[i].Component;
        row.WaveType = pick.WaveType;
        row.FirstArrival = pick.FirstArrival;
        row.Wage = pick.Wage;
        row.MarkerPosition = pick.MarkerPosition;
        row.Active = pick.Active;
        rows.push_back(std::move(row));
    }
    return rows;
}

PickListCells PickListRow(const PickRow& row, const ChannelFacts& c, const DataPageValues& tremor, char sep) {
    const double distance = Distance(ParseNumber(tremor.X, sep), ParseNumber(tremor.Y, sep),
                                     ParseNumber(tremor.Z, sep), c.X, c.Y, c.Z);
    PickListCells out;
    out.cells = {row.Name,
                 row.Skladowa,
                 FormatInt(row.Ident, 2),
                 row.WaveType,
                 FormatFloat("0.000", row.MarkerPosition, sep),
                 row.FirstArrival,
                 FormatFloat("0.0", row.Wage, sep),
                 FormatFloat("0", distance, sep)};
    out.checked = row.Active;
    return out;
}

int CheckedRowCount(const std::vector<PickRow>& rows) {
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const PickRow& r) { return r.Active; }));
}

bool ReadyAfterRefresh(const std::vector<PickRow>& rows) { return CheckedRowCount(rows) > 10; }
bool ReadyAfterClick(int checkedRows) { return checkedRows >= 10; }

// ------------------------------------------------------------------ station table

void EnsureChannelPolarities(IniImage& image, const std::vector<ChannelFacts>& channels) {
    for (size_t i = 0; i < channels.size(); ++i) {
        const std::string section = ChannelSection(static_cast<int>(i) + 1);
        if (!image.ValueExists(section, "Polarity")) image.WriteInteger(section, "Polarity", channels[i].Reversed ? -1 : 1);
    }
}

void EnsureChannelPolarities(IniImage& image, int channelCount) {
    EnsureChannelPolarities(image, std::vector<ChannelFacts>(static_cast<size_t>(std::max(channelCount, 0))));
}

std::string PolarityText(long long polarity) { return polarity == 1 ? "Norm" : "Rev"; }

std::vector<std::array<std::string, 12>> StationTableRows(const IniImage& image,
                                                          const std::vector<ChannelFacts>& channels, char sep) {
    std::vector<std::array<std::string, 12>> rows;
    rows.reserve(channels.size());
    for (size_t i = 0; i < channels.size(); ++i) {
        const ChannelFacts& c = channels[i];
        const int ident = static_cast<int>(i) + 1;
        rows.push_back({std::to_string(c.Number), std::to_string(ident), c.Component, std::string(1, c.SensorType),
                        FormatFloat("0.0", c.X, sep), FormatFloat("0.0", c.Y, sep), FormatFloat("0.0", c.Z, sep),
                        FormatFloat("0.0E+0", c.Recounter, sep), FormatFloat("0.0", c.Factor1, sep),
                        FormatFloat("0.0", 0, sep), FormatFloat("0.0", 0, sep),
                        PolarityText(image.ReadInteger(ChannelSection(ident), "Polarity", 1))});
    }
    return rows;
}

// ------------------------------------------------------------------ NPF.NET

std::vector<NetStation> NetStations(const std::vector<ChannelFacts>& channels) {
    std::vector<NetStation> out;
    out.reserve(channels.size());
    for (const ChannelFacts& c : channels) out.push_back({std::to_string(c.Number), c.Component, c.X, c.Y, c.Z});
    return out;
}

}  // namespace dyma
