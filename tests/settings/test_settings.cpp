#include "app/settings/settingsstore.h"
#include "common/numberformat.h"
#include "support/tempdir.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace dyma;

TEST(DirectoryLookup, KindsAndFileNames) {
    Settings s;
    ApplyDefaultDirectories(s, "/opt/dyma");
    const char sep = kPathSeparator;
    EXPECT_EQ(DirectoryLookup(s, "/opt/dyma", kTempDir, "NPF.DAT"), s.TempDirectory + sep + "NPF.DAT");
    EXPECT_EQ(s.TempDirectory, std::string("/opt/dyma") + sep + "Temp");
    EXPECT_EQ(DirectoryLookup(s, "/opt/dyma", kSeismogramDir), std::string("/opt/dyma") + sep + "Sejsmogramy");
    EXPECT_EQ(DirectoryLookup(s, "/opt/dyma", kOutputDir), std::string("/opt/dyma") + sep + "Roboczy");
    EXPECT_EQ(DirectoryLookup(s, "/opt/dyma", kProgramDir), "/opt/dyma");
    EXPECT_EQ(DirectoryLookup(s, "/opt/dyma", kRepositoryDir, "NPFA.EXE"),
              std::string("/opt/dyma") + sep + "repository" + sep + "NPFA.EXE");
    EXPECT_EQ(DirectoryLookup(s, "/opt/dyma", 3, "x"), "");
    EXPECT_EQ(DirectoryLookup(s, "/opt/dyma", 7), "");
}

TEST(DirectoryLookup, TidyAndDefaultBase) {
    const std::string d(2, kPathSeparator), t(3, kPathSeparator), one(1, kPathSeparator);
    EXPECT_EQ(TidyPath("a" + d + "b" + t + "c"), "a" + one + "b" + one + "c");
    EXPECT_EQ(DefaultDirectoryBase("/prog", true, "/home/u/.local/share/Quarnet/Dyma"), "/prog");
    EXPECT_EQ(DefaultDirectoryBase("/usr/bin", false, "/home/u/.local/share/Quarnet/Dyma"),
              "/home/u/.local/share/Quarnet/Dyma");
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir_.Path().string()));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(dir_.Path().string()));
        GlobalFlags() = ProcessFlags{};
    }
    QSettings Raw() { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quarnet", "Dyma"); }
    test::TempDir dir_;
    test::TempDir program_;
};

TEST_F(SettingsStoreTest, FirstLoadWritesEveryKeyWithItsDefault) {
    SettingsStore store(program_.Path().string());
    Settings s;
    s.WageB = 5;  // whatever the object held is replaced
    store.Load(s);
    EXPECT_TRUE(GlobalFlags().FirstTime);
    EXPECT_FALSE(GlobalFlags().DebugMode);
    EXPECT_EQ(s.WageB, 70);
    EXPECT_EQ(s.TempDirectory, program_.Path().string() + kPathSeparator + "Temp");

    QSettings raw = Raw();
    const QStringList expected = {
        "Globals/FirstTime",
        "Dirs/SeismogramDirectory", "Dirs/TempDirectory", "Dirs/OutputDirectory", "Dirs/DefaultOperator",
        "Dirs/DefaultDesctiption",
        "Network/CoordinateSystem",
        "Geology/defaultV", "Geology/defaultVa", "Geology/defaultVb", "Geology/defaultAAngle",
        "Geology/defaultBAngle", "Geology/defaultBieg", "Geology/defaultUpad",
        "Geology/defaultLocationError", "Geology/defaultSeamAngleError",
        "Seismograms/WageD", "Seismograms/WageA", "Seismograms/WageB", "Seismograms/MBIPercentLoaded",
        "Seismograms/WindowWidth", "Seismograms/MagnificationFactor", "Seismograms/MagnificationFactorY",
        "Seismograms/WindowStep", "Seismograms/RelativeDisplacement", "Seismograms/HorizontalGrid",
        "Seismograms/VerticalGrid",
        "Additional/RemoveTempDir", "Additional/ShowSplashScreen", "Additional/WarningLocation",
        "Additional/RecoverRegistryEntries", "Additional/AskAboutPercent", "Additional/GraphColor",
        "Additional/MarkerColor", "Additional/PlusColor", "Additional/MinusColor", "Additional/PlotColor",
        "Additional/GridColor",
        "Picking/FilterOrder", "Picking/FilterLow", "Picking/FilterHigh"};
    QStringList keys = raw.allKeys();
    keys.sort();
    QStringList sorted = expected;
    sorted.sort();
    EXPECT_EQ(keys, sorted);
    EXPECT_EQ(raw.value("Globals/FirstTime").toInt(), 0);
    EXPECT_EQ(raw.value("Geology/defaultAAngle").toInt(), 114);
    EXPECT_EQ(raw.value("Seismograms/WindowWidth").toInt(), 2000);
    EXPECT_EQ(raw.value("Seismograms/VerticalGrid").toInt(), 0);
    EXPECT_EQ(raw.value("Additional/GridColor").toLongLong(), 0xC0C0C0);
    EXPECT_EQ(raw.value("Additional/MarkerColor").toLongLong(), 0x008000);

    store.Load(s);
    EXPECT_FALSE(GlobalFlags().FirstTime);
}

