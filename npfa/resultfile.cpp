#include "npfa/resultfile.h"

#include <cmath>
#include <initializer_list>

#include "common/numberformat.h"
#include "npfa/inputfiles.h"

namespace dyma::npfa {

namespace {

// One field: the columns the program reads (1-based, inclusive) and how
// many of them stay blank before and after the number, so that a person
// sees separate numbers and the label never runs into a coordinate.
struct Field {
    int first, last, lead, trail;
    int Room() const { return last - first + 1 - lead - trail; }
};

// ---- The layout of NPF.RES, as the program's result parser reads it ----
//
//  line S      "SOURCE:" and the coordinate labels
//  line S+1    source X, Y, Z (km, Z = depth)
//  line S+2    blank
//  line S+3    column header, "SV/P" in columns 52-55
//  station rows, one per fitted pick
//  line E      empty (the parser stops at a line shorter than 5 characters)
//  line E+1    labels of the solution line
//  line E+2    solution: ACC, plane A, plane B, P and T trends
//  line E+3    errors of both planes, P and T plunges
//  a summary line that the parser does not read
namespace col {
constexpr Field kSourceX{8, 18, 1, 0}, kSourceY{19, 29, 1, 0}, kSourceZ{30, 41, 1, 0};

constexpr Field kNo{1, 4, 0, 0};
constexpr Field kChannel{5, 12, 1, 2};  // the label sits in 6-10; 11-12 belong to XS as well
constexpr Field kXS{11, 20, 2, 0};
constexpr Field kYS{21, 30, 1, 0};
constexpr Field kZS{31, 38, 1, 0};
constexpr Field kTakeOff{39, 44, 1, 0};
constexpr Field kAzimuth{45, 51, 1, 1};
constexpr Field kWeight{52, 55, 0, 0};
constexpr int kHeaderSvp = 52;  // "SV/P" in 52-55 marks the header row

constexpr Field kAcc{1, 7, 1, 0};
constexpr Field kSA{8, 14, 1, 0}, kDA{15, 22, 1, 0}, kRA{23, 30, 1, 0};
constexpr Field kSB{31, 40, 1, 0}, kRB{41, 48, 1, 0}, kDB{49, 56, 1, 0};  // strike, dip, rake of B
constexpr Field kPTrend{63, 68, 1, 0}, kTTrend{73, 78, 1, 0};

constexpr Field kSAB{10, 14, 0, 0}, kDAB{18, 22, 0, 0}, kRAB{26, 30, 0, 0};
constexpr Field kSBB{36, 40, 0, 0}, kRBB{46, 48, 0, 0}, kDBB{54, 56, 0, 0};
constexpr Field kPPlunge{63, 68, 1, 0}, kTPlunge{73, 78, 1, 0};
}  // namespace col

void PutAt(std::string& line, int first, const std::string& text) {
    const size_t end = static_cast<size_t>(first - 1) + text.size();
    if (line.size() < end) line.resize(end, ' ');
    line.replace(static_cast<size_t>(first - 1), text.size(), text);
}

// Right-aligned in the field's room.
void PutRight(std::string& line, const Field& f, const std::string& text) {
    PutAt(line, f.last - f.trail - static_cast<int>(text.size()) + 1, text);
}

// The most precise of the pictures that fits the field.
void PutNumber(std::string& line, const Field& f, double value, std::initializer_list<const char*> pictures) {
    for (const char* pic : pictures) {
        const std::string text = FormatFloat(pic, value, '.');
        if (static_cast<int>(text.size()) <= f.Room()) {
            PutRight(line, f, text);
            return;
        }
    }
    throw InputError("Wartość " + FloatToStr(value, '.') + " nie mieści się w kolumnach " + std::to_string(f.first) +
                     "-" + std::to_string(f.last) + " pliku wynikowego");
}

void PutCoordinate(std::string& line, const Field& f, double km) {
    PutNumber(line, f, km, {"0.000", "0.00", "0.0", "0"});
}
void PutAngle(std::string& line, const Field& f, double deg) { PutNumber(line, f, deg, {"0.0", "0"}); }
// Strikes, trends and azimuths in [0, 360) after rounding to a tenth.
void PutDirection(std::string& line, const Field& f, double deg) {
    double v = std::round(deg * 10) / 10;
    v = std::fmod(v, 360.0);
    if (v < 0) v += 360;
    if (v >= 359.95) v = 0;
    PutAngle(line, f, v);
}

std::string SourceHeader() {
    std::string line = "SOURCE:";
    PutRight(line, col::kSourceX, "X [km]");
    PutRight(line, col::kSourceY, "Y [km]");
    PutRight(line, col::kSourceZ, "Z [km]");
    return line;
}

std::string StationHeader() {
    std::string line;
    PutRight(line, col::kNo, "No");
    PutAt(line, col::kChannel.first + col::kChannel.lead, "Chan");
    PutRight(line, col::kXS, "XS");
    PutRight(line, col::kYS, "YS");
    PutRight(line, col::kZS, "ZS");
    PutRight(line, col::kTakeOff, "TOA");
    PutRight(line, col::kAzimuth, "AZM");
    PutAt(line, col::kHeaderSvp, "SV/P");
    return line;
}

std::string StationRow(const ResultStation& s) {
    std::string line;
    PutRight(line, col::kNo, std::to_string(s.no));
    PutAt(line, col::kChannel.first + col::kChannel.lead, s.label.substr(0, static_cast<size_t>(col::kChannel.Room())));
    PutCoordinate(line, col::kXS, s.x);
    PutCoordinate(line, col::kYS, s.y);
    PutCoordinate(line, col::kZS, s.depth);
    PutAngle(line, col::kTakeOff, s.takeoff);
    PutDirection(line, col::kAzimuth, s.azimuth);
    PutNumber(line, col::kWeight, s.signedWeight, {"0.0#", ".0#", "0.0", "0"});
    return line;
}

std::string SolutionHeader() {
    std::string line;
    PutRight(line, col::kAcc, "ACC");
    PutRight(line, col::kSA, "STR-A");
    PutRight(line, col::kDA, "DIP-A");
    PutRight(line, col::kRA, "RAKE-A");
    PutRight(line, col::kSB, "STR-B");
    PutRight(line, col::kRB, "DIP-B");
    PutRight(line, col::kDB, "RAKE-B");
    PutRight(line, col::kPTrend, "P-AXIS");
    PutRight(line, col::kTTrend, "T-AXIS");
    return line;
}

// A line of the solution block: short labels in free columns, then the
// values, each a direction (wrapped to 0..360), an angle or a fraction.
enum class Kind { Direction, Angle, Fraction };
struct Value {
    Field field;
    double value;
    Kind kind;
};
struct Label {
    int column;
    const char* text;
};

std::string BlockLine(std::initializer_list<Label> labels, std::initializer_list<Value> values) {
    std::string line;
    for (const Label& l : labels) PutAt(line, l.column, l.text);
    for (const Value& v : values) {
        if (v.kind == Kind::Direction)
            PutDirection(line, v.field, v.value);
        else if (v.kind == Kind::Angle)
            PutAngle(line, v.field, v.value);
        else
            PutNumber(line, v.field, v.value, {"0.000"});
    }
    return line;
}

std::string SolutionLine(const ResultContent& c) {
    const FocalSolution& s = c.solution;
    return BlockLine({{58, "TR:"}, {70, "TR:"}}, {{col::kAcc, c.acc, Kind::Fraction},
                                                  {col::kSA, s.planeA.strike, Kind::Direction},
                                                  {col::kDA, s.planeA.dip, Kind::Angle},
                                                  {col::kRA, s.planeA.rake, Kind::Angle},
                                                  {col::kSB, s.planeB.strike, Kind::Direction},
                                                  {col::kRB, s.planeB.dip, Kind::Angle},
                                                  {col::kDB, s.planeB.rake, Kind::Angle},
                                                  {col::kPTrend, s.pAxis.trend, Kind::Direction},
                                                  {col::kTTrend, s.tAxis.trend, Kind::Direction}});
}

std::string ErrorLine(const ResultContent& c) {
    const FocalSolution& s = c.solution;
    return BlockLine({{3, "+/-"}, {58, "PL:"}, {70, "PL:"}}, {{col::kSAB, s.errorsA.strike, Kind::Angle},
                                                              {col::kDAB, s.errorsA.dip, Kind::Angle},
                                                              {col::kRAB, s.errorsA.rake, Kind::Angle},
                                                              {col::kSBB, s.errorsB.strike, Kind::Angle},
                                                              {col::kRBB, s.errorsB.dip, Kind::Angle},
                                                              {col::kDBB, s.errorsB.rake, Kind::Angle},
                                                              {col::kPPlunge, s.pAxis.plunge, Kind::Angle},
                                                              {col::kTPlunge, s.tAxis.plunge, Kind::Angle}});
}

std::string SummaryLine(const ResultContent& c) {
    const FocalSolution& s = c.solution;
    return " QUALITY " + std::string(1, s.quality) + "   MISFIT " + FormatFloat("0.0#", s.misfit, '.') + " OF " +
           FormatFloat("0.0#", s.totalWeight, '.') + " (" + std::to_string(s.misfitCount) + " OF " +
           std::to_string(s.fittedCount) + " PICKS)   ACCEPTABLE " + std::to_string(s.acceptableCount) +
           " MECHANISMS   RMS ROTATION " + FormatFloat("0.0", s.rmsRotation, '.');
}

}  // namespace

std::vector<std::string> ResultLines(const ResultContent& c) {
    std::vector<std::string> lines;
    lines.push_back(" NPFA - FIRST-MOTION FOCAL MECHANISM (DOUBLE COUPLE, 1-DEGREE GRID)");
    lines.push_back(SourceHeader());
    std::string source;
    PutCoordinate(source, col::kSourceX, c.x);
    PutCoordinate(source, col::kSourceY, c.y);
    PutCoordinate(source, col::kSourceZ, c.depth);
    lines.push_back(source);
    lines.push_back("");
    lines.push_back(StationHeader());
    for (const ResultStation& s : c.stations) lines.push_back(StationRow(s));
    lines.push_back("");
    lines.push_back(SolutionHeader());
    lines.push_back(SolutionLine(c));
    lines.push_back(ErrorLine(c));
    lines.push_back(SummaryLine(c));
    return lines;
}

}  // namespace dyma::npfa
