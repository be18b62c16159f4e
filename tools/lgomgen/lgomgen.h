// Writes synthetic LGOM signal files in every layout the reader knows:
// MBI32, MIN32, MBI64 and MIN64 (KRAW v2.6) and MBJ. Tests build their
// fixtures with it and the example tremor is made with it; the bytes follow
// the layout tables of lgsig/lgomlayout.h and nothing else.
//
//   lgomgen::Signal s;
//   s.layout = lgomgen::Layout::MBJ;
//   s.samplingRate = 1000;
//   s.channels.resize(30);             // coordinates, names, components ...
//   s.samplesPerChannel = 20000;
//   s.source = [](int channel, int i) -> std::int16_t { ... };
//   lgomgen::Write("tremor.mbj", s);
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lgomgen {

enum class Layout { MBI32, MIN32, MBI64, MIN64, MBJ };

struct StartTime {
    int year = 2024;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;  // not stored by MBI32 and MIN32
};

struct Channel {
    int number = -1;          // station number of the channel record; -1: index + 1
    std::string component;    // MIN32/v2.6: label of up to 3 characters; MBJ: one letter
    std::string name;         // MBJ only: up to 8 characters
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double factor1 = 1.0;
    double factor2 = 1.0;
    double factor3 = 1.0;
    char sensorType = 'v';    // MIN32/v2.6 store 'a' as non-zero, anything else as zero; MBJ as is
    bool enabled = true;      // MIN32/v2.6 channel record
    bool active = true;       // MIN32/MIN64: the activity table; inactive channels have no samples
    std::vector<std::int16_t> samples;  // missing samples are 0
};

// Sample `index` of channel `channel` (index into Signal::channels).
using SampleSource = std::function<std::int16_t(int channel, int index)>;

struct Signal {
    Layout layout = Layout::MBJ;
    std::string identifier;        // up to 30 characters, padded with '-'; empty: DefaultIdentifier
    double samplingRate = 500.0;   // not stored by MBI32
    StartTime start;
    int headerScale = 1;
    std::vector<Channel> channels;
    int samplesPerChannel = -1;    // -1: the longest channel's sample vector
    SampleSource source;           // when set, gives every sample in place of the vectors

    // Damaged files for tests: the channel count written to the header
    // (samples are still written for `channels`), and the header size field
    // of MBI32 and MBJ files (where their samples begin).
    std::optional<int> writtenChannelCount;
    std::optional<int> headerBytes;
};

// The usual identifier of a layout and its extension (".mbi", ".min", ".mbj").
std::string DefaultIdentifier(Layout layout);
std::string FileExtension(Layout layout);

// Byte offset of the first sample frame.
int DataStart(const Signal& signal);

// The file's bytes. Throws std::invalid_argument for a signal the layout
// cannot hold (too many channels, an identifier over 30 characters).
std::string Encode(const Signal& signal);

// Encodes and writes the file; throws dyma::FileError (a std::runtime_error)
// when it cannot.
void Write(const std::string& path, const Signal& signal);

}  // namespace lgomgen
