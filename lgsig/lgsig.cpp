#include "lgsig.h"

#include "common/cp1250.h"
#include "common/daycount.h"
#include "common/numberformat.h"
#include "common/textfile.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace Quarnet {
namespace {

using lgom::GetLE;

// A fixed-width text field of a header: up to its first NUL, trimmed of
// blanks and control bytes, converted from the workstations' code page.
std::string TextField(const unsigned char* bytes, int length) {
    const auto* text = reinterpret_cast<const char*>(bytes);
    const std::size_t size = strnlen(text, static_cast<std::size_t>(length));
    return dyma::Cp1250ToUtf8(dyma::Trim(std::string_view(text, size)));
}

// The samples counted from the file's length lie inside it by
// construction; this guard keeps it so should a layout ever change.
void RequireBytes(std::int64_t needed, std::int64_t available) {
    if (needed > available) throw QuaEWrongOperation("Sample data lie beyond the end of the file.");
}

}  // namespace

lgsig::lgsig(const std::string& fileName, const std::string& tempFileName,
             const std::vector<std::string>& options, const std::string& /*reserved*/)
    : Kelo::signalprocessing(fileName, options), TempFileName(tempFileName) {
    if (!dyma::FileExists(FileName)) throw QuaEIOError("File does not exist.");
    OpenSignalFile();

    std::array<char, lgom::kIdentifierLength + 1> identifier{};
    ReadIdentifier(identifier);
    const Identification found = Identify(Extension, std::string_view(identifier.data(), lgom::kIdentifierLength));
    FormatCode = static_cast<std::uint8_t>(found.formatCode);
    FormatName = found.formatName;

    switch (found.layout) {
    case lgom::Layout::V26: ReadV26(FormatCode == 8); break;
    case lgom::Layout::MBJ: ReadMBJ(); break;
    case lgom::Layout::MIN32: ReadMIN32(); break;
    case lgom::Layout::MBI32: ReadMBI32(); break;
    case lgom::Layout::None: throw QuaEWrongOperation("Undefined header.");
    }
}

lgsig::~lgsig() = default;

double lgsig::GetRecounter(int channel) {
    if (channel < MinChannel || channel > MaxChannel)
        throw QuaEOutOfRange("lgsig::GetRecounter(): Wrong channel number.");
    if (!StationInfoExists) return 0.0;
    const Kelo::StationInfo& station = Stations[channel];
    const double divisor = station.Factor2 * station.Factor1 * HeaderScale;
    return divisor == 0.0 ? 0.0 : SignalRange / divisor;
}

lgsig::Identification lgsig::Identify(std::string_view extension, std::string_view identifier) {
    Identification found{0, "Unknown", lgom::Layout::None};
    const bool mbj = dyma::EqualsIgnoreCase(extension, ".mbj");
    if (!mbj && !dyma::EqualsIgnoreCase(extension, ".mbi") && !dyma::EqualsIgnoreCase(extension, ".min"))
        return found;
    for (const lgom::Identifier& row : lgom::kIdentifiers) {
        if (!dyma::EqualsIgnoreCase(row.extension, extension)) continue;
        if (!CompareHeaders(identifier, row.identifier, row.length)) continue;
        found = {row.formatCode, std::string(row.formatName), row.layout};
        if (!mbj) break;  // MBI and MIN: the first match stands, MBJ: the last
    }
    return found;
}

bool lgsig::CompareHeaders(std::string_view a, std::string_view b, int n) {
    char left[32] = {};
    char right[32] = {};
    const std::size_t count = static_cast<std::size_t>(std::clamp(n, 0, 31));
    std::memcpy(left, a.data(), std::min(count, a.size()));
    std::memcpy(right, b.data(), std::min(count, b.size()));
    return std::strcmp(left, right) == 0;
}

void lgsig::IOErrorCheck(const std::string& message, long long result) {
    if (result >= 0) return;
    std::string text = "lgsig::IOErrorCheck(): Read error.";
    const std::string site = dyma::Trim(message);
    if (!site.empty()) text += " " + site;
    throw QuaEIOError(text);
}

