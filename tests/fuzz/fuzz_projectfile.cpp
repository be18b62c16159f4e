// The project file (.dym) as the open command and the result pages read it:
// the version check, the open plan with the signal-file lookup, the data
// page, every channel's pick, the stored solution and its report. Promises:
// a second read gives the same result; a code-page-1250 file converts to
// text and back byte for byte; what the program writes from the image reads
// back as the same image (with "?" for what code page 1250 cannot hold);
// nothing is left in the folder but the files that were there.
#include "fuzzsupport.h"

#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/results/textreport.h"
#include "app/settings/settings.h"
#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "support/recordingmessages.h"

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr char kSignal[] = "Zdarzenie.MBJ";

// Everything read from one project file, as text.
struct Reading {
    bool accepted = false;
    std::vector<std::string> messages;
    std::string plan, image, header, picks, result;
    std::vector<std::string> report;
    bool solution = false;

    bool operator==(const Reading&) const = default;
};

std::string Number(double v) { return dyma::FloatToStr(v, '.'); }

std::string HeaderText(const dyma::IniImage& image, char sep) {
    try {
        const dyma::DataPageValues page = dyma::LoadHeader(image, dyma::Settings{}, sep);
        std::string text = page.X + "|" + page.Y + "|" + page.Z + "|" + page.Zakres + "|" + page.Description + "|" +
                           page.Operator + "|" + std::to_string(page.PlusColor) + "|" +
                           std::to_string(page.MinusColor) + "|" + (page.ReversePolarization ? "1" : "0");
        for (const std::string& note : page.Notes) text += "|" + note;
        return text;
    } catch (const dyma::ConversionError& e) {
        return std::string("ConversionError: ") + e.what();
    }
}

Reading Read(const std::string& project) {
    const dyma::fuzz::Scratch& scratch = dyma::fuzz::ScratchFolder();
    Reading out;
    dyma::test::RecordingMessages messages;
    out.accepted = dyma::CheckProjectFile(project, messages);
    if (const auto plan = dyma::PlanOpen(project, scratch.File("temp"), messages))
        out.plan = plan->signalFile + "|" + plan->imageFile + "|" + plan->projectFile;
    for (const auto* list : {&messages.warnings, &messages.infos})
        out.messages.insert(out.messages.end(), list->begin(), list->end());
    if (!out.accepted) return out;

    const dyma::IniImage image(project);
    out.image = image.ToText();
    out.header = HeaderText(image, ',') + "||" + HeaderText(image, '.');
    for (int ident = 1; ident <= dyma::kMaxChannels; ++ident) {
        if (!image.SectionExists(dyma::ChannelSection(ident))) continue;
        try {
            const dyma::ChannelPick p = dyma::ReadChannelPick(image, ident);
            out.picks += std::to_string(ident) + ":" + p.WaveType + p.FirstArrival + Number(p.Wage) +
                         Number(p.MarkerPosition) + (p.Active ? "1" : "0") + std::to_string(p.Polarity) + ";";
        } catch (const dyma::ConversionError& e) {
            out.picks += std::to_string(ident) + ": ConversionError " + e.what() + ";";
        }
    }
    for (const std::string& section : {"Notes", "DATStringList"})
        for (const std::string& line : dyma::ReadLines(image, section)) out.picks += line + "\n";
    try {
        dyma::SolutionRecord record;
        dyma::LoadResult(record, image);
        out.solution = record.Exists;
        out.result = Number(record.SA) + Number(record.TPlunge) + std::to_string(record.StationCount);
        out.report = dyma::BuildReport(record, dyma::ReportLocale{});
    } catch (const dyma::ConversionError& e) {
        out.result = std::string("ConversionError: ") + e.what();
    }
    return out;
}

}  // namespace

