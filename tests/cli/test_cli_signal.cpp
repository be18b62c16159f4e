// dyma info, dyma export, the help texts and the usage errors.
#include "app/document/iniimage.h"
#include "app/document/tremordocument.h"
#include "cli/clirun.h"
#include "lgsig/lgsig.h"
#include "tools/lgomgen/lgomgen.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <set>

using namespace clitest;
using lgomgen::Layout;

namespace {

constexpr int kChannels = 4;
constexpr int kSamples = 200;

std::int16_t SampleOf(int channel, int index) { return static_cast<std::int16_t>((channel + 1) * 100 - index); }

// Four channels of 200 samples; in the MIN layouts the third is inactive.
lgomgen::Signal Fixture(Layout layout) {
    lgomgen::Signal s;
    s.layout = layout;
    s.samplingRate = 500;
    s.start = {2023, 11, 7, 13, 45, 59, 250};
    s.headerScale = 2;
    s.samplesPerChannel = kSamples;
    for (int c = 0; c < kChannels; ++c) {
        lgomgen::Channel ch;
        ch.number = 11 + c;
        ch.component = layout == Layout::MBJ ? "z" : "Z";
        ch.name = "ST" + std::to_string(c + 1);
        ch.x = 24000 + 100 * c;
        ch.y = 17000 - 50 * c;
        ch.z = 700 + 10 * c;
        ch.active = c != 2;
        s.channels.push_back(ch);
    }
    s.source = SampleOf;
    return s;
}

QJsonObject ParseObject(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return doc.object();
}

std::set<std::string> KeysOf(const QJsonObject& o) {
    std::set<std::string> keys;
    for (const QString& k : o.keys()) keys.insert(k.toStdString());
    return keys;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class Info : public CliTest {};

}  // namespace

TEST_F(Info, TextAndJsonOnEveryLayoutShowWhatTheReaderRead) {
    const std::set<std::string> topKeys{"FormatName", "FormatCode", "ChannelCount", "MinChannel", "MaxChannel",
                                        "StationInfoExists", "LocationExists", "Year", "Month", "Day", "Hour",
                                        "Minute", "Second", "Millisecond", "StartDate", "StartTime",
                                        "StartDateTime", "HeaderScale", "SamplesPerChannel", "channels"};
    const std::set<std::string> channelKeys{"Number", "Name", "Component", "Enabled", "X", "Y", "Z",
                                            "SensorType", "Factor1", "Factor2", "Factor3", "Length",
                                            "SamplingRate", "Active", "Max", "Min", "Samples"};
    const std::string dir = Dir("signals");
    for (const Layout layout : {Layout::MBI32, Layout::MIN32, Layout::MBI64, Layout::MIN64, Layout::MBJ}) {
        const std::string file = dir + "/s" + std::to_string(static_cast<int>(layout)) + lgomgen::FileExtension(layout);
        lgomgen::Write(file, Fixture(layout));
        Quarnet::lgsig expected(file, file + ".table");
        SCOPED_TRACE(expected.FormatName);

        const CliResult text = Dyma({"info", file});
        EXPECT_EQ(text.code, 0) << text.err;
        EXPECT_TRUE(Contains(text.out, "Rozpoznany typ pliku: " + expected.FormatName + "\n"));
        EXPECT_TRUE(Contains(text.out, "Liczba kanałów w pliku: 4\n"));
        EXPECT_TRUE(Contains(text.out, "Częstotliwość próbkowania: " + std::to_string(expected.GetSamplingRate(0)) +
                                           " [Hz]\n"));
        const std::vector<std::string> lines = Lines(text.out);
        auto header = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Nazwa\t", 0) == 0; });
        ASSERT_NE(header, lines.end());
        EXPECT_EQ(*header, "Nazwa\tIdentyfikator\tSkładowa\tTyp\tX\tY\tZ\tPrzelicznik\tWzmocnienie")
            << "no polarity column without a project file";
        ASSERT_EQ(lines.end() - header, 1 + kChannels);
        for (int c = 0; c < kChannels; ++c) {
            const std::vector<std::string> cells = Split(header[1 + c], '\t');
            ASSERT_EQ(cells.size(), 9u);
            EXPECT_EQ(cells[0], std::to_string(expected.GetStationInfo(c)->Number));
            EXPECT_EQ(cells[1], std::to_string(c + 1));
        }

        const CliResult json = Dyma({"info", file, "--json", "--samples", "0,7,199,5000"});
        EXPECT_EQ(json.code, 0) << json.err;
        const QJsonObject info = ParseObject(json.out);
        EXPECT_EQ(KeysOf(info), topKeys);
        EXPECT_EQ(info["FormatName"].toString().toStdString(), expected.FormatName);
        EXPECT_EQ(info["FormatCode"].toInt(), expected.FormatCode);
        EXPECT_EQ(info["ChannelCount"].toInt(), kChannels);
        EXPECT_EQ(info["MaxChannel"].toInt(), kChannels - 1);
        EXPECT_EQ(info["StationInfoExists"].toBool(), layout != Layout::MBI32);
        EXPECT_EQ(info["Millisecond"].toInt(), expected.Millisecond);
        EXPECT_DOUBLE_EQ(info["StartDateTime"].toDouble(), expected.StartDateTime);
        EXPECT_EQ(info["SamplesPerChannel"].toInt(), kSamples);
        const QJsonArray channels = info["channels"].toArray();
        ASSERT_EQ(channels.size(), kChannels);
        for (int c = 0; c < kChannels; ++c) {
            const QJsonObject ch = channels[c].toObject();
            const Kelo::StationInfo& s = *expected.GetStationInfo(c);
            EXPECT_EQ(KeysOf(ch), channelKeys);
            EXPECT_EQ(ch["Number"].toInt(), s.Number);
            EXPECT_EQ(ch["Component"].toString().toStdString(), s.Component);
            EXPECT_DOUBLE_EQ(ch["X"].toDouble(), s.X);
            EXPECT_DOUBLE_EQ(ch["Z"].toDouble(), s.Z);
            EXPECT_EQ(ch["SensorType"].toString().toStdString(), std::string(1, s.SensorType));
            EXPECT_EQ(ch["SamplingRate"].toInt(), s.SamplingRate);
            const bool active = expected.GetChannelActive(c);
            EXPECT_EQ(ch["Active"].toBool(), active);
            EXPECT_EQ(ch["Max"].toDouble(), active ? SampleOf(c, 0) : 0);
            EXPECT_EQ(ch["Min"].toDouble(), active ? SampleOf(c, kSamples - 1) : 0);
            const QJsonArray samples = ch["Samples"].toArray();
            ASSERT_EQ(samples.size(), 4);
            const int indices[] = {0, 7, 199, 5000};
            for (int k = 0; k < 4; ++k) {
                const QJsonArray pair = samples[k].toArray();
                EXPECT_EQ(pair[0].toInt(), indices[k]);
                const double value = active && indices[k] < kSamples ? SampleOf(c, indices[k]) : 0;
                EXPECT_EQ(pair[1].toDouble(), value) << "channel " << c << " index " << indices[k];
            }
        }
    }
}

TEST_F(Info, ThePolarityColumnComesFromTheProjectBesideTheSignal) {
    const std::string dir = Dir("with-project");
    lgomgen::Write(dir + "/event.mbj", Fixture(Layout::MBJ));
    dyma::IniImage project(dir + "/event.dym");
    project.WriteInteger(dyma::ChannelSection(2), "Polarity", -1);
    project.WriteString("Datas", "Zakres", "2500");
    project.UpdateFile();

    const CliResult r = Dyma({"info", dir + "/event.mbj"}, {{"LC_ALL", "pl_PL.UTF-8"}});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "Plik projektu: " + dir + "/event.dym\n"));
    EXPECT_TRUE(Contains(r.out, "Długość zapisu: 0,400 [s]\n")) << "the system's decimal separator";
    const std::vector<std::string> lines = Lines(r.out);
    auto header = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Nazwa\t", 0) == 0; });
    ASSERT_EQ(lines.end() - header, 1 + kChannels);
    EXPECT_EQ(Split(*header, '\t').back(), "Polaryzacja");
    // MBJ numbers its stations by slot; range 2500 mV on a KGHM file gives
    // 2500 x 1e-6 / (Factor2 x Factor1 x HeaderScale 2).
    EXPECT_EQ(header[1], "1\t1\tZZ\tv\t24000,0\t17000,0\t-700,0\t1,3E-3\t1,0\tNorm");
    EXPECT_EQ(Split(header[2], '\t').back(), "Rev");
    EXPECT_EQ(Split(header[3], '\t').back(), "Norm");
}

