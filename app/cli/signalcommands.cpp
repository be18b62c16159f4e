// dyma info and dyma export: what a signal file holds, without a window.
#include "app/cli/arguments.h"
#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/json.h"
#include "app/cli/toolfolder.h"
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/seismogram/channeltables.h"
#include "app/seismogram/sampletablename.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "app/settings/settings.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "kelsig/signalprocessing.h"


#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>

namespace dyma::cli {

namespace {

const char kInfoHelp[] =
    "Użycie: dyma info PLIK_SYGNAŁU [--json] [--samples I,J,...] [--stations PLIK]\n"
    "\n"
    "Opis pliku sygnału (.mbi, .min, .mbj albo miniSEED): rozpoznany typ pliku,\n"
    "liczba kanałów, częstotliwość próbkowania, data i czas zjawiska, długość\n"
    "zapisu oraz tabela stacji zakładki \"Sieć\" (z kolumną Polaryzacja, gdy obok\n"
    "leży plik projektu).\n"
    "\n"
    "  --json             jeden obiekt JSON z polami czytnika i kontenera sygnału\n"
    "                     oraz tablicą channels (pola StationInfo, Active, Max, Min)\n"
    "  --samples I,J,...  dodaje do każdego kanału Samples: pary [indeks, wartość]\n"
    "  --stations PLIK    tabela stacji pliku miniSEED (domyślnie <nazwa>.stations.csv\n"
    "                     albo stations.csv obok pliku sygnału)\n"
    "\n"
    "Plik, którego nie da się odczytać: komunikat czytnika i kod wyjścia 1\n"
    "(z --json obiekt {\"error\": klasa wyjątku, \"message\": tekst}).\n";

const char kExportHelp[] =
    "Użycie: dyma export PLIK_SYGNAŁU [--channel N] [--from S] [--to S]\n"
    "       dyma export PROJEKT.dym... --format quakeml|csv|json [-o PLIK] [--crs UKŁAD]\n"
    "\n"
    "Plik sygnału: próbki jednego kanału (lub wszystkich) jako tekst: w każdym\n"
    "wierszu czas w sekundach od początku zapisu i wartości kanałów, rozdzielone\n"
    "tabulatorem, z kropką dziesiętną (dla innych programów).\n"
    "\n"
    "  --channel N     tylko kanał N (identyfikator kanału, od 1)\n"
    "  --from S        od czasu S sekund (domyślnie od początku)\n"
    "  --to S          do czasu S sekund, bez niego (domyślnie do końca)\n"
    "  --stations PLIK tabela stacji pliku miniSEED\n"
    "\n"
    "Pliki projektu: zapisane w nich rozwiązania.\n"
    "\n"
    "  --format quakeml  (domyślnie) dokument QuakeML 1.2: dla każdego projektu\n"
    "                    zdarzenie z ogniskiem, mechanizmem (obie płaszczyzny\n"
    "                    z błędami, osie P, T, N) i odczytami użytych polaryzacji\n"
    "  --format csv      katalog: jeden wiersz na wstrząs (strona kodowa 1250, CR LF)\n"
    "  --format json     katalog: tablica JSON, jeden obiekt na wstrząs (klucze\n"
    "                    jak w sekcji [Result] projektu: X, Y, Z w km, Z to głębokość)\n"
    "  -o, --output PLIK zapis do pliku (bez tej opcji na wyjście standardowe)\n"
    "  --crs UKŁAD       układ współrzędnych sieci: kod EPSG układu płaskiego\n"
    "                    (np. EPSG:2180, EPSG:2177) albo local:SZEROKOŚĆ,DŁUGOŚĆ,OBRÓT\n"
    "                    dla siatki kopalnianej; domyślnie ustawienie programu.\n"
    "                    QuakeML go wymaga (szerokość i długość ogniska); w CSV\n"
    "                    i JSON bez niego kolumny szerokości i długości są puste.\n"
    "\n"
    "Gdy któregoś projektu nie da się wyeksportować, nic nie jest zapisywane,\n"
    "a kod wyjścia wynosi 1.\n";

// The reader with its sample table in a directory of its own, so that
// reading a file never leaves anything beside it.
struct OpenSignal {
    ToolFolder tableDirectory;
    std::unique_ptr<Kelo::signalprocessing> reader;
};

// Throws what the reader throws, or FileError for a missing table folder.
// Channels without coordinates are reported on the error output when
// `reportStations` (they matter to the description, not to the samples).
void Open(OpenSignal& signal, const std::string& file, const std::optional<std::string>& stations,
          bool reportStations = true) {
    if (!signal.tableDirectory.Valid()) throw FileError(signal.tableDirectory.Error(), "");
    const SampleTableName table(signal.tableDirectory.Path(), file);
    StationTableChoice choice;
    if (stations) choice.file = *stations;
    OpenedSignal opened = OpenSignalFile(file, table.Path(), choice);
    if (const std::string missing = WithoutStationMessage(opened); reportStations && !missing.empty())
        PrintWarning(missing);
    signal.reader = std::move(opened.signal);
}

std::string ReadFailedText(const std::string& file, const std::exception& e) {
    return "Nie udało się odczytać pliku sygnału " + file + ": " + e.what() + " (" + ErrorClassName(e) + ")";
}

std::string StartText(const SignalDescription& r) {
    return FormatInt(r.Year, 4) + "-" + FormatInt(r.Month, 2) + "-" + FormatInt(r.Day, 2) + " " +
           FormatInt(r.Hour, 2) + ":" + FormatInt(r.Minute, 2) + ":" + FormatInt(r.Second, 2) + "." +
           FormatInt(r.Millisecond, 3);
}

double RecordSeconds(Kelo::signalprocessing& r) {
    const int rate = r.GetSamplingRate(0);
    return rate > 0 ? static_cast<double>(r.GetChannelLength(0)) / rate : 0.0;
}

// The project file beside the signal, when there is one that reads.
std::optional<IniImage> ProjectBeside(const std::string& signalFile) {
    const std::string project = ProjectFileForSignal(signalFile);
    if (!FileExists(project)) return std::nullopt;
    try {
        return IniImage(project);
    } catch (const std::exception& e) {
        PrintWarning("Nie udało się odczytać pliku projektu " + project + ": " + e.what());
        return std::nullopt;
    }
}

std::string Joined(const std::vector<std::string>& cells, size_t count) {
    std::string line;
    for (size_t i = 0; i < count && i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
    return line;
}

void PrintInfoText(const std::string& file, Kelo::signalprocessing& r, char sep) {
    const std::optional<IniImage> project = ProjectBeside(file);
    const double zakres = project ? ParseNumber(LoadHeader(*project, Settings{}, sep).Zakres, sep) : 5000.0;
    // The station table's conversion factors follow the document's range,
    // as the window computes them when it lists the stations.
    ApplyMeasuringRange(r, zakres);
    const std::vector<ChannelFacts> channels = ReadChannelFacts(r);

    std::cout << "Plik sygnału: " << file << '\n';
    if (project) std::cout << "Plik projektu: " << project->FileName() << '\n';
    const SignalDescription d = DescribeSignal(r);
    std::cout << "Rozpoznany typ pliku: " << d.FormatName << '\n'
              << "Liczba kanałów w pliku: " << r.GetChannelCount() << '\n'
              << "Częstotliwość próbkowania: " << r.GetSamplingRate(0) << " [Hz]\n"
              << "Data i czas zjawiska: " << StartText(d) << '\n'
              << "Długość zapisu: " << FormatFloat("0.000", RecordSeconds(r), sep) << " [s]\n"
              << "Próbek w kanale: " << r.GetChannelLength(0) << "\n\n";

    // The table of the "Sieć" page without the two columns that are always
    // zero; the polarity only means something when a document holds it.
    const std::vector<size_t> shown = project ? std::vector<size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, kPolarityColumn}
                                              : std::vector<size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<std::string> header;
    for (size_t c : shown) header.emplace_back(kStationTableColumns[c]);
    std::cout << Joined(header, header.size()) << '\n';
    const IniImage none;
    for (const auto& row : StationTableRows(project ? *project : none, channels, sep)) {
        std::vector<std::string> cells;
        for (size_t c : shown) cells.push_back(row[c]);
        std::cout << Joined(cells, cells.size()) << '\n';
    }
}

// The same fields for every kind of signal file: what the reader knows
// about the file, then the container's channels.
Json InfoJson(Kelo::signalprocessing& r, const std::vector<long long>& sampleIndices, bool withSamples) {
    const SignalDescription d = DescribeSignal(r);
    Json info = Json::Object();
    info.Add("FormatName", d.FormatName)
        .Add("FormatCode", d.FormatCode)
        .Add("ChannelCount", r.GetChannelCount())
        .Add("MinChannel", r.GetMinChannel())
        .Add("MaxChannel", r.GetMaxChannel())
        .Add("StationInfoExists", r.GetStationInfoExists())
        .Add("LocationExists", r.GetLocationExists())
        .Add("Year", d.Year)
        .Add("Month", d.Month)
        .Add("Day", d.Day)
        .Add("Hour", d.Hour)
        .Add("Minute", d.Minute)
        .Add("Second", d.Second)
        .Add("Millisecond", d.Millisecond)
        .Add("StartDate", d.StartDate)
        .Add("StartTime", d.StartTime)
        .Add("StartDateTime", d.StartDateTime)
        .Add("HeaderScale", d.HeaderScale)
        .Add("SamplesPerChannel", r.GetChannelLength(0));
    Json channels = Json::Array();
    for (int i = 0; i < r.GetChannelCount(); ++i) {
        const Kelo::StationInfo& s = *r.GetStationInfo(i);
        Json c = Json::Object();
        c.Add("Number", static_cast<int>(s.Number))
            .Add("Name", s.Name)
            .Add("Component", s.Component)
            .Add("Enabled", static_cast<int>(s.Enabled))
            .Add("X", s.X)
            .Add("Y", s.Y)
            .Add("Z", s.Z)
            .Add("SensorType", std::string(1, s.SensorType))
            .Add("Factor1", s.Factor1)
            .Add("Factor2", s.Factor2)
            .Add("Factor3", s.Factor3)
            .Add("Length", s.Length)
            .Add("SamplingRate", s.SamplingRate)
            .Add("Active", r.GetChannelActive(i))
            .Add("Max", r.GetMaxChannelValue(i))
            .Add("Min", r.GetMinChannelValue(i));
        if (withSamples) {
            Json samples = Json::Array();
            for (long long index : sampleIndices) {
                const int at = static_cast<int>(
                    std::clamp<long long>(index, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
                samples.Push(Json::Array().Push(index).Push(r.GetSample(i, at)));
            }
            c.Add("Samples", std::move(samples));
        }
        channels.Push(std::move(c));
    }
    info.Add("channels", std::move(channels));
    return info;
}

}  // namespace

int InfoCommand(const CommandArgs& args) {
    const Arguments a = ParseArguments(args, {{"--json", false}, {"--samples", true}, {"--stations", true}});
    if (a.help) {
        std::cout << kInfoHelp;
        return kExitOk;
    }
    if (a.positional.size() != 1) throw UsageError("Polecenie info wymaga dokładnie jednego pliku sygnału.");
    const std::string file = a.positional[0];
    const bool json = a.Has("--json");
    std::vector<long long> indices;
    if (const auto list = a.Value("--samples")) {
        if (!json) throw UsageError("Opcja --samples działa tylko z --json.");
        indices = IntegerListOption("--samples", *list);
    }

    OpenSignal signal;
    try {
        Open(signal, file, a.Value("--stations"));
        if (json)
            std::cout << InfoJson(*signal.reader, indices, a.Has("--samples")).Text() << '\n';
        else
            PrintInfoText(file, *signal.reader, SystemDecimalSeparator());
    } catch (const std::exception& e) {
        if (json)
            std::cout << Json::Object().Add("error", ErrorClassName(e)).Add("message", std::string(e.what())).Text()
                      << '\n';
        else
            PrintError(ReadFailedText(file, e));
        return kExitFailed;
    }
    return kExitOk;
}

// ------------------------------------------------------------------ export

namespace {

// Enough decimals to tell neighbouring samples apart, at least milliseconds.
std::string TimePattern(int rate) {
    int decimals = 3;
    while (decimals < 9 && std::pow(10.0, decimals) < rate) ++decimals;
    return "0." + std::string(static_cast<size_t>(decimals), '0');
}

long long FirstIndexAt(double seconds, int rate) {
    return static_cast<long long>(std::ceil(seconds * rate - 1e-9));
}

}  // namespace

int ExportCommand(const CommandArgs& args) {
    const Arguments a = ParseArguments(args, {{"--channel", true},
                                              {"--from", true},
                                              {"--to", true},
                                              {"--stations", true},
                                              {"--format", true},
                                              {"--output", true, "-o"},
                                              {"--crs", true}});
    if (a.help) {
        std::cout << kExportHelp;
        return kExitOk;
    }
    // A project file exports its solution, a signal file its samples.
    const bool solutions = a.Has("--format") || a.Has("--output") || a.Has("--crs") ||
                           std::any_of(a.positional.begin(), a.positional.end(),
                                       [](const std::string& f) { return IsProjectFileName(f); });
    if (solutions) {
        if (a.Has("--channel") || a.Has("--from") || a.Has("--to"))
            throw UsageError("Opcje --channel, --from i --to dotyczą eksportu próbek pliku sygnału.");
        return ExportSolutions(a);
    }
    if (a.positional.size() != 1) throw UsageError("Polecenie export wymaga dokładnie jednego pliku sygnału.");
    const std::string file = a.positional[0];
    std::optional<long long> channel;
    if (const auto v = a.Value("--channel")) channel = IntegerOption("--channel", *v);
    std::optional<double> from, to;
    if (const auto v = a.Value("--from")) from = NumberOption("--from", *v);
    if (const auto v = a.Value("--to")) to = NumberOption("--to", *v);
    if (from && to && *from >= *to) throw UsageError("Wartość --from musi być mniejsza od wartości --to.");

    OpenSignal signal;
    try {
        Open(signal, file, a.Value("--stations"), /*reportStations*/ false);
    } catch (const std::exception& e) {
        PrintError(ReadFailedText(file, e));
        return kExitFailed;
    }
    Kelo::signalprocessing& r = *signal.reader;
    const int count = r.GetChannelCount();
    if (channel && (*channel < 1 || *channel > count)) {
        PrintError("Kanał " + std::to_string(*channel) + " nie istnieje w pliku " + file + " (kanały od 1 do " +
                   std::to_string(count) + ").");
        return kExitFailed;
    }
    std::vector<int> exported;
    if (channel)
        exported.push_back(static_cast<int>(*channel) - 1);
    else
        for (int c = 0; c < count; ++c) exported.push_back(c);

    const int rate = r.GetSamplingRate(0);
    const long long length = r.GetChannelLength(0);
    const long long first = std::clamp<long long>(from ? FirstIndexAt(*from, rate) : 0, 0, length);
    const long long end = std::clamp<long long>(to ? FirstIndexAt(*to, rate) : length, first, length);

    // One channel's row at a time into memory: the sample table keeps a
    // single row cached, so reading the channels sample by sample in turn
    // would read the file again for every value.
    std::vector<std::vector<double>> values;
    for (int c : exported) {
        std::vector<double> v(static_cast<size_t>(end - first));
        for (long long i = first; i < end; ++i) v[static_cast<size_t>(i - first)] = r.GetSample(c, static_cast<int>(i));
        values.push_back(std::move(v));
    }
    const std::string pattern = TimePattern(rate);
    std::string out;
    for (long long i = first; i < end; ++i) {
        out += FormatFloat(pattern, static_cast<double>(i) / rate, '.');
        for (const auto& v : values) out += "\t" + FloatToStr(v[static_cast<size_t>(i - first)], '.');
        out += '\n';
        if (out.size() > (1 << 16)) {
            std::cout << out;
            out.clear();
        }
    }
    std::cout << out << std::flush;
    return kExitOk;
}

}  // namespace dyma::cli