namespace dyma::fuzz {

std::vector<std::string> Kinds() {
    return {"code page 1250", "UTF-8",          "UTF-8 with mark", "refused",
            "older version",  "current version", "signal file found", "solution"};
}

void WriteSeeds(Seeds& seeds) {
    // A processed project as the program writes it.
    IniImage image;
    DataPageValues page;
    page.X = "24612,5";
    page.Y = "17385";
    page.Z = "-955";
    page.Description = "Wstrząs w rejonie G-23";
    page.Operator = "Józef Żółć";
    page.Notes = {"Data: 2024-03-14", "Oddział: G-23", "Energia: 2,5E+06"};
    const SignalFacts signal{"C:\\Dane\\ZDARZENIE.MBJ", 45365, 0.3210};
    std::vector<PickRow> rows;
    for (int i = 1; i <= 12; ++i)
        rows.push_back({i, std::to_string(i), "ZZ", i % 3 == 0 ? "A" : "C", i % 2 ? "+" : "-", 1.0, 0.25 * i, true});
    image.WriteInteger("Channel003", "Polarity", -1);
    SaveHeaderAndPicks(image, page, signal, rows, ',');
    WriteLines(image, "DATStringList", {"Zdarzenie", "  24.612   17.385   0.955", "1ZZ  C +  1.0"});
    SolutionRecord r;
    r.X = 24.6125;
    r.Y = 17.385;
    r.Z = 0.955;
    r.StationCount = 3;
    for (int k = 0; k < 3; ++k) {
        SolutionStation& s = r.stations[static_cast<std::size_t>(k)];
        s.No = k + 1;
        s.Channel = std::to_string(k + 1) + "ZZ";
        s.XS = 24.0 + k;
        s.TakeOff = 30.0 * k;
        s.Azimuth = 100.0 + k;
        s.Weight = k == 1 ? -1 : 1;
        s.Sign = s.Weight;
        s.SignString = k == 1 ? "-" : "+";
        s.Type = "C";
    }
    r.ACC = 0.925;
    r.SA = 129;
    r.DA = 86;
    r.RA = -75;
    r.SB = 233.6;
    r.RB = 15.5;
    r.DB = -164.9;
    r.PTrend = 54.5;
    r.TTrend = 205.3;
    r.PPlunge = 46.9;
    r.TPlunge = 39.2;
    r.Exists = true;
    SaveResult(r, image, ',');
    const std::string text = image.ToText();
    seeds.Add("processed.dym", Utf8ToCp1250(text));
    seeds.Add("processed-utf8.dym", text);
    seeds.Add("processed-mark.dym", "\xEF\xBB\xBF" + text);

    // A fresh project: header and picks only, the signal named bare.
    IniImage fresh;
    SaveHeaderAndPicks(fresh, DataPageValues{}, SignalFacts{"zdarzenie.mbj", 0, 0}, {rows[0]}, '.');
    seeds.Add("fresh.dym", Utf8ToCp1250(fresh.ToText()));

    // A file of an older program: no version numbers, its generator's name.
    seeds.Add("older.dym", "[FileInfo]\r\nGenerator=Kelo Dyma\r\n\r\n[Datas]\r\nDate=1E30\r\nTime=-1\r\n\r\n");
    // A foreign INI file.
    seeds.Add("foreign.dym", "[Other]\r\na=1\r\n");
    // Version numbers far beyond any version (once an overflow).
    seeds.Add("huge-version.dym",
              "[FileInfo]\r\nGenerator=WinDYMA\r\nMajorVersion=1\r\nMinorVersion=54444444444444444\r\nRelease=0\r\n\r\n");
}

}  // namespace dyma::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dyma;
    const fuzz::Scratch& scratch = fuzz::ScratchFolder();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    scratch.Write(kSignal, "");
    const std::string project = scratch.Write("p.dym", bytes);
    const std::set<std::string> before = scratch.Listing();

    const Reading first = Read(project);
    const Reading second = Read(project);
    FUZZ_CHECK(first == second, "a second read of the project differs from the first");

    const bool utf8 = IsUtf8Text(bytes);
    fuzz::Reached(!utf8 ? "code page 1250" : bytes.starts_with("\xEF\xBB\xBF") ? "UTF-8 with mark" : "UTF-8");
    if (!utf8) FUZZ_CHECK(Utf8ToCp1250(Cp1250ToUtf8(bytes)) == bytes, "code page 1250 does not round-trip");
    fuzz::Reached(!first.accepted ? "refused" : first.messages.empty() ? "current version" : "older version");
    if (first.plan.starts_with(scratch.File(kSignal) + "|")) fuzz::Reached("signal file found");
    if (first.solution) fuzz::Reached("solution");

    if (first.accepted) {
        // Saved as the program saves (Utf8ToCp1250 of the image's text is
        // what UpdateFile writes), and read back.
        const std::string written = Utf8ToCp1250(first.image);
        // A saved file whose bytes happen to be valid UTF-8 of code page 1250
        // letters reads as UTF-8: the one thing text detection cannot know.
        if (!IsUtf8Text(written))
            FUZZ_CHECK(IniImage::FromText(TextFileToUtf8(written)).ToText() == Cp1250ToUtf8(written),
                       "the saved project reads back as another image");
    }
    FUZZ_CHECK(scratch.Listing() == before, "reading the project left a file behind");
    scratch.Clear();
    return 0;
}
