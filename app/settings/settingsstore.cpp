#include "settingsstore.h"

#include "common/numberformat.h"

#include <QCoreApplication>
#include <algorithm>
#include <memory>
#include <vector>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace dyma {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

std::unique_ptr<QSettings> OpenKey() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Quarnet", "Dyma");
}

// Flags are stored as 0/1 like registry DWORDs; "true"/"false" written by
// other tools read as well.
bool ReadFlag(const QSettings& key, const char* name, bool def) {
    const QVariant v = key.value(name);
    if (!v.isValid()) return def;
    const QString text = v.toString().trimmed().toLower();
    if (text == "true") return true;
    if (text == "false") return false;
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? n != 0 : def;
}

long long ReadInt(const QSettings& key, const char* name, long long def) {
    const QVariant v = key.value(name);
    if (!v.isValid()) return def;
    bool ok = false;
    const long long n = v.toString().trimmed().toLongLong(&ok);
    return ok ? n : def;
}

QString ReadText(const QSettings& key, const char* name, const std::string& def) {
    const QVariant v = key.value(name);
    if (!v.isValid()) return Q(def);
    // An INI file edited by hand holds "local:51.5,16.1,0" unquoted, which
    // QSettings reads as a list of three: it is the one text again.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

// A corner frequency in hertz, written with "." (a "," typed by hand reads
// as well); a value that is no number, or outside the control's limits,
// gives the default.
double ReadCorner(const QSettings& key, const char* name, double def) {
    const QVariant v = key.value(name);
    if (!v.isValid()) return def;
    double value = 0;
    try {
        value = ParseNumber(Trim(S(v.toString())), '.');
    } catch (const ConversionError&) {
        return def;
    }
    return value >= kFilterCornerMin && value <= kFilterCornerMax ? value : def;
}

}  // namespace

