// The project file (".dym"): what goes into the document image and how a
// document is opened, checked and saved. Everything the seismogram window
// supplies (data page texts, pick list rows) comes in as plain values.
#pragma once

#include "app/document/iniimage.h"
#include "app/document/tremordocument.h"

#include <optional>
#include <string>
#include <vector>

namespace dyma {

class UserMessages;
struct Settings;

// ---- paths
// Extension with its dot, as written in the path ("" when there is none).
std::string ExtensionOf(const std::string& path);
std::string FileNamePart(const std::string& path);
std::string DirectoryPart(const std::string& path);
bool HasExtension(const std::string& path, const char* extensionWithDot);  // any case
bool IsSignalFileName(const std::string& path);                            // .mbi .min .mbj
bool IsProjectFileName(const std::string& path);                           // .dym
// The signal file's path without its extension when that is one of the
// signal extensions (.mbi .min .mbj, and .mseed .miniseed .msd .ms of
// miniSEED files), in any case; any other name is kept whole: archive names
// such as "KG.RUD01..HHZ.2024.074" keep their last part.
std::string SignalFileStem(const std::string& signalPath);
// The project of a signal file: an LGOM file's name with ".dym" in place of
// its extension (/data/Event.MBI -> /data/Event.dym); any other record's
// whole name with ".dym" appended (/data/tremor.mseed ->
// /data/tremor.mseed.dym), so that a miniSEED record never takes over the
// project of an LGOM file of the same name, nor an archive file (one day,
// one component) that of its neighbour.
std::string ProjectFileForSignal(const std::string& signalPath);

// ---- [FileInfo] and the version check
void WriteFileInfo(IniImage& image);
// Accepts other extensions unseen; for ".dym" refuses foreign files with a
// warning and accepts older versions after an information box. An
// unreadable file is refused without a message of its own.
bool CheckProjectFile(const std::string& fileName, UserMessages& messages);

// ---- opening by file name
struct OpenPlan {
    std::string projectFile;  // where the project lives (may not exist yet)
    std::string signalFile;
    // The image's working file: the project file when it exists; else a
    // name in the temporary directory that is never read or written (the
    // document starts empty and goes to disk only where it is saved).
    std::string imageFile;
    bool projectExists = false;
};
// The signal file a project file names: the bare name in the project's
// directory, or the project's directory plus the named file's name when the
// named path does not exist. Each place is looked up with the exact name
// first, then without regard to case. When the file is nowhere, the last
// place looked at; empty when the project names no signal file.
std::string SignalFileOfProject(const std::string& projectFile);
// "Nie znaleziono pliku sygnału <signal>, na który wskazuje plik projektu
// <project>."
std::string SignalFileMissingMessage(const std::string& signalFile, const std::string& projectFile);
// The checks and name rules of the open command. Shows the failure warning
// (for a project whose signal file is missing, the message above) and
// returns nothing when the file cannot be opened.
std::optional<OpenPlan> PlanOpen(const std::string& chosenName, const std::string& tempDirectory,
                                 UserMessages& messages);

// ---- header and picks
struct DataPageValues {
    std::string X = "0", Y = "0", Z = "0", Zakres = "5000";
    std::string Description, Operator;
    std::vector<std::string> Notes;
    Colour PlusColor = kRed, MinusColor = kBlue;
    bool ReversePolarization = false;
};

struct SignalFacts {
    std::string SignalFile;  // full path of the open signal
    double Date = 0, Time = 0;
};

// One row of the pick list.
struct PickRow {
    int Ident = 0;
    std::string Name, Skladowa, WaveType, FirstArrival;
    double Wage = 0, MarkerPosition = -1;
    bool Active = true;
};

// Writes [FileInfo], [Datas], [Notes] and the Channel keys of every row.
// The coordinate and range texts are read with the tolerant number parser
// (the data page accepts either separator); throws ConversionError.
void SaveHeaderAndPicks(IniImage& image, const DataPageValues& page, const SignalFacts& signal,
                        const std::vector<PickRow>& rows, char decimalSeparator);
// The data page as the image holds it; defaults from the settings.
DataPageValues LoadHeader(const IniImage& image, const Settings& settings, char decimalSeparator);

// Writes the image to `target` and nowhere else, through a temporary file
// and a rename (WriteFileAtomic: the file's permissions stay, a read-only
// file is refused), so a failed save leaves the previous project file
// intact. The file the document was opened from is not touched. On success
// the image is bound to `target` from then on; on failure false, and the
// image stays bound where it was.
bool SaveDocumentAs(IniImage& image, const std::string& target);
std::string SaveFailedMessage(const std::string& fileName);
// "Otwarcie pliku: <name> zakończyło się niepowodzeniem."
std::string OpenFailedMessage(const std::string& fileName);

// ---- multi-line values: keys "0", "1", ...
void WriteLines(IniImage& image, const std::string& section, const std::vector<std::string>& lines);
std::vector<std::string> ReadLines(const IniImage& image, const std::string& section);

// ---- picks
ChannelPick ReadChannelPick(const IniImage& image, int ident);

// ---- the solution
void SaveResult(const SolutionRecord& record, IniImage& image, char decimalSeparator);
// Into a record whose station rows are still empty. A StationCount above the
// record's 96 rows is clamped to 96.
void LoadResult(SolutionRecord& record, const IniImage& image);

}  // namespace dyma
