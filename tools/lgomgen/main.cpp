// lgomgen: writes a synthetic LGOM signal file.
//
//   lgomgen [--layout mbi32|min32|mbi64|min64|mbj] [--channels N] [--rate HZ]
//           [--seconds S] [--start "YYYY-MM-DD hh:mm:ss.zzz"]
//           [--identifier TEXT] [--inactive 2,5,...] OUTPUT
//
// Every channel holds a decaying wavelet whose onset moves later with the
// channel number, first motion up on odd channels and down on even ones, on
// stations spread over a 4 km square. The layout defaults to the one of the
// output's extension.
#include "lgomgen.h"

#include "common/numberformat.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace {

lgomgen::Layout ParseLayout(const std::string& text) {
    const std::string t = dyma::ToLowerAscii(text);
    if (t == "mbi32" || t == ".mbi") return lgomgen::Layout::MBI32;
    if (t == "min32" || t == ".min") return lgomgen::Layout::MIN32;
    if (t == "mbi64") return lgomgen::Layout::MBI64;
    if (t == "min64") return lgomgen::Layout::MIN64;
    if (t == "mbj" || t == ".mbj") return lgomgen::Layout::MBJ;
    throw std::invalid_argument("unknown layout: " + text);
}

lgomgen::StartTime ParseStart(const std::string& text) {
    lgomgen::StartTime t;
    double second = 0.0;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%lf", &t.year, &t.month, &t.day, &t.hour, &t.minute, &second) < 3)
        throw std::invalid_argument("start is not \"YYYY-MM-DD hh:mm:ss.zzz\": " + text);
    t.second = static_cast<int>(second);
    t.millisecond = static_cast<int>(std::lround((second - t.second) * 1000.0));
    return t;
}

std::int16_t Wavelet(int channel, int index, double rate) {
    const double onset = 0.5 + 0.05 * channel;
    const double t = index / rate - onset;
    if (t < 0.0) return 0;
    const double sign = channel % 2 == 0 ? 1.0 : -1.0;
    const double kPi = 3.14159265358979323846;
    return static_cast<std::int16_t>(std::lround(sign * 8000.0 * std::exp(-8.0 * t) * std::sin(2.0 * kPi * 15.0 * t)));
}

int Run(int argc, char** argv) {
    lgomgen::Signal signal;
    std::string output;
    std::string layoutText;
    std::string inactive;
    int channels = 8;
    double seconds = 4.0;
    signal.samplingRate = 1000.0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--layout") layoutText = value();
        else if (arg == "--channels") channels = static_cast<int>(dyma::StrToInt(value()));
        else if (arg == "--rate") signal.samplingRate = dyma::StrToFloat(value(), '.');
        else if (arg == "--seconds") seconds = dyma::StrToFloat(value(), '.');
        else if (arg == "--start") signal.start = ParseStart(value());
        else if (arg == "--identifier") signal.identifier = value();
        else if (arg == "--inactive") inactive = value();
        else if (!arg.empty() && arg[0] == '-') throw std::invalid_argument("unknown option: " + arg);
        else output = arg;
    }
    if (output.empty()) throw std::invalid_argument("no output file given");
    if (layoutText.empty()) {
        const std::size_t dot = output.find_last_of('.');
        layoutText = dot == std::string::npos ? "mbj" : output.substr(dot);
    }
    signal.layout = ParseLayout(layoutText);

    signal.channels.resize(static_cast<std::size_t>(channels));
    const char* components[] = {"z", "x", "y"};
    for (int c = 0; c < channels; ++c) {
        lgomgen::Channel& ch = signal.channels[static_cast<std::size_t>(c)];
        ch.x = 1000.0 + 500.0 * (c % 8);
        ch.y = 2000.0 + 500.0 * (c / 8);
        ch.z = 800.0 + 10.0 * c;
        ch.component = signal.layout == lgomgen::Layout::MBJ ? components[c % 3] : "Z";
        ch.name = "ST" + dyma::FormatInt(c + 1, 2);
    }
    std::istringstream list(inactive);
    for (std::string item; std::getline(list, item, ',');) {
        const long long c = dyma::StrToInt(dyma::Trim(item));
        if (c >= 1 && c <= channels) signal.channels[static_cast<std::size_t>(c - 1)].active = false;
    }
    signal.samplesPerChannel = static_cast<int>(std::lround(seconds * signal.samplingRate));
    const double rate = signal.samplingRate;
    signal.source = [rate](int channel, int index) { return Wavelet(channel, index, rate); };
    lgomgen::Write(output, signal);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "lgomgen: " << e.what() << "\n";
        return 1;
    }
}
