#include "tools/exampletremor/exampletremor.h"

#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/document/tremordocument.h"
#include "app/seismogram/channeltables.h"
#include "app/seismogram/firstmotion.h"
#include "app/seismogram/locationfile.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "app/seismogram/stationtable.h"
#include "app/settings/settings.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "tools/lgomgen/lgomgen.h"
#include "tools/mseedgen/mseedgen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <stdexcept>

namespace dyma::example {

namespace {

namespace fs = std::filesystem;

constexpr double kRate = 500;          // samples per second
constexpr int kSamples = 2500;         // 5 s of record
constexpr double kOriginDelay = 0.8;   // origin time after the record start, s
const lgomgen::StartTime kStart{2024, 3, 14, 7, 42, 16, 0};

// The tremor in the district's grid (metres, Z negative below sea level),
// at the depth of the copper seam.
constexpr double kSourceX = 24612, kSourceY = 17385, kSourceZ = -955;
// Normal dip-slip on a steep fault striking north-west, as the district's
// strong tremors commonly show.
constexpr focal::Plane kMechanism{130, 85, -75};

constexpr int kStations = 30;
constexpr double kNoiseCounts = 12;  // standard deviation of the background

// Stations whose ray lies this close to a nodal plane would get a first
// motion no operator could read; they are moved along their circle.
constexpr double kNodalMargin = 0.15;

// The same noise on every platform (the standard distributions are not
// defined bit for bit): xorshift64* and the Box-Muller transform.
class Noise {
public:
    explicit Noise(std::uint64_t seed) : state_(seed) {}
    double Gaussian() {
        const double u1 = (static_cast<double>(Next() >> 11) + 0.5) * (1.0 / 9007199254740992.0);
        const double u2 = (static_cast<double>(Next() >> 11) + 0.5) * (1.0 / 9007199254740992.0);
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * focal::kPi * u2);
    }

private:
    std::uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 2685821657736338717ULL;
    }
    std::uint64_t state_;
};

struct Station {
    int x = 0, y = 0, z = 0;  // whole metres: the MBJ header keeps no more
    std::string type;         // "C", "A" or "B"
    double amplitude = 0;     // P radiation of the ray
    int firstMotion = 0;      // sign of the trace's first swing
    double distance = 0;      // metres
    double onset = 0;         // P onset, seconds from the record start
    double marker = 0;        // where the pick sits
};

double Setting(const std::string& text) { return GeologyValue(text, '.'); }

double Velocity(const std::string& type, const Settings& s) {
    if (type == wave::kUpperSeam) return Setting(s.defaultVa);
    if (type == wave::kLowerSeam) return Setting(s.defaultVb);
    return Setting(s.defaultV);
}

int WeightOf(const std::string& type, const Settings& s) {
    if (type == wave::kUpperSeam) return s.WageA;
    if (type == wave::kLowerSeam) return s.WageB;
    return s.WageD;
}

