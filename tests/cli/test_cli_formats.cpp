// dyma with the field's formats: the solved example exported as QuakeML (valid
// against the schema, with the document's planes, axes and polarities), as
// a CSV or JSON catalogue, nothing written on any failure; and the example's
// record converted to miniSEED (written by libmseed) read, exported and
// solved like the LGOM original.
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/document/tremordocument.h"
#include "app/seismogram/channeltables.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "app/seismogram/stationtable.h"
#include "cli/clirun.h"
#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "support/quakemldocument.h"
#include "tools/exampletremor/exampletremor.h"
#include "tools/mseedgen/mseedgen.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <functional>
#include <map>
#include <set>

using namespace clitest;
using namespace dyma;
namespace fs = std::filesystem;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

double ResultValue(const IniImage& image, const char* key) {
    return ParseNumber(image.ReadString("Result", key, "nan"), '.');
}

const std::string kMechanism = "quakeml/eventParameters/event/focalMechanism/";
const std::string kPick = "quakeml/eventParameters/event/pick/";
const char kMineGrid[] = "local:51.5,16.1,0";

class Formats : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        example_ = CopyExample();
        project_ = example_ + "/" + example::kProjectFile;
    }

    // A copy of the example's project (beside its signal), edited, solved
    // and saved.
    std::string Solved(const std::string& name, const std::function<void(IniImage&)>& edit = {}) const {
        const std::string target = example_ + "/" + name;
        fs::copy_file(project_, target, fs::copy_options::overwrite_existing);
        if (edit) {
            IniImage image(target);
            edit(image);
            image.UpdateFile();
        }
        const CliResult r = Dyma({"solve", target, "--save"});
        EXPECT_EQ(r.code, 0) << r.err;
        return target;
    }

    std::string example_, project_;
};

// The ground's first motion the document means: the picked first arrival,
// reversed for a reversed sensor and again for a reversed document.
std::map<std::string, std::string> MeantPolarities(const std::string& project) {
    const IniImage image(project);
    const bool reversed = image.ReadBool("Datas", "ReversePolarization", false);
    std::map<std::string, std::string> out;
    for (int ident = 1; ident <= kMaxChannels; ++ident) {
        const ChannelPick p = ReadChannelPick(image, ident);
        if (!p.IsComplete() || !p.Active || (p.FirstArrival != "+" && p.FirstArrival != "-")) continue;
        const int sensor = static_cast<int>(image.ReadInteger(ChannelSection(ident), "Polarity", 1));
        const bool up = ((p.FirstArrival == "+") != (sensor < 0)) != reversed;
        out[image.ReadString(ChannelSection(ident), "Name", "?")] = up ? "positive" : "negative";
    }
    return out;
}

}  // namespace

