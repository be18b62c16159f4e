#include "signalprocessing.h"

#include <climits>
#include <cmath>
#include <stdexcept>

namespace Kelo {
namespace {

// The extension with its dot, taken from the file-name part only: "a.b/c"
// has none, a file named ".mbj" has ".mbj".
std::string ExtensionOf(const std::string& fileName) {
    const std::size_t separator = fileName.find_last_of("/\\");
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    return fileName.substr(dot);
}

int RoundToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(std::lround(value));
}

}  // namespace

signalprocessing::signalprocessing(const std::string& fileName, const std::vector<std::string>& options)
    : FileName(fileName), Extension(ExtensionOf(fileName)), Options(options) {
    // Slots are numbered like the channels of the district's newest files,
    // so channels of a file without station numbers still have distinct
    // labels in the pick list and the solver's files.
    for (int i = 0; i < kChannelSlots; ++i) Stations[i].Number = static_cast<std::int16_t>(i + 1);
}

signalprocessing::~signalprocessing() = default;

double signalprocessing::GetLongitude() { return Longitude; }
double signalprocessing::GetLatitude() { return Latitude; }
double signalprocessing::GetDepth() { return Depth; }
int signalprocessing::GetChannelCount() { return ChannelCount; }
int signalprocessing::GetMinChannel() { return MinChannel; }
int signalprocessing::GetMaxChannel() { return MaxChannel; }

double signalprocessing::GetMaxChannelValue(int channel) {
    CheckChannel(channel, "GetMaxChannelValue");
    if (!ExtremesKnown[channel]) UpdateExtremes(channel);
    return MaxValue[channel];
}

double signalprocessing::GetMinChannelValue(int channel) {
    CheckChannel(channel, "GetMinChannelValue");
    if (!ExtremesKnown[channel]) UpdateExtremes(channel);
    return MinValue[channel];
}

bool signalprocessing::GetStationInfoExists() { return StationInfoExists; }
bool signalprocessing::GetRecounterExists() { return StationInfoExists; }

double signalprocessing::GetSample(int channel, const int& index) {
    CheckChannel(channel, "GetSample");
    if (index < 0 || index >= RecordLength(channel)) return 0.0;
    return Samples.Line(channel)[index];
}

double* signalprocessing::GetSampleBlockAddress(int channel, int index) {
    CheckChannel(channel, "GetSampleBlockAddress");
    if (index < 0 || index >= RecordLength(channel)) return nullptr;
    return Samples.Line(channel) + index;
}

int signalprocessing::GetSampleInt(int channel, int index) { return RoundToInt(GetSample(channel, index)); }

int* signalprocessing::GetSampleBlockAddressInt(int channel, int index) {
    CheckChannel(channel, "GetSampleBlockAddressInt");
    const int length = RecordLength(channel);
    if (index < 0 || index >= length) return nullptr;
    const double* row = Samples.Line(channel);
    IntBlock.resize(static_cast<std::size_t>(length - index));
    for (int i = index; i < length; ++i) IntBlock[static_cast<std::size_t>(i - index)] = RoundToInt(row[i]);
    return IntBlock.data();
}

StationInfo* signalprocessing::GetStationInfo(int channel) {
    CheckSlot(channel, "GetStationInfo");
    return &Stations[channel];
}

bool signalprocessing::GetChannelExists(int channel) {
    return channel >= MinChannel && channel <= MaxChannel && channel < kChannelSlots && ChannelActive[channel];
}

bool signalprocessing::GetChannelActive(int channel) {
    return channel >= 0 && channel < kChannelSlots && ChannelActive[channel];
}

void signalprocessing::PutSample(int channel, int index, double value) {
    CheckChannel(channel, "PutSample");
    if (index < 0 || index >= RecordLength(channel))
        throw std::out_of_range("signalprocessing::PutSample(): Wrong sample number.");
    Samples.Line(channel)[index] = value;
    ExtremesKnown[channel] = false;
}

double signalprocessing::GetX() { return LocationX; }
double signalprocessing::GetY() { return LocationY; }
double signalprocessing::GetZ() { return LocationZ; }
bool signalprocessing::GetLocationExists() { return LocationExists; }

void signalprocessing::CalcMaxChnlVal() {
    for (int channel = MinChannel; channel <= MaxChannel; ++channel) UpdateExtremes(channel);
}

void signalprocessing::SetChannelExtremes(int channel, double lowest, double highest) {
    CheckChannel(channel, "SetChannelExtremes");
    MinValue[channel] = lowest;
    MaxValue[channel] = highest;
    ExtremesKnown[channel] = true;
}

int signalprocessing::GetChannelLength(int channel) {
    CheckSlot(channel, "GetChannelLength");
    return Stations[channel].Length;
}

int signalprocessing::GetSamplingRate(int channel) {
    CheckSlot(channel, "GetSamplingRate");
    return Stations[channel].SamplingRate;
}

void signalprocessing::CheckChannel(int channel, const char* operation) const {
    if (channel < MinChannel || channel > MaxChannel || channel < 0 || channel >= kChannelSlots)
        throw std::out_of_range(std::string("signalprocessing::") + operation + "(): Wrong channel number.");
}

void signalprocessing::CheckSlot(int channel, const char* operation) {
    if (channel < 0 || channel >= kChannelSlots)
        throw std::out_of_range(std::string("signalprocessing::") + operation + "(): Wrong channel number.");
}

int signalprocessing::RecordLength(int channel) const {
    // A reader that has not filled the table yet has no rows to read.
    if (channel >= Samples.GetRowSize()) return 0;
    const int length = Stations[channel].Length;
    return length < Samples.GetColumnSize() ? length : Samples.GetColumnSize();
}

void signalprocessing::UpdateExtremes(int channel) {
    const int length = RecordLength(channel);
    double highest = 0.0;
    double lowest = 0.0;
    if (length > 0) {
        const double* row = Samples.Line(channel);
        highest = lowest = row[0];
        for (int i = 1; i < length; ++i) {
            if (row[i] > highest) highest = row[i];
            if (row[i] < lowest) lowest = row[i];
        }
    }
    MaxValue[channel] = highest;
    MinValue[channel] = lowest;
    ExtremesKnown[channel] = true;
}

}  // namespace Kelo