TEST_F(SettingsStoreTest, StoredValuesAreTidiedAndClampedToTheControls) {
    {
        QSettings raw = Raw();
        const std::string d(2, kPathSeparator);
        raw.setValue("Dirs/TempDirectory", QString::fromStdString("x" + d + "y" + d + "Temp"));
        raw.setValue("Seismograms/WindowStep", 1);
        raw.setValue("Seismograms/WageD", 500);
        raw.setValue("Geology/defaultV", "abc");
        raw.setValue("Globals/DebugMode", "true");
        raw.setValue("Additional/RemoveTempDir", 0);
        raw.setValue("Picking/FilterOrder", 12);
        raw.setValue("Picking/FilterLow", "1,5");
        raw.setValue("Picking/FilterHigh", "zero");
    }
    SettingsStore store(program_.Path().string());
    Settings s;
    store.Load(s);
    const std::string one(1, kPathSeparator);
    EXPECT_EQ(s.TempDirectory, "x" + one + "y" + one + "Temp");
    EXPECT_EQ(s.WindowStep, 50);
    EXPECT_EQ(s.WageD, 100);
    EXPECT_EQ(s.defaultV, "5000");
    EXPECT_TRUE(GlobalFlags().DebugMode);
    EXPECT_FALSE(s.RemoveTempDir);
    // The view filter: an order past the control's end at its end, a corner
    // typed with a comma read, one that is no number the default.
    EXPECT_EQ(s.ViewFilter.order, kFilterOrderMax);
    EXPECT_DOUBLE_EQ(s.ViewFilter.lowHz, 1.5);
    EXPECT_DOUBLE_EQ(s.ViewFilter.highHz, picking::BandPassSettings{}.highHz);
}

TEST_F(SettingsStoreTest, FractionInAGeologyEditStopsTheSaveBeforeAnythingIsWritten) {
    SettingsStore store(program_.Path().string());
    Settings s = store.Defaults();
    s.DefaultOperator = "Józef Żółć";
    // The first of the seven and the last: either stops the whole save.
    for (std::string Settings::*field : {&Settings::defaultV, &Settings::defaultUpad}) {
        s.*field = "5000.5";
        EXPECT_TRUE(CheckNumberField(s.*field, '.'));  // passes the dialog's check ...
        EXPECT_THROW(store.Save(s), ConversionError);   // ... but not the save
        QSettings raw = Raw();
        EXPECT_TRUE(raw.allKeys().isEmpty()) << "nothing half written: " << raw.allKeys().join(' ').toStdString();
        s.*field = "4";
    }
    store.Save(s);
    EXPECT_EQ(Raw().value("Dirs/DefaultOperator").toString(), QString::fromUtf8("Józef Żółć"));
    EXPECT_EQ(Raw().value("Geology/defaultUpad").toInt(), 4);
}

// The network's coordinate system is saved with the rest and comes back
// trimmed; a bad geology value stops the save of it too.
TEST_F(SettingsStoreTest, TheNetworksCoordinateSystemIsKept) {
    SettingsStore store(program_.Path().string());
    Settings s = store.Defaults();
    EXPECT_EQ(s.NetworkCRS, "") << "no system until the operator names one";
    s.NetworkCRS = " local:51.5,16.1,-2.5 ";
    store.Save(s);
    Settings back;
    store.Read(back);
    EXPECT_EQ(back.NetworkCRS, "local:51.5,16.1,-2.5");
    EXPECT_EQ(Raw().value("Network/CoordinateSystem").toString(), QStringLiteral("local:51.5,16.1,-2.5"));

    s.NetworkCRS = "EPSG:2180";
    s.defaultV = "5000.5";
    EXPECT_THROW(store.Save(s), ConversionError);
    store.Read(back);
    EXPECT_EQ(back.NetworkCRS, "local:51.5,16.1,-2.5");

    // Written by hand, without the quotation marks QSettings puts around a
    // text with commas.
    const QString file = Raw().fileName();
    {
        QFile conf(file);
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write("[Network]\nCoordinateSystem=local:50.1,19.9,12\n");
    }
    store.Read(back);
    EXPECT_EQ(back.NetworkCRS, "local:50.1,19.9,12");
}

TEST_F(SettingsStoreTest, ReadTakesTheStoredValuesAndWritesNothingBack) {
    SettingsStore store(program_.Path().string());
    Settings s;
    ProcessFlags flags;
    store.Read(s, &flags);
    EXPECT_TRUE(Raw().allKeys().isEmpty()) << "an empty store stays empty";
    EXPECT_EQ(s.defaultAAngle, "114");
    EXPECT_TRUE(flags.FirstTime);

    {
        QSettings raw = Raw();
        raw.setValue("Geology/defaultBAngle", 80);
        raw.setValue("Globals/DebugMode", 1);
        raw.setValue("Globals/FirstTime", 0);
    }
    store.Read(s, &flags);
    EXPECT_EQ(s.defaultBAngle, "80");
    EXPECT_TRUE(flags.DebugMode);
    EXPECT_FALSE(flags.FirstTime);
    EXPECT_FALSE(GlobalFlags().DebugMode) << "only the flags asked for are filled";
    QStringList keys = Raw().allKeys();
    keys.sort();
    EXPECT_EQ(keys, QStringList({"Geology/defaultBAngle", "Globals/DebugMode", "Globals/FirstTime"}));
}