std::string ApplicationDirectory() {
    if (QCoreApplication::instance()) return S(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    return S(QDir::toNativeSeparators(QDir::currentPath()));
}

SettingsStore::SettingsStore(std::string programDirectory) : programDir_(std::move(programDirectory)) {}

Settings SettingsStore::Defaults() const {
    Settings s;
    const QFileInfo dirInfo(Q(programDir_));
    const bool writable = dirInfo.isDir() && dirInfo.isWritable();
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ApplyDefaultDirectories(s, DefaultDirectoryBase(programDir_, writable, S(QDir::toNativeSeparators(userData))));
    return s;
}

void SettingsStore::Read(Settings& s, ProcessFlags* flags) const {
    const Settings def = Defaults();
    auto key = OpenKey();

    key->beginGroup("Globals");
    if (flags) {
        flags->DebugMode = ReadFlag(*key, "DebugMode", false);
        flags->FirstTime = ReadFlag(*key, "FirstTime", true);
    }
    key->endGroup();

    key->beginGroup("Dirs");
    s.SeismogramDirectory = TidyPath(S(ReadText(*key, "SeismogramDirectory", def.SeismogramDirectory)));
    s.TempDirectory = TidyPath(S(ReadText(*key, "TempDirectory", def.TempDirectory)));
    s.OutputDirectory = TidyPath(S(ReadText(*key, "OutputDirectory", def.OutputDirectory)));
    s.DefaultOperator = S(ReadText(*key, "DefaultOperator", ""));
    s.DefaultDescription = S(ReadText(*key, "DefaultDesctiption", ""));
    key->endGroup();

    key->beginGroup("Network");
    s.NetworkCRS = Trim(S(ReadText(*key, "CoordinateSystem", "")));
    key->endGroup();

    key->beginGroup("Geology");
    for (const GeologySetting& g : kGeology) s.*g.field = std::to_string(ReadInt(*key, g.key, g.defaultValue));
    key->endGroup();

    key->beginGroup("Seismograms");
    for (const IntSetting& i : kSeismogramInts) {
        // An up-down cannot hold a value outside its limits.
        const long long v = ReadInt(*key, i.key, i.defaultValue);
        s.*i.field = static_cast<int>(std::clamp<long long>(v, i.minimum, i.maximum));
    }
    s.RelativeDisplacement = ReadFlag(*key, "RelativeDisplacement", true);
    s.HorizontalGrid = ReadFlag(*key, "HorizontalGrid", true);
    s.VerticalGrid = ReadFlag(*key, "VerticalGrid", false);
    key->endGroup();

    key->beginGroup("Additional");
    s.RemoveTempDir = ReadFlag(*key, "RemoveTempDir", true);
    s.ShowSplashScreen = ReadFlag(*key, "ShowSplashScreen", true);
    s.WarningLocation = ReadFlag(*key, "WarningLocation", true);
    s.RecoverRegistryEntries = ReadFlag(*key, "RecoverRegistryEntries", true);
    s.AskAboutPercent = ReadFlag(*key, "AskAboutPercent", true);
    s.GraphColor = static_cast<Colour>(ReadInt(*key, "GraphColor", def.GraphColor)) & 0xFFFFFF;
    s.MarkerColor = static_cast<Colour>(ReadInt(*key, "MarkerColor", def.MarkerColor)) & 0xFFFFFF;
    s.PlusColor = static_cast<Colour>(ReadInt(*key, "PlusColor", def.PlusColor)) & 0xFFFFFF;
    s.MinusColor = static_cast<Colour>(ReadInt(*key, "MinusColor", def.MinusColor)) & 0xFFFFFF;
    s.PlotColor = static_cast<Colour>(ReadInt(*key, "PlotColor", def.PlotColor)) & 0xFFFFFF;
    s.GridColor = static_cast<Colour>(ReadInt(*key, "GridColor", def.GridColor)) & 0xFFFFFF;
    key->endGroup();

    key->beginGroup("Picking");
    s.ViewFilter.order = static_cast<int>(
        std::clamp<long long>(ReadInt(*key, "FilterOrder", def.ViewFilter.order), kFilterOrderMin, kFilterOrderMax));
    s.ViewFilter.lowHz = ReadCorner(*key, "FilterLow", def.ViewFilter.lowHz);
    s.ViewFilter.highHz = ReadCorner(*key, "FilterHigh", def.ViewFilter.highHz);
    key->endGroup();
}

void SettingsStore::Load(Settings& s) const {
    Read(s, &GlobalFlags());
    {
        auto key = OpenKey();
        key->beginGroup("Globals");
        key->setValue("FirstTime", 0);
        key->endGroup();
        key->sync();
    }
    Save(s);
}

void SettingsStore::Save(const Settings& s) const {
    // Every value is converted before the first is written: a geology text
    // that is not a whole number stops the save with nothing half written.
    std::vector<long long> geology;
    for (const GeologySetting& g : kGeology) geology.push_back(StrToInt(Trim(s.*g.field)));  // throws ConversionError

    auto key = OpenKey();
    // What was written reaches the store.
    struct SyncOnExit {
        QSettings& k;
        ~SyncOnExit() { k.sync(); }
    } syncOnExit{*key};

    key->beginGroup("Dirs");
    key->setValue("SeismogramDirectory", Q(s.SeismogramDirectory));
    key->setValue("TempDirectory", Q(s.TempDirectory));
    key->setValue("OutputDirectory", Q(s.OutputDirectory));
    key->setValue("DefaultOperator", Q(s.DefaultOperator));
    key->setValue("DefaultDesctiption", Q(s.DefaultDescription));
    key->endGroup();

    key->beginGroup("Network");
    key->setValue("CoordinateSystem", Q(Trim(s.NetworkCRS)));
    key->endGroup();

    key->beginGroup("Geology");
    for (size_t i = 0; i < std::size(kGeology); ++i) key->setValue(kGeology[i].key, static_cast<qlonglong>(geology[i]));
    key->endGroup();

    key->beginGroup("Seismograms");
    for (const IntSetting& i : kSeismogramInts) key->setValue(i.key, s.*i.field);
    key->setValue("RelativeDisplacement", s.RelativeDisplacement ? 1 : 0);
    key->setValue("HorizontalGrid", s.HorizontalGrid ? 1 : 0);
    key->setValue("VerticalGrid", s.VerticalGrid ? 1 : 0);
    key->endGroup();

    key->beginGroup("Additional");
    key->setValue("RemoveTempDir", s.RemoveTempDir ? 1 : 0);
    key->setValue("ShowSplashScreen", s.ShowSplashScreen ? 1 : 0);
    key->setValue("WarningLocation", s.WarningLocation ? 1 : 0);
    key->setValue("RecoverRegistryEntries", s.RecoverRegistryEntries ? 1 : 0);
    key->setValue("AskAboutPercent", s.AskAboutPercent ? 1 : 0);
    key->setValue("GraphColor", static_cast<qlonglong>(s.GraphColor));
    key->setValue("MarkerColor", static_cast<qlonglong>(s.MarkerColor));
    key->setValue("PlusColor", static_cast<qlonglong>(s.PlusColor));
    key->setValue("MinusColor", static_cast<qlonglong>(s.MinusColor));
    key->setValue("PlotColor", static_cast<qlonglong>(s.PlotColor));
    key->setValue("GridColor", static_cast<qlonglong>(s.GridColor));
    key->endGroup();

    key->beginGroup("Picking");
    key->setValue("FilterOrder", s.ViewFilter.order);
    key->setValue("FilterLow", Q(FloatToStr(s.ViewFilter.lowHz, '.')));
    key->setValue("FilterHigh", Q(FloatToStr(s.ViewFilter.highHz, '.')));
    key->endGroup();
}

}  // namespace dyma
