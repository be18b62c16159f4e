// dyma export on project files: the stored solutions as a QuakeML document
// or as a catalogue (CSV, JSON), one tremor per project.
#include "app/cli/arguments.h"
#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/json.h"
#include "app/cli/toolfolder.h"
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/results/catalogue.h"
#include "app/results/geographic.h"
#include "app/results/mechanismexport.h"
#include "app/results/quakeml.h"
#include "app/seismogram/sampletablename.h"
#include "app/seismogram/signalchannels.h"
#include "app/seismogram/signalfile.h"
#include "app/settings/settings.h"
#include "app/settings/settingsstore.h"
#include "common/cp1250.h"
#include "common/numberformat.h"
#include "common/textfile.h"

#include <iostream>
#include <memory>
#include <optional>

namespace dyma::cli {

namespace {

enum class Format { QuakeML, Csv, Json };

Format FormatOption(const std::optional<std::string>& value) {
    if (!value || EqualsIgnoreCase(*value, "quakeml")) return Format::QuakeML;
    if (EqualsIgnoreCase(*value, "csv")) return Format::Csv;
    if (EqualsIgnoreCase(*value, "json")) return Format::Json;
    throw UsageError("Nieznany format eksportu: " + *value + " (quakeml, csv albo json).");
}

// The channels of the project's signal file, for the streams' codes; none
// when the file is not at hand (its channel sections then name the
// streams, as for the district's files).
std::optional<std::vector<ChannelFacts>> SignalChannels(const std::string& project) {
    std::string signalFile;
    try {
        signalFile = SignalFileOfProject(project);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    const ToolFolder folder;
    if (signalFile.empty() || !FileExists(signalFile) || !folder.Valid()) return std::nullopt;
    try {
        OpenedSignal opened = OpenSignalFile(signalFile, SampleTableName(folder.Path(), signalFile).Path());
        return ReadChannelFacts(*opened.signal);
    } catch (const std::exception& e) {
        PrintWarning("Nie udało się odczytać pliku sygnału " + signalFile + " (" + e.what() +
                     "); kody stacji odczytów pochodzą z pliku projektu.");
        return std::nullopt;
    }
}

// The solution of one project; nothing after printing why.
std::optional<TremorExport> Gather(const std::string& project, bool withStreams) {
    ConsoleMessages messages(std::cerr);
    if (!IsProjectFileName(project) || !FileExists(project) || !CheckProjectFile(project, messages)) {
        PrintError(OpenFailedMessage(project));
        return std::nullopt;
    }
    try {
        const IniImage image(project);
        const auto channels = withStreams ? SignalChannels(project) : std::nullopt;
        return GatherTremor(image, project, channels ? &*channels : nullptr);
    } catch (const std::exception& e) {
        PrintError(e.what());
        return std::nullopt;
    }
}

Json CatalogueJson(const TremorExport& t, const std::optional<PlacedSource>& placed) {
    const SolutionRecord& r = t.record;
    auto orNull = [&](double v) { return placed ? Json(v) : Json(); };
    Json o = Json::Object();
    o.Add("File", t.projectFile)
        .Add("RecordStart", t.recordStart != 0 ? Json(IsoUtc(t.recordStart)) : Json())
        .Add("X", r.X)
        .Add("Y", r.Y)
        .Add("Z", r.Z)
        .Add("Latitude", orNull(placed ? placed->latitude : 0))
        .Add("Longitude", orNull(placed ? placed->longitude : 0))
        .Add("GridNorth", orNull(placed ? placed->gridNorth : 0))
        .Add("SA", r.SA)
        .Add("DA", r.DA)
        .Add("RA", r.RA)
        .Add("SB", r.SB)
        .Add("RB", r.RB)
        .Add("DB", r.DB)
        .Add("SAB", r.SAB)
        .Add("DAB", r.DAB)
        .Add("RAB", r.RAB)
        .Add("SBB", r.SBB)
        .Add("RBB", r.RBB)
        .Add("DBB", r.DBB)
        .Add("PTrend", r.PTrend)
        .Add("PPlunge", r.PPlunge)
        .Add("TTrend", r.TTrend)
        .Add("TPlunge", r.TPlunge)
        .Add("NTrend", t.nAxis.trend)
        .Add("NPlunge", t.nAxis.plunge)
        .Add("ACC", r.ACC)
        .Add("StationCount", r.StationCount)
        .Add("PolarityCount", t.polarityCount)
        .Add("Misfit", t.misfit)
        .Add("StationDistributionRatio", t.distributionRatio)
        .Add("AzimuthalGap", t.azimuthalGap)
        .Add("Quality", t.quality.empty() ? Json() : Json(t.quality))
        .Add("Operator", r.Operator)
        .Add("Description", r.Description);
    return o;
}

const char kNoCoordinateSystem[] =
    "Nie podano układu współrzędnych sieci, a bez niego nie można podać szerokości i długości geograficznej "
    "ogniska. Podaj --crs (np. EPSG:2180 albo local:SZEROKOŚĆ,DŁUGOŚĆ,OBRÓT) albo ustaw układ w oknie "
    "\"Własności programu\". Nic nie zapisano.";

}  // namespace

int ExportSolutions(const Arguments& a) {
    const Format format = FormatOption(a.Value("--format"));
    if (a.positional.empty()) throw UsageError("Polecenie export wymaga co najmniej jednego pliku projektu.");
    for (const std::string& file : a.positional)
        if (!IsProjectFileName(file))
            throw UsageError("Eksport rozwiązań przyjmuje tylko pliki projektu (.dym): " + file);

    Settings settings;
    SettingsStore(ProgramDirectory()).Read(settings);
    const std::string system = Trim(a.Value("--crs").value_or(settings.NetworkCRS));
    if (format == Format::QuakeML && system.empty()) {
        PrintError(kNoCoordinateSystem);
        return kExitFailed;
    }
    std::unique_ptr<GeographicConverter> coordinates;
    if (!system.empty()) {
        try {
            coordinates = std::make_unique<GeographicConverter>(system);
        } catch (const std::exception& e) {
            PrintError(std::string(e.what()) + " Nic nie zapisano.");
            return kExitFailed;
        }
    }

    // Every project first; a single failure writes nothing.
    std::vector<TremorExport> tremors;
    bool failed = false;
    for (const std::string& project : a.positional) {
        auto tremor = Gather(project, format == Format::QuakeML);
        if (tremor)
            tremors.push_back(std::move(*tremor));
        else
            failed = true;
    }
    if (failed) {
        PrintError("Eksport nie powiódł się; nic nie zapisano.");
        return kExitFailed;
    }

    const auto output = a.Value("--output");
    try {
        std::vector<std::optional<PlacedSource>> placed;
        for (const TremorExport& t : tremors) {
            if (!coordinates) {
                placed.emplace_back();
                continue;
            }
            const GeoPoint p = coordinates->ToGeographic(t.xNorth, t.yEast);
            placed.push_back(PlacedSource{p.latitude, p.longitude, coordinates->GridNorthAzimuth(t.xNorth, t.yEast)});
        }
        std::string bytes;
        switch (format) {
        case Format::QuakeML: bytes = BuildQuakeML(tremors, *coordinates, CurrentIsoUtc()); break;
        case Format::Json: {
            Json all = Json::Array();
            for (size_t i = 0; i < tremors.size(); ++i) all.Push(CatalogueJson(tremors[i], placed[i]));
            bytes = all.Text() + "\n";
            break;
        }
        case Format::Csv: {
            const char sep = SystemDecimalSeparator();
            std::vector<std::string> lines{CsvLine(CatalogueCsvHeader(), sep)};
            for (size_t i = 0; i < tremors.size(); ++i)
                lines.push_back(CsvLine(CatalogueCsvFields(tremors[i], placed[i], sep), sep));
            // A file for the workstations' spreadsheets; the terminal reads
            // UTF-8.
            if (output) {
                bytes = Utf8ToCp1250(JoinLinesCrLf(lines));
            } else {
                for (const std::string& line : lines) bytes += line + "\n";
            }
            break;
        }
        }
        if (output)
            WriteFileAtomic(*output, bytes);
        else
            std::cout << bytes << std::flush;
    } catch (const FileError&) {
        PrintError(SaveFailedMessage(*output));
        return kExitFailed;
    } catch (const std::exception& e) {
        PrintError(std::string(e.what()) + " Nic nie zapisano.");
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace dyma::cli
