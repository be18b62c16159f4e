// The preferences dialog. It is created once at start-up and lives until the
// program ends; it owns the live settings of the run (Values()), which every
// other window reads. Its controls write into them on every change, so a
// value that was changed but not applied is in effect until the next show
// of the dialog reloads everything from the settings store.
#pragma once

#include "app/settings/settings.h"
#include "app/settings/settingsstore.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QColorDialog;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace quactl {
class TQuaDirectoryDialog;
}

namespace dyma::gui {

class TColourPanel;
class TNumberCheck;

class TfmPreferences : public QDialog {
public:
    explicit TfmPreferences(std::string programDirectory, QWidget* parent = nullptr);
    ~TfmPreferences() override;

    const Settings& Values() const { return values_; }
    const SettingsStore& Store() const { return store_; }
    const std::string& ProgramDirectory() const { return store_.ProgramDirectory(); }
    // The directory lookup on the live settings.
    std::string Directory(int kind, const std::string& fileName = {}) const;

    // Settings store -> live settings -> controls.
    void LoadSettings();
    // Live settings -> settings store; a geology text that is not a whole
    // number stops it with a ConversionError, nothing written.
    void SaveSettings();

    // The colour dialog of the run; the seismogram window's colour panels
    // use it too.
    QColorDialog& ColorDialog() const { return *colorDialog_; }

    QTabWidget* Pages() const { return pages_; }
    QPushButton* ApplyButton() const { return buttonApply_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildMainPage();
    QWidget* BuildGeologyPage();
    QWidget* BuildSeismogramPage();
    QWidget* BuildAdditionalPage();
    QWidget* BuildPickingPage();
    QLineEdit* Edit(const char* name, QWidget* parent);
    QSpinBox* UpDown(const char* key, QWidget* parent);
    QCheckBox* Check(const char* name, const QString& caption, QWidget* parent);
    TColourPanel* Panel(const char* name, const QString& caption, QWidget* parent);

    void ControlsFromValues();
    void ValuesFromControls();
    void Changed();
    void ChooseDirectory(int tag);
    void ChooseColour(TColourPanel& panel);
    void ShowPageHelp();
    // "Zastosuj": saves the settings and disables itself. A value that does
    // not convert stops it with its warning; the button stays enabled and
    // the edit holding the value gets the focus.
    void Apply();

    SettingsStore store_;
    Settings values_;
    bool loading_ = false;

    QTabWidget* pages_;
    QPushButton* buttonApply_;
    QLineEdit* defaultOperator_;
    QLineEdit* defaultDescription_;
    QLineEdit* networkCrs_;
    std::array<QLabel*, 3> directories_{};
    std::array<QLineEdit*, std::size(kGeology)> geology_{};
    std::array<QSpinBox*, std::size(kSeismogramInts)> upDowns_{};
    QCheckBox *relativeDisplacement_, *verticalGrid_, *horizontalGrid_;
    QCheckBox *removeTempDir_, *warningLocation_, *showSplashScreen_, *recoverRegistryEntries_, *askAboutPercent_;
    TColourPanel *graphColor_, *markerColor_, *plusColor_, *minusColor_, *plotColor_, *gridColor_;
    QSpinBox* filterOrder_;
    QDoubleSpinBox *filterLow_, *filterHigh_;
    QColorDialog* colorDialog_;
    TNumberCheck* numberCheck_;
    class FolderDialog;
    std::unique_ptr<FolderDialog> directoryDialog_;
};

}  // namespace dyma::gui