void lgsig::OpenSignalFile() {
    FileHandle.Reset(rawfile::OpenReadOnly(FileName));
    IOErrorCheck("Open file error", FileHandle.Get());
    const std::int64_t length = rawfile::SeekEnd(FileHandle.Get());
    if (length < 1 || length > INT_MAX) throw QuaEIOError("Bad file length.");
    FileLength = static_cast<int>(length);
}

void lgsig::ReadIdentifier(std::array<char, lgom::kIdentifierLength + 1>& identifier) {
    // A file shorter than the identifier keeps the dashes, as identifiers
    // are padded with them.
    std::fill(identifier.begin(), identifier.end() - 1, '-');
    identifier.back() = '\0';
    IOErrorCheck(" Header read error", rawfile::SeekTo(FileHandle.Get(), 0));
    IOErrorCheck(" Header read error", rawfile::ReadFully(FileHandle.Get(), identifier.data(), lgom::kIdentifierLength));
}

void lgsig::ReadAt(std::int64_t offset, void* buffer, std::size_t size, const std::string& site) {
    // Cleared first: bytes past the end of a short file read as zeros.
    std::memset(buffer, 0, size);
    IOErrorCheck(site, rawfile::SeekTo(FileHandle.Get(), offset));
    IOErrorCheck(site, rawfile::ReadFully(FileHandle.Get(), buffer, size));
}

void lgsig::ReadV26(bool withActivity) {
    using namespace lgom::v26;
    ReadAt(0, HeaderBuffer.data(), kHeaderSize, "Błąd odczytania nagłówka pliku .mbi");
    LocationExists = StationInfoExists = true;
    const unsigned char* h = Header();
    SetChannelCount(GetLE<std::int16_t>(h, kChannelCount), kMaxChannels);
    SetStart(GetLE<std::uint16_t>(h, kYear), h[kMonth], h[kDay], h[kHour], h[kMinute], h[kSecond],
             GetLE<std::uint16_t>(h, kMillisecond));
    HeaderScale = GetLE<std::int16_t>(h, kHeaderScale);
    SetSamplingRate(GetLE<double>(h, kSamplingRate));
    ReadChannelRecords(kChannelTable);

    if (withActivity)
        ReadSamples(kMinDataStart, ReadActivity(kActivityTable));
    else
        ReadSamples(kMbiDataStart, -1);
    FillRecordStations();
}

void lgsig::ReadMIN32() {
    using namespace lgom::kraw32;
    ReadAt(0, HeaderBuffer.data(), kHeaderSize, "Header read error");
    LocationExists = StationInfoExists = true;
    const unsigned char* h = Header();
    SetChannelCount(GetLE<std::int16_t>(h, kChannelCount), Kelo::kChannelSlots);
    SetStart(GetLE<std::uint16_t>(h, kYear), h[kMonth], h[kDay], h[kHour], h[kMinute], h[kSecond], 0);
    HeaderScale = GetLE<std::int16_t>(h, kHeaderScale);
    SetSamplingRate(GetLE<double>(h, kSamplingRate));
    ReadChannelRecords(kMinChannelTable);

    const int active = ReadActivity(kMinChannelTable + lgom::record::kSize * ChannelCount);
    ReadSamples(kMinChannelTable + (lgom::record::kSize + 2) * ChannelCount, active);
    FillRecordStations();
}

void lgsig::ReadMBI32() {
    using namespace lgom::kraw32;
    ReadAt(0, HeaderBuffer.data(), kHeaderSize, "MBI Header read error");
    LocationExists = StationInfoExists = false;
    const unsigned char* h = Header();
    SetChannelCount(GetLE<std::int16_t>(h, kChannelCount), Kelo::kChannelSlots);
    SetStart(GetLE<std::uint16_t>(h, kYear), h[kMonth], h[kDay], h[kHour], h[kMinute], h[kSecond], 0);
    HeaderScale = GetLE<std::int16_t>(h, kHeaderScale);

    ReadSamples(DataStartAfterHeader(GetLE<std::uint16_t>(h, kMbiHeaderBytes), kHeaderSize), -1);
}

