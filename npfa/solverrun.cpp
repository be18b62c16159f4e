#include "npfa/solverrun.h"

#include <filesystem>

#include "common/textfile.h"
#include "npfa/listing.h"
#include "npfa/resultfile.h"

namespace dyma::npfa {

namespace fs = std::filesystem;

namespace {

std::string InDir(const std::string& dir, const std::string& name) {
    const fs::path p = NativePath(name);
    if (p.is_absolute() || dir.empty()) return name;
    return (NativePath(dir) / p).string();
}

ResultContent ResultOf(const RunRecord& run) {
    ResultContent c;
    c.x = run.dat->x;
    c.y = run.dat->y;
    c.depth = run.dat->depth;
    for (const PickRow& r : run.rows) {
        if (r.fitted == 0) continue;  // the program's station table holds the polarities the solution used
        c.stations.push_back({r.number, r.pick.label, r.station.x, r.station.y, r.station.depth, r.takeoff, r.azimuth,
                              r.observed * r.pick.weight});
    }
    c.solution = *run.solution;
    c.acc = run.acc;
    return c;
}

void Solve(RunRecord& run, const std::string& dir) {
    const ParFile& par = *run.par;
    run.dat = ParseDat(ReadInputLines(InDir(dir, par.dat), par.dat), par.dat);
    run.net = ParseNet(ReadInputLines(InDir(dir, par.net), par.net), par.net);
    run.rows = BuildPickRows(*run.dat, *run.net);
    const std::vector<Observation> obs = FittedObservations(run.rows);
    if (static_cast<int>(obs.size()) < kMinimumPolarities)
        throw InputError("Za mało polaryzacji do rozwiązania: " + std::to_string(obs.size()) +
                         " (potrzeba co najmniej " + std::to_string(kMinimumPolarities) + ")");
    run.solution = SolveFocalMechanism(obs);
    run.acc = run.solution->totalWeight > 0 ? 1 - run.solution->misfit / run.solution->totalWeight : 0;
}

}  // namespace

int RunSolver(const std::string& workDir, std::ostream& errors) {
    RunRecord run;
    run.workDir = workDir.empty() ? fs::current_path().string() : workDir;
    std::string pny = "NPF.PNY", res = "NPF.RES";
    int status = kExitOk;
    std::vector<std::string> resultLines;
    try {
        try {
            const ParFile par = ParsePar(ReadInputLines(InDir(workDir, "NPF.PAR"), "NPF.PAR"), "NPF.PAR");
            pny = par.pny;
            res = par.res;
            run.par = par;
        } catch (...) {
            // A result left by an earlier run must not pass for this one's.
            std::error_code ec;
            fs::remove(NativePath(InDir(workDir, res)), ec);
            throw;
        }
        std::error_code ec;
        fs::remove(NativePath(InDir(workDir, res)), ec);
        Solve(run, workDir);
        resultLines = ResultLines(ResultOf(run));
    } catch (const InputError& e) {
        run.failure = e.what();
        status = kExitInput;
    } catch (const std::exception& e) {
        run.failure = e.what();
        status = kExitFault;
    }

    // The listing goes first: the program stops the solver as soon as the
    // result file is complete.
    try {
        WriteTextLines(InDir(workDir, pny), ListingLines(run));
    } catch (const std::exception& e) {
        errors << "NPFA: " << e.what() << '\n';
        if (status == kExitOk) status = kExitOutput;
    }
    if (status == kExitOk) {
        try {
            // Written to a temporary name and renamed, so the file appears whole.
            WriteTextLines(InDir(workDir, res), resultLines);
        } catch (const std::exception& e) {
            errors << "NPFA: " << e.what() << '\n';
            status = kExitOutput;
        }
    }
    if (!run.failure.empty()) errors << "NPFA: " << run.failure << '\n';
    return status;
}

}  // namespace dyma::npfa
