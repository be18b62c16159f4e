// The signal container that signal readers derive from and the program reads
// channels through: up to 96 channels, each with its station record, the
// samples held in a disk table with a row per channel.
//
// Channels are checked on every access. A channel outside the container
// raises std::out_of_range; a sample index outside the record reads as 0
// (silence before the record's start and after its end), since the program
// asks for the sample under the mouse pointer, which may lie just past the
// last one. Writing outside the record raises std::out_of_range instead: a
// dropped write would be lost data.
#pragma once

#include "lgsig/qualib/disktable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Kelo {

constexpr int kChannelSlots = 96;

// Files that carry no sampling rate (the 32-channel MBI records) report this
// one, a rate underground mine networks commonly record at (its Nyquist
// frequency of 250 Hz lies above the band of their geophones). It keeps the
// record length and the time axis finite; picks map time back to samples
// with the same rate, so they stay on the samples the operator chose.
constexpr int kDefaultSamplingRate = 500;

// The record of one channel. A reader sets what its file says; every other
// field keeps the default below, which is what a channel record of zeros
// means in the district's files (no coordinates, velocity sensor), with unit
// factors so that nothing derived from them scales a signal to zero.
struct StationInfo {
    std::int16_t Number = 0;  // the container numbers its slots 1 to 96
    std::uint8_t Enabled = 1;
    std::string Name;
    std::string Component;
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    char SensorType = 'v';
    int Length = 0;  // samples
    int SamplingRate = kDefaultSamplingRate;  // per second
    double Factor1 = 1.0;
    double Factor2 = 1.0;
    double Factor3 = 1.0;
};

class signalprocessing {
public:
    // The options list is not used by the container; readers may read it.
    explicit signalprocessing(const std::string& fileName, const std::vector<std::string>& options = {});
    virtual ~signalprocessing();
    signalprocessing(const signalprocessing&) = delete;
    signalprocessing& operator=(const signalprocessing&) = delete;

    // The virtual operations, in the order the readers' tables rely on.
    virtual double GetLongitude();
    virtual double GetLatitude();
    virtual double GetDepth();
    virtual int GetChannelCount();
    virtual int GetMinChannel();
    virtual int GetMaxChannel();
    virtual double GetMaxChannelValue(int channel);
    virtual double GetMinChannelValue(int channel);
    virtual bool GetStationInfoExists();
    // A channel's conversion factor is built from its station's factors, so
    // it exists exactly when the station records do.
    virtual bool GetRecounterExists();
    virtual double GetSample(int channel, const int& index);
    // Address of sample index in the cached row, valid until another channel
    // is read; null outside the record.
    virtual double* GetSampleBlockAddress(int channel, int index);
    // The sample rounded to the nearest integer (0 outside the record).
    virtual int GetSampleInt(int channel, int index);
    // The channel's samples from index to the end as integers, in a buffer
    // of the container valid until the next call; null outside the record.
    virtual int* GetSampleBlockAddressInt(int channel, int index);
    // The slot's record (channels 0 to 95), valid for the container's life.
    virtual StationInfo* GetStationInfo(int channel);
    // True for an active channel of the record; false for any other number.
    virtual bool GetChannelExists(int channel);
    // The slot's activity flag (channels 0 to 95), false for other numbers.
    virtual bool GetChannelActive(int channel);
    virtual void PutSample(int channel, int index, double value);
    // The event location; the container keeps it when a reader provides one
    // and reports 0 otherwise.
    virtual double GetX();
    virtual double GetY();
    virtual double GetZ();
    virtual bool GetLocationExists();

    // Computes every channel's largest and smallest sample.
    void CalcMaxChnlVal();
    int GetChannelLength(int channel);
    int GetSamplingRate(int channel);

    std::string FileName;
    std::string Extension;  // with its dot, as written in the file name

protected:
    int ChannelCount = 0;
    int MinChannel = 0;
    int MaxChannel = -1;
    bool LocationExists = false;
    bool StationInfoExists = false;
    std::array<bool, kChannelSlots> ChannelActive{};
    std::array<StationInfo, kChannelSlots> Stations;
    Quarnet::DiskTable<double> Samples;
    std::vector<std::string> Options;

    // For a reader that meets every sample of a channel while filling it:
    // the channel's extremes as CalcMaxChnlVal would find them, without
    // another pass over the table.
    void SetChannelExtremes(int channel, double lowest, double highest);

    double Longitude = 0.0;
    double Latitude = 0.0;
    double Depth = 0.0;
    double LocationX = 0.0;
    double LocationY = 0.0;
    double LocationZ = 0.0;

private:
    void CheckChannel(int channel, const char* operation) const;
    static void CheckSlot(int channel, const char* operation);
    // Samples of the channel that the record and the table both hold.
    int RecordLength(int channel) const;
    void UpdateExtremes(int channel);

    std::array<double, kChannelSlots> MaxValue{};
    std::array<double, kChannelSlots> MinValue{};
    std::array<bool, kChannelSlots> ExtremesKnown{};
    std::vector<int> IntBlock;
};

}  // namespace Kelo