void lgsig::ReadMBJ() {
    using namespace lgom::mbj;
    ReadAt(0, HeaderBuffer.data(), kHeaderSize, "Błąd odczytania nagłówka pliku .mbj");
    LocationExists = StationInfoExists = true;
    const unsigned char* h = Header();
    SetChannelCount(h[kChannelCount], kMaxChannels);
    SetStart(GetLE<std::uint16_t>(h, kYear), h[kMonth], h[kDay], h[kHour], h[kMinute], h[kSecond],
             GetLE<std::uint16_t>(h, kMillisecond));
    HeaderScale = GetLE<std::uint16_t>(h, kHeaderScale);
    SetSamplingRate(GetLE<double>(h, kSamplingRate));

    ReadSamples(DataStartAfterHeader(GetLE<std::uint16_t>(h, kHeaderBytes), kHeaderSize), -1);
    FillMbjStations();
}

int lgsig::DataStartAfterHeader(int dataStartBytes, int headerSize) {
    // A header-size field that points into the fixed header would have its
    // bytes read as samples.
    if (dataStartBytes < headerSize)
        throw QuaEWrongOperation("Sample data would start at byte " + std::to_string(dataStartBytes) +
                                 ", inside the header (" + std::to_string(headerSize) + " bytes).");
    return dataStartBytes;
}

void lgsig::ReadSamples(int dataStartBytes, int activeCount) {
    const bool minStyle = activeCount >= 0;
    const int samples = SamplesPerChannel(dataStartBytes, minStyle ? activeCount : ChannelCount);
    CheckTempFile();
    Samples.Open(TempFileName, ChannelCount, samples, 0.0);
    if (minStyle)
        ReadMIN32StyleChannels(dataStartBytes / 2, activeCount, samples);
    else
        ReadMBI32StyleChannels(dataStartBytes / 2, samples);
    for (int c = 0; c < ChannelCount; ++c) Stations[c].Length = samples;
}

void lgsig::ReadChannelRecords(int tableOffset) {
    ChannelInfoBuffer.fill(0);
    ReadAt(tableOffset, ChannelInfoBuffer.data(), static_cast<std::size_t>(ChannelCount) * lgom::record::kSize,
           "Channel information read error");
}

int lgsig::ReadActivity(int tableOffset) {
    unsigned char table[Kelo::kChannelSlots * 2];
    ReadAt(tableOffset, table, static_cast<std::size_t>(ChannelCount) * 2, "Channel activity read error");
    int active = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        ChannelActive[c] = GetLE<std::int16_t>(table, 2 * c) == 1;
        if (ChannelActive[c]) ++active;
    }
    return active;
}

void lgsig::SetStart(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    Year = static_cast<std::uint16_t>(year);
    Month = static_cast<std::uint16_t>(month);
    Day = static_cast<std::uint16_t>(day);
    Hour = static_cast<std::uint16_t>(hour);
    Minute = static_cast<std::uint16_t>(minute);
    Second = static_cast<std::uint16_t>(second);
    Millisecond = static_cast<std::uint16_t>(millisecond);
    StartDate = dyma::EncodeDate(Year, Month, Day);
    StartTime = dyma::EncodeTime(Hour, Minute, Second, Millisecond);
    StartDateTime = StartDate + StartTime;
}

void lgsig::SetChannelCount(int count, int limit) {
    if (count < 1 || count > limit)
        throw QuaEWrongOperation("Wrong channel count in the header: " + std::to_string(count) + " (allowed 1 to " +
                                 std::to_string(limit) + ").");
    ChannelCount = count;
    MinChannel = 0;
    MaxChannel = count - 1;
}

void lgsig::SetSamplingRate(double rate) {
    // The program divides the record length by this rate and maps times to
    // sample numbers with it: a rate that truncates to 0 (or is no number)
    // would give an infinite record.
    if (!(rate >= 1.0 && rate < 2147483648.0))
        throw QuaEWrongOperation("Wrong sampling rate in the header: " + dyma::FloatToStr(rate, '.') + ".");
    SamplingRate = static_cast<int>(rate);
}

