#include "lgomgen.h"

#include "common/cp1250.h"
#include "common/textfile.h"
#include "lgsig/lgomlayout.h"

#include <algorithm>
#include <stdexcept>

namespace lgomgen {
namespace {

namespace lgom = Quarnet::lgom;
using lgom::PutLE;

bool IsMin(Layout layout) { return layout == Layout::MIN32 || layout == Layout::MIN64; }
bool IsV26(Layout layout) { return layout == Layout::MBI64 || layout == Layout::MIN64; }

int MaxChannels(Layout layout) {
    if (layout == Layout::MBJ) return lgom::mbj::kMaxChannels;
    return IsV26(layout) ? lgom::v26::kMaxChannels : 96;
}

int WrittenCount(const Signal& s) {
    return s.writtenChannelCount.value_or(static_cast<int>(s.channels.size()));
}

int SampleCount(const Signal& s) {
    if (s.samplesPerChannel >= 0) return s.samplesPerChannel;
    std::size_t longest = 0;
    for (const Channel& c : s.channels) longest = std::max(longest, c.samples.size());
    return static_cast<int>(longest);
}

int StationNumber(const Channel& c, int index) { return c.number >= 0 ? c.number : index + 1; }

// A text field of fixed width in code page 1250, cut to the width.
void PutText(std::string& bytes, int offset, const std::string& utf8, int width) {
    const std::string text = dyma::Utf8ToCp1250(utf8);
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(width));
    std::copy_n(text.begin(), n, bytes.begin() + offset);
}

unsigned char* At(std::string& bytes) { return reinterpret_cast<unsigned char*>(bytes.data()); }

void PutIdentifier(std::string& bytes, const Signal& s) {
    std::string id = s.identifier.empty() ? DefaultIdentifier(s.layout) : s.identifier;
    if (id.size() > static_cast<std::size_t>(lgom::kIdentifierLength))
        throw std::invalid_argument("identifier longer than 30 characters: " + id);
    id.resize(lgom::kIdentifierLength, '-');
    std::copy(id.begin(), id.end(), bytes.begin());
}

// The 90-byte channel record of MIN32 and v2.6 files.
void PutRecord(std::string& bytes, int offset, const Channel& c, int index) {
    namespace r = lgom::record;
    unsigned char* b = At(bytes);
    b[offset + r::kNumber] = static_cast<unsigned char>(StationNumber(c, index));
    PutText(bytes, offset + r::kLabel, c.component, r::kLabelLength);
    b[offset + r::kEnabled] = c.enabled ? 1 : 0;
    PutLE<float>(b, offset + r::kX, static_cast<float>(c.x));
    PutLE<float>(b, offset + r::kX + 4, static_cast<float>(c.y));
    PutLE<float>(b, offset + r::kX + 8, static_cast<float>(c.z));
    PutLE<float>(b, offset + r::kFactor1, static_cast<float>(c.factor1));
    PutLE<float>(b, offset + r::kFactor1 + 4, static_cast<float>(c.factor2));
    PutLE<float>(b, offset + r::kFactor1 + 8, static_cast<float>(c.factor3));
    b[offset + r::kSensorType] = c.sensorType == 'a' ? 1 : 0;
}

void PutActivity(std::string& bytes, int offset, const Signal& s) {
    for (std::size_t i = 0; i < s.channels.size(); ++i)
        PutLE<std::int16_t>(At(bytes), offset + 2 * static_cast<int>(i), s.channels[i].active ? 1 : 0);
}

void PutV26Header(std::string& bytes, const Signal& s) {
    using namespace lgom::v26;
    unsigned char* b = At(bytes);
    PutLE<std::uint16_t>(b, kMillisecond, static_cast<std::uint16_t>(s.start.millisecond));
    b[kSecond] = static_cast<unsigned char>(s.start.second);
    b[kMinute] = static_cast<unsigned char>(s.start.minute);
    b[kHour] = static_cast<unsigned char>(s.start.hour);
    b[kDay] = static_cast<unsigned char>(s.start.day);
    b[kMonth] = static_cast<unsigned char>(s.start.month);
    PutLE<std::uint16_t>(b, kYear, static_cast<std::uint16_t>(s.start.year));
    PutLE<double>(b, kSamplingRate, s.samplingRate);
    PutLE<std::int16_t>(b, kChannelCount, static_cast<std::int16_t>(WrittenCount(s)));
    PutLE<std::int16_t>(b, kHeaderScale, static_cast<std::int16_t>(s.headerScale));
    for (std::size_t i = 0; i < s.channels.size(); ++i)
        PutRecord(bytes, kChannelTable + lgom::record::kSize * static_cast<int>(i), s.channels[i],
                  static_cast<int>(i));
    if (s.layout == Layout::MIN64) PutActivity(bytes, kActivityTable, s);
}

void PutKraw32Header(std::string& bytes, const Signal& s) {
    using namespace lgom::kraw32;
    unsigned char* b = At(bytes);
    b[kHour] = static_cast<unsigned char>(s.start.hour);
    b[kMinute] = static_cast<unsigned char>(s.start.minute);
    b[kSecond] = static_cast<unsigned char>(s.start.second);
    PutLE<std::uint16_t>(b, kYear, static_cast<std::uint16_t>(s.start.year));
    b[kDay] = static_cast<unsigned char>(s.start.day);
    b[kMonth] = static_cast<unsigned char>(s.start.month);
    PutLE<std::int16_t>(b, kChannelCount, static_cast<std::int16_t>(WrittenCount(s)));
    PutLE<std::int16_t>(b, kHeaderScale, static_cast<std::int16_t>(s.headerScale));
    if (s.layout == Layout::MBI32) {
        PutLE<std::uint16_t>(b, kMbiHeaderBytes, static_cast<std::uint16_t>(DataStart(s)));
        return;
    }
    PutLE<double>(b, kSamplingRate, s.samplingRate);
    const int n = static_cast<int>(s.channels.size());
    for (int i = 0; i < n; ++i) PutRecord(bytes, kMinChannelTable + lgom::record::kSize * i, s.channels[i], i);
    PutActivity(bytes, kMinChannelTable + lgom::record::kSize * n, s);
}

void PutMbjHeader(std::string& bytes, const Signal& s) {
    using namespace lgom::mbj;
    unsigned char* b = At(bytes);
    PutLE<std::uint16_t>(b, kHeaderBytes, static_cast<std::uint16_t>(DataStart(s)));
    b[kHour] = static_cast<unsigned char>(s.start.hour);
    b[kMinute] = static_cast<unsigned char>(s.start.minute);
    b[kSecond] = static_cast<unsigned char>(s.start.second);
    PutLE<std::uint16_t>(b, kMillisecond, static_cast<std::uint16_t>(s.start.millisecond));
    PutLE<std::uint16_t>(b, kYear, static_cast<std::uint16_t>(s.start.year));
    b[kDay] = static_cast<unsigned char>(s.start.day);
    b[kMonth] = static_cast<unsigned char>(s.start.month);
    PutLE<double>(b, kSamplingRate, s.samplingRate);
    b[kChannelCount] = static_cast<unsigned char>(WrittenCount(s));
    PutLE<std::uint16_t>(b, kHeaderScale, static_cast<std::uint16_t>(s.headerScale));
    for (std::size_t k = 0; k < s.channels.size(); ++k) {
        const Channel& c = s.channels[k];
        const int i = static_cast<int>(k);
        PutLE<double>(b, kX + 8 * i, c.x);
        PutLE<double>(b, kY + 8 * i, c.y);
        PutLE<double>(b, kZ + 8 * i, c.z);
        b[kSensorType + i] = static_cast<unsigned char>(c.sensorType);
        PutText(bytes, kComponent + i, c.component, 1);
        PutLE<double>(b, kFactor1 + 8 * i, c.factor1);
        PutLE<double>(b, kFactor2 + 8 * i, c.factor2);
        PutLE<double>(b, kFactor3 + 8 * i, c.factor3);
        PutText(bytes, kName + kNameLength * i, c.name, kNameLength);
    }
}

// Frames of one sample per channel in channel order; MIN files leave the
// inactive channels out of every frame.
void PutSamples(std::string& bytes, int dataStart, const Signal& s) {
    std::vector<int> written;
    for (std::size_t i = 0; i < s.channels.size(); ++i)
        if (!IsMin(s.layout) || s.channels[i].active) written.push_back(static_cast<int>(i));
    const int samples = SampleCount(s);
    unsigned char* b = At(bytes);
    std::size_t at = static_cast<std::size_t>(dataStart);
    for (int j = 0; j < samples; ++j) {
        for (int c : written) {
            const std::vector<std::int16_t>& v = s.channels[static_cast<std::size_t>(c)].samples;
            const std::int16_t value = s.source ? s.source(c, j)
                                                : (static_cast<std::size_t>(j) < v.size() ? v[static_cast<std::size_t>(j)] : 0);
            PutLE<std::int16_t>(b + at, 0, value);
            at += 2;
        }
    }
}

std::size_t FrameWords(const Signal& s) {
    if (!IsMin(s.layout)) return s.channels.size();
    return static_cast<std::size_t>(std::count_if(s.channels.begin(), s.channels.end(),
                                                  [](const Channel& c) { return c.active; }));
}

}  // namespace