// The network: stations at 0.15 to 6 km around the source on a golden-angle
// spiral (the near ones see the steep rays), at the mine levels from -600 to
// -1100 m, every fifth an upper and
// every fifth a lower seam wave. The first motion of each follows from the
// mechanism through the ray and sign rules the program and the solver share:
// the solver fits the radiation sign, and the polarity it reads is the
// trace's, divided by the display rule of the wave.
std::vector<Station> Network(const Settings& s) {
    const focal::SeamModel model{Setting(s.defaultAAngle), Setting(s.defaultBAngle), Setting(s.defaultUpad),
                                 Setting(s.defaultBieg)};
    const focal::Vec3 normal = focal::FaultNormal(kMechanism), slip = focal::SlipVector(kMechanism);
    std::vector<Station> out;
    for (int k = 0; k < kStations; ++k) {
        Station st;
        st.type = k % 5 == 1 ? wave::kUpperSeam : k % 5 == 3 ? wave::kLowerSeam : wave::kDirect;
        const double radius = 150 + 6000 * std::pow((k + 0.5) / kStations, 2.5);
        const double level = std::fmod(k * 0.6180339887 + 0.31, 1.0);
        st.z = -static_cast<int>(std::lround(600 + 500 * level));
        focal::RayAngles ray;
        for (int attempt = 0; attempt < 50; ++attempt) {
            const double az = focal::Rad(23 + k * 137.50776 + attempt * 7);
            st.x = static_cast<int>(std::lround(kSourceX + radius * std::cos(az)));
            st.y = static_cast<int>(std::lround(kSourceY + radius * std::sin(az)));
            // Solver frame: depth positive downward.
            const double dx = st.x - kSourceX, dy = st.y - kSourceY, ddepth = kSourceZ - st.z;
            if (focal::ComputeRay(st.type, dx, dy, ddepth, model, ray) != focal::RayResult::Computed) continue;
            st.amplitude = focal::PAmplitude(normal, slip, focal::Normalized(focal::RayVector(ray)));
            st.distance = std::sqrt(dx * dx + dy * dy + ddepth * ddepth);
            if (std::fabs(st.amplitude) >= kNodalMargin) break;
        }
        if (std::fabs(st.amplitude) < kNodalMargin) throw std::runtime_error("no readable first motion for a station");
        const int radiation = st.amplitude > 0 ? 1 : -1;
        const bool keeps = focal::KeepsPolarity(st.type, -st.z, -kSourceZ, ray.Angle);
        st.firstMotion = keeps ? radiation : -radiation;
        st.onset = kOriginDelay + st.distance / Velocity(st.type, s);
        // A few milliseconds into the first swing, on a sample, where an
        // operator's click lands.
        const double sample = std::ceil(st.onset * kRate) + 2;
        st.marker = (sample + 0.25) / kRate;
        out.push_back(st);
    }
    return out;
}

double Wavelet(double tau, double frequency, double decay) {
    if (tau < 0) return 0;
    return std::exp(-tau / decay) * std::sin(2 * focal::kPi * frequency * tau);
}

std::vector<std::int16_t> Trace(const Station& st, int index, const Settings& s) {
    Noise noise(0x9E3779B97F4A7C15ULL + 7919ULL * static_cast<std::uint64_t>(index + 1));
    const double p = 6000 * (0.3 + 0.7 * std::fabs(st.amplitude)) * 1500 / (1500 + st.distance);
    const double sOnset = kOriginDelay + st.distance / (Setting(s.defaultV) / std::sqrt(3.0));
    const double sSign = index % 2 == 0 ? 1 : -1;
    std::vector<std::int16_t> samples(kSamples);
    for (int i = 0; i < kSamples; ++i) {
        const double t = i / kRate;
        const double v = kNoiseCounts * noise.Gaussian() + st.firstMotion * p * Wavelet(t - st.onset, 14, 0.07) +
                         sSign * 2 * p * Wavelet(t - sOnset, 8, 0.15);
        samples[static_cast<size_t>(i)] = static_cast<std::int16_t>(std::clamp(std::lround(v), -32767L, 32767L));
    }
    return samples;
}

lgomgen::Signal SignalOf(const std::vector<Station>& stations, const Settings& s) {
    lgomgen::Signal signal;
    signal.layout = lgomgen::Layout::MBJ;
    signal.samplingRate = kRate;
    signal.start = kStart;
    signal.samplesPerChannel = kSamples;
    for (size_t k = 0; k < stations.size(); ++k) {
        lgomgen::Channel c;
        c.component = "z";
        c.name = "RUD" + FormatInt(static_cast<long long>(k) + 1, 2);
        c.x = stations[k].x;
        c.y = stations[k].y;
        // Files in the district's own grid keep Z as depth, positive downward.
        c.z = -stations[k].z;
        c.samples = Trace(stations[k], static_cast<int>(k), s);
        signal.channels.push_back(std::move(c));
    }
    return signal;
}

LocationRecord LocationOf() {
    LocationRecord r;
    r.layout = kLocationLayoutLong;
    r.Data = "24.03.14";
    r.Czas = "07:42:16";
    r.Oddzial = "ZG-R";
    r.TypZjawiska = 1;
    r.X = kSourceX;
    r.Y = kSourceY;
    r.Z = kSourceZ;
    r.T0 = kStart.second + kOriginDelay;
    r.Energia = 3.4e6;
    r.Notatki = "syntetyczny";
    r.Rejon = "XIV";
    return r;
}

