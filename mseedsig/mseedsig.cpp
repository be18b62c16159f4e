#include "mseedsig.h"

#include "common/daycount.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "lgsig/quaexception.h"

#include <libmseed.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

namespace Quarnet {

// ------------------------------------------------------------------ the library's messages

namespace {

// libmseed reports what it finds wrong through its logging functions, not
// through its return codes alone. While a file is read, those messages are
// collected so that the reason reaches the operator; outside a read they go
// to the error output as the library would print them.
thread_local std::vector<std::string>* collectedMessages = nullptr;

// Some damaged records send the library's record diagnostics round a
// blockette chain that never ends, one complaint per turn: the read would
// never return and the complaints would fill the memory. No honest record
// draws more than a handful, so past this many the read is given up by
// leaving the library through its logging call (its state is freed by the
// reader's clean-up call, which closes the file).
constexpr std::size_t kMostComplaints = 200;
struct EndlessComplaints {};

void Collect(char* message) {
    if (collectedMessages) {
        if (collectedMessages->size() >= kMostComplaints) throw EndlessComplaints{};
        std::string text;
        // The library quotes the bytes it could not take; they need not be
        // text, and the message must stay readable wherever it is shown.
        for (const char* c = message ? message : ""; *c; ++c)
            text += (*c >= ' ' && *c <= '~') || *c == '\n' ? *c : '?';
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (!text.empty()) collectedMessages->push_back(text);
        return;
    }
    if (message) std::fputs(message, stderr);
}

void DropNormal(char* message) {
    if (!collectedMessages && message) std::fputs(message, stdout);
}

class LibraryMessages {
public:
    LibraryMessages() {
        static std::once_flag routed;
        std::call_once(routed, [] { ms_loginit(&DropNormal, nullptr, &Collect, nullptr); });
        previous_ = collectedMessages;
        collectedMessages = &messages_;
    }
    ~LibraryMessages() { collectedMessages = previous_; }
    LibraryMessages(const LibraryMessages&) = delete;
    LibraryMessages& operator=(const LibraryMessages&) = delete;