std::string DefaultIdentifier(Layout layout) {
    switch (layout) {
    case Layout::MBI32: return "CONVERT_KRAW_v2.0_RUDNA-------";
    case Layout::MIN32: return "CONVERT_KRAW_v2.0_LUBIN-------";
    case Layout::MBI64:
    case Layout::MIN64: return "CONVERT_KRAW_v2.6_POLSIER_2---";
    case Layout::MBJ: break;
    }
    return "M.ZENTAR_ELOGOR-C64_v1.0_RUDNA";
}

std::string FileExtension(Layout layout) {
    switch (layout) {
    case Layout::MBI32:
    case Layout::MBI64: return ".mbi";
    case Layout::MIN32:
    case Layout::MIN64: return ".min";
    case Layout::MBJ: break;
    }
    return ".mbj";
}

int DataStart(const Signal& s) {
    switch (s.layout) {
    case Layout::MBI32: return s.headerBytes.value_or(lgom::kraw32::kHeaderSize);
    case Layout::MIN32:
        return lgom::kraw32::kMinChannelTable + (lgom::record::kSize + 2) * static_cast<int>(s.channels.size());
    case Layout::MBI64: return lgom::v26::kMbiDataStart;
    case Layout::MIN64: return lgom::v26::kMinDataStart;
    case Layout::MBJ: break;
    }
    return s.headerBytes.value_or(lgom::mbj::kHeaderSize);
}