TEST_F(Info, ARejectedFileGivesTheReadersTextAndStatusOne) {
    const std::string dir = Dir("bad");
    lgomgen::Signal damaged = Fixture(Layout::MBJ);
    damaged.writtenChannelCount = 0;
    lgomgen::Write(dir + "/damaged.mbj", damaged);
    struct Case {
        std::string file, errorClass, message;
    } cases[] = {
        {dir + "/missing.mbj", "QuaEIOError", "File does not exist."},
        {dir + "/damaged.mbj", "QuaEWrongOperation", "Wrong channel count in the header: 0 (allowed 1 to 64)."},
    };
    for (const Case& c : cases) {
        const CliResult json = Dyma({"info", c.file, "--json"});
        EXPECT_EQ(json.code, 1);
        const QJsonObject o = ParseObject(json.out);
        EXPECT_EQ(KeysOf(o), (std::set<std::string>{"error", "message"}));
        EXPECT_EQ(o["error"].toString().toStdString(), c.errorClass);
        EXPECT_EQ(o["message"].toString().toStdString(), c.message);

        const CliResult text = Dyma({"info", c.file});
        EXPECT_EQ(text.code, 1);
        EXPECT_TRUE(text.out.empty());
        EXPECT_TRUE(Contains(text.err, c.message)) << text.err;
        EXPECT_TRUE(Contains(text.err, c.file)) << text.err;
    }
    EXPECT_TRUE(TemporaryFolderIsEmpty());
}

