// The program's help: Polish HTML pages, one per help context number, in the
// "help" folder beside the program ("<context>.html"), shown in the program's
// own help viewer.
#pragma once

#include <QString>

#include <memory>

namespace dyma::gui {

class TfmHelpViewer;

// Help contexts the windows open.
namespace help {
inline constexpr int kContents = 1000;
inline constexpr int kSeismogramWindow = 4000;
inline constexpr int kSeismogramPage = 4010;
inline constexpr int kSectionPage = 4015;
inline constexpr int kNetworkPage = 4020;
inline constexpr int kPickListPage = 4030;
inline constexpr int kDataPage = 4040;
inline constexpr int kSolution = 4050;
inline constexpr int kPrintPreview = 4060;
inline constexpr int kPreferencesMain = 5010;
inline constexpr int kPreferencesGeology = 5020;
inline constexpr int kPreferencesSeismograms = 5030;
inline constexpr int kPreferencesAdditional = 5040;
inline constexpr int kPreferencesPicking = 5050;
}  // namespace help

class HelpSystem {
public:
    HelpSystem();
    ~HelpSystem();
    HelpSystem(const HelpSystem&) = delete;
    HelpSystem& operator=(const HelpSystem&) = delete;

    void SetHelpDirectory(const QString& directory);
    const QString& HelpDirectory() const { return directory_; }
    QString PagePath(int context) const;

    // Shows the page of `context` in the viewer (created on first use); a
    // page that is not there gives a warning and false.
    bool ShowContext(int context);

    // The viewer, or null before the first page was shown.
    TfmHelpViewer* Viewer() const { return viewer_.get(); }
    int LastContext() const { return lastContext_; }

private:
    QString directory_;
    std::unique_ptr<TfmHelpViewer> viewer_;
    int lastContext_ = 0;
};

// The help of the running program (owned by TDymaApplication).
HelpSystem& ApplicationHelp();
// Closes the help viewer of the running program, when one is open.
void CloseApplicationHelp();

}  // namespace dyma::gui
