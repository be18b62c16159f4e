#include "signalchannels.h"

#include "app/seismogram/stationtable.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "kelsig/signalprocessing.h"
#include "lgsig/lgsig.h"
#include "mseedsig/mseedsig.h"

#include <new>
#include <stdexcept>

namespace dyma {

std::vector<ChannelFacts> ReadChannelFacts(Kelo::signalprocessing& signal) {
    auto* reader = dynamic_cast<Quarnet::lgsig*>(&signal);
    const auto* seed = dynamic_cast<const Quarnet::mseedsig*>(&signal);
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
        if (seed) {
            const Quarnet::SeedStream& stream = seed->Stream(i);
            c.Network = stream.network;
            c.Station = stream.station;
            c.Location = stream.location;
            c.Channel = stream.channel;
            c.Reversed = seed->Reversed(i);
        }
        out.push_back(std::move(c));
    }
    return out;
}

SignalDescription DescribeSignal(const Kelo::signalprocessing& signal) {
    SignalDescription d;
    if (const auto* r = dynamic_cast<const Quarnet::lgsig*>(&signal)) {
        d.FormatName = r->FormatName;
        d.FormatCode = r->FormatCode;
        d.Year = r->Year;
        d.Month = r->Month;
        d.Day = r->Day;
        d.Hour = r->Hour;
        d.Minute = r->Minute;
        d.Second = r->Second;
        d.Millisecond = r->Millisecond;
        d.StartDate = r->StartDate;
        d.StartTime = r->StartTime;
        d.StartDateTime = r->StartDateTime;
        d.HeaderScale = r->HeaderScale;
    } else if (const auto* m = dynamic_cast<const Quarnet::mseedsig*>(&signal)) {
        d.FormatName = m->FormatName;
        d.FormatCode = m->FormatCode;
        d.Year = m->Year;
        d.Month = m->Month;
        d.Day = m->Day;
        d.Hour = m->Hour;
        d.Minute = m->Minute;
        d.Second = m->Second;
        d.Millisecond = m->Millisecond();
        d.StartDate = m->StartDate;
        d.StartTime = m->StartTime;
        d.StartDateTime = m->StartDateTime;
    }
    return d;
}

SignalFacts SignalFactsOf(const Kelo::signalprocessing& signal, const std::string& signalFile) {
    const SignalDescription d = DescribeSignal(signal);
    return {signalFile, d.StartDate, d.StartTime};
}

void ApplyMeasuringRange(Kelo::signalprocessing& signal, double zakres) {
    auto* reader = dynamic_cast<Quarnet::lgsig*>(&signal);
    if (reader && reader->FormatName.find("KGHM") != std::string::npos) reader->SignalRange = zakres * 0.001 * 0.001;
}

std::vector<SampleSpan> FilledSpans(const Kelo::signalprocessing& signal, int channel) {
    std::vector<SampleSpan> out;
    if (const auto* m = dynamic_cast<const Quarnet::mseedsig*>(&signal))
        for (const Quarnet::SampleGap& g : m->Gaps(channel)) out.push_back({g.first, g.end});
    return out;
}

std::vector<double> ReadChannelSamples(Kelo::signalprocessing& signal, int channel) {
    if (!signal.GetChannelExists(channel)) return {};
    const int length = signal.GetChannelLength(channel);
    const double* row = length > 0 ? signal.GetSampleBlockAddress(channel, 0) : nullptr;
    if (!row) return {};
    return std::vector<double>(row, row + length);
}

std::string ErrorClassName(const std::exception& e) {
    // Most derived first.
    if (dynamic_cast<const Quarnet::QuaEIOError*>(&e)) return "QuaEIOError";
    if (dynamic_cast<const Quarnet::QuaEOutOfRange*>(&e)) return "QuaEOutOfRange";
    if (dynamic_cast<const Quarnet::QuaEWrongOperation*>(&e)) return "QuaEWrongOperation";
    if (dynamic_cast<const Quarnet::QuaException*>(&e)) return "QuaException";
    if (dynamic_cast<const StationTableError*>(&e)) return "StationTableError";
    if (dynamic_cast<const ConversionError*>(&e)) return "ConversionError";
    if (dynamic_cast<const FileError*>(&e)) return "FileError";
    if (dynamic_cast<const std::out_of_range*>(&e)) return "std::out_of_range";
    if (dynamic_cast<const std::logic_error*>(&e)) return "std::logic_error";
    if (dynamic_cast<const std::bad_alloc*>(&e)) return "std::bad_alloc";
    if (dynamic_cast<const std::runtime_error*>(&e)) return "std::runtime_error";
    return "std::exception";
}

}  // namespace dyma