int lgsig::SamplesPerChannel(int dataStartBytes, int divisor) {
    if (divisor < 1) throw QuaEWrongOperation("No active channel in the file.");
    if (dataStartBytes > FileLength)
        throw QuaEWrongOperation("Sample data would start at byte " + std::to_string(dataStartBytes) +
                                 ", beyond the end of the file (" + std::to_string(FileLength) + " bytes).");
    BytesPerChannel = (FileLength - dataStartBytes) / divisor;
    const int samples = BytesPerChannel / 2;
    if (samples < 1) throw QuaEWrongOperation("The file holds no whole sample.");
    return samples;
}

void lgsig::CheckTempFile() const {
    // Creating the table truncates its file: never the signal file itself.
    std::error_code error;
    if (std::filesystem::equivalent(dyma::NativePath(FileName), dyma::NativePath(TempFileName), error))
        throw QuaEWrongOperation("The temporary file must not be the signal file.");
}

void lgsig::ReadMIN32StyleChannels(int dataStart, int activeCount, int samplesPerChannel) {
    // Word k of a frame belongs to the k-th active channel.
    std::vector<int> columns;
    for (int c = 0; c < ChannelCount && c < Kelo::kChannelSlots; ++c)
        if (ChannelActive[c] && static_cast<int>(columns.size()) < activeCount) columns.push_back(c);
    FillFromFrames(dataStart, activeCount, columns, samplesPerChannel);
    // Inactive channels keep the zeros the table was created with.
    for (int c = 0; c < ChannelCount; ++c)
        if (!ChannelActive[c]) SetChannelExtremes(c, 0.0, 0.0);
}

void lgsig::ReadMBI32StyleChannels(int dataStart, int samplesPerChannel) {
    std::vector<int> columns;
    for (int c = 0; c < ChannelCount; ++c) {
        ChannelActive[c] = true;
        columns.push_back(c);
    }
    FillFromFrames(dataStart, ChannelCount, columns, samplesPerChannel);
}

void lgsig::FillFromFrames(int dataStart, int frameWords, const std::vector<int>& columns, int samplesPerChannel) {
    const std::size_t width = static_cast<std::size_t>(frameWords);
    const std::size_t samples = static_cast<std::size_t>(samplesPerChannel);
    const std::size_t channels = columns.size();
    RequireBytes(2 * (static_cast<std::int64_t>(dataStart) + static_cast<std::int64_t>(samples * width)), FileLength);
    // The frames are read a chunk at a time and each chunk's samples go
    // straight to their places in the table's rows: neither the file nor a
    // copy of all its samples is ever held in memory (a long record is
    // larger than many workstations' memory). A chunk is about 2 million
    // samples, so every channel's part of it is one long write; it is
    // rearranged in tiles of frames that stay in the processor's cache.
    constexpr std::size_t kChunkWords = std::size_t{1} << 21;
    constexpr std::size_t kTileFrames = 1024;
    const std::size_t chunk = std::min(samples, std::max<std::size_t>(1, kChunkWords / width));
    auto frames = std::make_unique_for_overwrite<std::int16_t[]>(chunk * width);
    auto values = std::make_unique_for_overwrite<double[]>(chunk * channels);
    std::vector<std::int16_t> lowest(channels, INT16_MAX);
    std::vector<std::int16_t> highest(channels, INT16_MIN);
    const std::string site = "Temporary buffer read error";
    IOErrorCheck(site, rawfile::SeekTo(FileHandle.Get(), 2 * static_cast<std::int64_t>(dataStart)));
    for (std::size_t j0 = 0; j0 < samples; j0 += chunk) {
        const std::size_t count = std::min(samples - j0, chunk);
        const std::size_t bytes = count * width * 2;
        const long long got = rawfile::ReadFully(FileHandle.Get(), frames.get(), bytes);
        IOErrorCheck(site, got);
        // A file that shrank since its length was taken reads as zeros.
        if (static_cast<std::size_t>(got) < bytes)
            std::memset(reinterpret_cast<char*>(frames.get()) + got, 0, bytes - static_cast<std::size_t>(got));
        if constexpr (std::endian::native == std::endian::big)
            for (std::size_t i = 0; i < count * width; ++i)
                frames[i] = static_cast<std::int16_t>(((frames[i] & 0xFF) << 8) | ((frames[i] >> 8) & 0xFF));
        for (std::size_t t0 = 0; t0 < count; t0 += kTileFrames) {
            const std::size_t t1 = std::min(count, t0 + kTileFrames);
            for (std::size_t k = 0; k < channels; ++k) {
                const std::int16_t* in = frames.get() + k;
                double* out = values.get() + k * chunk;
                std::int16_t low = lowest[k];
                std::int16_t high = highest[k];
                for (std::size_t j = t0; j < t1; ++j) {
                    const std::int16_t sample = in[j * width];
                    out[j] = sample;
                    low = std::min(low, sample);
                    high = std::max(high, sample);
                }
                lowest[k] = low;
                highest[k] = high;
            }
        }
        for (std::size_t k = 0; k < channels; ++k)
            Samples.WriteLinePart(columns[k], static_cast<int>(j0), values.get() + k * chunk, static_cast<int>(count));
    }
    // The extremes were taken on the way: the result of CalcMaxChnlVal
    // without reading the table back.
    for (std::size_t k = 0; k < channels; ++k) SetChannelExtremes(columns[k], lowest[k], highest[k]);
}