std::string Number(double v) { return FloatToStr(v, '.'); }

void WriteTruth(const std::string& path, const Truth& t, const std::vector<PickRow>& rows, const Settings& s) {
    std::vector<std::string> lines{
        "; Przykładowy wstrząs programu WinDYMA: to, co kodują odczyty pliku tremor.dym.",
        "; Kąty w stopniach w układzie rozwiązania (X na północ, Y na wschód, głębokość w dół),",
        "; współrzędne w metrach (Z ujemne poniżej poziomu morza).",
        "[Mechanizm]"};
    auto plane = [&](const char* name, const focal::Plane& p) {
        lines.push_back(std::string("Bieg") + name + "=" + FormatFloat("0.00", p.strike, '.'));
        lines.push_back(std::string("Upad") + name + "=" + FormatFloat("0.00", p.dip, '.'));
        lines.push_back(std::string("Kierunek") + name + "=" + FormatFloat("0.00", p.rake, '.'));
    };
    plane("A", t.planeA);
    plane("B", t.planeB);
    lines.push_back("TrendP=" + FormatFloat("0.0", t.pAxis.trend, '.'));
    lines.push_back("ZaglebienieP=" + FormatFloat("0.0", t.pAxis.plunge, '.'));
    lines.push_back("TrendT=" + FormatFloat("0.0", t.tAxis.trend, '.'));
    lines.push_back("ZaglebienieT=" + FormatFloat("0.0", t.tAxis.plunge, '.'));
    lines.insert(lines.end(), {"", "[Lokalizacja]", "X=" + Number(t.X), "Y=" + Number(t.Y), "Z=" + Number(t.Z),
                               "CzasOgniska=2024-03-14 07:42:16.800", "", "[Model]"});
    for (const GeologySetting& g : kGeology) lines.push_back(std::string(g.key) + "=" + s.*g.field);
    lines.insert(lines.end(), {"", "; kanał=typ fali, pierwsze wychylenie na zapisie, waga", "[Odczyty]"});
    for (const PickRow& r : rows)
        lines.push_back(r.Name + r.Skladowa + "=" + r.WaveType + " " + r.FirstArrival + " " + Number(r.Wage));
    WriteTextLines(path, lines);
}

std::string In(const std::string& directory, const char* name) { return (NativePath(directory) / name).string(); }

// The record as an observatory would deliver it: every channel a miniSEED
// stream of network KG (station RUDnn, channel DHZ: a short-period vertical
// sensor at 500 samples per second), and the station table beside it.
void WriteMiniSeedCopy(Kelo::signalprocessing& reader, const std::string& directory) {
    const SignalDescription start = DescribeSignal(reader);
    std::vector<mseedgen::Trace> traces;
    std::string table = std::string(kStationTableHeader) + "\n";
    for (int c = 0; c < reader.GetChannelCount(); ++c) {
        const Kelo::StationInfo& station = *reader.GetStationInfo(c);
        mseedgen::Trace t;
        t.network = "KG";
        t.station = "RUD" + FormatInt(station.Number, 2);
        t.channel = "DHZ";
        t.rate = reader.GetSamplingRate(0);
        t.start = mseedgen::Time(start.Year, start.Month, start.Day, start.Hour, start.Minute, start.Second,
                                 start.Millisecond * 1000);
        for (int i = 0; i < reader.GetChannelLength(c); ++i) t.samples.push_back(reader.GetSample(c, i));
        traces.push_back(std::move(t));
        table += "KG," + traces.back().station + ",,DHZ," + FloatToStr(station.X, '.') + "," +
                 FloatToStr(station.Y, '.') + "," + FloatToStr(station.Z, '.') + ",0\n";
    }
    mseedgen::WriteFile(In(directory, kMiniSeedFile), traces, /*interleaved*/ true);
    WriteFileAtomic(In(directory, kMiniSeedStations), table);
}

}  // namespace

