#include "npfa/solverrun.h"

#include <filesystem>

#include "common/textfile.h"
#include "npfa/listing.h"
#include "npfa/resultfile.h"
#include "common/qualityfile.h"

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
    SearchSettings settings;
    settings.trials = RayTrials(*run.dat, *run.net, run.rows, par.locationError, par.seamAngleError);
    run.solution = SolveFocalMechanism(obs, settings);
    run.acc = run.solution->totalWeight > 0 ? 1 - run.solution->misfit / run.solution->totalWeight : 0;
}

SolutionQuality QualityRecordOf(const RunRecord& run) {
    const FocalSolution& s = *run.solution;
    SolutionQuality q;
    q.quality = s.quality;
    q.misfitCount = s.misfitCount;
    q.polarityCount = s.fittedCount;
    q.errorRate = s.errorRate;
    q.stationRatio = s.stationRatio;
    q.azimuthGap = s.azimuthGap;
    q.takeOffGap = s.takeoffGap;
    q.locationError = run.par->locationError;
    q.seamAngleError = run.par->seamAngleError;
    for (const AxisPair& a : s.acceptableAxes) q.axes.push_back({a.p.trend, a.p.plunge, a.t.trend, a.t.plunge});
    return q;
}

// The quality file sits beside the result file.
std::string QualityPath(const std::string& workDir, const std::string& res) {
    const fs::path p = NativePath(InDir(workDir, res));
    return (p.parent_path() / kQualityFileName).string();
}

}  // namespace

FocalSolution SolveWorkDir(const std::string& workDir, std::vector<Observation>* observations) {
    RunRecord run;
    run.par = ParsePar(ReadInputLines(InDir(workDir, "NPF.PAR"), "NPF.PAR"), "NPF.PAR");
    Solve(run, workDir);
    if (observations) *observations = FittedObservations(run.rows);
    return *run.solution;
}

int RunSolver(const std::string& workDir, std::ostream& errors) {
    RunRecord run;
    run.workDir = workDir.empty() ? fs::current_path().string() : workDir;
    std::string pny = "NPF.PNY", res = "NPF.RES";
    int status = kExitOk;
    std::vector<std::string> resultLines, qualityLines;
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
            fs::remove(NativePath(QualityPath(workDir, res)), ec);
            throw;
        }
        std::error_code ec;
        fs::remove(NativePath(InDir(workDir, res)), ec);
        fs::remove(NativePath(QualityPath(workDir, res)), ec);
        Solve(run, workDir);
        resultLines = ResultLines(ResultOf(run));
        qualityLines = QualityFileLines(QualityRecordOf(run));
    } catch (const InputError& e) {
        run.failure = e.what();
        status = kExitInput;
    } catch (const std::exception& e) {
        run.failure = e.what();
        status = kExitFault;
    }

    // The listing and the quality file go first: the program stops the
    // solver as soon as the result file is complete. The listing is remade
    // by any run, so it does not wait for the disk.
    try {
        WriteTextLines(InDir(workDir, pny), ListingLines(run), Durability::Unsynced);
    } catch (const std::exception& e) {
        errors << "NPFA: " << e.what() << '\n';
        if (status == kExitOk) status = kExitOutput;
    }
    if (status == kExitOk) {
        try {
            // Both written to a temporary name and renamed, so each appears
            // whole; the quality file before the result, so that a complete
            // result always has its quality file beside it.
            WriteTextLines(QualityPath(workDir, res), qualityLines, Durability::Unsynced);
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
