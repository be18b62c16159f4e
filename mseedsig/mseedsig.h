// The reader of miniSEED files (SEED data records, the exchange format of
// observatories), through libmseed. Like the LGOM reader, its constructor
// does the whole job and fills the signal container:
// - every stream of the file (network, station, location, channel) becomes
//   a channel, in the order the streams first appear, with its samples
//   exactly as the records hold them (32-bit integers, floats and doubles
//   all fit a double without rounding);
// - the channels are aligned on the earliest first sample of the file: a
//   sample's index is its time from there times the common sampling rate,
//   rounded to the nearest sample;
// - a stretch that no record covers (a gap, or the beginning and end of a
//   channel that starts later or ends earlier than the others) holds the
//   last value before it (the first value for a leading stretch), so that
//   a trace never jumps to zero; the stretches are listed per channel;
// - one sampling rate for the whole file, a whole number of samples per
//   second: the program keeps one integer rate for every channel.
//
// A miniSEED file carries no station coordinates. Every channel starts
// without them, inactive (it cannot take part in a mechanism), until the
// owner gives it its place from a station table (SetStation).
//
// Full SEED volumes (with their control headers) are not read: the file
// must hold data records only (the program's open function tells the
// operator so before it comes here). Every failure leaves the constructor as an
// exception: QuaEIOError for a file that cannot be read, QuaEWrongOperation
// for contents the program cannot take, with libmseed's own reason for a
// damaged record; the temporary file is then gone.
#pragma once

#include "kelsig/signalprocessing.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Quarnet {

// The code in the format-code field of the program's file descriptions; the
// LGOM layouts use 1 to 17.
inline constexpr int kMiniSeedFormatCode = 100;
inline constexpr char kMiniSeedFormatName[] = "miniSEED";

struct SeedStream {
    std::string network, station, location, channel;
    // "NET.STA.LOC.CHA", the location empty when the records have none.
    std::string Id() const;
};

// Samples first .. end - 1 of a channel that no record holds.
struct SampleGap {
    int first = 0;
    int end = 0;
};

class mseedsig : public Kelo::signalprocessing {
public:
    mseedsig(const std::string& fileName, const std::string& tempFileName,
             const std::vector<std::string>& options = {});
    ~mseedsig() override;

    std::string TempFileName;
    std::string FormatName = kMiniSeedFormatName;
    int FormatCode = kMiniSeedFormatCode;
    // The time of the record's first sample (UTC), as libmseed keeps it:
    // microseconds since 1970-01-01, and broken down.
    std::int64_t StartMicroseconds = 0;
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
    int Microsecond = 0;  // within the second
    int Millisecond() const { return Microsecond / 1000; }
    double StartDate = 0.0;  // days since 1899-12-30
    double StartTime = 0.0;  // fraction of a day
    double StartDateTime = 0.0;

    // The stream of a channel (0 .. GetChannelCount() - 1).
    const SeedStream& Stream(int channel) const;
    // The stretches of the channel filled in, in time order.
    const std::vector<SampleGap>& Gaps(int channel) const;

    // Places the channel's station (metres, x north, y east, z up) and
    // makes the channel active; `reversed` marks a sensor wired the other
    // way round.
    void SetStation(int channel, double x, double y, double z, bool reversed);
    bool HasStation(int channel) const;
    bool Reversed(int channel) const;

private:
    struct Piece;
    struct StreamData;
    std::vector<StreamData> ReadRecords();
    int CommonRate(const std::vector<StreamData>& streams) const;
    void FillTable(std::vector<StreamData>& streams, int rate);
    void SetStart(std::int64_t microseconds);
    void CheckTempFile() const;
    void CheckChannelIndex(int channel, const char* operation) const;

    std::vector<SeedStream> Streams;
    std::vector<std::vector<SampleGap>> ChannelGaps;
    std::vector<bool> StationPlaced;
    std::vector<bool> SensorReversed;
};

}  // namespace Quarnet
