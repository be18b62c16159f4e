// TfmSeismogram, the MDI child of one open tremor. It owns the tremor's
// signal (the container the LGOM reader filled, and through it the sample
// table in the temporary directory) and the image of its project file. It
// shows one channel at a time in a TQuaGraph, moves along the record and
// between channels, and hosts six pages: "Sejsmogram" with picking,
// "Wszystkie kanały" (the record section), "Sieć" (the station table),
// "Plik przetwarzania" (the pick list), "Dane" (the tremor data) and
// "Rozwiązanie" (the solution, shown once there is one).
//
// The window's code is split by page: this unit holds construction, the
// display, navigation, keys and mouse; seismogrampicking.cpp the picks and
// the pick list; seismogramsection.cpp the record section; seismogramdata.cpp the pages "Sieć", "Dane" and
// "Rozwiązanie" and the save.
#pragma once

#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/seismogram/channeltables.h"
#include "app/seismogram/timewindow.h"
#include "app/widgets/seismogramchild.h"

#include <QWidget>

#include <memory>
#include <span>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace Kelo {
class signalprocessing;
}
namespace Quarnet {
class lgsig;
}
namespace quactl {
class TQuaGraph;
}

namespace dyma {
class ProjectLock;
class SampleTableName;
}

namespace dyma::gui {

class TColourPanel;
class MainWindowLink;
class TNumberCheck;
class TSolutionPanel;
class TSphereView;
class TRecordSection;
class TWageSpinBox;

// The pages in order.
enum SeismogramPage : int {
    kPageSeismogram = 0,  // "Sejsmogram", tabSejsmogram
    kPageSection = 1,     // "Wszystkie kanały", tabKanaly
    kPageNetwork = 2,     // "Sieć", tabSiec
    kPageProcessing = 3,  // "Plik przetwarzania", tabPrzetwarzanie
    kPageData = 4,        // "Dane", tabDane
    kPageSolution = 5,    // "Rozwiązanie", tabWynik
};

inline constexpr QSize kSeismogramMinimumSize{570, 420};

class TfmSeismogram : public QWidget, public SeismogramChild {
public:
    // Takes the image and the signal over. `sampleTable` is the name the
    // signal's samples live under; it stays reserved while the window lives.
    // `lock` is the lock beside the project file, held while the window
    // lives (none where no lock could be made).
    TfmSeismogram(MainWindowLink& owner, std::string projectFileName, std::string signalFileName,
                  std::unique_ptr<IniImage> image, std::unique_ptr<Kelo::signalprocessing> signal,
                  std::unique_ptr<SampleTableName> sampleTable = nullptr, std::unique_ptr<ProjectLock> lock = nullptr);
    ~TfmSeismogram() override;

    // ---- what the main window asks (SeismogramChild)
    void FirstChannel() override;
    void PreviousChannel() override;
    void NextChannel() override;
    void LastChannel() override;
    void MoveTimeWindow(MoveMode mode) override;
    void ScaleVertical(double delta) override;
    void ZoomIn() override;
    void ZoomOut() override;
    void BWaveClick(QObject* sender) override;
    void WageChange(QObject* sender) override;
    void WageControllerChanging(bool& allowChange) override;
    void bRemoveMarkerClick(QObject* sender) override;
    bool Modified() const override { return modified_; }
    bool ResultShown() const override { return resultShown_; }
    bool ReadyToProcess() const override { return readyToProcess_; }
    std::string DocumentFileName() const override;
    // Refreshes the pick list, writes the header and picks into the image
    // and writes it to `path`, and nowhere else. From then on the document
    // lives at `path`: its image, the open-file list and the project lock
    // move there. Refused with a warning when `path` is a file open in
    // another window (the signal file of this one too) or in another
    // program; a failed write gives "Nie udało się zapisać pliku: ...".
    // Either way the document stays as it was, modified.
    bool SaveDocumentAs(const std::string& path) override;
    SolutionRecord* Solution() override;
    std::vector<ChannelFacts> ChannelList() const override { return channels_; }
    IniImage& DocumentImage() override { return *image_; }
    // The pick list refreshed from the document, the data page's texts and
    // every channel's station record.
    SolverInput ProcessingInput() override;
    void SolutionStored() override;

