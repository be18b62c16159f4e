// dyma picks on the bundled example tremor (whose first motions and onsets
// are known) and on generated records: the JSON fields, the saved project
// that dyma solve processes, the location's sources and the files it must
// not overwrite.
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/seismogram/channeltables.h"
#include "cli/clirun.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "tools/exampletremor/exampletremor.h"
#include "tools/lgomgen/onsetrecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <fstream>

using namespace clitest;
using namespace dyma;
namespace fs = std::filesystem;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

QJsonArray JsonList(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    EXPECT_TRUE(doc.isArray()) << text;
    return doc.array();
}

class Picks : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        example_ = CopyExample();
        signal_ = example_ + "/" + example::kSignalFile;
        // What the example's project says about each channel: its first
        // motion and the operator's marker, two samples into the first swing.
        const IniImage encoded(example_ + "/" + example::kProjectFile);
        for (int ident = 1; encoded.SectionExists(ChannelSection(ident)); ++ident)
            known_.push_back(ReadChannelPick(encoded, ident));
    }

    std::string example_, signal_;
    std::vector<ChannelPick> known_;
};

}  // namespace

TEST_F(Picks, JsonGivesEveryChannelsOnsetPolarityAndRatio) {
    const CliResult r = Dyma({"picks", signal_, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const QJsonArray list = JsonList(r.out);
    ASSERT_EQ(list.size(), qsizetype(known_.size()));
    for (qsizetype k = 0; k < list.size(); ++k) {
        const QJsonObject o = list[k].toObject();
        EXPECT_EQ(o.keys(), (QStringList{"channel", "onset", "polarity", "snr", "station"}));  // sorted by Qt
        EXPECT_EQ(o["channel"].toInt(), k + 1);
        EXPECT_EQ(o["station"].toString().toStdString(), "RUD" + FormatInt(k + 1, 2));
        EXPECT_EQ(o["polarity"].toString().toStdString(), known_[k].FirstArrival) << k;
        // The marker stands 2.25 samples after the first sample of the
        // swing; the onset is the sample before that one or that one.
        const double firstSample = std::round(known_[k].MarkerPosition * 500 - 2.25);
        EXPECT_NEAR(o["onset"].toDouble() * 500, firstSample - 0.5, 1.5) << k;
        // An onset is a whole sample: n / rate.
        EXPECT_DOUBLE_EQ(o["onset"].toDouble() * 500, std::round(o["onset"].toDouble() * 500));
        EXPECT_GT(o["snr"].toDouble(), 20) << k;
    }
    // The keys in the order they are documented.
    const size_t channel = r.out.find("\"channel\""), station = r.out.find("\"station\""),
                 onset = r.out.find("\"onset\""), polarity = r.out.find("\"polarity\""), snr = r.out.find("\"snr\"");
    EXPECT_TRUE(channel < station && station < onset && onset < polarity && polarity < snr);

    // The same record as miniSEED (station codes from its table) gives the
    // same picks.
    const CliResult mseed = Dyma({"picks", example_ + "/" + example::kMiniSeedFile, "--json"});
    ASSERT_EQ(mseed.code, 0) << mseed.err;
    const QJsonArray fromMiniSeed = JsonList(mseed.out);
    ASSERT_EQ(fromMiniSeed.size(), list.size());
    for (qsizetype k = 0; k < list.size(); ++k) {
        EXPECT_EQ(fromMiniSeed[k].toObject()["onset"], list[k].toObject()["onset"]) << k;
        EXPECT_EQ(fromMiniSeed[k].toObject()["polarity"], list[k].toObject()["polarity"]) << k;
    }
}

TEST_F(Picks, GeneratedRecordsAtBothRates) {
    // Known onsets and first motions in coloured noise with hum and offsets.
    for (const double rate : {500.0, 1000.0}) {
        lgomgen::OnsetRecordSettings settings;
        settings.rateHz = rate;
        settings.snrLowest = 6;
        settings.seed = 77;
        const auto traces = lgomgen::MakeOnsetTraces(settings);
        const std::string file = Dir("generated") + "/event" + std::to_string(int(rate)) + ".mbj";
        lgomgen::Write(file, lgomgen::OnsetRecordSignal(traces, settings));
        const CliResult r = Dyma({"picks", file, "--json"});
        ASSERT_EQ(r.code, 0) << r.err;
        int near = 0, wrong = 0;
        for (const QJsonValue& v : JsonList(r.out)) {
            const QJsonObject o = v.toObject();
            const lgomgen::OnsetTrace& truth = traces.at(o["channel"].toInt() - 1);
            near += std::abs(o["onset"].toDouble() * rate - truth.onset) <= 2.0001;
            const std::string p = o["polarity"].toString().toStdString();
            wrong += p != "?" && p != (truth.polarity > 0 ? "+" : "-");
        }
        EXPECT_EQ(wrong, 0) << rate;
        EXPECT_GE(near, int(traces.size()) - 2) << rate;
    }
}

TEST_F(Picks, SavedProjectIsSolved) {
    const std::string project = example_ + "/auto.dym";
    const CliResult saved = Dyma({"picks", signal_, "--save", project, "--location", "24612,17385,-955"});
    ASSERT_EQ(saved.code, 0) << saved.err;
    const IniImage image(project);
    EXPECT_EQ(image.ReadString("Datas", "X", ""), "24612");
    EXPECT_EQ(image.ReadString("Datas", "Z", ""), "-955");
    for (size_t k = 0; k < known_.size(); ++k) {
        const ChannelPick pick = ReadChannelPick(image, int(k) + 1);
        EXPECT_EQ(pick.WaveType, "C");
        EXPECT_EQ(pick.FirstArrival, known_[k].FirstArrival);
        EXPECT_NEAR(pick.MarkerPosition, known_[k].MarkerPosition - 2.75 / 500, 1.6 / 500);
        EXPECT_DOUBLE_EQ(pick.Wage, 1.0);  // the ratios here are far above 20
    }
    const CliResult solved = Dyma({"solve", project});
    ASSERT_EQ(solved.code, 0) << solved.err;
    EXPECT_TRUE(Contains(solved.out, " Płaszczyzna nodalna A:")) << solved.out;
    EXPECT_FALSE(Contains(solved.err, "lokalizacja")) << solved.err;

    // Saved again over its own project: the picks are replaced, the
    // operator's notes stay.
    {
        IniImage edited(project);
        edited.WriteString("Datas", "Operator", "Kowalski");
        edited.UpdateFile();
    }
    ASSERT_EQ(Dyma({"picks", signal_, "--save", project, "--location", "1,2,3"}).code, 0);
    const IniImage again(project);
    EXPECT_EQ(again.ReadString("Datas", "Operator", ""), "Kowalski");
    EXPECT_EQ(again.ReadString("Datas", "X", ""), "1");
}

TEST_F(Picks, TheLocationComesFromTheDbsBesideOrIsMissing) {
    // The example's location file lies beside its signal.
    const std::string withDbs = example_ + "/fromdbs.dym";
    ASSERT_EQ(Dyma({"picks", signal_, "--save", withDbs}).code, 0);
    const IniImage image(withDbs);
    EXPECT_EQ(image.ReadString("Datas", "X", ""), "24612");
    EXPECT_EQ(image.ReadString("Datas", "Y", ""), "17385");
    EXPECT_EQ(image.ReadString("Notes", "0", ""), "Data: 24.03.14");

    // Alone in a folder: saved without a location, and dyma solve says so.
    const std::string alone = Dir("alone");
    fs::copy_file(signal_, alone + "/tremor.mbj");
    const CliResult saved = Dyma({"picks", alone + "/tremor.mbj", "--save", alone + "/tremor.dym"});
    EXPECT_EQ(saved.code, 0) << saved.err;
    EXPECT_TRUE(Contains(saved.err, "Brak lokalizacji wstrząsu")) << saved.err;
    ASSERT_TRUE(fs::exists(alone + "/tremor.dym"));
    const CliResult solved = Dyma({"solve", alone + "/tremor.dym"});
    EXPECT_TRUE(Contains(solved.err, "nie została wprowadzona poprawna lokalizacja wstrząsu: X = 0.00 Y = 0.00 Z = 0.00"))
        << solved.err;
}

TEST_F(Picks, RefusalsAndUsageErrors) {
    // A file of another program at the project's name stays as it was.
    const std::string foreign = example_ + "/foreign.dym";
    std::ofstream(foreign) << "[Something]\nkey=value\n";
    const std::string before = test::ReadAll(foreign);
    const CliResult refused = Dyma({"picks", signal_, "--save", foreign});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(Contains(refused.err, "nie jest plikiem projektu programu")) << refused.err;
    EXPECT_EQ(test::ReadAll(foreign), before);

    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {{"picks", signal_, "--save", example_ + "/out.txt"}, 2, "rozszerzenie .dym"},
        {{"picks", signal_, "--location", "1,2"}, 2, "trzech współrzędnych"},
        {{"picks", signal_, "--location", "1,x,2"}, 2, "--location"},
        {{"picks"}, 2, "jednego pliku sygnału"},
        {{"picks", example_ + "/missing.mbj"}, 1, "Nie udało się odczytać pliku sygnału"},
    };
    for (const Case& c : cases) {
        const CliResult r = Dyma(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.back();
        EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
    }
    EXPECT_FALSE(fs::exists(example_ + "/out.txt"));
    EXPECT_TRUE(TemporaryFolderIsEmpty());
}
