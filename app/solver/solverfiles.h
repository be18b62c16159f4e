// The three input files of the nodal-plane solver: NPF.DAT (the picks),
// NPF.NET (the network and the geological model) and NPF.PAR (file names
// and the fixed parameter line). Column positions, widths and number
// formats are the solver's contract. Numbers in DAT and NET always use ".";
// the files are code page 1250 with CR LF lines.
//
// Everything the seismogram window holds comes in as plain values (data
// page texts, pick list rows, the station records of the channels), so the
// command-line tool builds the same files without a window.
#pragma once

#include "app/document/iniimage.h"
#include "app/document/projectfile.h"

#include <string>
#include <vector>

namespace dyma {

class UserMessages;
struct Settings;

inline constexpr char kSolverExecutable[] = "NPFA.EXE";
inline constexpr char kDatFile[] = "NPF.DAT";
inline constexpr char kNetFile[] = "NPF.NET";
inline constexpr char kParFile[] = "NPF.PAR";
inline constexpr char kResFile[] = "NPF.RES";

// The station record of one channel of the signal file, in channel order.
struct NetStation {
    std::string Number;     // station number as decimal text
    std::string Component;  // component text
    double X = 0, Y = 0, Z = 0;  // metres, Z negative below sea level
};

// ---- the location check
std::string LocationQuestion(double x, double y, double z, char decimalSeparator);
// True when processing may go on. With the warning switched on, one zero
// coordinate already asks the question; No stops. The coordinates are the
// data page's texts (what the operator sees now, not what the image held at
// the last save); a text that is not a number throws ConversionError.
bool CheckLocation(const DataPageValues& page, bool warningLocation, char decimalSeparator,
                   UserMessages& messages);

// ---- NPF.DAT
// The polarity written for a pick: the picked first arrival, inverted for a
// reversed sensor (Polarity < 0) and again for a reversed document, so that
// the solver fits the motion the operator means. "0" stays "0"; a text that
// is neither "+" nor "-" is passed on upper-cased.
std::string SolverPolarity(const std::string& firstArrival, int channelPolarity, bool reversePolarization);

std::string DatPickLine(const PickRow& row, int channelPolarity, bool reversePolarization);

// The pick list rows in list order with, for each, its channel's Polarity
// (a missing entry counts as 1). Inactive rows are skipped. The coordinate
// texts go through the tolerant number reader; throws ConversionError.
std::vector<std::string> BuildDat(const DataPageValues& page, const std::vector<PickRow>& rows,
                                  const std::vector<int>& channelPolarities, char decimalSeparator);

// The Polarity key of each row's channel section (default 1).
std::vector<int> ChannelPolarities(const IniImage& image, const std::vector<PickRow>& rows);

// ---- NPF.NET and NPF.PAR
// Line 1 from the settings' seam-wave angles, layer dip and layer strike
// (their texts; throws ConversionError), then one line per channel.
std::vector<std::string> BuildNet(const Settings& settings, const std::vector<NetStation>& stations,
                                  char decimalSeparator);
// The six lines the older solver reads (the legacy import reruns with them)
// and, from the settings, a seventh it never read: the errors the ray trials
// assume, "location in metres,seam-wave angle in degrees" (throws
// ConversionError).
std::vector<std::string> BuildPar();
std::vector<std::string> BuildPar(const Settings& settings, char decimalSeparator);

// ---- writing
struct SolverInput {
    DataPageValues page;
    SignalFacts signal;
    std::vector<PickRow> rows;          // the pick list, in list order
    std::vector<NetStation> stations;   // every channel of the signal file
};

// Saves header and picks into the image, builds DAT, NET and PAR, stores
// the DAT lines in [DATStringList] and writes the three files into
// `directory`. Everything is built before the first file is written, so a
// conversion error (ConversionError) leaves no solver file behind; a file
// that cannot be written throws FileError.
void WriteInputFiles(IniImage& image, const SolverInput& input, const Settings& settings,
                     const std::string& directory, char decimalSeparator);

// The three files from lines already built (the legacy import writes its
// DAT and NET as they came).
void WriteSolverFiles(const std::string& directory, const std::vector<std::string>& dat,
                      const std::vector<std::string>& net, const std::vector<std::string>& par);

std::string SolverPath(const std::string& directory, const std::string& fileName);

}  // namespace dyma
