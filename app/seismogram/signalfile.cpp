#include "signalfile.h"

#include "app/seismogram/signalformat.h"
#include "app/seismogram/stationtable.h"
#include "common/textfile.h"
#include "lgsig/lgsig.h"
#include "mseedsig/mseedsig.h"

#include <optional>

namespace dyma {

namespace {

// The first table beside the record, or the operator's.
std::string FindStationTable(const std::string& signalFile, const StationTableChoice& choice) {
    if (!choice.file.empty()) return choice.file;
    for (const std::string& candidate : StationTableCandidates(signalFile))
        if (FileExists(candidate)) return candidate;
    return choice.choose ? choice.choose(signalFile) : std::string();
}

void PlaceStations(Quarnet::mseedsig& reader, const StationTableChoice& choice, OpenedSignal& opened) {
    const std::string tableFile = FindStationTable(reader.FileName, choice);
    std::optional<StationTable> table;
    if (!tableFile.empty()) table = StationTable::Read(tableFile);
    opened.stationTable = tableFile;
    for (int c = 0; c < reader.GetChannelCount(); ++c) {
        const Quarnet::SeedStream& s = reader.Stream(c);
        const StationRow* row = table ? table->Find(s.network, s.station, s.location, s.channel) : nullptr;
        if (row)
            reader.SetStation(c, row->x, row->y, row->z, row->reversed);
        else
            opened.withoutStation.push_back(s.Id());
    }
}

}  // namespace

OpenedSignal OpenSignalFile(const std::string& path, const std::string& sampleTable,
                            const StationTableChoice& stations) {
    OpenedSignal opened;
    switch (DetectSignalContent(path)) {
    case SignalContent::SeedVolume:
        throw Quarnet::QuaEWrongOperation(
            "Plik " + path +
            " jest pełnym woluminem SEED (z nagłówkami stacji); program czyta tylko pliki miniSEED, "
            "czyli same rekordy danych. Wyodrębnij z woluminu rekordy danych (miniSEED) i otwórz je.");
    case SignalContent::MiniSeed: {
        auto reader = std::make_unique<Quarnet::mseedsig>(path, sampleTable);
        opened.miniSeed = true;
        PlaceStations(*reader, stations, opened);
        opened.signal = std::move(reader);
        return opened;
    }
    case SignalContent::Other: break;
    }
    opened.signal = std::make_unique<Quarnet::lgsig>(path, sampleTable);
    return opened;
}

std::string WithoutStationMessage(const OpenedSignal& opened) {
    if (opened.withoutStation.empty()) return {};
    std::string list;
    for (const std::string& id : opened.withoutStation) list += (list.empty() ? "" : ", ") + id;
    const std::string where = opened.stationTable.empty()
                                  ? std::string("Nie znaleziono tabeli stacji (plik <nazwa>.stations.csv albo "
                                                "stations.csv obok pliku sygnału).")
                                  : "Tabela stacji " + opened.stationTable + " nie zawiera współrzędnych kanałów.";
    return where + " Kanały bez współrzędnych: " + list +
           ". Są wyświetlane, ale nie mogą być użyte do wyznaczenia mechanizmu.";
}

}  // namespace dyma