TEST_F(Info, ExportGivesTimeAndValuesOfTheChosenSamples) {
    const std::string file = Dir("export") + "/e.mbj";
    lgomgen::Write(file, Fixture(Layout::MBJ));

    const CliResult one = Dyma({"export", file, "--channel", "2", "--from", "0.01", "--to", "0.02"});
    ASSERT_EQ(one.code, 0) << one.err;
    std::vector<std::string> expected;
    for (int i = 5; i < 10; ++i)
        expected.push_back("0.0" + std::to_string(i * 2 / 10) + std::to_string(i * 2 % 10) + "\t" +
                           std::to_string(SampleOf(1, i)));
    EXPECT_EQ(Lines(one.out), expected);

    const CliResult all = Dyma({"export", file}, {{"LC_ALL", "pl_PL.UTF-8"}});
    ASSERT_EQ(all.code, 0) << all.err;
    const std::vector<std::string> lines = Lines(all.out);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kSamples));
    EXPECT_EQ(lines[199], "0.398\t-99\t1\t101\t201") << "the file format keeps its point whatever the locale";

    const CliResult outside = Dyma({"export", file, "--channel", "5"});
    EXPECT_EQ(outside.code, 1);
    EXPECT_TRUE(Contains(outside.err, "Kanał 5 nie istnieje")) << outside.err;
}

TEST_F(Info, HelpAndUsageErrors) {
    const CliResult help = Dyma({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* command : {"info", "export", "solve", "report", "import"}) {
        EXPECT_TRUE(Contains(help.out, std::string("  ") + command + " ")) << command;
        const CliResult own = Dyma({command, "--help"});
        EXPECT_EQ(own.code, 0) << command;
        EXPECT_EQ(own.out.rfind(std::string("Użycie: dyma ") + command, 0), 0u) << own.out;
    }
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"frobnicate"},
        {"info"},
        {"info", "a.mbj", "b.mbj"},
        {"info", "a.mbj", "--bogus"},
        {"info", "a.mbj", "--samples", "1,x", "--json"},
        {"export", "a.mbj", "--from", "0.5", "--to", "0.1"},
        {"export", "a.mbj", "--channel"},
        {"solve"},
        {"solve", "a.dym", "--aa", "abc"},
        {"solve", "a.dym", "--save=yes"},
        {"report"},
        {"import", "a.dat"},
        {"import", "a.dat", "b.txt"},
    };
    for (const auto& args : wrong) {
        const CliResult r = Dyma(args);
        EXPECT_EQ(r.code, 2) << (args.empty() ? "(none)" : args[0]) << " " << r.err;
        EXPECT_FALSE(r.err.empty());
    }
}