std::string Encode(const Signal& s) {
    if (static_cast<int>(s.channels.size()) > MaxChannels(s.layout))
        throw std::invalid_argument("too many channels for the layout: " + std::to_string(s.channels.size()));
    int headerEnd = lgom::mbj::kHeaderSize;
    if (s.layout == Layout::MBI32) headerEnd = lgom::kraw32::kHeaderSize;
    if (s.layout == Layout::MIN32) headerEnd = DataStart(s);
    if (IsV26(s.layout)) headerEnd = DataStart(s);
    const int dataStart = DataStart(s);
    const std::size_t sampleBytes = 2 * FrameWords(s) * static_cast<std::size_t>(SampleCount(s));
    std::string bytes(std::max<std::size_t>(static_cast<std::size_t>(std::max(headerEnd, dataStart)),
                                            static_cast<std::size_t>(dataStart) + sampleBytes),
                      '\0');

    // Header fields first, then the samples: a header size that points into
    // the header lets the samples overwrite it, as such a file would read.
    PutIdentifier(bytes, s);
    if (IsV26(s.layout))
        PutV26Header(bytes, s);
    else if (s.layout == Layout::MBJ)
        PutMbjHeader(bytes, s);
    else
        PutKraw32Header(bytes, s);
    PutSamples(bytes, dataStart, s);
    return bytes;
}

void Write(const std::string& path, const Signal& signal) { dyma::WriteFileAtomic(path, Encode(signal)); }

}  // namespace lgomgen
