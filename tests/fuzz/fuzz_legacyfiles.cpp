// The legacy files of the older solver workflow as the import command reads
// them: a pick file (DAT), a network file (NET) and a result file (RES),
// given as one input of three parts ended by NUL bytes. Both ways of the
// import: DAT + RES (parse, Merge DAT, geometry, report) and DAT + NET (the
// preparation with its warnings and the solver's input files written).
// Promises: failures are the documented exceptions; a second read gives the
// same result; the NET reaches the solver byte for byte as its lines were
// read, and the prepared DAT as prepared; nothing but the solver's three
// input files is written.
#include "fuzzsupport.h"

#include "app/results/focalgeometry.h"
#include "app/results/textreport.h"
#include "app/settings/settings.h"
#include "app/solver/legacyimport.h"
#include "app/solver/solverfiles.h"
#include "app/solver/solverresult.h"
#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "support/recordingmessages.h"
#include "npfa/solverrun.h"
#include "tools/focalsynth/focalsynth.h"

#include <random>
#include <set>
#include <sstream>

namespace {

struct Imported {
    std::string error;
    bool whole = false;
    std::vector<std::string> report;
    bool operator==(const Imported&) const = default;
};

Imported WithResult(const std::vector<std::string>& dat, const std::vector<std::string>& res) {
    Imported out;
    try {
        dyma::SolutionRecord record;
        out.whole = dyma::TakeLegacyResult(res, dat, dyma::Settings{}, ',', record);
        dyma::SetDrawingFrame(record, 470, 470);
        out.report = dyma::BuildReport(record, dyma::ReportLocale{});
    } catch (const dyma::ConversionError& e) {
        out.error = e.what();
    }
    return out;
}

}  // namespace

namespace dyma::fuzz {

std::vector<std::string> Kinds() {
    return {"DAT and RES", "DAT and RES, whole", "DAT and NET", "channels missing, import goes on", "too few channels"};
}

void WriteSeeds(Seeds& seeds) {
    // The files of a solved synthetic event: DAT, NET and the project's own
    // solver's NPF.RES.
    std::mt19937 random(11);
    synth::Options options;
    options.stations = 16;
    const synth::Event event = synth::MakeEvent(synth::RandomMechanism(random), options, random);
    const std::filesystem::path dir = seeds.Folder() / "work";
    std::filesystem::create_directories(dir);
    synth::WriteEvent(dir.string(), event);
    std::ostringstream errors;
    if (npfa::RunSolver(dir.string(), errors) != npfa::kExitOk)
        throw std::runtime_error("the solver did not solve the seed event: " + errors.str());
    const std::string datText = ReadBytes((dir / "NPF.DAT").string());
    const std::string netText = ReadBytes((dir / "NPF.NET").string());
    const std::string res = ReadBytes((dir / "NPF.RES").string());
    std::filesystem::remove_all(dir);
    const std::vector<std::string> dat = SplitLines(datText), net = SplitLines(netText);

    seeds.Add("dat-net", JoinParts({datText, netText, ""}));
    seeds.Add("dat-res", JoinParts({datText, "", res}));
    // The older workflow's trailer and remarks, and picks the NET lacks.
    seeds.Add("trailer", JoinParts({datText + "/ uwaga\r\n####\r\nkoniec\r\n", netText, res}));
    const std::vector<std::string> shortNet(net.begin(), net.end() - 2);
    seeds.Add("missing", JoinParts({datText, JoinLinesCrLf(shortNet), ""}));
    const std::vector<std::string> fewDat(dat.begin(), dat.begin() + 8);
    const std::vector<std::string> fewNet(net.begin(), net.begin() + 3);
    seeds.Add("too-few", JoinParts({JoinLinesCrLf(fewDat), JoinLinesCrLf(fewNet), ""}));
}

}  // namespace dyma::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dyma;
    const fuzz::Scratch& scratch = fuzz::ScratchFolder();
    const std::vector<std::string> parts = fuzz::SplitParts(data, size, 3);
    const std::string datFile = scratch.Write("event.dat", parts[0]);
    const std::string netFile = scratch.Write("event.net", parts[1]);
    const std::string resFile = scratch.Write("event.res", parts[2]);
    const std::vector<std::string> dat = ReadTextLines(datFile);
    const std::vector<std::string> net = ReadTextLines(netFile);
    const std::vector<std::string> res = ReadTextLines(resFile);

    // DAT + RES.
    const Imported first = WithResult(dat, res);
    FUZZ_CHECK(first == WithResult(dat, res), "a second import of DAT and RES differs");
    fuzz::Reached("DAT and RES");
    if (first.whole) fuzz::Reached("DAT and RES, whole");

    // DAT + NET: prepared, then written for the solver.
    std::vector<std::string> prepared = dat;
    test::RecordingMessages messages;
    const bool goesOn = PrepareLegacyFiles(prepared, net, messages);
    std::vector<std::string> preparedAgain = dat;
    test::RecordingMessages messagesAgain;
    FUZZ_CHECK(PrepareLegacyFiles(preparedAgain, net, messagesAgain) == goesOn && preparedAgain == prepared &&
                   messagesAgain.warnings == messages.warnings,
               "a second preparation differs");
    fuzz::Reached("DAT and NET");
    if (!goesOn) {
        FUZZ_CHECK(messages.warnings.size() == 1, "a refused import gives one warning");
        fuzz::Reached("too few channels");
    } else {
        if (!messages.warnings.empty()) fuzz::Reached("channels missing, import goes on");
        const std::string work = scratch.File("work");
        std::filesystem::create_directories(work);
        WriteLegacyInputFiles(work, prepared, net);
        const std::set<std::string> written = {kDatFile, kNetFile, kParFile};
        std::set<std::string> listing;
        for (const auto& e : std::filesystem::directory_iterator(work)) listing.insert(e.path().filename().string());
        FUZZ_CHECK(listing == written, "the import wrote other files than the solver's input");
        FUZZ_CHECK(ReadTextLines(work + "/" + kNetFile) == net, "the NET does not reach the solver as it was read");
        FUZZ_CHECK(fuzz::ReadBytes(work + "/" + kNetFile) == Utf8ToCp1250(JoinLinesCrLf(net)),
                   "the NET is not written line for line in code page 1250");
        FUZZ_CHECK(ReadTextLines(work + "/" + kDatFile).size() == prepared.size(), "the prepared DAT lost lines");
    }
    scratch.Clear();
    return 0;
}
