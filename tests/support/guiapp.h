// Widget tests: the program's application object for the whole test binary
// (created before the first test, offscreen), and a fixture that points the
// settings store, the user's data directory and the modal dialogs at the
// test.
#pragma once

#include "app/settings/settings.h"
#include "app/widgets/messageboxes.h"
#include "support/recordingmessages.h"
#include "support/tempdir.h"

#include <QSettings>
#include <QString>

#include <gtest/gtest.h>

#include <memory>

namespace dyma::test {

class GuiTest : public ::testing::Test {
protected:
    GuiTest() : messages_(recorded) {
        const QString settings = QString::fromStdString(settingsDir.Path().string());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dataDir.Path().string()));
        GlobalFlags() = ProcessFlags{};
    }
    // The settings key as the program sees it.
    static QSettings Key() { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quarnet", "Dyma"); }

    TempDir settingsDir, dataDir, work;
    RecordingMessages recorded;

private:
    gui::ScopedMessages messages_;
};

}  // namespace dyma::test
