// dyma solve, dyma report and dyma import: the processing command, the text
// report and the legacy import without a window.
#include "app/cli/arguments.h"
#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/json.h"
#include "app/cli/toolfolder.h"
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/document/projectlock.h"
#include "app/results/catalogue.h"
#include "app/results/textreport.h"
#include "app/seismogram/channeltables.h"
#include "app/seismogram/sampletablename.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "app/settings/settings.h"
#include "app/settings/settingsstore.h"
#include "app/solver/legacyimport.h"
#include "app/solver/resultfile.h"
#include "app/solver/solverfiles.h"
#include "app/solver/solverprocess.h"
#include "app/solver/solverresult.h"
#include "app/solver/workdirectory.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "kelsig/signalprocessing.h"


#include <iostream>
#include <memory>
#include <optional>

namespace dyma::cli {

namespace {

const char kSolveHelp[] =
    "Użycie: dyma solve PROJEKT.dym... [--save] [--report PLIK] [--csv PLIK]\n"
    "                  [--aa N] [--bb N] [--dip N] [--strike N]\n"
    "\n"
    "Przetwarza każdy plik projektu jak polecenie przetwarzania programu: otwiera\n"
    "go (kontrola wersji, odszukanie pliku sygnału), bierze pełne, aktywne odczyty\n"
    "listy przetwarzania, zapisuje pliki NPF.DAT, NPF.NET i NPF.PAR we własnym,\n"
    "świeżym katalogu tymczasowym, uruchamia NPFA.EXE z katalogu repository\n"
    "programu, czyta NPF.RES i zapisuje rozwiązanie w dokumencie. Raport każdego\n"
    "rozwiązania trafia na wyjście standardowe.\n"
    "\n"
    "  --save          zapisuje plik projektu z rozwiązaniem (bez tej opcji żaden\n"
    "                  plik na dysku się nie zmienia)\n"
    "  --report PLIK   raporty do pliku tekstowego zamiast na wyjście\n"
    "  --csv PLIK      jeden wiersz na projekt: plik, data, czas, X, Y, Z [km],\n"
    "                  płaszczyzny A i B z błędami, osie P i T, ACC, liczba stacji\n"
    "  --aa N, --bb N  kąty wyjścia fali pokładowej górnej i dolnej [°]\n"
    "  --dip N         upad warstw [°]\n"
    "  --strike N      bieg warstw [°]\n"
    "                  (bez nich model geologiczny pochodzi z ustawień programu)\n"
    "  --json          zamiast raportów jedna tablica JSON: dla każdego projektu\n"
    "                  płaszczyzny z błędami, osie, ACC i, gdy NPFA.EXE zapisał\n"
    "                  plik NPF.ACC, klasa jakości (Quality), niezgodne polaryzacje\n"
    "                  (MisfitCount z PolarityCount), ErrorRate, StationRatio,\n"
    "                  AzimuthGap, TakeOffGap, LocationError, SeamAngleError i osie\n"
    "                  P i T zbioru akceptowalnego (Acceptable); bez tego pliku null\n"
    "  --stations PLIK tabela stacji, gdy plikiem sygnału jest zapis miniSEED\n"
    "                  (domyślnie <nazwa>.stations.csv albo stations.csv obok niego)\n"
    "\n"
    "Brak lokalizacji wstrząsu jest ostrzeżeniem; przetwarzanie trwa dalej. Po\n"
    "nieudanym pliku następne są przetwarzane, a kod wyjścia wynosi 1.\n";

const char kReportHelp[] =
    "Użycie: dyma report PROJEKT.dym...\n"
    "\n"
    "Raport tekstowy rozwiązania zapisanego w pliku projektu.\n";

const char kImportHelp[] =
    "Użycie: dyma import PLIK.DAT (PLIK.RES | PLIK.NET)\n"
    "\n"
    "Import plików programu DYMA. Z plikiem RES: odczyt rozwiązania i połączenie\n"
    "z odczytami pliku DAT. Z plikiem NET: przygotowanie plików (z ostrzeżeniami\n"
    "o kanałach, których brak w pliku NET), przetwarzanie programem NPFA.EXE\n"
    "we własnym katalogu tymczasowym i odczyt jego wyniku. Drukuje raport.\n";

// The preferences as the program would use them; the store is only read,
// never written, so a running program's settings stay as they are.
struct ToolSettings {
    Settings settings;
    ProcessFlags flags;
    std::string programDirectory;
};

ToolSettings ReadToolSettings() {
    ToolSettings t;
    t.programDirectory = ProgramDirectory();
    SettingsStore(t.programDirectory).Read(t.settings, &t.flags);
    return t;
}

ReportLocale ToolReportLocale(char sep) {
    ReportLocale locale;
    locale.decimalSeparator = sep;
    locale.now = CurrentDayCount();
    return locale;
}

// A fresh folder of this run, emptied and removed afterwards: never the
// program's temporary directory, whose files a running program may be
// using.
std::optional<std::string> ValidDirectory(const ToolFolder& dir) {
    if (!dir.Valid()) {
        PrintError(dir.Error());
        return std::nullopt;
    }
    return dir.Path();
}

// Puts the solver into `work` (which holds its input files), runs it with
// the processing command's waiting rules and returns NPF.RES as lines, or
// nothing after printing why.
std::optional<std::vector<std::string>> RunSolverIn(const std::string& work, const ToolSettings& t, char sep) {
    if (!PlaceSolverExecutable(DirectoryLookup(t.settings, t.programDirectory, kRepositoryDir), work)) {
        PrintError(SolverCopyFailedMessage());
        return std::nullopt;
    }
    SolverRunOptions options;
    options.workDirectory = work;
    options.executable = SolverPath(work, kSolverExecutable);
    options.debugMode = t.flags.DebugMode;
    options.decimalSeparator = sep;
    const SolverRunResult run = RunSolver(options);
    if (run.status != SolverRunStatus::Completed) {
        PrintError(run.message);
        return std::nullopt;
    }
    return LoadResultLines(SolverPath(work, kResFile));
}

// The location check cannot ask here: a missing coordinate is reported and
// the processing goes on, as the operator answering "Tak" would have it.
class LocationNotice : public UserMessages {
public:
    void Warning(const std::string&) override {}
    void Information(const std::string&) override {}
    bool Question(const std::string&) override {
        asked = true;
        return true;
    }
    bool asked = false;
};

void WarnAboutLocation(const std::string& project, const DataPageValues& page, bool warningLocation, char sep) {
    LocationNotice notice;
    CheckLocation(page, warningLocation, sep, notice);
    if (!notice.asked) return;
    PrintWarning("Wydaje się, że nie została wprowadzona poprawna lokalizacja wstrząsu: X = " +
                 FormatFloat("0.00", ParseNumber(page.X, sep), sep) +
                 " Y = " + FormatFloat("0.00", ParseNumber(page.Y, sep), sep) +
                 " Z = " + FormatFloat("0.00", ParseNumber(page.Z, sep), sep) + " (" + project +
                 "). Przetwarzanie jest kontynuowane.");
}

struct Solved {
    std::string projectFile;
    SolutionRecord record;
    std::vector<std::string> report;
};

// The processing command on one project file; nothing after printing why it
// failed. Only `save` lets anything reach the disk outside the run's own
// temporary folders.
std::optional<Solved> SolveProject(const std::string& name, const ToolSettings& t, bool save, char sep,
                                   const ReportLocale& locale, const std::string& stationTable) {
    ConsoleMessages messages(std::cerr);
    ToolFolder scratch;  // the signal's sample table, and where PlanOpen puts no working file
    const auto scratchDir = ValidDirectory(scratch);
    if (!scratchDir) return std::nullopt;
    const auto plan = PlanOpen(name, *scratchDir, messages);
    if (!plan) return std::nullopt;
    if (!plan->projectExists) {
        PrintError("Plik projektu " + plan->projectFile + " nie istnieje, więc nie ma odczytów do przetwarzania.");
        return std::nullopt;
    }
    std::unique_ptr<Kelo::signalprocessing> signal;
    try {
        StationTableChoice choice;
        choice.file = stationTable;
        OpenedSignal opened =
            OpenSignalFile(plan->signalFile, SampleTableName(*scratchDir, plan->signalFile).Path(), choice);
        if (const std::string missing = WithoutStationMessage(opened); !missing.empty()) PrintWarning(missing);
        signal = std::move(opened.signal);
    } catch (const std::exception& e) {
        PrintError("Nie udało się odczytać pliku sygnału " + plan->signalFile + ": " + e.what() + " (" +
                   ErrorClassName(e) + ")");
        return std::nullopt;
    }

    try {
        IniImage image(plan->projectFile);
        const DataPageValues page = LoadHeader(image, t.settings, sep);
        // What the window does when it lists the stations.
        ApplyMeasuringRange(*signal, ParseNumber(page.Zakres, sep));
        const std::vector<ChannelFacts> channels = ReadChannelFacts(*signal);
        EnsureChannelPolarities(image, channels);
        const std::vector<PickRow> rows = BuildPickRows(image, channels);
        if (!ReadyAfterRefresh(rows)) {
            PrintError("Plik projektu " + plan->projectFile + " ma za mało aktywnych odczytów do przetwarzania: " +
                       std::to_string(CheckedRowCount(rows)) + " (potrzeba więcej niż 10).");
            return std::nullopt;
        }
        WarnAboutLocation(plan->projectFile, page, t.settings.WarningLocation, sep);

        ToolFolder workFolder;
        const auto work = ValidDirectory(workFolder);
        if (!work) return std::nullopt;
        const SolverInput input{page, SignalFactsOf(*signal, plan->signalFile), rows, NetStations(channels)};
        WriteInputFiles(image, input, t.settings, *work, sep);
        const auto resLines = RunSolverIn(*work, t, sep);
        if (!resLines) return std::nullopt;

        Solved solved;
        solved.projectFile = plan->projectFile;
        if (!TakeSolverResult(*resLines, image, t.settings, sep, solved.record,
                              LoadQualityLines(SolverPath(*work, kResFile)))) {
            PrintError("Plik wyników NPF.RES programu NPFA.EXE jest niepełny (" + plan->projectFile + ").");
            return std::nullopt;
        }
        solved.report = BuildReport(solved.record, locale);
        if (save) {
            // Not under a program that has the project open: its next save
            // would undo this one.
            const ProjectLock lock(plan->projectFile);
            if (lock.HeldElsewhere()) {
                PrintError(lock.InUseText() + " Plik nie został zapisany.");
                return std::nullopt;
            }
            if (!SaveDocumentAs(image, plan->projectFile)) {
                PrintError(SaveFailedMessage(plan->projectFile));
                return std::nullopt;
            }
        }
        return solved;
    } catch (const std::exception& e) {
        PrintError("Przetwarzanie pliku " + plan->projectFile + " nie powiodło się: " + e.what());
        return std::nullopt;
    }
}

// ---- the catalogue of solutions

bool WriteOutputFile(const std::string& file, const std::vector<std::string>& lines, const std::string& failure) {
    try {
        WriteTextLines(file, lines);
        return true;
    } catch (const std::exception&) {
        PrintError(failure);
        return false;
    }
}

void AppendReport(std::vector<std::string>& all, const std::vector<std::string>& report) {
    if (!all.empty()) all.emplace_back();
    all.insert(all.end(), report.begin(), report.end());
}

}  // namespace

namespace {

// One solved project for --json; the quality file's figures are null for a
// solver that wrote none.
Json SolutionJson(const std::string& project, const SolutionRecord& r) {
    Json o = Json::Object();
    o.Add("File", project).Add("X", r.X).Add("Y", r.Y).Add("Z", r.Z);
    const std::pair<const char*, double> values[] = {
        {"SA", r.SA},   {"DA", r.DA},   {"RA", r.RA},         {"SB", r.SB},         {"RB", r.RB},
        {"DB", r.DB},   {"SAB", r.SAB}, {"DAB", r.DAB},       {"RAB", r.RAB},       {"SBB", r.SBB},
        {"RBB", r.RBB}, {"DBB", r.DBB}, {"PTrend", r.PTrend}, {"PPlunge", r.PPlunge}, {"TTrend", r.TTrend},
        {"TPlunge", r.TPlunge}, {"ACC", r.ACC}};
    for (const auto& [key, value] : values) o.Add(key, value);
    o.Add("StationCount", r.StationCount);
    const std::optional<SolutionQuality>& q = r.AcceptableSet;
    o.Add("Quality", q ? Json(std::string(1, q->quality)) : Json());
    o.Add("MisfitCount", q ? Json(q->misfitCount) : Json());
    o.Add("PolarityCount", q ? Json(q->polarityCount) : Json());
    o.Add("ErrorRate", q ? Json(q->errorRate) : Json());
    o.Add("StationRatio", q ? Json(q->stationRatio) : Json());
    o.Add("AzimuthGap", q ? Json(q->azimuthGap) : Json());
    o.Add("TakeOffGap", q ? Json(q->takeOffGap) : Json());
    o.Add("LocationError", q ? Json(q->locationError) : Json());
    o.Add("SeamAngleError", q ? Json(q->seamAngleError) : Json());
    Json axes = q ? Json::Array() : Json();
    if (q)
        for (const AcceptableAxes& a : q->axes) {
            Json pair = Json::Array();
            for (double v : {a.pTrend, a.pPlunge, a.tTrend, a.tPlunge}) pair.Push(v);
            axes.Push(std::move(pair));
        }
    o.Add("Acceptable", std::move(axes));
    return o;
}

}  // namespace

int SolveCommand(const CommandArgs& args) {
    const Arguments a = ParseArguments(args, {{"--save", false},
                                              {"--report", true},
                                              {"--csv", true},
                                              {"--aa", true},
                                              {"--bb", true},
                                              {"--dip", true},
                                              {"--strike", true},
                                              {"--stations", true},
                                              {"--json", false}});
    if (a.help) {
        std::cout << kSolveHelp;
        return kExitOk;
    }
    if (a.positional.empty()) throw UsageError("Polecenie solve wymaga co najmniej jednego pliku projektu.");
    ToolSettings t = ReadToolSettings();
    const std::pair<const char*, std::string Settings::*> overrides[] = {
        {"--aa", &Settings::defaultAAngle},
        {"--bb", &Settings::defaultBAngle},
        {"--dip", &Settings::defaultUpad},
        {"--strike", &Settings::defaultBieg},
    };
    for (const auto& [option, field] : overrides) {
        if (const auto v = a.Value(option)) {
            NumberOption(option, *v);
            t.settings.*field = Trim(*v);
        }
    }

    const char sep = SystemDecimalSeparator();
    const ReportLocale locale = ToolReportLocale(sep);
    const auto reportFile = a.Value("--report");
    const auto csvFile = a.Value("--csv");
    int status = kExitOk;
    std::vector<std::string> reports;
    std::vector<std::string> csv{CsvLine(SolutionCsvHeader(), sep)};
    bool printed = false;
    const bool json = a.Has("--json");
    Json solutions = Json::Array();
    for (const std::string& project : a.positional) {
        const auto solved = SolveProject(project, t, a.Has("--save"), sep, locale, a.Value("--stations").value_or(""));
        if (!solved) {
            status = kExitFailed;
            continue;
        }
        if (json) {
            solutions.Push(SolutionJson(solved->projectFile, solved->record));
        } else if (reportFile) {
            AppendReport(reports, solved->report);
            std::cout << "Przetworzono plik " << solved->projectFile << '\n';
        } else {
            if (printed) std::cout << '\n';
            printed = true;
            PrintLines(std::cout, solved->report);
        }
        csv.push_back(CsvLine(SolutionCsvFields(solved->projectFile, solved->record, sep), sep));
    }
    if (json) std::cout << solutions.Text() << '\n';
    std::cout << std::flush;
    // Output files are written only when something was solved, so a failed
    // batch never replaces an earlier catalogue with an empty one.
    if (reportFile && !reports.empty() && !WriteOutputFile(*reportFile, reports, ReportSaveFailedMessage(*reportFile)))
        status = kExitFailed;
    if (csvFile && csv.size() > 1 &&
        !WriteOutputFile(*csvFile, csv, SaveFailedMessage(*csvFile)))
        status = kExitFailed;
    return status;
}

// ------------------------------------------------------------------ report

int ReportCommand(const CommandArgs& args) {
    const Arguments a = ParseArguments(args, {});
    if (a.help) {
        std::cout << kReportHelp;
        return kExitOk;
    }
    if (a.positional.empty()) throw UsageError("Polecenie report wymaga pliku projektu.");
    const ReportLocale locale = ToolReportLocale(SystemDecimalSeparator());
    int status = kExitOk;
    bool first = true;
    for (const std::string& file : a.positional) {
        ConsoleMessages messages(std::cerr);
        if (!IsProjectFileName(file) || !FileExists(file) || !CheckProjectFile(file, messages)) {
            PrintError(OpenFailedMessage(file));
            status = kExitFailed;
            continue;
        }
        try {
            const IniImage image(file);
            if (!image.ReadBool("Result", "Exists", false)) {
                PrintError("Plik projektu " + file + " nie zawiera rozwiązania (najpierw dyma solve --save).");
                status = kExitFailed;
                continue;
            }
            SolutionRecord record;
            LoadResult(record, image);
            if (!first) std::cout << '\n';
            first = false;
            PrintLines(std::cout, BuildReport(record, locale));
        } catch (const std::exception& e) {
            PrintError("Nie udało się odczytać rozwiązania z pliku " + file + ": " + e.what());
            status = kExitFailed;
        }
    }
    std::cout << std::flush;
    return status;
}

// ------------------------------------------------------------------ import

int ImportCommand(const CommandArgs& args) {
    const Arguments a = ParseArguments(args, {});
    if (a.help) {
        std::cout << kImportHelp;
        return kExitOk;
    }
    if (a.positional.size() != 2) throw UsageError("Polecenie import wymaga pliku DAT oraz pliku RES albo NET.");
    const std::string& datFile = a.positional[0];
    const std::string& second = a.positional[1];
    const bool withRes = HasExtension(second, ".res");
    if (!withRes && !HasExtension(second, ".net"))
        throw UsageError("Drugi plik polecenia import musi mieć rozszerzenie .res albo .net: " + second);

    std::vector<std::string> dat, other;
    for (const auto& [file, lines] : {std::pair{&datFile, &dat}, std::pair{&second, &other}}) {
        try {
            *lines = ReadTextLines(*file);
        } catch (const std::exception& e) {
            PrintError("Nie udało się odczytać pliku " + *file + ": " + e.what());
            return kExitFailed;
        }
    }

    const ToolSettings t = ReadToolSettings();
    const char sep = SystemDecimalSeparator();
    std::vector<std::string> resLines;
    std::string resName = second;
    ToolFolder workFolder;
    if (withRes) {
        resLines = std::move(other);
    } else {
        ConsoleMessages messages(std::cerr);
        if (!PrepareLegacyFiles(dat, other, messages)) return kExitFailed;
        const auto work = ValidDirectory(workFolder);
        if (!work) return kExitFailed;
        try {
            WriteLegacyInputFiles(*work, dat, other);
        } catch (const std::exception& e) {
            PrintError(e.what());
            return kExitFailed;
        }
        auto lines = RunSolverIn(*work, t, sep);
        if (!lines) return kExitFailed;
        resLines = std::move(*lines);
        resName = kResFile;
    }

    SolutionRecord record;
    bool whole = false;
    try {
        whole = TakeLegacyResult(resLines, dat, t.settings, sep, record);
    } catch (const std::exception& e) {
        PrintError("Import plików " + datFile + " i " + second + " nie powiódł się: " + e.what());
        return kExitFailed;
    }
    PrintLines(std::cout, BuildReport(record, ToolReportLocale(sep)));
    std::cout << std::flush;
    if (!whole) {
        // The program shows such a record as far as it was read; a script
        // must still learn that the solution is not whole.
        PrintError("Plik wyników " + resName + " nie zawiera pełnego rozwiązania; raport pokazuje tylko to, co udało się odczytać.");
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace dyma::cli