    bool Empty() const { return messages_.empty(); }
    std::string Text() const {
        std::string out;
        for (const std::string& m : messages_) out += (out.empty() ? "" : "; ") + m;
        return out;
    }
    void Clear() { messages_.clear(); }
    std::size_t Count() const { return messages_.size(); }
    std::string First() const { return messages_.empty() ? std::string() : messages_.front(); }

private:
    std::vector<std::string> messages_;
    std::vector<std::string>* previous_ = nullptr;
};

// The file reader of libmseed with its state, closed on every path.
class RecordReader {
public:
    explicit RecordReader(std::string path) : path_(std::move(path)) {}
    ~RecordReader() { ms_readmsr_r(&file_, &record_, nullptr, 0, nullptr, nullptr, 0, 0, 0); }
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // MS_NOERROR with a record, MS_ENDOFFILE, or the library's error code.
    // Records of any length are found by the library; anything that is
    // not a data record is an error, so a damaged file is never skipped
    // over in silence.
    int Next() {
        return ms_readmsr_r(&file_, &record_, path_.c_str(), -1, nullptr, nullptr, /*skipnotdata*/ 0,
                            /*dataflag*/ 1, /*verbose*/ 0);
    }
    const MSRecord& Record() const { return *record_; }

private:
    std::string path_;
    MSFileParam* file_ = nullptr;
    MSRecord* record_ = nullptr;
};

std::string RateText(double rate) { return dyma::FloatToStr(rate, '.') + " Hz"; }

// The largest number of whole samples per second the program takes; the
// rate must fit the container's integer rate.
constexpr double kHighestRate = 1.0e6;

}  // namespace

// ------------------------------------------------------------------ streams

std::string SeedStream::Id() const { return network + "." + station + "." + location + "." + channel; }

struct mseedsig::Piece {
    std::int64_t start = 0;  // microseconds, as libmseed keeps times
    double rate = 0;
    std::vector<double> samples;
};

struct mseedsig::StreamData {
    SeedStream stream;
    std::vector<Piece> pieces;
};

// ------------------------------------------------------------------ the reader

mseedsig::mseedsig(const std::string& fileName, const std::string& tempFileName,
                   const std::vector<std::string>& options)
    : Kelo::signalprocessing(fileName, options), TempFileName(tempFileName) {
    if (!dyma::FileExists(FileName)) throw QuaEIOError("Plik nie istnieje: " + FileName);
    {
        std::ifstream probe(dyma::NativePath(FileName), std::ios::binary);
        if (!probe) throw QuaEIOError("Nie można otworzyć pliku: " + FileName);
    }
    std::vector<StreamData> streams = ReadRecords();
    const int rate = CommonRate(streams);
    CheckTempFile();
    FillTable(streams, rate);
}

mseedsig::~mseedsig() = default;

std::vector<mseedsig::StreamData> mseedsig::ReadRecords() {
    LibraryMessages messages;
    RecordReader reader(FileName);
    std::vector<StreamData> streams;
    std::map<std::string, std::size_t> byId;
    long long records = 0;
    long long consumed = 0;  // bytes of the records read so far
    auto damaged = [&](const std::string& reason) {
        return QuaEWrongOperation("Plik " + FileName + " nie jest poprawnym plikiem miniSEED: uszkodzony rekord nr " +
                                  std::to_string(records + 1) + " (bajt " + std::to_string(consumed) + "): " + reason);
    };
    for (;;) {
        int result;
        try {
            result = reader.Next();
        } catch (const EndlessComplaints&) {
            throw damaged("biblioteka nie kończy odczytu rekordu (" + std::to_string(messages.Count()) +
                          " komunikatów, pierwszy: " + messages.First() + ")");
        }
        if (result == MS_ENDOFFILE) break;
        if (result != MS_NOERROR) {
            std::string reason = ms_errorstr(result) ? ms_errorstr(result) : "error";
            if (!messages.Empty()) reason += " (" + messages.Text() + ")";
            throw damaged(reason);
        }
        const MSRecord& record = reader.Record();
        // A record the library could read only with complaints (a Steim
        // frame that fails its check, a sample count that does not add up)
        // holds samples that cannot be trusted.
        if (!messages.Empty() || (record.sampletype != 'a' && record.numsamples != record.samplecnt)) {
            throw damaged(messages.Empty() ? "odczytano " + std::to_string(record.numsamples) + " z " +
                                                 std::to_string(record.samplecnt) + " próbek"
                                           : messages.Text());
        }
        ++records;
        consumed += record.reclen;
        // Text records (logs, messages) carry no samples of a signal.
        if (record.sampletype == 'a' || record.numsamples <= 0) continue;

        SeedStream stream{record.network, record.station, record.location, record.channel};
        const std::string id = stream.Id();
        auto found = byId.find(id);
        if (found == byId.end()) {
            found = byId.emplace(id, streams.size()).first;
            streams.push_back({stream, {}});
        }
        Piece piece;
        piece.start = record.starttime;
        piece.rate = record.samprate;
        piece.samples.resize(static_cast<std::size_t>(record.numsamples));
        for (std::int64_t i = 0; i < record.numsamples; ++i) {
            double value = 0;
            switch (record.sampletype) {
            case 'i': value = static_cast<const std::int32_t*>(record.datasamples)[i]; break;
            case 'f': value = static_cast<const float*>(record.datasamples)[i]; break;
            case 'd': value = static_cast<const double*>(record.datasamples)[i]; break;
            default: throw damaged(std::string("nieznany typ próbek '") + record.sampletype + "'");
            }
            piece.samples[static_cast<std::size_t>(i)] = value;
        }
        streams[found->second].pieces.push_back(std::move(piece));
    }
    // The library ends at a last record too short to be one: a file cut
    // short, or bytes that are no record at all, would otherwise lose its
    // end without a word.
    std::error_code error;
    const auto size = std::filesystem::file_size(dyma::NativePath(FileName), error);
    if (!error && static_cast<long long>(size) > consumed)
        throw damaged("za rekordem nr " + std::to_string(records) + " zostało " +
                      std::to_string(static_cast<long long>(size) - consumed) +
                      " bajtów, które nie są całym rekordem (plik ucięty albo uszkodzony)");
    if (streams.empty())
        throw QuaEWrongOperation("Plik " + FileName + " nie zawiera próbek sygnału (" + std::to_string(records) +
                                 " rekordów bez próbek).");
    if (streams.size() > static_cast<std::size_t>(Kelo::kChannelSlots))
        throw QuaEWrongOperation("Plik " + FileName + " ma " + std::to_string(streams.size()) +
                                 " kanałów; program przyjmuje najwyżej " + std::to_string(Kelo::kChannelSlots) +
                                 ".");
    return streams;
}

int mseedsig::CommonRate(const std::vector<StreamData>& streams) const {
    const double rate = streams.front().pieces.front().rate;
    for (const StreamData& s : streams) {
        for (const Piece& p : s.pieces) {
            if (p.rate > 0 && rate > 0 && MS_ISRATETOLERABLE(p.rate, rate)) continue;
            throw QuaEWrongOperation(
                "Kanały pliku " + FileName + " mają różne częstotliwości próbkowania: " +
                streams.front().stream.Id() + " " + RateText(rate) + ", " + s.stream.Id() + " " + RateText(p.rate) +
                ". Program wymaga jednej częstotliwości próbkowania dla wszystkich kanałów pliku.");
        }
    }
    const double whole = std::round(rate);
    if (!(whole >= 1 && whole <= kHighestRate) || !MS_ISRATETOLERABLE(rate, whole))
        throw QuaEWrongOperation("Częstotliwość próbkowania pliku " + FileName + " (" + RateText(rate) +
                                 ") nie jest całkowitą liczbą próbek na sekundę od 1 do 1000000; "
                                 "program przyjmuje tylko takie.");
    return static_cast<int>(whole);
}

void mseedsig::FillTable(std::vector<StreamData>& streams, int rate) {
    std::int64_t first = INT64_MAX;
    for (const StreamData& s : streams)
        for (const Piece& p : s.pieces) first = std::min(first, p.start);

    // Where each record's first sample goes, counted from the record's
    // earliest sample; and the length that holds every sample.
    auto offsetOf = [&](const Piece& p) {
        const double seconds = static_cast<double>(p.start - first) / HPTMODULUS;
        return static_cast<long long>(std::llround(seconds * rate));
    };
    long long length = 0, mostHeld = 0;
    for (const StreamData& s : streams) {
        long long held = 0;
        for (const Piece& p : s.pieces) {
            length = std::max(length, offsetOf(p) + static_cast<long long>(p.samples.size()));
            held += static_cast<long long>(p.samples.size());
        }
        mostHeld = std::max(mostHeld, held);
    }
    // Records whose times lie far apart would make the channels mostly
    // filled-in stretches (and the table as large as the time between
    // them): a damaged time, or records of different periods in one file.
    // Gaps are taken while no channel would be more than twice as long as
    // the most samples a channel holds, plus a minute.
    if (length > 2 * mostHeld + 60LL * rate)
        throw QuaEWrongOperation("Plik " + FileName + ": rekordy obejmują " +
                                 dyma::FormatFloat("0.000", static_cast<double>(length) / rate, '.') +
                                 " s, a kanał zawiera najwyżej " +
                                 dyma::FormatFloat("0.000", static_cast<double>(mostHeld) / rate, '.') +
                                 " s próbek: czas któregoś rekordu jest uszkodzony albo plik łączy zapisy "
                                 "z różnych okresów.");
    if (length > INT_MAX)
        throw QuaEWrongOperation("Zapis w pliku " + FileName + " jest za długi: " + std::to_string(length) +
                                 " próbek w kanale (najwyżej " + std::to_string(INT_MAX) + ").");

    ChannelCount = static_cast<int>(streams.size());
    MinChannel = 0;
    MaxChannel = ChannelCount - 1;
    StationInfoExists = true;
    LocationExists = false;
    SetStart(first);

    const int samples = static_cast<int>(length);
    Samples.Open(TempFileName, ChannelCount, samples, 0.0);
    Streams.clear();
    ChannelGaps.assign(static_cast<std::size_t>(ChannelCount), {});
    StationPlaced.assign(static_cast<std::size_t>(ChannelCount), false);
    SensorReversed.assign(static_cast<std::size_t>(ChannelCount), false);

    std::vector<double> row(static_cast<std::size_t>(samples));
    std::vector<unsigned char> held(static_cast<std::size_t>(samples));
    for (int c = 0; c < ChannelCount; ++c) {
        StreamData& s = streams[static_cast<std::size_t>(c)];
        // Records in time order; where two cover the same samples, the
        // earlier record's values stand.
        std::stable_sort(s.pieces.begin(), s.pieces.end(),
                         [](const Piece& a, const Piece& b) { return a.start < b.start; });
        std::fill(held.begin(), held.end(), 0);
        for (Piece& p : s.pieces) {
            const long long at = offsetOf(p);
            for (std::size_t i = 0; i < p.samples.size(); ++i) {
                const long long index = at + static_cast<long long>(i);
                if (index < 0 || index >= samples || held[static_cast<std::size_t>(index)]) continue;
                row[static_cast<std::size_t>(index)] = p.samples[i];
                held[static_cast<std::size_t>(index)] = 1;
            }
            // The samples are in the row now; the record's copy can go.
            std::vector<double>().swap(p.samples);
        }
        // Fill what no record holds with the value before it.
        std::vector<SampleGap>& gaps = ChannelGaps[static_cast<std::size_t>(c)];
        std::size_t firstHeld = 0;
        while (firstHeld < held.size() && !held[firstHeld]) ++firstHeld;
        double last = firstHeld < held.size() ? row[firstHeld] : 0.0;
        for (int i = 0; i < samples;) {
            if (held[static_cast<std::size_t>(i)]) {
                last = row[static_cast<std::size_t>(i)];
                ++i;
                continue;
            }
            SampleGap gap{i, i};
            while (gap.end < samples && !held[static_cast<std::size_t>(gap.end)]) row[static_cast<std::size_t>(gap.end++)] = last;
            gaps.push_back(gap);
            i = gap.end;
        }

        double lowest = row.empty() ? 0.0 : row.front(), highest = lowest;
        for (double v : row) {
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        std::copy(row.begin(), row.end(), Samples.OverwriteLine(c));
        SetChannelExtremes(c, lowest, highest);

        Kelo::StationInfo& station = Stations[static_cast<std::size_t>(c)];
        station.Number = static_cast<std::int16_t>(c + 1);
        station.Enabled = 0;
        station.Name = s.stream.Id();
        station.Component = s.stream.channel;
        station.Length = samples;
        station.SamplingRate = rate;
        ChannelActive[static_cast<std::size_t>(c)] = false;
        Streams.push_back(s.stream);
    }
    Samples.Flush();
}

void mseedsig::SetStart(std::int64_t microseconds) {
    StartMicroseconds = microseconds;
    BTime time{};
    ms_hptime2btime(microseconds, &time);
    int month = 0, day = 0;
    ms_doy2md(time.year, time.day, &month, &day);
    Year = time.year;
    Month = month;
    Day = day;
    Hour = time.hour;
    Minute = time.min;
    Second = time.sec;
    std::int64_t within = microseconds % HPTMODULUS;
    if (within < 0) within += HPTMODULUS;
    Microsecond = static_cast<int>(within);
    StartDate = dyma::EncodeDate(Year, Month, Day);
    StartTime = dyma::EncodeTime(Hour, Minute, Second, 0) + Microsecond / (86400.0 * HPTMODULUS);
    StartDateTime = StartDate + StartTime;
}

void mseedsig::CheckTempFile() const {
    // Creating the table truncates its file: never the signal file itself.
    std::error_code error;
    if (std::filesystem::equivalent(dyma::NativePath(FileName), dyma::NativePath(TempFileName), error))
        throw QuaEWrongOperation("Plik tymczasowy próbek nie może być plikiem sygnału.");
}

void mseedsig::CheckChannelIndex(int channel, const char* operation) const {
    if (channel < 0 || channel >= static_cast<int>(Streams.size()))
        throw QuaEOutOfRange(std::string("mseedsig::") + operation + "(): Wrong channel number.");
}

const SeedStream& mseedsig::Stream(int channel) const {
    CheckChannelIndex(channel, "Stream");
    return Streams[static_cast<std::size_t>(channel)];
}

const std::vector<SampleGap>& mseedsig::Gaps(int channel) const {
    CheckChannelIndex(channel, "Gaps");
    return ChannelGaps[static_cast<std::size_t>(channel)];
}

void mseedsig::SetStation(int channel, double x, double y, double z, bool reversed) {
    CheckChannelIndex(channel, "SetStation");
    Kelo::StationInfo& station = Stations[static_cast<std::size_t>(channel)];
    station.X = x;
    station.Y = y;
    station.Z = z;
    station.Enabled = 1;
    ChannelActive[static_cast<std::size_t>(channel)] = true;
    StationPlaced[static_cast<std::size_t>(channel)] = true;
    SensorReversed[static_cast<std::size_t>(channel)] = reversed;
}

bool mseedsig::HasStation(int channel) const {
    CheckChannelIndex(channel, "HasStation");
    return StationPlaced[static_cast<std::size_t>(channel)];
}

bool mseedsig::Reversed(int channel) const {
    CheckChannelIndex(channel, "Reversed");
    return SensorReversed[static_cast<std::size_t>(channel)];
}

}  // namespace Quarnet