    // ---- the document and the signal
    const std::string& ProjectFileName() const { return projectFileName_; }
    const std::string& SignalFileName() const { return signalFileName_; }
    // The names under which the window is in the main window's open-file
    // list, and puts itself there.
    const std::string& ListedProject() const { return listedProject_; }
    const std::string& ListedSignal() const { return listedSignal_; }
    void ListOpenFiles();
    // The lock beside the project file, null when there is none.
    const ProjectLock* Lock() const { return lock_.get(); }
    IniImage& Image() { return *image_; }
    const IniImage& Image() const { return *image_; }
    Kelo::signalprocessing& Signal() { return *signal_; }
    // The LGOM reader behind the signal, null for another container.
    Quarnet::lgsig* Reader() const;
    // The path of the sample table in the temporary directory ("" when the
    // window was given none).
    std::string SampleTablePath() const;
    // The channels of the signal file as the tables list them.
    const std::vector<ChannelFacts>& Channels() const { return channels_; }
    SignalFacts Facts() const;

    // ---- display (page "Sejsmogram")
    void ShowChannel();
    void UpdateChannelInfo();
    void SetTimeWindow(double start, double end);
    int CurrentChannel() const { return currentChannel_; }
    const TimeWindow& Window() const { return window_; }
    double RecordLength() const { return window_.RecordLength; }
    double WindowStart() const { return window_.WindowStart; }
    double VisibleWidth() const { return window_.VisibleWidth; }
    double VerticalScale() const { return verticalScale_; }
    const TimeSelection& Selection() const { return selection_; }
    // The time under a mouse column of the graph (control pixels).
    double MouseTime(int x) const;

    // ---- picking (page "Sejsmogram" and "Plik przetwarzania")
    void PlacePick(double t);
    void ChooseWaveType(int tag);
    void RemovePick();
    void RefreshPickList();
    void PickListClick();
    // The rows the pick list shows, in list order, with their check marks.
    const std::vector<PickRow>& PickRows() const { return pickRows_; }
    void SetModified(bool value);

    // ---- page "Wszystkie kanały"
    // The section redrawn from the document: picks, reversals, the order
    // by distance from the data page's position (the samples are read once,
    // when the page is first shown).
    void RefreshSection();
    TRecordSection& Section() const { return *section_; }
    QComboBox& SectionOrderBox() const { return *sectionOrder_; }

    // ---- pages "Sieć" and "Dane"
    void FillStationTable();
    void TogglePolarity(int row);
    void ReverseAllPolarities();
    void ChooseColour(TColourPanel& panel);
    void ReadLocationFile();
    // The data page's values as the document stores them.
    DataPageValues DataPage() const;

    // ---- page "Rozwiązanie"
    // Shows the solution of the image's [Result] when it exists, else hides
    // the page; ResultShown follows.
    void RefillSolutionPage();

    // ---- components
    QTabWidget& Pages() const { return *pages_; }
    quactl::TQuaGraph& Graph() const { return *graph_; }
    TWageSpinBox& Wage() const { return *wage_; }
    QLabel& CurrentWaveType() const { return *currentWaveType_; }
    QAction* WaveButton(int tag) const { return waveButtons_[tag]; }
    QLabel& ChannelInfo(int i) const { return *info_[i]; }
    QString StatusText(int panel) const;
    QTreeWidget& ProcessingList() const { return *processingList_; }
    QTreeWidget& NetInfo() const { return *netInfo_; }
    QLineEdit* DataEdit(const char* name) const;
    QPlainTextEdit& Notes() const { return *notes_; }
    TSolutionPanel& SolutionPanel() const { return *solutionPanel_; }
    TSphereView& SolutionSphere() const { return *sphere_; }

