// The signal container seen through the plain values of the channel tables:
// the one place that turns a Kelo::signalprocessing (and the LGOM reader's
// extras) into ChannelFacts and SignalFacts.
#pragma once

#include "app/document/projectfile.h"
#include "app/seismogram/channeltables.h"

#include <exception>
#include <string>
#include <vector>

namespace Kelo {
class signalprocessing;
}
namespace Quarnet {
class lgsig;
}

namespace dyma {

// Every channel from the first to the last (GetChannelCount), with the
// reader's conversion factor where the container is an LGOM reader.
std::vector<ChannelFacts> ReadChannelFacts(Kelo::signalprocessing& signal);

// The start of the record as the document stores it.
SignalFacts SignalFactsOf(const Quarnet::lgsig& signal, const std::string& signalFile);

// The district's files ("KGHM" in the format name) scale their counts by the
// measuring range: SignalRange = range in millivolts x 0.001 x 0.001. Other
// formats keep their range.
void ApplyMeasuringRange(Quarnet::lgsig& signal, double zakresMillivolts);

// The name of an error's class as the reader raised it ("QuaEIOError",
// "QuaEWrongOperation", ...), for messages and machine-readable output.
std::string ErrorClassName(const std::exception& error);

}  // namespace dyma