Truth WriteExampleTremor(const std::string& directory) {
    fs::create_directories(NativePath(directory));
    const Settings settings;  // the defaults of a fresh installation
    const std::vector<Station> stations = Network(settings);
    const std::string signalPath = In(directory, kSignalFile);
    lgomgen::Write(signalPath, SignalOf(stations, settings));

    // The picks as the operator would place them: read through the program's
    // own reader, the first motion after the marker by the program's rule.
    std::vector<PickRow> rows;
    std::vector<ChannelFacts> channels;
    SignalFacts signalFacts;
    {
        // Read back as the program opens a record.
        const OpenedSignal opened = OpenSignalFile(signalPath, In(directory, ".tremor.table.tmp"));
        Kelo::signalprocessing& reader = *opened.signal;
        channels = ReadChannelFacts(reader);
        signalFacts = SignalFactsOf(reader, kSignalFile);  // a bare name: found beside the project
        for (size_t k = 0; k < stations.size(); ++k) {
            const Station& st = stations[k];
            const ChannelFacts& c = channels.at(k);
            if (c.X != st.x || c.Y != st.y || c.Z != st.z)
                throw std::runtime_error("the signal file does not hold the station coordinates of " + ChannelLabel(c));
            const picking::FirstMotion motion = picking::ReadFirstMotion(
                ReadChannelSamples(reader, static_cast<int>(k)), reader.GetSamplingRate(0), st.marker);
            const std::string firstArrival = picking::PolarityText(motion.polarity);
            if (firstArrival != (st.firstMotion > 0 ? "+" : "-"))
                throw std::runtime_error("the trace of " + ChannelLabel(c) + " does not show its first motion");
            rows.push_back({static_cast<int>(k) + 1, std::to_string(c.Number), c.Component, st.type, firstArrival,
                            WeightToWage(WeightOf(st.type, settings)), st.marker, true});
        }
        WriteMiniSeedCopy(reader, directory);
    }

    const LocationRecord location = LocationOf();
    WriteFileAtomic(In(directory, kLocationFile), EncodeLocationRecord(location));

    // The project through the document model, as the program saves it; the
    // notes are what reading the location file on the data page adds.
    const std::string projectPath = In(directory, kProjectFile);
    std::error_code ec;
    fs::remove(NativePath(projectPath), ec);
    IniImage image(projectPath);
    EnsureChannelPolarities(image, static_cast<int>(channels.size()));
    DataPageValues page;
    page.X = FloatToStr(kSourceX, ',');
    page.Y = FloatToStr(kSourceY, ',');
    page.Z = FloatToStr(kSourceZ, ',');
    page.Description = "Przykładowy wstrząs syntetyczny (mechanizm w pliku truth.txt)";
    page.Operator = "WinDYMA";
    page.Notes = LocationNoteLines(location, ',');
    SaveHeaderAndPicks(image, page, signalFacts, rows, ',');
    if (!SaveDocumentAs(image, projectPath)) throw std::runtime_error(SaveFailedMessage(projectPath));

    Truth truth;
    truth.planeA = kMechanism;
    truth.planeB = focal::AuxiliaryPlane(kMechanism);
    focal::Axis b;
    focal::PrincipalAxes(kMechanism, truth.pAxis, truth.tAxis, b);
    truth.X = kSourceX;
    truth.Y = kSourceY;
    truth.Z = kSourceZ;
    WriteTruth(In(directory, kTruthFile), truth, rows, settings);
    return truth;
}

Truth ReadTruthFile(const std::string& path) {
    if (!FileExists(path)) throw std::runtime_error("no truth file " + path);
    const IniImage image(path);
    auto read = [&](const char* section, const std::string& key) {
        return ParseNumber(image.ReadString(section, key, "0"), '.');
    };
    auto plane = [&](const std::string& name) {
        return focal::Plane{read("Mechanizm", "Bieg" + name), read("Mechanizm", "Upad" + name),
                            read("Mechanizm", "Kierunek" + name)};
    };
    Truth t;
    t.planeA = plane("A");
    t.planeB = plane("B");
    t.pAxis = {read("Mechanizm", "TrendP"), read("Mechanizm", "ZaglebienieP")};
    t.tAxis = {read("Mechanizm", "TrendT"), read("Mechanizm", "ZaglebienieT")};
    t.X = read("Lokalizacja", "X");
    t.Y = read("Lokalizacja", "Y");
    t.Z = read("Lokalizacja", "Z");
    return t;
}

}  // namespace dyma::example
