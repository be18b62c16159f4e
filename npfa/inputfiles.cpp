#include "npfa/inputfiles.h"

#include <sstream>

#include "common/numberformat.h"
#include "common/textfile.h"

namespace dyma::npfa {

namespace {

std::string Where(const std::string& name, int line) { return name + ", wiersz " + std::to_string(line) + ": "; }

double Number(const std::string& text, const std::string& name, int line, const std::string& what) {
    double v = 0;
    if (!TryStrToFloat(text, '.', v)) throw InputError(Where(name, line) + what + " \"" + text + "\" nie jest liczbą");
    return v;
}

std::vector<std::string> Tokens(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream ss(text);
    std::string t;
    while (ss >> t) out.push_back(t);
    return out;
}

// Columns first..last (1-based, inclusive) of a line that may be shorter.
std::string Columns(const std::string& line, size_t first, size_t last) {
    if (line.size() < first) return {};
    return line.substr(first - 1, last - first + 1);
}

char Column(const std::string& line, size_t col) { return line.size() >= col ? line[col - 1] : ' '; }

bool Blank(const std::string& line) { return Trim(line).empty(); }

}  // namespace

const NetStation* NetFile::Find(const std::string& label) const {
    for (const NetStation& s : stations)
        if (s.label == label) return &s;
    return nullptr;
}

std::vector<std::string> ReadInputLines(const std::string& path, const std::string& name) {
    if (!FileExists(path)) throw InputError("Brak pliku " + name + " (" + path + ")");
    try {
        return ReadTextLines(path);
    } catch (const std::exception& e) {
        throw InputError("Nie można odczytać pliku " + name + ": " + e.what());
    }
}

ParFile ParsePar(const std::vector<std::string>& lines, const std::string& name) {
    static const char* const what[] = {"nazwa pliku DAT", "nazwa pliku RES", "nazwa pliku PNY", "nazwa pliku NET"};
    std::string names[4];
    for (int i = 0; i < 4; ++i) {
        const size_t idx = static_cast<size_t>(i);
        if (idx >= lines.size() || Blank(lines[idx]))
            throw InputError(Where(name, i + 1) + "brak wiersza (" + what[i] + ")");
        names[i] = Trim(lines[idx]);
    }
    ParFile par{names[0], names[1], names[2], names[3], {}, {}};
    if (lines.size() > 4) par.bin = Trim(lines[4]);
    if (lines.size() > 5) par.parameters = Trim(lines[5]);
    if (lines.size() > 6 && !Blank(lines[6])) {
        std::string text = lines[6];
        for (char& c : text)
            if (c == ',' || c == ';') c = ' ';
        const std::vector<std::string> t = Tokens(text);
        if (t.size() != 2)
            throw InputError(Where(name, 7) + "oczekiwano dwóch liczb: błąd lokalizacji [m] i błąd kąta fal pokładowych [°]");
        par.locationError = Number(t[0], name, 7, "błąd lokalizacji");
        par.seamAngleError = Number(t[1], name, 7, "błąd kąta fal pokładowych");
        if (par.locationError < 0 || par.seamAngleError < 0 || par.locationError > 10000 || par.seamAngleError > 45)
            throw InputError(Where(name, 7) + "błędy poza zakresem (0-10000 m, 0-45°)");
        par.errorsGiven = true;
    }
    // Writing the result over an input would destroy the operator's file.
    const bool clash =
        par.res == par.dat || par.res == par.net || par.pny == par.dat || par.pny == par.net || par.res == par.pny;
    if (clash) throw InputError(name + ": pliki wynikowe muszą mieć inne nazwy niż pliki danych i siebie nawzajem");
    return par;
}

DatFile ParseDat(const std::vector<std::string>& lines, const std::string& name) {
    if (lines.empty() || (lines.size() == 1 && Blank(lines[0]))) throw InputError(name + ": plik jest pusty");
    DatFile dat;
    dat.title = Trim(lines[0]);
    if (lines.size() < 2 || Blank(lines[1]))
        throw InputError(Where(name, 2) + "brak współrzędnych ogniska (X, Y, głębokość)");
    // Both layouts leave a blank between the three coordinates, so the
    // fields are read as words rather than by column.
    const std::vector<std::string> xyz = Tokens(lines[1]);
    if (xyz.size() < 3) throw InputError(Where(name, 2) + "oczekiwano trzech współrzędnych ogniska (X, Y, głębokość)");
    dat.x = Number(xyz[0], name, 2, "X");
    dat.y = Number(xyz[1], name, 2, "Y");
    dat.depth = Number(xyz[2], name, 2, "głębokość");

    for (size_t i = 2; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const int lineNo = static_cast<int>(i) + 1;
        if (Blank(line)) continue;
        // The older workflow ended the picks with a "####" trailer and kept
        // remarks on lines with "/"; the program strips both, a file given
        // to the solver by hand may still have them.
        if (line.find("####") != std::string::npos) break;
        if (line.find('/') != std::string::npos) {
            dat.skippedLines.push_back(lineNo);
            continue;
        }
        DatPick p;
        p.line = lineNo;
        p.label = Trim(Columns(line, 1, 5));
        const char type = Column(line, 6);
        if (type != ' ') p.waveType = ToUpperAscii(std::string(1, type));
        const char pol = Column(line, 8);
        p.polarity = pol == ' ' ? '0' : pol;
        const std::string weight = Trim(Columns(line, 10, 12));
        p.weight = weight.empty() ? 0.0 : Number(weight, name, lineNo, "waga");
        dat.picks.push_back(p);
    }
    return dat;
}

NetFile ParseNet(const std::vector<std::string>& lines, const std::string& name) {
    if (lines.empty() || (lines.size() == 1 && Blank(lines[0]))) throw InputError(name + ": plik jest pusty");
    NetFile net;
    const std::vector<std::string> model = Tokens(lines[0]);
    if (model.size() < 4)
        throw InputError(Where(name, 1) +
                         "oczekiwano czterech liczb: kąty wyjścia fal A i B, upad i rozciągłość warstw");
    net.model.aa = Number(model[0], name, 1, "kąt wyjścia fali A");
    net.model.bb = Number(model[1], name, 1, "kąt wyjścia fali B");
    net.model.tilt = Number(model[2], name, 1, "upad warstw");
    net.model.drtilt = Number(model[3], name, 1, "rozciągłość warstw");

    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const int lineNo = static_cast<int>(i) + 1;
        if (Blank(line)) continue;
        // The label takes columns 1-4 (program) or 1-5 (older files); the
        // coordinates are right-aligned after it, so column 5 is blank in
        // the program's layout for any coordinate below 10^5 km.
        NetStation s;
        s.line = lineNo;
        s.label = Trim(Columns(line, 1, 5));
        const std::vector<std::string> xyz = Tokens(line.size() > 5 ? line.substr(5) : std::string());
        if (s.label.empty() || xyz.size() < 3)
            throw InputError(Where(name, lineNo) + "oczekiwano etykiety kanału i trzech współrzędnych stacji");
        s.x = Number(xyz[0], name, lineNo, "X");
        s.y = Number(xyz[1], name, lineNo, "Y");
        s.depth = Number(xyz[2], name, lineNo, "głębokość");
        net.stations.push_back(s);
    }
    return net;
}

}  // namespace dyma::npfa
