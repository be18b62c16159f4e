#include "solverfiles.h"

#include "app/settings/settings.h"
#include "app/solver/fixedcolumns.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "common/usermessages.h"

namespace dyma {

namespace {

// Metres to the solver's kilometres; depth is positive downward.
double Kilometres(double metres) { return metres * 0.001; }
double DepthKilometres(double z) { return z * -0.001; }

std::string KmField(double km, char sep) { return RightField(FormatFloat(".000", km, sep), 11); }

// The solver reads "." only, whatever the locale formatted.
std::vector<std::string> WithPoints(std::vector<std::string> lines) {
    for (std::string& line : lines) line = ReplaceAll(std::move(line), ',', '.');
    return lines;
}

}  // namespace

// ------------------------------------------------------------------ location

std::string LocationQuestion(double x, double y, double z, char sep) {
    return "Wydaje się, że nie została wprowadzona poprawna lokalizacja wstrząsu: X = " + FormatFloat("0.00", x, sep) +
           " Y = " + FormatFloat("0.00", y, sep) + " Z = " + FormatFloat("0.00", z, sep) +
           ". Czy chcesz kontynuować przetwarzanie? Jeśli chcesz poprawić dane, wciśnij NIE i wprowadź prawidłowe "
           "współrzędne na zakładce Dane przetwarzanego dokumentu";
}

bool CheckLocation(const DataPageValues& page, bool warningLocation, char sep, UserMessages& messages) {
    if (!warningLocation) return true;
    const double x = ParseNumber(page.X, sep), y = ParseNumber(page.Y, sep), z = ParseNumber(page.Z, sep);
    if (x != 0 && y != 0 && z != 0) return true;
    return messages.Question(LocationQuestion(x, y, z, sep));
}

// ------------------------------------------------------------------ NPF.DAT

std::string SolverPolarity(const std::string& firstArrival, int channelPolarity, bool reversePolarization) {
    const std::string upper = ToUpperAscii(firstArrival);
    if (upper != "+" && upper != "-") return upper;
    const bool flip = (channelPolarity < 0) != reversePolarization;
    if (!flip) return upper;
    return upper == "+" ? "-" : "+";
}

std::string DatPickLine(const PickRow& row, int channelPolarity, bool reversePolarization) {
    return LeftField(row.Name + row.Skladowa, 4) + " " + ToUpperAscii(row.WaveType) + " " +
           SolverPolarity(row.FirstArrival, channelPolarity, reversePolarization) + " " +
           RightField(FormatFloat(".0", row.Wage, '.'), 3) + RightField(FormatFloat(".0", 0, '.'), 10);
}

std::vector<std::string> BuildDat(const DataPageValues& page, const std::vector<PickRow>& rows,
                                  const std::vector<int>& polarities, char sep) {
    const double x = ParseNumber(page.X, sep), y = ParseNumber(page.Y, sep), z = ParseNumber(page.Z, sep);
    std::vector<std::string> lines;
    lines.emplace_back("WinDYMA");
    lines.push_back(KmField(Kilometres(x), sep) + KmField(Kilometres(y), sep) + KmField(DepthKilometres(z), sep));
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].Active) continue;
        const int polarity = i < polarities.size() ? polarities[i] : 1;
        lines.push_back(DatPickLine(rows[i], polarity, page.ReversePolarization));
    }
    return WithPoints(std::move(lines));
}

std::vector<int> ChannelPolarities(const IniImage& image, const std::vector<PickRow>& rows) {
    std::vector<int> out;
    out.reserve(rows.size());
    for (const PickRow& row : rows)
        out.push_back(static_cast<int>(image.ReadInteger(ChannelSection(row.Ident), "Polarity", 1)));
    return out;
}

// ------------------------------------------------------------------ NPF.NET, NPF.PAR

std::vector<std::string> BuildNet(const Settings& s, const std::vector<NetStation>& stations, char sep) {
    std::string model;
    for (const std::string* text : {&s.defaultAAngle, &s.defaultBAngle, &s.defaultUpad, &s.defaultBieg})
        model += RightField(FormatFloat("0.00", GeologyValue(*text, sep), sep), 7);
    std::vector<std::string> lines{model + " 0"};
    for (const NetStation& st : stations)
        lines.push_back(LeftField(st.Number + st.Component, 4) + KmField(Kilometres(st.X), sep) +
                        KmField(Kilometres(st.Y), sep) + KmField(DepthKilometres(st.Z), sep));
    return WithPoints(std::move(lines));
}

std::vector<std::string> BuildPar() {
    return {"NPF.DAT", "NPF.RES", "NPF.PNY", "NPF.NET", "NPF.BIN", "0,0,14,1,12,3,0"};
}

std::vector<std::string> BuildPar(const Settings& settings, char sep) {
    std::vector<std::string> par = BuildPar();
    const double location = GeologyValue(settings.defaultLocationError, sep);
    const double angle = GeologyValue(settings.defaultSeamAngleError, sep);
    par.push_back(FormatFloat("0.##", location, '.') + "," + FormatFloat("0.##", angle, '.'));
    return par;
}

// ------------------------------------------------------------------ writing

std::string SolverPath(const std::string& directory, const std::string& fileName) {
    if (directory.empty()) return fileName;
    return TidyPath(directory + kPathSeparator + fileName);
}

void WriteSolverFiles(const std::string& directory, const std::vector<std::string>& dat,
                      const std::vector<std::string>& net, const std::vector<std::string>& par) {
    WriteTextLines(SolverPath(directory, kDatFile), dat);
    WriteTextLines(SolverPath(directory, kNetFile), net);
    WriteTextLines(SolverPath(directory, kParFile), par);
}

void WriteInputFiles(IniImage& image, const SolverInput& in, const Settings& settings, const std::string& directory,
                     char sep) {
    SaveHeaderAndPicks(image, in.page, in.signal, in.rows, sep);
    const std::vector<std::string> dat = BuildDat(in.page, in.rows, ChannelPolarities(image, in.rows), sep);
    const std::vector<std::string> net = BuildNet(settings, in.stations, sep);
    const std::vector<std::string> par = BuildPar(settings, sep);
    WriteLines(image, "DATStringList", dat);
    WriteSolverFiles(directory, dat, net, par);
}

}  // namespace dyma
