// The program's preferences as plain values, with the defaults, the limits of
// the preferences dialog's controls and the directory lookup that every part
// uses to build paths. Loading and saving them is the settings store's job.
#pragma once

#include "app/document/tremordocument.h"
#include "app/seismogram/bandpass.h"

#include <string>

namespace dyma {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

struct Settings {
    // [Dirs]
    std::string SeismogramDirectory, TempDirectory, OutputDirectory;
    std::string DefaultOperator, DefaultDescription;  // key "DefaultDesctiption"
    // [Network] CoordinateSystem: the network's coordinate system for
    // latitudes and longitudes ("EPSG:2180", "local:LAT,LON,ROTATION"); empty
    // until the operator sets it (app/results/geographic.h).
    std::string NetworkCRS;
    // [Geology]: kept as the texts of the dialog's edits; Save converts them
    // to integers and stops with a conversion error at the first that fails.
    std::string defaultV = "5000", defaultVa = "5900", defaultVb = "5600";
    std::string defaultAAngle = "114", defaultBAngle = "72";
    std::string defaultBieg = "45", defaultUpad = "4";
    // The errors the solver's ray trials assume: of the source location in
    // metres and of the seam waves' take-off angles in degrees.
    std::string defaultLocationError = "50", defaultSeamAngleError = "5";
    // [Seismograms]
    int WageD = 100, WageA = 100, WageB = 70;
    int MBIPercentLoaded = 80, WindowWidth = 2000;
    int MagnificationFactor = 20, MagnificationFactorY = 20, WindowStep = 500;
    bool RelativeDisplacement = true, HorizontalGrid = true, VerticalGrid = false;
    // [Additional]
    bool RemoveTempDir = true, ShowSplashScreen = true, WarningLocation = true;
    bool RecoverRegistryEntries = true, AskAboutPercent = true;
    Colour GraphColor = 0xFFFFFF, MarkerColor = 0x008000, PlusColor = 0x0000FF;
    Colour MinusColor = 0xFF0000, PlotColor = 0xFF0000, GridColor = 0xC0C0C0;
    // [Picking]: the band-pass of the seismogram view (order of the
    // Butterworth prototype, corners in hertz); the defaults are the onset
    // picker's band, so the operator sees what the suggestions are made on.
    picking::BandPassSettings ViewFilter;
};

// The limits of the view filter's controls.
inline constexpr int kFilterOrderMin = 1, kFilterOrderMax = 8;
inline constexpr double kFilterCornerMin = 0.1, kFilterCornerMax = 5000;

// Up-down limits and steps of the preferences dialog.
struct IntSetting {
    const char* key;
    int Settings::*field;
    int defaultValue, minimum, maximum, step;
};
inline constexpr IntSetting kSeismogramInts[] = {
    {"WageD", &Settings::WageD, 100, 1, 100, 10},
    {"WageA", &Settings::WageA, 100, 1, 100, 10},
    {"WageB", &Settings::WageB, 70, 1, 100, 10},
    {"MBIPercentLoaded", &Settings::MBIPercentLoaded, 80, 5, 100, 10},
    {"WindowWidth", &Settings::WindowWidth, 2000, 500, 30000, 500},
    {"MagnificationFactor", &Settings::MagnificationFactor, 20, 5, 100, 10},
    {"MagnificationFactorY", &Settings::MagnificationFactorY, 20, 5, 100, 10},
    {"WindowStep", &Settings::WindowStep, 500, 50, 5000, 50},
};

struct GeologySetting {
    const char* key;
    std::string Settings::*field;
    int defaultValue;
};
inline constexpr GeologySetting kGeology[] = {
    {"defaultV", &Settings::defaultV, 5000},         {"defaultVa", &Settings::defaultVa, 5900},
    {"defaultVb", &Settings::defaultVb, 5600},       {"defaultAAngle", &Settings::defaultAAngle, 114},
    {"defaultBAngle", &Settings::defaultBAngle, 72}, {"defaultBieg", &Settings::defaultBieg, 45},
    {"defaultUpad", &Settings::defaultUpad, 4},
    {"defaultLocationError", &Settings::defaultLocationError, 50},
    {"defaultSeamAngleError", &Settings::defaultSeamAngleError, 5},
};

// The two process-wide flags that have no control in the dialog.
struct ProcessFlags {
    bool DebugMode = false;
    bool FirstTime = true;
};
ProcessFlags& GlobalFlags();

// A geology value as a number (the edit text read with the tolerant number
// parser); throws ConversionError for a text that is not a number.
double GeologyValue(const std::string& text, char decimalSeparator);

// Directory kinds of the lookup.
enum DirectoryKind : int {
    kSeismogramDir = 0,
    kTempDir = 1,
    kOutputDir = 2,
    kProgramDir = 4,
    kRepositoryDir = 5,
};

// The directory of `kind`, with a separator and `fileName` appended when a
// name is given; an unknown kind gives "".
std::string DirectoryLookup(const Settings& s, const std::string& programDir, int kind,
                            const std::string& fileName = {});

// Collapses doubled separators ("a//b" -> "a/b").
std::string TidyPath(std::string path);

// Where the three default directories live: under the program directory for
// a portable install (a writable program directory), under the user's data
// directory otherwise, so that an installed program can create them.
std::string DefaultDirectoryBase(const std::string& programDir, bool programDirWritable,
                                 const std::string& userDataDir);
void ApplyDefaultDirectories(Settings& s, const std::string& base);

}  // namespace dyma