// The exported picks carry the motion the document means, reversed sensors
// and a reversed document included; planes and axes are the stored ones.
TEST_F(Formats, QuakeMLOfTheExampleIsValidAndHoldsTheDocument) {
    struct Case {
        const char* what;
        bool reverseDocument;
        int reversedSensor;  // channel ident, 0 none
    };
    const Case cases[] = {{"as it is", false, 0}, {"a reversed sensor", false, 4}, {"a reversed document", true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string project = Solved(std::string("case-") + std::to_string(&c - cases) + ".dym", [&](IniImage& i) {
            i.WriteBool("Datas", "ReversePolarization", c.reverseDocument);
            if (c.reversedSensor) i.WriteInteger(ChannelSection(c.reversedSensor), "Polarity", -1);
        });
        const std::string out = Dir("out") + "/q" + std::to_string(&c - cases) + ".xml";
        const CliResult r = Dyma({"export", project, "--format", "quakeml", "-o", out, "--crs", kMineGrid});
        ASSERT_EQ(r.code, 0) << r.err;
        const std::string document = test::ReadAll(out);
        EXPECT_EQ(test::SchemaErrors(root_, document), "");

        const auto e = test::Elements(document);
        const IniImage image(project);
        // The grid's north is true north at this origin: the angles stand.
        EXPECT_NEAR(test::One(e, kMechanism + "nodalPlanes/nodalPlane1/strike/value"), ResultValue(image, "SA"), 1e-9);
        EXPECT_NEAR(test::One(e, kMechanism + "nodalPlanes/nodalPlane1/dip/value"), ResultValue(image, "DA"), 1e-9);
        EXPECT_NEAR(test::One(e, kMechanism + "nodalPlanes/nodalPlane1/rake/value"), ResultValue(image, "RA"), 1e-9);
        EXPECT_NEAR(test::One(e, kMechanism + "nodalPlanes/nodalPlane2/strike/value"), ResultValue(image, "SB"), 1e-9);
        EXPECT_NEAR(test::One(e, kMechanism + "nodalPlanes/nodalPlane2/dip/value"), ResultValue(image, "RB"), 1e-9);
        EXPECT_NEAR(test::One(e, kMechanism + "nodalPlanes/nodalPlane2/rake/value"), ResultValue(image, "DB"), 1e-9);
        EXPECT_NEAR(test::One(e, kMechanism + "nodalPlanes/nodalPlane2/rake/uncertainty"), ResultValue(image, "DBB"),
                    1e-9);
        EXPECT_NEAR(test::One(e, kMechanism + "principalAxes/pAxis/azimuth/value"), ResultValue(image, "PTrend"), 1e-9);
        EXPECT_NEAR(test::One(e, kMechanism + "principalAxes/pAxis/plunge/value"), ResultValue(image, "PPlunge"), 1e-9);
        EXPECT_NEAR(test::One(e, kMechanism + "principalAxes/tAxis/azimuth/value"), ResultValue(image, "TTrend"), 1e-9);
        EXPECT_NEAR(test::One(e, kMechanism + "principalAxes/tAxis/plunge/value"), ResultValue(image, "TPlunge"), 1e-9);

        const std::map<std::string, std::string> meant = MeantPolarities(project);
        const std::vector<std::string> stations = test::All(e, kPick + "waveformID@stationCode");
        const std::vector<std::string> polarities = test::All(e, kPick + "polarity");
        ASSERT_EQ(stations.size(), meant.size());
        ASSERT_EQ(polarities.size(), meant.size());
        EXPECT_NEAR(test::One(e, kMechanism + "stationPolarityCount"), double(meant.size()), 0);
        for (size_t i = 0; i < stations.size(); ++i) {
            ASSERT_TRUE(meant.count(stations[i])) << stations[i];
            EXPECT_EQ(polarities[i], meant.at(stations[i])) << "station " << stations[i];
        }
    }
}

TEST_F(Formats, WithoutAUsableCoordinateSystemNothingIsWritten) {
    const std::string project = Solved("solved.dym");
    const std::string out = Dir("out") + "/kept.xml";
    std::ofstream(out) << "an earlier export";
    struct Case {
        const char* what;
        std::vector<std::string> crs;
        const char* expected;
    };
    const Case cases[] = {
        {"none given, none set", {}, "Nie podano układu współrzędnych sieci"},
        {"a geographic system", {"--crs", "EPSG:4326"}, "to nie jest układ płaski"},
        {"the mine's grid taken for the national one", {"--crs", "EPSG:2180"}, "poza obszarem jego stosowania"},
        {"a malformed local grid", {"--crs", "local:51.5"}, "local:SZEROKOŚĆ,DŁUGOŚĆ,OBRÓT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"export", project, "-o", out};
        args.insert(args.end(), c.crs.begin(), c.crs.end());
        const CliResult r = Dyma(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(Contains(r.err, c.expected)) << r.err;
        EXPECT_TRUE(Contains(r.err, "Nic nie zapisano.")) << r.err;
        EXPECT_EQ(test::ReadAll(out), "an earlier export");
        const CliResult toOutput = Dyma({"export", project});
        EXPECT_TRUE(toOutput.out.empty()) << toOutput.out;
    }
    EXPECT_TRUE(TemporaryFolderIsEmpty());

    // The program's setting serves when no --crs is given.
    const std::string conf = Dir("config/Quarnet") + "/Dyma.conf";
    std::ofstream(conf) << "[Network]\nCoordinateSystem=" << kMineGrid << "\n";
    const CliResult r = Dyma({"export", project, "-o", out});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(test::ReadAll(out), "w układzie local:51.5,16.1,0"));
}

// A project without a solution stops the whole export: a catalogue is never
// written with a row missing.
TEST_F(Formats, OneProjectThatCannotBeExportedWritesNothing) {
    const std::string solved = Solved("solved.dym");
    const std::string unsolved = example_ + "/unsolved.dym";
    fs::copy_file(project_, unsolved);
    const std::string out = Dir("out") + "/catalogue.csv";
    for (const char* format : {"csv", "json", "quakeml"}) {
        SCOPED_TRACE(format);
        const CliResult r = Dyma({"export", solved, unsolved, "--format", format, "-o", out, "--crs", kMineGrid});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(Contains(r.err, "unsolved.dym nie zawiera rozwiązania")) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
    const CliResult wrong = Dyma({"export", solved, "--format", "xls"});
    EXPECT_EQ(wrong.code, 2);
    EXPECT_TRUE(Contains(wrong.err, "Nieznany format eksportu: xls")) << wrong.err;
    const CliResult mixed = Dyma({"export", solved, "--channel", "1"});
    EXPECT_EQ(mixed.code, 2);
}

// One row per tremor, with the stored solution's values; latitude and
// longitude only with a coordinate system.
TEST_F(Formats, CatalogueRowsOfSeveralProjects) {
    const std::string a = Solved("a.dym");
    const std::string b = Solved("b.dym", [](IniImage& i) { i.WriteBool("Datas", "ReversePolarization", true); });
    const std::string csv = Dir("out") + "/catalogue.csv";
    const CliResult r = Dyma({"export", a, b, "--format", "csv", "-o", csv, "--crs", kMineGrid});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string bytes = test::ReadAll(csv);
    EXPECT_TRUE(Contains(bytes, "\r\n"));
    const std::vector<std::string> lines = ReadTextLines(csv);  // code page 1250
    ASSERT_EQ(lines.size(), 3u);
    const std::vector<std::string> header = Split(lines[0], ',');
    auto column = [&](const std::string& name) {
        return size_t(std::find(header.begin(), header.end(), name) - header.begin());
    };
    ASSERT_LT(column("Szerokość [°]"), header.size());
    for (size_t row = 1; row <= 2; ++row) {
        const std::string& project = row == 1 ? a : b;
        const IniImage image(project);
        const std::vector<std::string> f = Split(lines[row], ',');
        ASSERT_EQ(f.size(), header.size());
        EXPECT_EQ(f[column("Plik")], project);
        EXPECT_EQ(f[column("Bieg A")], FormatFloat("0.0", ResultValue(image, "SA"), '.'));
        EXPECT_EQ(f[column("Kierunek B")], FormatFloat("0.0", ResultValue(image, "DB"), '.'));
        EXPECT_EQ(f[column("Trend osi T")], FormatFloat("0.0", ResultValue(image, "TTrend"), '.'));
        EXPECT_EQ(f[column("Liczba stacji")], image.ReadString("Result", "StationCount", "?"));
        EXPECT_NEAR(std::stod(f[column("Szerokość [°]")]), 51.5 + 24.612 / 111.2, 0.01);
    }
    EXPECT_NE(Split(lines[1], ',')[column("Trend osi T")], Split(lines[2], ',')[column("Trend osi T")])
        << "two different solutions";

    const CliResult json = Dyma({"export", a, b, "--format", "json"});
    ASSERT_EQ(json.code, 0) << json.err;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.out));
    ASSERT_TRUE(doc.isArray()) << json.out;
    ASSERT_EQ(doc.array().size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QJsonObject o = doc.array()[i].toObject();
        const IniImage image(i == 0 ? a : b);
        EXPECT_EQ(o["File"].toString().toStdString(), i == 0 ? a : b);
        for (const char* key : {"SA", "DA", "RA", "SB", "RB", "DB", "PTrend", "TPlunge", "ACC"})
            EXPECT_DOUBLE_EQ(o[key].toDouble(), ResultValue(image, key)) << key;
        EXPECT_TRUE(o["Latitude"].isNull()) << "no coordinate system given or set";
        EXPECT_EQ(o["RecordStart"].toString(), QStringLiteral("2024-03-14T07:42:16.000000Z"));
        EXPECT_GT(o["PolarityCount"].toInt(), 10);
    }
}

// ------------------------------------------------------------------ miniSEED

namespace {

// The example's record as miniSEED, written by libmseed, with its station
// table: the same samples, start, rate and station places.
struct MiniSeedExample {
    std::string record, table;
    int channels = 0;
};

MiniSeedExample ConvertExample(const std::string& example, const std::string& name) {
    MiniSeedExample out;
    out.record = example + "/" + name;
    out.table = example + "/" + SignalFileStem(name) + ".stations.csv";
    const OpenedSignal lgom = OpenSignalFile(example + "/" + example::kSignalFile, example + "/convert.tmp");
    Kelo::signalprocessing& s = *lgom.signal;
    const SignalDescription d = DescribeSignal(s);
    std::vector<mseedgen::Trace> traces;
    std::string table = std::string(kStationTableHeader) + "\n";
    for (int c = 0; c < s.GetChannelCount(); ++c) {
        mseedgen::Trace t;
        t.network = "KG";
        t.station = "RUD" + FormatInt(c + 1, 2);
        t.channel = "HHZ";
        t.rate = s.GetSamplingRate(0);
        t.start = mseedgen::Time(d.Year, d.Month, d.Day, d.Hour, d.Minute, d.Second, d.Millisecond * 1000);
        for (int i = 0; i < s.GetChannelLength(c); ++i) t.samples.push_back(s.GetSample(c, i));
        traces.push_back(t);
        const Kelo::StationInfo& st = *s.GetStationInfo(c);
        table += "KG," + t.station + ",,HHZ," + FloatToStr(st.X, '.') + "," + FloatToStr(st.Y, '.') + "," +
                 FloatToStr(st.Z, '.') + ",0\n";
    }
    mseedgen::WriteFile(out.record, traces, /*interleaved*/ true);
    WriteFileAtomic(out.table, table);
    out.channels = s.GetChannelCount();
    return out;
}

std::set<std::string> Keys(const QJsonObject& o) {
    std::set<std::string> keys;
    for (const QString& k : o.keys()) keys.insert(k.toStdString());
    return keys;
}

}  // namespace

// dyma info --json describes a miniSEED record with the same fields as an
// LGOM file, and its samples are the original's.
TEST_F(Formats, MiniSeedDescribedWithTheSameFieldsAsLgom) {
    const MiniSeedExample ms = ConvertExample(example_, "KG.RUD.2024.074");
    const CliResult lgom = Dyma({"info", example_ + "/tremor.mbj", "--json", "--samples", "0,427,2499"});
    const CliResult seed = Dyma({"info", ms.record, "--json", "--samples", "0,427,2499"});
    ASSERT_EQ(lgom.code, 0) << lgom.err;
    ASSERT_EQ(seed.code, 0) << seed.err;
    EXPECT_TRUE(seed.err.empty()) << seed.err;
    const QJsonObject a = QJsonDocument::fromJson(QByteArray::fromStdString(lgom.out)).object();
    const QJsonObject b = QJsonDocument::fromJson(QByteArray::fromStdString(seed.out)).object();
    EXPECT_EQ(Keys(a), Keys(b));
    EXPECT_EQ(b["FormatName"].toString(), QStringLiteral("miniSEED"));
    for (const char* key : {"ChannelCount", "SamplesPerChannel", "Year", "Month", "Day", "Hour", "Minute", "Second",
                            "Millisecond", "StartDateTime"})
        EXPECT_EQ(a[key].toDouble(), b[key].toDouble()) << key;
    const QJsonArray ca = a["channels"].toArray(), cb = b["channels"].toArray();
    ASSERT_EQ(ca.size(), cb.size());
    for (int c = 0; c < ca.size(); ++c) {
        const QJsonObject x = ca[c].toObject(), y = cb[c].toObject();
        EXPECT_EQ(Keys(x), Keys(y));
        for (const char* key : {"X", "Y", "Z", "SamplingRate", "Length", "Max", "Min", "Active"})
            EXPECT_EQ(x[key].toVariant(), y[key].toVariant()) << key << " of channel " << c;
        EXPECT_EQ(x["Samples"].toArray(), y["Samples"].toArray()) << c;
        EXPECT_EQ(y["Name"].toString(), QStringLiteral("KG.RUD%1..HHZ").arg(c + 1, 2, 10, QLatin1Char('0')));
    }

    // The samples export is the original's, time column included.
    const CliResult e1 = Dyma({"export", example_ + "/tremor.mbj", "--from", "0.8", "--to", "1.2"});
    const CliResult e2 = Dyma({"export", ms.record, "--from", "0.8", "--to", "1.2"});
    ASSERT_EQ(e2.code, 0) << e2.err;
    EXPECT_EQ(e1.out, e2.out);
}

// A station the table lacks is reported; its channel is inactive.
TEST_F(Formats, AChannelMissingFromTheStationTableIsReported) {
    const MiniSeedExample ms = ConvertExample(example_, "tremor.mseed");
    std::vector<std::string> rows = ReadTextLines(ms.table);
    rows.erase(rows.begin() + 3);  // KG.RUD03
    std::string text;
    for (const std::string& r : rows) text += r + "\n";
    WriteFileAtomic(ms.table, text);
    const CliResult r = Dyma({"info", ms.record, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "KG.RUD03..HHZ")) << r.err;
    EXPECT_TRUE(Contains(r.err, "nie mogą być użyte do wyznaczenia mechanizmu")) << r.err;
    const QJsonArray channels = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object()["channels"].toArray();
    EXPECT_FALSE(channels[2].toObject()["Active"].toBool());
    EXPECT_TRUE(channels[3].toObject()["Active"].toBool());

    // A table named on the command line replaces the one beside the record.
    const std::string other = Dir("tables") + "/other.csv";
    WriteFileAtomic(other, std::string(kStationTableHeader) + "\nKG,RUD03,,HHZ,1,2,3,0\n");
    const CliResult named = Dyma({"info", ms.record, "--json", "--stations", other});
    const QJsonArray placed =
        QJsonDocument::fromJson(QByteArray::fromStdString(named.out)).object()["channels"].toArray();
    EXPECT_TRUE(placed[2].toObject()["Active"].toBool());
    EXPECT_FALSE(placed[3].toObject()["Active"].toBool());
}

// A project on the miniSEED copy of the example solves to the mechanism of
// the LGOM original, and its QuakeML picks carry the records' stream codes.
TEST_F(Formats, AProjectOnAMiniSeedRecordSolvesLikeTheOriginal) {
    const MiniSeedExample ms = ConvertExample(example_, "KG.RUD.2024.074");
    const std::string original = Solved("original.dym");
    const std::string onSeed = example_ + "/KG.RUD.2024.074.dym";
    fs::copy_file(project_, onSeed);
    {
        IniImage image(onSeed);
        image.WriteString("Datas", "SignalFile", ms.record);
        image.WriteString("Datas", "SignalFileShort", FileNamePart(ms.record));
        image.UpdateFile();
    }
    const CliResult r = Dyma({"solve", onSeed, "--save"});
    ASSERT_EQ(r.code, 0) << r.err;
    const IniImage a(original), b(onSeed);
    for (const char* key : {"SA", "DA", "RA", "SB", "RB", "DB", "PTrend", "PPlunge", "TTrend", "TPlunge", "ACC"})
        EXPECT_DOUBLE_EQ(ResultValue(a, key), ResultValue(b, key)) << key;
    EXPECT_EQ(b.ReadString("Datas", "SignalFile", ""), ms.record) << "the project keeps its record's name";
    EXPECT_EQ(b.ReadString("Channel001", "Nazwa", ""), "1HHZ");

    const std::string out = Dir("out") + "/seed.xml";
    const CliResult x = Dyma({"export", onSeed, "-o", out, "--crs", kMineGrid});
    ASSERT_EQ(x.code, 0) << x.err;
    const std::string document = test::ReadAll(out);
    EXPECT_EQ(test::SchemaErrors(root_, document), "");
    const auto e = test::Elements(document);
    const std::vector<std::string> networks = test::All(e, kPick + "waveformID@networkCode");
    const std::vector<std::string> stations = test::All(e, kPick + "waveformID@stationCode");
    ASSERT_FALSE(stations.empty());
    EXPECT_EQ(std::set<std::string>(networks.begin(), networks.end()), std::set<std::string>{"KG"});
    EXPECT_EQ(stations.front().rfind("RUD", 0), 0u) << stations.front();
    EXPECT_EQ(test::All(e, kPick + "waveformID@channelCode").front(), "HHZ");
}
