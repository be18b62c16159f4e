#include "projectfile.h"

#include "app/document/solutionmerge.h"
#include "app/seismogram/signalformat.h"
#include "app/settings/settings.h"
#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/product.h"
#include "common/textfile.h"
#include "common/usermessages.h"

#include <algorithm>
#include <array>
#include <sstream>

namespace dyma {

namespace {

// Reals are always read with the tolerant parser, so files written with
// either separator open everywhere.
double ReadReal(const IniImage& image, const std::string& section, const std::string& key, const char* def = "0") {
    return ParseNumber(image.ReadString(section, key, def), '.');
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The reals of a station row and of [Result], in the order they are written.
// Plane B keys name the fields they come from (RB dip, DB rake), so a save
// followed by a load gives back the same record.
const std::pair<const char*, double SolutionStation::*> kStationReals[] = {
    {"XS", &SolutionStation::XS},         {"YS", &SolutionStation::YS},
    {"ZS", &SolutionStation::ZS},         {"TakeOff", &SolutionStation::TakeOff},
    {"Azimuth", &SolutionStation::Azimuth}, {"Weight", &SolutionStation::Weight},
    {"Sign", &SolutionStation::Sign},     {"SVP", &SolutionStation::SVP},
    {"WT", &SolutionStation::WT},         {"Angle", &SolutionStation::Angle},
    {"SinBet", &SolutionStation::SinBet}, {"CosBet", &SolutionStation::CosBet},
    {"SinAl", &SolutionStation::SinAl},   {"CosAl", &SolutionStation::CosAl},
};

const std::pair<const char*, double SolutionRecord::*> kResultReals[] = {
    {"ACC", &SolutionRecord::ACC},         {"SA", &SolutionRecord::SA},
    {"DA", &SolutionRecord::DA},           {"RA", &SolutionRecord::RA},
    {"SB", &SolutionRecord::SB},           {"DB", &SolutionRecord::DB},
    {"RB", &SolutionRecord::RB},           {"SAB", &SolutionRecord::SAB},
    {"DAB", &SolutionRecord::DAB},         {"RAB", &SolutionRecord::RAB},
    {"SBB", &SolutionRecord::SBB},         {"DBB", &SolutionRecord::DBB},
    {"RBB", &SolutionRecord::RBB},         {"PTrend", &SolutionRecord::PTrend},
    {"TTrend", &SolutionRecord::TTrend},   {"PPlunge", &SolutionRecord::PPlunge},
    {"TPlunge", &SolutionRecord::TPlunge}, {"aa", &SolutionRecord::aa},
    {"bb", &SolutionRecord::bb},           {"Tilt", &SolutionRecord::Tilt},
    {"DrTilt", &SolutionRecord::DrTilt},
};

}  // namespace

// ------------------------------------------------------------------ paths

std::string FileNamePart(const std::string& path) {
    size_t i = path.size();
    while (i > 0 && !IsSeparator(path[i - 1])) --i;
    return path.substr(i);
}

std::string DirectoryPart(const std::string& path) {
    size_t i = path.size();
    while (i > 0 && !IsSeparator(path[i - 1])) --i;
    if (i == 0) return {};
    return path.substr(0, i - 1);
}

std::string ExtensionOf(const std::string& path) {
    std::string name = FileNamePart(path);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    return name.substr(dot);
}

bool HasExtension(const std::string& path, const char* ext) { return EqualsIgnoreCase(ExtensionOf(path), ext); }

bool IsSignalFileName(const std::string& path) {
    return HasExtension(path, ".mbi") || HasExtension(path, ".min") || HasExtension(path, ".mbj");
}

bool IsProjectFileName(const std::string& path) { return HasExtension(path, ".dym"); }

std::string SignalFileStem(const std::string& signalPath) {
    static const char* const kSignalExtensions[] = {".mbi", ".min", ".mbj", ".mseed", ".miniseed", ".msd", ".ms"};
    const std::string ext = ExtensionOf(signalPath);
    for (const char* known : kSignalExtensions)
        if (EqualsIgnoreCase(ext, known)) return signalPath.substr(0, signalPath.size() - ext.size());
    return signalPath;
}

std::string ProjectFileForSignal(const std::string& signalPath) {
    if (!IsSignalFileName(signalPath)) return signalPath + ".dym";
    return signalPath.substr(0, signalPath.size() - ExtensionOf(signalPath).size()) + ".dym";
}

// ------------------------------------------------------------------ [FileInfo]

void WriteFileInfo(IniImage& image) {
    image.WriteString("FileInfo", "Generator", kShortName);
    image.WriteString("FileInfo", "Version", kVersionString);
    image.WriteInteger("FileInfo", "MajorVersion", kMajorVersion);
    image.WriteInteger("FileInfo", "MinorVersion", kMinorVersion);
    image.WriteInteger("FileInfo", "Release", kRelease);
}

bool CheckProjectFile(const std::string& fileName, UserMessages& messages) {
    if (!IsProjectFileName(fileName)) return true;
    try {
        IniImage image(fileName);
        // Compared part by part: a foreign file's numbers may be anything,
        // and packing them into one (major * 65536 + ...) could overflow.
        // For parts of 0..255, as this program writes them, it is the same.
        const std::array<long long, 3> version{image.ReadInteger("FileInfo", "MajorVersion", 0),
                                               image.ReadInteger("FileInfo", "MinorVersion", 0),
                                               image.ReadInteger("FileInfo", "Release", 0)};
        const std::array<long long, 3> none{0, 0, 0}, ours{kMajorVersion, kMinorVersion, kRelease};
        const std::string generator = image.ReadString("FileInfo", "Generator", "");
        if (version == none && generator.find("Kelo") == std::string::npos) {
            messages.Warning(std::string("Błąd! Plik nie jest prawidłowym plikiem programu ") + kProductDisplay);
            return false;
        }
        if (version < ours) {
            messages.Information(std::string("Ten plik został utworzony jedną z wcześniejszych wersji programu ") +
                                 kShortName + ".");
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// ------------------------------------------------------------------ opening

std::string SignalFileOfProject(const std::string& projectFile) {
    IniImage image(projectFile);
    std::string signal = image.ReadString("Datas", "SignalFile", "");
    const std::string shortName = image.ReadString("Datas", "SignalFileShort", "");
    const std::string dir = DirectoryPart(projectFile);
    auto inProjectDir = [&](const std::string& name) { return dir.empty() ? name : dir + kPathSeparator + name; };
    if (signal.empty() && shortName.empty()) return {};  // names none
    if (signal == shortName) signal = inProjectDir(signal);
    // Projects made on Windows name their signal file in whatever case the
    // workstation showed; an exact name is taken first.
    if (const std::string found = FindFileIgnoringCase(signal); !found.empty()) return found;
    const std::string beside = inProjectDir(FileNamePart(signal));
    if (const std::string found = FindFileIgnoringCase(beside); !found.empty()) return found;
    return beside;
}

std::string SignalFileMissingMessage(const std::string& signalFile, const std::string& projectFile) {
    return "Nie znaleziono pliku sygnału " + signalFile + ", na który wskazuje plik projektu " + projectFile + ".";
}

std::optional<OpenPlan> PlanOpen(const std::string& chosenName, const std::string& tempDirectory,
                                 UserMessages& messages) {
    std::string name = chosenName;
#ifdef _WIN32
    // Only where the file system ignores case may the name be normalised.
    name = ToLowerAscii(name);
#endif
    auto fail = [&]() -> std::optional<OpenPlan> {
        messages.Warning(OpenFailedMessage(name));
        return std::nullopt;
    };
    if (name.empty() || !FileExists(name) || !CheckProjectFile(name, messages)) return fail();

    OpenPlan plan;
    if (IsProjectFileName(name)) {
        plan.projectFile = name;
        try {
            plan.signalFile = SignalFileOfProject(name);
        } catch (const std::exception&) {
            return fail();
        }
        if (plan.signalFile.empty()) return fail();
        if (!FileExists(plan.signalFile)) {
            messages.Warning(SignalFileMissingMessage(plan.signalFile, name));
            return std::nullopt;
        }
    } else if (IsSignalFile(name)) {
        // LGOM files by their extension, miniSEED records by their contents
        // (archive names often have no extension).
        plan.signalFile = name;
        plan.projectFile = ProjectFileForSignal(name);
    } else {
        return fail();
    }
    plan.projectExists = FileExists(plan.projectFile);
    plan.imageFile = plan.projectExists ? plan.projectFile
                                        : tempDirectory + kPathSeparator + FileNamePart(plan.projectFile);
    return plan;
}

// ------------------------------------------------------------------ header and picks

void SaveHeaderAndPicks(IniImage& image, const DataPageValues& page, const SignalFacts& signal,
                        const std::vector<PickRow>& rows, char sep) {
    // Convert first, so that a bad text changes nothing in the image.
    const double x = ParseNumber(page.X, sep), y = ParseNumber(page.Y, sep), z = ParseNumber(page.Z, sep);
    const double zakres = ParseNumber(page.Zakres, sep);

    WriteFileInfo(image);
    const std::string d = "Datas";
    image.WriteFloat(d, "X", x, sep);
    image.WriteFloat(d, "Y", y, sep);
    image.WriteFloat(d, "Z", z, sep);
    image.WriteFloat(d, "Zakres", zakres, sep);
    image.WriteString(d, "Description", page.Description);
    image.WriteString(d, "Operator", page.Operator);
    image.WriteString(d, "SignalFile", signal.SignalFile);
    image.WriteString(d, "SignalFileShort", FileNamePart(signal.SignalFile));
    image.WriteString(d, "Extension", ExtensionOf(signal.SignalFile));
    image.WriteFloat(d, "Date", signal.Date, sep);
    image.WriteFloat(d, "Time", signal.Time, sep);
    image.WriteInteger(d, "PlusColor", page.PlusColor);
    image.WriteInteger(d, "MinusColor", page.MinusColor);
    image.WriteBool(d, "ReversePolarization", page.ReversePolarization);
    WriteLines(image, "Notes", page.Notes);

    for (size_t i = 0; i < rows.size(); ++i) {
        const PickRow& r = rows[i];
        const std::string s = ChannelSection(r.Ident);
        image.WriteString(s, "No", std::to_string(i + 1));
        image.WriteString(s, "Name", r.Name);
        image.WriteString(s, "Nazwa", r.Name + r.Skladowa);
        image.WriteInteger(s, "Ident", r.Ident);
        image.WriteString(s, "WaveType", r.WaveType);
        image.WriteFloat(s, "Wage", r.Wage, sep);
        image.WriteBool(s, "Active", r.Active);
        image.WriteString(s, "FirstArrival", r.FirstArrival);
        image.WriteFloat(s, "MarkerPosition", r.MarkerPosition, sep);
        image.WriteString(s, "Skladowa", r.Skladowa);
    }
}

DataPageValues LoadHeader(const IniImage& image, const Settings& settings, char sep) {
    DataPageValues page;
    const std::string d = "Datas";
    page.X = FloatToStr(ReadReal(image, d, "X"), sep);
    page.Y = FloatToStr(ReadReal(image, d, "Y"), sep);
    page.Z = FloatToStr(ReadReal(image, d, "Z"), sep);
    page.ReversePolarization = image.ReadBool(d, "ReversePolarization", false);
    page.Zakres = FloatToStr(ReadReal(image, d, "Zakres", "5000"), sep);
    page.Description = image.ReadString(d, "Description", settings.DefaultDescription);
    page.Operator = image.ReadString(d, "Operator", settings.DefaultOperator);
    page.Notes = ReadLines(image, "Notes");
    page.PlusColor = static_cast<Colour>(image.ReadInteger(d, "PlusColor", settings.PlusColor));
    page.MinusColor = static_cast<Colour>(image.ReadInteger(d, "MinusColor", settings.MinusColor));
    return page;
}

std::string OpenFailedMessage(const std::string& fileName) {
    return "Otwarcie pliku: " + fileName + " zakończyło się niepowodzeniem.";
}

std::string SaveFailedMessage(const std::string& fileName) { return "Nie udało się zapisać pliku: " + fileName + "."; }

bool SaveDocumentAs(IniImage& image, const std::string& target) {
    try {
        WriteFileAtomic(target, Utf8ToCp1250(image.ToText()));
    } catch (const std::exception&) {
        return false;
    }
    image.Rebind(target);
    return true;
}

// ------------------------------------------------------------------ lines

void WriteLines(IniImage& image, const std::string& section, const std::vector<std::string>& lines) {
    image.EraseSection(section);
    for (size_t k = 0; k < lines.size(); ++k) image.WriteString(section, std::to_string(k), lines[k]);
}

std::vector<std::string> ReadLines(const IniImage& image, const std::string& section) {
    std::vector<std::string> out;
    for (const std::string& entry : image.SectionLines(section)) {
        size_t eq = entry.find('=');
        out.push_back(eq == std::string::npos ? std::string() : entry.substr(eq + 1));
    }
    return out;
}

// ------------------------------------------------------------------ picks

ChannelPick ReadChannelPick(const IniImage& image, int ident) {
    const std::string s = ChannelSection(ident);
    ChannelPick p;
    p.No = static_cast<int>(image.ReadInteger(s, "No", 0));
    p.Name = image.ReadString(s, "Name", "");
    p.Skladowa = image.ReadString(s, "Skladowa", "");
    p.Nazwa = image.ReadString(s, "Nazwa", "-");
    p.Ident = static_cast<int>(image.ReadInteger(s, "Ident", ident));
    p.WaveType = image.ReadString(s, "WaveType", "-");
    p.MarkerPosition = ReadReal(image, s, "MarkerPosition", "-1");
    p.FirstArrival = image.ReadString(s, "FirstArrival", "0");
    p.Wage = ReadReal(image, s, "Wage", "0");
    p.Active = image.ReadBool(s, "Active", true);
    p.Polarity = static_cast<int>(image.ReadInteger(s, "Polarity", 1));
    return p;
}

// ------------------------------------------------------------------ result

namespace {

// The keys of the quality file's figures in [Result]; an older program
// skips them, and a result without them is shown as before.
constexpr const char* kAcceptableKeys[] = {"Quality",        "MisfitCount",   "PolarityCount", "ErrorRate",
                                           "StationRatio",   "AzimuthGap",    "TakeOffGap",    "LocationError",
                                           "SeamAngleError", "AcceptableCount"};

std::string AcceptableKey(size_t i) { return "Acceptable" + FormatInt(static_cast<long long>(i), 3); }

void EraseQuality(IniImage& image, const std::string& res) {
    for (const char* key : kAcceptableKeys) image.DeleteKey(res, key);
    for (size_t i = 0; image.ValueExists(res, AcceptableKey(i)); ++i) image.DeleteKey(res, AcceptableKey(i));
}

void SaveQuality(const SolutionQuality& q, IniImage& image, const std::string& res, char sep) {
    image.WriteString(res, "Quality", std::string(1, q.quality));
    image.WriteInteger(res, "MisfitCount", q.misfitCount);
    image.WriteInteger(res, "PolarityCount", q.polarityCount);
    image.WriteFloat(res, "ErrorRate", q.errorRate, sep);
    image.WriteFloat(res, "StationRatio", q.stationRatio, sep);
    image.WriteFloat(res, "AzimuthGap", q.azimuthGap, sep);
    image.WriteFloat(res, "TakeOffGap", q.takeOffGap, sep);
    image.WriteFloat(res, "LocationError", q.locationError, sep);
    image.WriteFloat(res, "SeamAngleError", q.seamAngleError, sep);
    image.WriteInteger(res, "AcceptableCount", static_cast<long long>(q.axes.size()));
    // One mechanism a key: P trend, P plunge, T trend, T plunge.
    for (size_t i = 0; i < q.axes.size(); ++i) {
        const AcceptableAxes& a = q.axes[i];
        std::string text;
        for (double v : {a.pTrend, a.pPlunge, a.tTrend, a.tPlunge})
            text += (text.empty() ? "" : " ") + FormatFloat("0.0", v, sep);
        image.WriteString(res, AcceptableKey(i), text);
    }
}

bool Real(const IniImage& image, const std::string& res, const char* key, double& v) {
    const std::string text = Trim(image.ReadString(res, key, ""));
    return TryStrToFloat(text, '.', v) || TryStrToFloat(text, ',', v);
}

// The figures when every key is there and reads; a damaged set leaves the
// result as an older one (the plain solution still shows).
std::optional<SolutionQuality> LoadQuality(const IniImage& image, const std::string& res) {
    const std::string letter = Trim(image.ReadString(res, "Quality", ""));
    if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'D') return std::nullopt;
    SolutionQuality q;
    q.quality = letter[0];
    double misfit = 0, polarities = 0, count = 0;
    if (!Real(image, res, "MisfitCount", misfit) || !Real(image, res, "PolarityCount", polarities) ||
        !Real(image, res, "ErrorRate", q.errorRate) || !Real(image, res, "StationRatio", q.stationRatio) ||
        !Real(image, res, "AzimuthGap", q.azimuthGap) || !Real(image, res, "TakeOffGap", q.takeOffGap) ||
        !Real(image, res, "LocationError", q.locationError) || !Real(image, res, "SeamAngleError", q.seamAngleError) ||
        !Real(image, res, "AcceptableCount", count) || count < 0 || count > kMaxAcceptableAxes)
        return std::nullopt;
    q.misfitCount = static_cast<int>(misfit);
    q.polarityCount = static_cast<int>(polarities);
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        std::istringstream ss(image.ReadString(res, AcceptableKey(i), ""));
        std::string t[4];
        ss >> t[0] >> t[1] >> t[2] >> t[3];
        AcceptableAxes a;
        double* v[4] = {&a.pTrend, &a.pPlunge, &a.tTrend, &a.tPlunge};
        for (size_t k = 0; k < 4; ++k)
            if (!TryStrToFloat(t[k], '.', *v[k]) && !TryStrToFloat(t[k], ',', *v[k])) return std::nullopt;
        q.axes.push_back(a);
    }
    return q;
}

}  // namespace

void SaveResult(const SolutionRecord& r, IniImage& image, char sep) {
    const std::string res = "Result";
    image.WriteFloat(res, "X", r.X, sep);
    image.WriteFloat(res, "Y", r.Y, sep);
    image.WriteFloat(res, "Z", r.Z, sep);
    image.WriteInteger(res, "StationCount", r.StationCount);
    for (int row = 0; row < kMaxStations; ++row) image.EraseSection(StationSection(row));
    const int count = std::clamp(r.StationCount, 0, kMaxStations);
    for (int row = 0; row < count; ++row) {
        const SolutionStation& st = r.stations[static_cast<size_t>(row)];
        const std::string s = StationSection(row);
        image.WriteInteger(s, "No", st.No);
        image.WriteString(s, "Channel", st.Channel);
        for (const auto& [key, field] : kStationReals) image.WriteFloat(s, key, st.*field, sep);
        image.WriteString(s, "SignString", st.SignString);
        image.WriteString(s, "Type", st.Type);
    }
    for (const auto& [key, field] : kResultReals) image.WriteFloat(res, key, r.*field, sep);
    image.WriteInteger(res, "PlusColor", r.PlusColor);
    image.WriteInteger(res, "MinusColor", r.MinusColor);
    image.WriteBool(res, "Exists", r.Exists);
    // A result without a quality file must not keep the figures of an
    // earlier one.
    EraseQuality(image, res);
    if (r.AcceptableSet) SaveQuality(*r.AcceptableSet, image, res, sep);
}

void LoadResult(SolutionRecord& r, const IniImage& image) {
    const std::string res = "Result";
    r.X = ReadReal(image, res, "X");
    r.Y = ReadReal(image, res, "Y");
    r.Z = ReadReal(image, res, "Z");
    r.StationCount = 0;
    MergeDocumentIntoRecord(image, r);

    const long long stored = image.ReadInteger(res, "StationCount", 0);
    r.StationCount = static_cast<int>(std::clamp<long long>(stored, 0, kMaxStations));
    for (int row = 0; row < r.StationCount; ++row) {
        SolutionStation& st = r.stations[static_cast<size_t>(row)];
        const std::string s = StationSection(row);
        st.No = static_cast<int>(image.ReadInteger(s, "No", 0));
        st.Channel = image.ReadString(s, "Channel", "");
        for (const auto& [key, field] : kStationReals) st.*field = ReadReal(image, s, key);
        st.SignString = image.ReadString(s, "SignString", "");
        st.Type = image.ReadString(s, "Type", "");
    }
    for (const auto& [key, field] : kResultReals) r.*field = ReadReal(image, res, key);
    r.PlusColor = static_cast<Colour>(image.ReadInteger(res, "PlusColor", 255));
    r.MinusColor = static_cast<Colour>(image.ReadInteger(res, "MinusColor", 16711680));
    r.Exists = image.ReadBool(res, "Exists", false);
    r.AcceptableSet = LoadQuality(image, res);
}

}  // namespace dyma
