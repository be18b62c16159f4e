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
#include "app/settings/settings.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "lgsig/lgsig.h"


#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>

namespace dyma::cli {

namespace {

const char kInfoHelp[] =
    "Użycie: dyma info PLIK_SYGNAŁU [--json] [--samples I,J,...]\n"
    "\n"
    "Opis pliku sygnału (.mbi, .min, .mbj): rozpoznany typ pliku, liczba kanałów,\n"
    "częstotliwość próbkowania, data i czas zjawiska, długość zapisu oraz tabela\n"
    "stacji zakładki \"Sieć\" (z kolumną Polaryzacja, gdy obok leży plik projektu).\n"
    "\n"
    "  --json             jeden obiekt JSON z polami czytnika i kontenera sygnału\n"
    "                     oraz tablicą channels (pola StationInfo, Active, Max, Min)\n"
    "  --samples I,J,...  dodaje do każdego kanału Samples: pary [indeks, wartość]\n"
    "\n"
    "Plik, którego nie da się odczytać: komunikat czytnika i kod wyjścia 1\n"
    "(z --json obiekt {\"error\": klasa wyjątku, \"message\": tekst}).\n";

const char kExportHelp[] =
    "Użycie: dyma export PLIK_SYGNAŁU [--channel N] [--from S] [--to S]\n"
    "\n"
    "Próbki jednego kanału (lub wszystkich) jako tekst: w każdym wierszu czas\n"
    "w sekundach od początku zapisu i wartości kanałów, rozdzielone tabulatorem,\n"
    "z kropką dziesiętną (dla innych programów).\n"
    "\n"
    "  --channel N  tylko kanał N (identyfikator kanału, od 1)\n"
    "  --from S     od czasu S sekund (domyślnie od początku)\n"
    "  --to S       do czasu S sekund, bez niego (domyślnie do końca)\n";

// The reader with its sample table in a directory of its own, so that
// reading a file never leaves anything beside it.
struct OpenSignal {
    ToolFolder tableDirectory;
    std::unique_ptr<Quarnet::lgsig> reader;
};

// Throws what the reader throws, or FileError for a missing table folder.
void Open(OpenSignal& signal, const std::string& file) {
    if (!signal.tableDirectory.Valid()) throw FileError(signal.tableDirectory.Error(), "");
    const SampleTableName table(signal.tableDirectory.Path(), file);
    signal.reader = std::make_unique<Quarnet::lgsig>(file, table.Path());
}

std::string ReadFailedText(const std::string& file, const std::exception& e) {
    return "Nie udało się odczytać pliku sygnału " + file + ": " + e.what() + " (" + ErrorClassName(e) + ")";
}

std::string StartText(const Quarnet::lgsig& r) {
    return FormatInt(r.Year, 4) + "-" + FormatInt(r.Month, 2) + "-" + FormatInt(r.Day, 2) + " " +
           FormatInt(r.Hour, 2) + ":" + FormatInt(r.Minute, 2) + ":" + FormatInt(r.Second, 2) + "." +
           FormatInt(r.Millisecond, 3);
}

double RecordSeconds(Quarnet::lgsig& r) {
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

void PrintInfoText(const std::string& file, Quarnet::lgsig& r, char sep) {
    const std::optional<IniImage> project = ProjectBeside(file);
    const double zakres = project ? ParseNumber(LoadHeader(*project, Settings{}, sep).Zakres, sep) : 5000.0;
    // The station table's conversion factors follow the document's range,
    // as the window computes them when it lists the stations.
    ApplyMeasuringRange(r, zakres);
    const std::vector<ChannelFacts> channels = ReadChannelFacts(r);

    std::cout << "Plik sygnału: " << file << '\n';
    if (project) std::cout << "Plik projektu: " << project->FileName() << '\n';
    std::cout << "Rozpoznany typ pliku: " << r.FormatName << '\n'
              << "Liczba kanałów w pliku: " << r.GetChannelCount() << '\n'
              << "Częstotliwość próbkowania: " << r.GetSamplingRate(0) << " [Hz]\n"
              << "Data i czas zjawiska: " << StartText(r) << '\n'
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

Json InfoJson(Quarnet::lgsig& r, const std::vector<long long>& sampleIndices, bool withSamples) {
    Json info = Json::Object();
    info.Add("FormatName", r.FormatName)
        .Add("FormatCode", static_cast<int>(r.FormatCode))
        .Add("ChannelCount", r.GetChannelCount())
        .Add("MinChannel", r.GetMinChannel())
        .Add("MaxChannel", r.GetMaxChannel())
        .Add("StationInfoExists", r.GetStationInfoExists())
        .Add("LocationExists", r.GetLocationExists())
        .Add("Year", static_cast<int>(r.Year))
        .Add("Month", static_cast<int>(r.Month))
        .Add("Day", static_cast<int>(r.Day))
        .Add("Hour", static_cast<int>(r.Hour))
        .Add("Minute", static_cast<int>(r.Minute))
        .Add("Second", static_cast<int>(r.Second))
        .Add("Millisecond", static_cast<int>(r.Millisecond))
        .Add("StartDate", r.StartDate)
        .Add("StartTime", r.StartTime)
        .Add("StartDateTime", r.StartDateTime)
        .Add("HeaderScale", r.HeaderScale)
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
    const Arguments a = ParseArguments(args, {{"--json", false}, {"--samples", true}});
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
        Open(signal, file);
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
    const Arguments a = ParseArguments(args, {{"--channel", true}, {"--from", true}, {"--to", true}});
    if (a.help) {
        std::cout << kExportHelp;
        return kExitOk;
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
        Open(signal, file);
    } catch (const std::exception& e) {
        PrintError(ReadFailedText(file, e));
        return kExitFailed;
    }
    Quarnet::lgsig& r = *signal.reader;
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
