// The solver's input files as NPFA.EXE reads them: NPF.PAR, the pick file
// and the network file (in the program's and the older layout), given as one
// input of three parts ended by NUL bytes, then the rays and polarities the
// search would fit. Promises: a bad file is an InputError (nothing else);
// a second read gives the same result; every fitted polarity is +1 or -1
// with a finite ray.
#include "fuzzsupport.h"

#include "common/textfile.h"
#include "npfa/inputfiles.h"
#include "npfa/observations.h"
#include "tools/focalsynth/focalsynth.h"

#include <cmath>
#include <random>

namespace {

using namespace dyma::npfa;

struct Reading {
    std::string error;
    std::vector<std::string> values;
    bool operator==(const Reading&) const = default;
};

std::string Number(double v) { return std::isnan(v) ? "nan" : std::to_string(v); }

// Reads the files the way the solver does; `stage` says how far it got.
Reading Read(const dyma::fuzz::Scratch& scratch, int& stage) {
    Reading out;
    stage = 0;
    try {
        const ParFile par = ParsePar(ReadInputLines(scratch.File("NPF.PAR"), "NPF.PAR"), "NPF.PAR");
        out.values = {par.dat, par.res, par.pny, par.net, par.bin, par.parameters};
        stage = 1;
        // The file names the PAR gives are not followed: the harness reads
        // its own two files.
        const DatFile dat = ParseDat(ReadInputLines(scratch.File("NPF.DAT"), "NPF.DAT"), "NPF.DAT");
        stage = 2;
        const NetFile net = ParseNet(ReadInputLines(scratch.File("NPF.NET"), "NPF.NET"), "NPF.NET");
        stage = 3;
        const std::vector<PickRow> rows = BuildPickRows(dat, net);
        for (const PickRow& r : rows)
            out.values.push_back(r.pick.label + r.pick.waveType + r.pick.polarity + Number(r.pick.weight) +
                                 (r.inNet ? "+" : "-") + Number(r.takeoff) + Number(r.azimuth) +
                                 std::to_string(r.fitted) + r.note);
        for (const Observation& o : FittedObservations(rows)) {
            FUZZ_CHECK(o.polarity == 1 || o.polarity == -1, "a fitted polarity that is neither +1 nor -1");
            FUZZ_CHECK(o.weight > 0 && std::isfinite(o.weight), "a fitted weight that is not positive");
            FUZZ_CHECK(std::isfinite(o.ray.x) && std::isfinite(o.ray.y) && std::isfinite(o.ray.z),
                       "a fitted ray that is no direction");
        }
        if (!FittedObservations(rows).empty()) stage = 4;
    } catch (const InputError& e) {
        out.error = e.what();
    }
    return out;
}

}  // namespace

namespace dyma::fuzz {

std::vector<std::string> Kinds() {
    return {"NPF.PAR read", "pick file read", "network file read", "polarities fitted"};
}

void WriteSeeds(Seeds& seeds) {
    std::mt19937 random(5);
    for (const bool wholeSphere : {false, true}) {
        synth::Options options;
        options.stations = 12;
        options.wholeSphere = wholeSphere;
        options.flipShare = 0.2;
        const synth::Event event = synth::MakeEvent(synth::RandomMechanism(random), options, random);
        seeds.Add(wholeSphere ? "sphere" : "mine", JoinParts({JoinLinesCrLf(synth::ParLines()),
                                                              JoinLinesCrLf(synth::DatLines(event)),
                                                              JoinLinesCrLf(synth::NetLines(event))}));
    }
    // The older layout: five-character labels, a remark and the trailer.
    seeds.Add("older", JoinParts({"NPF.DAT\r\nNPF.RES\r\nNPF.PNY\r\nNPF.NET\r\nNPF.BIN\r\n0,0,14,1,12,3,0\r\n",
                                  "Zdarzenie\r\n 24.612 17.385 0.955\r\n12ZZAC + 1.0\r\n13ZZBA - 0.7\r\n"
                                  "/ uwaga\r\n14ZZCB + 0.5\r\n####\r\n",
                                  "114 72 4 45\r\n12ZZA   24.100 17.000 0.700\r\n13ZZB   25.000 18.200 0.900\r\n"
                                  "14ZZC   23.500 16.900 1.100\r\n"}));
}

}  // namespace dyma::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const dyma::fuzz::Scratch& scratch = dyma::fuzz::ScratchFolder();
    const std::vector<std::string> parts = dyma::fuzz::SplitParts(data, size, 3);
    scratch.Write("NPF.PAR", parts[0]);
    scratch.Write("NPF.DAT", parts[1]);
    scratch.Write("NPF.NET", parts[2]);
    int stage = 0, stageAgain = 0;
    const Reading first = Read(scratch, stage);
    FUZZ_CHECK(first == Read(scratch, stageAgain) && stage == stageAgain, "a second read differs");
    static const char* const kinds[] = {"NPF.PAR read", "pick file read", "network file read", "polarities fitted"};
    for (int k = 0; k < stage; ++k) dyma::fuzz::Reached(kinds[k]);
    scratch.Clear();
    return 0;
}
