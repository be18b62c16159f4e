// dyma picks: the automatic onsets and first motions of every channel of a
// signal file, printed, as JSON, or saved as the picks of a project file
// that "dyma solve" can process.
#include "app/cli/arguments.h"
#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/json.h"
#include "app/cli/toolfolder.h"
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/document/projectlock.h"
#include "app/document/tremordocument.h"
#include "app/seismogram/channeltables.h"
#include "app/seismogram/locationfile.h"
#include "app/seismogram/onsetpicker.h"
#include "app/seismogram/sampletablename.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "app/settings/settings.h"
#include "app/settings/settingsstore.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "kelsig/signalprocessing.h"

#include <cmath>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

namespace dyma::cli {

namespace {

const char kPicksHelp[] =
    "Użycie: dyma picks PLIK_SYGNAŁU [--json] [--save PROJEKT.dym] [--location X,Y,Z]\n"
    "                   [--stations PLIK]\n"
    "\n"
    "Automatyczne wstąpienia i polaryzacje wszystkich kanałów: wstąpienie fali\n"
    "wyznaczone wyzwalaczem STA/LTA i metodą AIC, polaryzacja z kierunku\n"
    "pierwszego wychylenia względem poziomu sprzed wstąpienia (\"+\" w górę, \"-\"\n"
    "w dół, \"?\" niepewna, gdy wychylenie nie wystaje ponad szum), bez odwrócenia\n"
    "polaryzacji stacji, oraz stosunek sygnału do szumu: szczyt pierwszego\n"
    "wychylenia do średniej kwadratowej szumu przed wstąpieniem.\n"
    "\n"
    "  --json             tablica obiektów {\"channel\", \"station\", \"onset\",\n"
    "                     \"polarity\", \"snr\"}: identyfikator kanału (od 1), stacja,\n"
    "                     wstąpienie w sekundach od początku zapisu, polaryzacja, SNR\n"
    "  --save PROJEKT.dym zapisuje projekt z tymi odczytami (fala bezpośrednia, waga\n"
    "                     według SNR, bez niepewnych); istniejący projekt programu\n"
    "                     dostaje nowe odczyty, innego pliku polecenie nie nadpisze\n"
    "  --location X,Y,Z   lokalizacja wstrząsu w metrach; bez niej z pliku .dbs\n"
    "                     obok pliku sygnału, gdy taki jest\n"
    "  --stations PLIK    tabela stacji pliku miniSEED\n"
    "\n"
    "Kanały bez wyraźnego wstąpienia są pomijane. Plik, którego nie da się\n"
    "odczytać albo zapisać: komunikat i kod wyjścia 1.\n";

struct ChannelPickSuggestion {
    int channel = 0;  // index in the file
    std::string station;
    picking::OnsetSuggestion suggestion;
};

std::string StationOf(const ChannelFacts& c) {
    if (!c.Station.empty()) return c.Station;
    if (!c.Name.empty()) return c.Name;
    return std::to_string(c.Number);
}

// To a tenth, as the nearest double to the decimal (12.3, not 12.300000000000001).
double Tenths(double value) { return std::round(value * 10) / 10; }

// "X,Y,Z" in metres.
struct Location {
    double X = 0, Y = 0, Z = 0;
};

Location LocationOption(const std::string& text) {
    std::vector<double> values;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t comma = text.find(',', from);
        const std::string part = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        values.push_back(NumberOption("--location", part));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    if (values.size() != 3) throw UsageError("Opcja --location wymaga trzech współrzędnych X,Y,Z w metrach: " + text);
    return {values[0], values[1], values[2]};
}

// The location file of the mine's event database beside the signal file.
std::optional<LocationRecord> LocationBeside(const std::string& signalFile) {
    for (const char* extension : {".dbs", ".DBS"}) {
        const std::string path = SignalFileStem(signalFile) + extension;
        if (FileExists(path))
            if (auto record = ReadLocationFile(path)) return record;
    }
    return std::nullopt;
}

// The suggestions as the picks of the project `target`, with the tremor's
// location; false after saying why nothing was written.
bool SavePicks(const std::string& target, const std::string& signalFile, Kelo::signalprocessing& signal,
               const std::vector<ChannelFacts>& channels, const std::vector<ChannelPickSuggestion>& picks,
               const std::optional<Location>& location) {
    const char sep = SystemDecimalSeparator();
    const std::string failed = " Plik nie został zapisany.";
    // Only over a project this program wrote: anything else at that name
    // is not ours to replace.
    const bool exists = FileExists(target);
    if (exists) {
        ConsoleMessages messages(std::cerr, false);
        if (!CheckProjectFile(target, messages)) {
            PrintError("Plik " + target + " nie jest plikiem projektu programu." + failed);
            return false;
        }
    }
    // Not under a program that has the project open: its next save would
    // undo this one.
    const ProjectLock lock(target);
    if (lock.HeldElsewhere()) {
        PrintError(lock.InUseText() + failed);
        return false;
    }
    try {
        IniImage image(exists ? target : std::string());
        Settings settings;
        SettingsStore(ProgramDirectory()).Read(settings);
        DataPageValues page = LoadHeader(image, settings, sep);
        // The picks are the suggestions alone: an older solution or older
        // picks would not belong to them.
        for (const std::string& section : image.Sections())
            if (section.rfind("Channel", 0) == 0 || section == "Result") image.EraseSection(section);
        if (location) {
            page.X = FloatToStr(location->X, sep);
            page.Y = FloatToStr(location->Y, sep);
            page.Z = FloatToStr(location->Z, sep);
        } else if (const std::optional<LocationRecord> record = LocationBeside(signalFile)) {
            page.X = FloatToStr(record->X, sep);
            page.Y = FloatToStr(record->Y, sep);
            page.Z = FloatToStr(record->Z, sep);
            for (const std::string& line : LocationNoteLines(*record, sep)) page.Notes.push_back(line);
        } else if (!exists) {
            PrintWarning("Brak lokalizacji wstrząsu (opcja --location albo plik .dbs obok pliku sygnału): projekt " +
                         target + " zostaje zapisany bez niej i przed przetwarzaniem trzeba ją wprowadzić.");
        }
        std::vector<PickRow> rows;
        for (const ChannelPickSuggestion& p : picks) {
            if (p.suggestion.motion.polarity == picking::Polarity::Uncertain) continue;
            const ChannelFacts& c = channels[p.channel];
            rows.push_back({p.channel + 1, std::to_string(c.Number), c.Component, wave::kDirect,
                            picking::PolarityText(p.suggestion.motion.polarity),
                            WeightToWage(picking::WeightFromSnr(p.suggestion.motion.snr)), p.suggestion.time, true});
        }
        SignalFacts facts = SignalFactsOf(signal, std::filesystem::absolute(signalFile).string());
        SaveHeaderAndPicks(image, page, facts, rows, sep);
        EnsureChannelPolarities(image, channels);
        if (!SaveDocumentAs(image, target)) {
            PrintError(SaveFailedMessage(target));
            return false;
        }
    } catch (const std::exception& e) {
        PrintError(SaveFailedMessage(target) + " " + e.what());
        return false;
    }
    return true;
}

}  // namespace

int PicksCommand(const CommandArgs& args) {
    const Arguments a = ParseArguments(
        args, {{"--json", false}, {"--save", true}, {"--location", true}, {"--stations", true}});
    if (a.help) {
        std::cout << kPicksHelp;
        return kExitOk;
    }
    if (a.positional.size() != 1) throw UsageError("Polecenie picks wymaga jednego pliku sygnału.");
    const std::string& file = a.positional.front();
    const std::optional<std::string> save = a.Value("--save");
    if (save && !IsProjectFileName(*save))
        throw UsageError("Plik projektu opcji --save musi mieć rozszerzenie .dym: " + *save);
    std::optional<Location> location;
    if (const auto text = a.Value("--location")) location = LocationOption(*text);

    ToolFolder tables;
    if (!tables.Valid()) {
        PrintError(tables.Error());
        return kExitFailed;
    }
    std::unique_ptr<Kelo::signalprocessing> signal;
    try {
        StationTableChoice choice;
        if (const auto stations = a.Value("--stations")) choice.file = *stations;
        OpenedSignal opened = OpenSignalFile(file, SampleTableName(tables.Path(), file).Path(), choice);
        if (const std::string missing = WithoutStationMessage(opened); !missing.empty()) PrintWarning(missing);
        signal = std::move(opened.signal);
    } catch (const std::exception& e) {
        PrintError("Nie udało się odczytać pliku sygnału " + file + ": " + e.what() + " (" + ErrorClassName(e) + ")");
        return kExitFailed;
    }

    const std::vector<ChannelFacts> channels = ReadChannelFacts(*signal);
    const double rate = signal->GetSamplingRate(0);
    std::vector<ChannelPickSuggestion> picks;
    for (int c = 0; c < int(channels.size()); ++c) {
        if (!channels[c].Exists) continue;
        const picking::OnsetSuggestion s = picking::SuggestOnset(ReadChannelSamples(*signal, c), rate);
        if (s.found) picks.push_back({c, StationOf(channels[c]), s});
    }

    if (a.Has("--json")) {
        Json list = Json::Array();
        for (const ChannelPickSuggestion& p : picks)
            list.Push(Json::Object()
                          .Add("channel", p.channel + 1)
                          .Add("station", p.station)
                          .Add("onset", p.suggestion.time)
                          .Add("polarity", picking::PolarityText(p.suggestion.motion.polarity))
                          .Add("snr", Tenths(p.suggestion.motion.snr)));
        std::cout << list.Text() << '\n';
    } else {
        const char sep = SystemDecimalSeparator();
        std::cout << "Kanał\tStacja\tWstąpienie [s]\tPolaryzacja\tSNR\n";
        for (const ChannelPickSuggestion& p : picks)
            std::cout << FormatInt(p.channel + 1, 2) << '\t' << p.station << '\t'
                      << FormatFloat("0.0000", p.suggestion.time, sep) << '\t'
                      << picking::PolarityText(p.suggestion.motion.polarity) << '\t'
                      << FormatFloat("0.0", p.suggestion.motion.snr, sep) << '\n';
    }
    std::cout << std::flush;
    if (save && !SavePicks(*save, file, *signal, channels, picks, location)) return kExitFailed;
    return kExitOk;
}

}  // namespace dyma::cli
