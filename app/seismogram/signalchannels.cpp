#include "signalchannels.h"

#include "common/numberformat.h"
#include "common/textfile.h"
#include "kelsig/signalprocessing.h"
#include "lgsig/lgsig.h"

#include <new>
#include <stdexcept>

namespace dyma {

std::vector<ChannelFacts> ReadChannelFacts(Kelo::signalprocessing& signal) {
    auto* reader = dynamic_cast<Quarnet::lgsig*>(&signal);
    std::vector<ChannelFacts> out;
    const int count = signal.GetChannelCount();
    out.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
        const Kelo::StationInfo& s = *signal.GetStationInfo(i);
        ChannelFacts c;
        c.Number = s.Number;
        c.Name = s.Name;
        c.Component = s.Component;
        c.SensorType = s.SensorType;
        c.X = s.X;
        c.Y = s.Y;
        c.Z = s.Z;
        c.Factor1 = s.Factor1;
        c.Recounter = reader ? reader->GetRecounter(i) : 0.0;
        c.Exists = signal.GetChannelExists(i);
        out.push_back(std::move(c));
    }
    return out;
}

SignalFacts SignalFactsOf(const Quarnet::lgsig& signal, const std::string& signalFile) {
    return {signalFile, signal.StartDate, signal.StartTime};
}

void ApplyMeasuringRange(Quarnet::lgsig& signal, double zakres) {
    if (signal.FormatName.find("KGHM") != std::string::npos) signal.SignalRange = zakres * 0.001 * 0.001;
}

std::string ErrorClassName(const std::exception& e) {
    // Most derived first.
    if (dynamic_cast<const Quarnet::QuaEIOError*>(&e)) return "QuaEIOError";
    if (dynamic_cast<const Quarnet::QuaEOutOfRange*>(&e)) return "QuaEOutOfRange";
    if (dynamic_cast<const Quarnet::QuaEWrongOperation*>(&e)) return "QuaEWrongOperation";
    if (dynamic_cast<const Quarnet::QuaException*>(&e)) return "QuaException";
    if (dynamic_cast<const ConversionError*>(&e)) return "ConversionError";
    if (dynamic_cast<const FileError*>(&e)) return "FileError";
    if (dynamic_cast<const std::out_of_range*>(&e)) return "std::out_of_range";
    if (dynamic_cast<const std::logic_error*>(&e)) return "std::logic_error";
    if (dynamic_cast<const std::bad_alloc*>(&e)) return "std::bad_alloc";
    if (dynamic_cast<const std::runtime_error*>(&e)) return "std::runtime_error";
    return "std::exception";
}

}  // namespace dyma
