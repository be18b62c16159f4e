// The document of one tremor: header, per-channel picks and, once the solver
// has run, the solution with its station rows. The field names are the keys
// of the project file, so they keep the spelling operators' files use
// ("Wage", "Skladowa", "Zakres" ...).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <optional>
#include <vector>

#include "common/qualityfile.h"

namespace dyma {

// Windows colour values 0x00BBGGRR.
using Colour = std::uint32_t;
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kBlue = 0xFF0000;

// Wave types are one-letter texts: "C" direct wave, "A" upper seam wave,
// "B" lower seam wave, "-" none. "D" only arrives from hand-edited or legacy
// files and is handled by the sign and ray rules.
namespace wave {
inline constexpr char kDirect[] = "C";
inline constexpr char kUpperSeam[] = "A";
inline constexpr char kLowerSeam[] = "B";
inline constexpr char kNone[] = "-";
// The wave-type toolbar positions 0, 1, 2 in order.
std::string FromTag(int tag);
}  // namespace wave

inline constexpr int kMaxChannels = 96;
inline constexpr int kMaxStations = 96;

// "Channel007": channel identifier = index in the signal file plus one.
std::string ChannelSection(int ident);
// "Station000": solution row index from 0.
std::string StationSection(int row);

// The operator sets weights 10..100 in steps of 10; the document stores the
// fraction (weight x 0.01).
double WeightToWage(int weight);
int WageToWeight(double wage);

double Distance(double x1, double y1, double z1, double x2, double y2, double z2);

struct TremorHeader {
    double X = 0, Y = 0, Z = 0;
    double Zakres = 5000;
    std::string Description, Operator;
    std::vector<std::string> Notes;
    std::string SignalFile, SignalFileShort, Extension;
    double Date = 0, Time = 0;
    Colour PlusColor = kRed, MinusColor = kBlue;
    bool ReversePolarization = false;
};

struct ChannelPick {
    int No = 0;
    std::string Name, Skladowa;
    std::string Nazwa = "-";
    int Ident = 0;
    std::string WaveType = "-";
    double MarkerPosition = -1;
    std::string FirstArrival = "0";
    double Wage = 0;
    bool Active = true;
    int Polarity = 1;

    // A pick reaches the pick list (and the solver) only with a wave type,
    // a weight and a marker.
    bool IsComplete() const { return WaveType != "-" && Wage != 0 && MarkerPosition != -1; }
};

struct SolutionStation {
    int No = 0;
    std::string Channel;
    double XS = 0, YS = 0, ZS = 0;
    double TakeOff = 0, Azimuth = 0;
    double Weight = 0;
    double Sign = 0;
    double SVP = 0, WT = 0;
    std::string SignString;
    std::string Type = "-";
    double Angle = 0;
    double SinBet = 0, CosBet = 0, SinAl = 0, CosAl = 0;
};

struct SolutionRecord {
    double X = 0, Y = 0, Z = 0;
    bool Exists = false;
    std::array<SolutionStation, kMaxStations> stations{};
    double ACC = 0;
    double SA = 0, DA = 0, RA = 0;
    // Plane B: SB strike, RB dip, DB rake (the letters are swapped relative
    // to plane A; they are the project-file keys).
    double SB = 0, RB = 0, DB = 0;
    double SAB = 0, DAB = 0, RAB = 0;
    double SBB = 0, RBB = 0, DBB = 0;
    // SA, DA, RA, SB, RB, DB, SAB, DAB, RAB, SBB, RBB, DBB as the solver
    // wrote them; not saved.
    std::array<double, 12> solverCopy{};
    double PTrend = 0, PPlunge = 0, TTrend = 0, TPlunge = 0;
    int StationCount = 0;
    double aa = 0, bb = 0, Tilt = 0, DrTilt = 0;
    Colour PlusColor = kRed, MinusColor = kBlue;
    std::string SignalFileShort = "brak danych";
    double Zakres = 0;
    std::string Description, Operator;
    double Date = 0, Time = 0;
    // What the solver's quality file (NPF.ACC) adds: the quality letter and
    // the figures it rests on, and the P and T axes of the acceptable set.
    // Empty for a result without that file (an older solver or project).
    std::optional<SolutionQuality> AcceptableSet;
    // Drawing frame, set by every rendering; not saved.
    double PlotWidth = 0, PlotHeight = 0, PlotCenterX = 0, PlotCenterY = 0, PlotRadiusX = 0, PlotRadiusY = 0;
};

}  // namespace dyma
