// The solver's result file NPF.RES as the processing command takes it: the
// completeness test of the waiting loop, the parse, the merge with the
// document, the focal-sphere geometry the result window and the printout
// draw, the stored solution and its report. Promises: a result counts as
// complete only when it parses; a second read gives the same record; what
// Save result stores, Load result gives back (to the 15 digits the file
// keeps).
#include "fuzzsupport.h"

#include "app/document/projectfile.h"
#include "app/results/focalgeometry.h"
#include "app/results/textreport.h"
#include "app/settings/settings.h"
#include "app/solver/resultfile.h"
#include "app/solver/solverresult.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "npfa/solverrun.h"
#include "solver/resbuilder.h"
#include "tools/focalsynth/focalsynth.h"

#include <cmath>
#include <random>
#include <sstream>

namespace {

// The document the result is merged into: picks on channels 1 to 12.
dyma::IniImage Document() {
    dyma::IniImage image;
    image.WriteString("Datas", "X", "24612");
    image.WriteString("Datas", "Z", "-955");
    for (int ident = 1; ident <= 12; ++ident) {
        const std::string section = dyma::ChannelSection(ident);
        image.WriteString(section, "Name", std::to_string(ident));
        image.WriteString(section, "Nazwa", std::to_string(ident) + "ZZ");
        image.WriteString(section, "WaveType", ident % 3 == 0 ? "A" : ident % 3 == 1 ? "C" : "D");
        image.WriteInteger(section, "Polarity", ident % 4 == 0 ? -1 : 1);
    }
    return image;
}

bool Close(double a, double b) {
    if (a == b) return true;
    return std::fabs(a - b) <= 1e-13 * std::max(std::fabs(a), std::fabs(b));
}

// The record's values in one list, in a fixed order.
std::vector<double> Values(const dyma::SolutionRecord& r) {
    std::vector<double> v = {r.X,   r.Y,   r.Z,   r.ACC, r.SA,  r.DA,     r.RA,     r.SB,     r.RB,      r.DB,
                             r.SAB, r.DAB, r.RAB, r.SBB, r.RBB, r.DBB,    r.PTrend, r.TTrend, r.PPlunge, r.TPlunge,
                             r.aa,  r.bb,  r.Tilt, r.DrTilt, double(r.StationCount)};
    for (int k = 0; k < r.StationCount; ++k) {
        const dyma::SolutionStation& s = r.stations[static_cast<std::size_t>(k)];
        for (double x : {double(s.No), s.XS, s.YS, s.ZS, s.TakeOff, s.Azimuth, s.Weight, s.Sign, s.Angle, s.SinBet,
                         s.CosBet, s.SinAl, s.CosAl})
            v.push_back(x);
    }
    return v;
}

bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!Close(a[i], b[i]) && !(std::isnan(a[i]) && std::isnan(b[i]))) return false;
    return true;
}

void Draw(dyma::SolutionRecord& r) {
    dyma::SetDrawingFrame(r, 470, 470);
    for (const auto& trace : {dyma::PlaneATrace(r), dyma::PlaneBTrace(r)})
        for (const dyma::focal::DiscPoint& p : trace) dyma::DiscToPixel(r, p);
    dyma::DiscToPixel(r, dyma::PAxisPoint(r));
    dyma::DiscToPixel(r, dyma::TAxisPoint(r));
    for (int k = 0; k < r.StationCount; ++k) {
        dyma::focal::DiscPoint p;
        if (dyma::StationDiscPoint(r.stations[static_cast<std::size_t>(k)], p)) dyma::DiscToPixel(r, p);
    }
}

}  // namespace

