// The settings a window test starts from: no first-run file registration,
// and the temporary, seismogram and output directories ("Temp",
// "Sejsmogramy", "Roboczy") inside the test's own folder.
#pragma once

#include <QSettings>
#include <QString>

#include <string>

namespace dyma::test {

inline void WriteTestDirectories(QSettings& key, const std::string& folder) {
    const QString root = QString::fromStdString(folder);
    key.setValue("Globals/FirstTime", 0);
    key.setValue("Additional/RecoverRegistryEntries", 0);
    key.setValue("Dirs/TempDirectory", root + "/Temp");
    key.setValue("Dirs/SeismogramDirectory", root + "/Sejsmogramy");
    key.setValue("Dirs/OutputDirectory", root + "/Roboczy");
    key.sync();
}

}  // namespace dyma::test