    QSize sizeHint() const override { return {570, 420}; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildSeismogramPage();
    QWidget* BuildSectionPage();
    QWidget* BuildNetworkPage();
    QWidget* BuildProcessingPage();
    QWidget* BuildDataPage();
    QWidget* BuildSolutionPage();
    void WatchKeys();
    // The report-style lists of the pages "Sieć" and "Plik przetwarzania".
    static QTreeWidget* MakeList(const char* name, std::span<const char* const> captions, QWidget* page);

    void FormShow();
    void FitColumns();
    void FitColumns(QTreeWidget& list);
    void PageChanged(int page);
    void ClearSelection();
    void AfterChannelChange();
    void ApplyTimeAxis();
    void ApplyVerticalAxis();
    void UpdateStatusBar();
    void UpdateFilePanel();
    void MouseDown(int button, unsigned shift, int x);
    void MouseMove(int x);

    // Keys: the window looks at every key before its controls do.
    bool TakesKey(const QKeyEvent& key, bool inEditor) const;
    void HandleKey(const QKeyEvent& key);
    void ShowPageHelp();

    // Picking helpers.
    void ShowWaveType(const std::string& letter);
    void SetWeightControls(int weight);
    void SyncMainPickingBar();
    // Only the window the operator works in writes the main window's bar.
    bool IsActiveSeismogram() const;
    double WageValue() const;
    std::string ChannelSectionName() const;

    // On the section page the channel keys move through its rows and the
    // time keys move its own window.
    bool SectionShown() const;
    void SectionChannel(int channel);
    void LoadSectionSamples();

    // Data page helpers.
    void LoadHeader();
    void DataEdited();
    double DataNumber(const char* name) const;
    // X, Y, Z of the data page as numbers (a text that is not one as 0).
    DataPageValues TremorPosition() const;

    MainWindowLink& owner_;
    std::string projectFileName_, signalFileName_;
    std::string listedProject_, listedSignal_;
    std::unique_ptr<ProjectLock> lock_;
    // Released in reverse order: the image first, then the signal (and with
    // it the sample table's file), then the table's reserved name.
    std::unique_ptr<SampleTableName> sampleTable_;
    std::unique_ptr<Kelo::signalprocessing> signal_;
    std::unique_ptr<IniImage> image_;
    std::unique_ptr<SolutionRecord> solution_;
    std::vector<ChannelFacts> channels_;
    std::vector<PickRow> pickRows_;

    int currentChannel_ = 0;
    TimeWindow window_;
    double verticalScale_ = 1.0;
    double channelMax_ = 0, channelMin_ = 0;
    TimeSelection selection_;
    bool modified_ = false;
    bool resultShown_ = false;
    bool readyToProcess_ = false;
    bool shown_ = false;
    // Set while the window itself fills its controls, so that their change
    // signals are not taken for the operator's edits.
    bool filling_ = false;

    QTabWidget* pages_ = nullptr;
    quactl::TQuaGraph* graph_ = nullptr;
    QActionGroup* waveGroup_ = nullptr;
    QAction* waveButtons_[3] = {};
    QLabel* currentWaveType_ = nullptr;
    TWageSpinBox* wage_ = nullptr;
    QAction* removeMarker_ = nullptr;
    QLabel* info_[3] = {};
    QStatusBar* statusBar_ = nullptr;
    QLabel* status_[3] = {};
    QTreeWidget* processingList_ = nullptr;
    QTreeWidget* netInfo_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
    QCheckBox* reversePolarization_ = nullptr;
    TColourPanel* plusColor_ = nullptr;
    TColourPanel* minusColor_ = nullptr;
    QLabel* datetime_ = nullptr;
    QLabel* sampleFrequency_ = nullptr;
    QLabel* fileType_ = nullptr;
    QLabel* channelNumber_ = nullptr;
    TNumberCheck* numberCheck_ = nullptr;
    TSolutionPanel* solutionPanel_ = nullptr;
    TSphereView* sphere_ = nullptr;
    TRecordSection* section_ = nullptr;
    QComboBox* sectionOrder_ = nullptr;
    bool sectionLoaded_ = false;
};

}  // namespace dyma::gui