namespace dyma::fuzz {

std::vector<std::string> Kinds() { return {"whole", "cut in its last line", "not whole", "a full station table"}; }

void WriteSeeds(Seeds& seeds) {
    // NPF.RES of the project's own solver on synthetic events.
    std::mt19937 random(7);
    int n = 0;
    for (const bool wholeSphere : {false, true}) {
        synth::Options options;
        options.stations = wholeSphere ? 40 : 20;
        options.wholeSphere = wholeSphere;
        options.flipShare = 0.1;
        const synth::Event event = synth::MakeEvent(synth::RandomMechanism(random), options, random);
        const std::filesystem::path dir = seeds.Folder() / "work";
        std::filesystem::create_directories(dir);
        synth::WriteEvent(dir.string(), event);
        std::ostringstream errors;
        if (npfa::RunSolver(dir.string(), errors) != npfa::kExitOk)
            throw std::runtime_error("the solver did not solve a seed event: " + errors.str());
        const std::string res = ReadBytes((dir / "NPF.RES").string());
        std::filesystem::remove_all(dir);
        seeds.Add("solver" + std::to_string(n) + ".res", res);
        // As a solver writing in steps may leave it: cut inside the last
        // field of the error line (the line before the closing summary),
        // and cut in the middle.
        const std::size_t errorLineEnd = res.rfind("\r\n", res.size() - 3);
        seeds.Add("cut" + std::to_string(n) + ".res", res.substr(0, errorLineEnd - 1));
        seeds.Add("half" + std::to_string(n++) + ".res", res.substr(0, res.size() / 2));
    }
    // The column layout with no station and with more than 96.
    seeds.Add("empty.res", JoinLinesCrLf(test::ResLines({})));
    std::vector<test::ResStation> many;
    for (int k = 1; k <= 98; ++k) many.push_back({double(k), std::to_string(k) + "ZZ", 1.0 * k, 2, 0.5, 45, 90, k % 2 ? 1.0 : -0.7});
    seeds.Add("many.res", JoinLinesCrLf(test::ResLines(many)));
}

}  // namespace dyma::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dyma;
    static const IniImage document = Document();
    const fuzz::Scratch& scratch = fuzz::ScratchFolder();
    const std::string file = scratch.Write("NPF.RES", std::string_view(reinterpret_cast<const char*>(data), size));

    const ResultText text = LoadResultText(file);
    FUZZ_CHECK(text.lines == LoadResultLines(file), "the two ways of loading NPF.RES differ");
    bool wholeWithComma = false;
    for (const char sep : {',', '.'}) {
        const bool running = ResultIsComplete(text, sep, false);
        const bool exited = ResultIsComplete(text, sep, true);
        SolutionRecord parsed, again;
        const bool whole = ParseResult(parsed, text.lines, sep);
        if (sep == ',') wholeWithComma = whole;
        FUZZ_CHECK(ParseResult(again, text.lines, sep) == whole && SameValues(Values(parsed), Values(again)),
                   "a second read gives another record");
        FUZZ_CHECK(exited == whole, "complete after the solver exited, but not whole (or the other way)");
        FUZZ_CHECK(!running || whole, "complete while the solver runs, but not whole");
        FUZZ_CHECK(parsed.Exists == whole, "Exists does not say whether the result was whole");
        FUZZ_CHECK(parsed.StationCount >= 0 && parsed.StationCount <= kMaxStations, "station count out of range");
        fuzz::Reached(!whole ? "not whole" : running ? "whole" : "cut in its last line");
        if (parsed.StationCount == kMaxStations) fuzz::Reached("a full station table");
    }

    // The processing command's steps after the solver, on a Polish system.
    IniImage image = document;
    SolutionRecord taken;
    FUZZ_CHECK(TakeSolverResult(text.lines, image, Settings{}, ',', taken) == wholeWithComma,
               "the processing command's parse differs from the parser's");
    Draw(taken);
    ReportLocale locale;
    locale.decimalSeparator = ',';
    BuildReport(taken, locale);
    if (!image.ValueExists("Result", "Exists")) {
        FUZZ_CHECK(!taken.Exists, "a whole result was not stored");
    } else {
        // Save result stored it; Load result gives it back.
        FUZZ_CHECK(taken.Exists, "a broken result was stored");
        SolutionRecord loaded;
        LoadResult(loaded, image);
        ComputeStationGeometry(loaded);
        ComputeStationGeometry(taken);
        FUZZ_CHECK(loaded.Exists, "the stored solution does not exist");
        FUZZ_CHECK(SameValues(Values(taken), Values(loaded)), "Load result gives another record than was saved");
    }
    scratch.Clear();
    return 0;
}