void lgsig::FillRecordStations() {
    namespace r = lgom::record;
    for (int c = 0; c < ChannelCount; ++c) {
        const unsigned char* rec = ChannelInfoBuffer.data() + static_cast<std::size_t>(c) * r::kSize;
        Kelo::StationInfo& s = Stations[c];
        s.Number = rec[r::kNumber];
        s.Enabled = rec[r::kEnabled] != 0 ? 1 : 0;
        s.X = GetLE<float>(rec, r::kX);
        s.Y = GetLE<float>(rec, r::kX + 4);
        s.Z = GetLE<float>(rec, r::kX + 8);
        s.Factor1 = GetLE<float>(rec, r::kFactor1);
        s.Factor2 = GetLE<float>(rec, r::kFactor1 + 4);
        s.Factor3 = GetLE<float>(rec, r::kFactor1 + 8);
        s.SensorType = rec[r::kSensorType] != 0 ? 'a' : 'v';
        s.SamplingRate = SamplingRate;
        s.Component = TextField(rec + r::kLabel, r::kLabelLength);
        s.Name = dyma::FormatInt(s.Number, 2) + s.Component;
    }
}

void lgsig::FillMbjStations() {
    using namespace lgom::mbj;
    const unsigned char* h = Header();
    for (int c = 0; c < ChannelCount; ++c) {
        Kelo::StationInfo& s = Stations[c];
        s.Number = static_cast<std::int16_t>(c + 1);
        s.Enabled = 1;
        s.SamplingRate = SamplingRate;
        s.X = std::trunc(GetLE<double>(h, kX + 8 * c));
        s.Y = std::trunc(GetLE<double>(h, kY + 8 * c));
        // Stations given in the national grid (X and Y both above
        // 5,000,000) carry Z as it is; files in other grids store it with
        // the opposite sign.
        const double z = std::trunc(GetLE<double>(h, kZ + 8 * c));
        s.Z = s.X > 5000000.0 && s.Y > 5000000.0 ? z : -z;
        if (s.Z == 0.0) s.Z = 0.0;  // no "-0" in the station table
        s.SensorType = static_cast<char>(h[kSensorType + c]);
        s.Factor1 = GetLE<double>(h, kFactor1 + 8 * c);
        s.Factor2 = GetLE<double>(h, kFactor2 + 8 * c);
        s.Factor3 = GetLE<double>(h, kFactor3 + 8 * c);

        const std::string letter = TextField(h + kComponent + c, 1);
        if (letter.find('x') != std::string::npos)
            s.Component = "NS";
        else if (letter.find('y') != std::string::npos)
            s.Component = "EW";
        else if (letter.find('z') != std::string::npos)
            s.Component = "ZZ";
        else
            s.Component = letter;
        if (std::fabs(s.X) + std::fabs(s.Y) + std::fabs(s.Z) == 0.0) s.Enabled = 0;

        const std::string name = TextField(h + kName + kNameLength * c, kNameLength);
        s.Name = name.empty() ? dyma::FormatInt(s.Number, 2) + letter : name;
    }
}

}  // namespace Quarnet
