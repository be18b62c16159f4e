// The signal container seen through the plain values of the channel tables:
// the one place that turns a Kelo::signalprocessing (and what its reader,
// LGOM or miniSEED, knows besides) into ChannelFacts, SignalFacts and the
// description of the file.
#pragma once

#include "app/document/projectfile.h"
#include "app/seismogram/channeltables.h"

#include <exception>
#include <string>
#include <vector>

namespace Kelo {
class signalprocessing;
}

namespace dyma {

// Every channel from the first to the last (GetChannelCount), with the
// reader's conversion factor where the container is an LGOM reader, and
// the stream codes and the sensor's reversal where it is a miniSEED one.
std::vector<ChannelFacts> ReadChannelFacts(Kelo::signalprocessing& signal);

// What the reader says about the file: its kind and the start of the
// record (UTC for miniSEED, the recorder's clock for LGOM files).
struct SignalDescription {
    std::string FormatName = "Unknown";
    int FormatCode = 0;
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
    double StartDate = 0, StartTime = 0, StartDateTime = 0;  // day counts
    double HeaderScale = 0;  // LGOM files only
};
SignalDescription DescribeSignal(const Kelo::signalprocessing& signal);

// The start of the record as the document stores it.
SignalFacts SignalFactsOf(const Kelo::signalprocessing& signal, const std::string& signalFile);

// The district's files ("KGHM" in the format name) scale their counts by the
// measuring range: SignalRange = range in millivolts x 0.001 x 0.001. Other
// formats keep their range.
void ApplyMeasuringRange(Kelo::signalprocessing& signal, double zakresMillivolts);

// Samples first .. end - 1 of a channel that the file does not hold (filled
// in by the reader), in time order; none for LGOM files.
struct SampleSpan {
    int first = 0, end = 0;
};
std::vector<SampleSpan> FilledSpans(const Kelo::signalprocessing& signal, int channel);

// The samples of one channel in time order (what GetSample gives, read in
// one block); none for a channel the record does not hold.
std::vector<double> ReadChannelSamples(Kelo::signalprocessing& signal, int channel);

// The name of an error's class as the reader raised it ("QuaEIOError",
// "QuaEWrongOperation", ...), for messages and machine-readable output.
std::string ErrorClassName(const std::exception& error);

}  // namespace dyma
