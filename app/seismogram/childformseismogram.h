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
#include "app/seismogram/bandpass.h"
#include "app/seismogram/channeltables.h"
#include "app/seismogram/firstmotion.h"
#include "app/seismogram/onsetpicker.h"
#include "app/seismogram/timewindow.h"
#include "app/widgets/seismogramchild.h"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
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
class QUndoStack;

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
    void PickingKey(int command) override;
    bool ViewFiltered() const override { return filtered_; }
    void Undo() override;
    void Redo() override;
    bool CanUndo() const override;
    bool CanRedo() const override;
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
    // The first motion of the current channel for a pick at time t, read
    // from PolarityTrace.
    picking::FirstMotion FirstMotionAt(double t) const;
    // Places the current channel's pick at t (nothing at t <= 0) with the
    // polarity of the first motion there. Where that is uncertain the
    // polarity question decides; without a question or without an answer
    // nothing is written: an uncertain onset never gets a polarity the
    // operator did not see. True when the pick was written.
    bool PlacePick(double t);
    // Places the pick at t with the operator's polarity (Up or Down).
    void PlacePickWithPolarity(double t, picking::Polarity polarity);
    // Asked when the first motion at a click is uncertain: the operator's
    // "+" or "-" (Up or Down), or nothing to leave the channel as it was.
    using PolarityQuestion = std::function<std::optional<picking::Polarity>(double t, const picking::FirstMotion&)>;
    void SetPolarityQuestion(PolarityQuestion question) { polarityQuestion_ = std::move(question); }
    // The question the window asks by itself: a message box with "+", "-"
    // and "Anuluj" (through Messages()).
    void AskOperatorAboutPolarity();
    // The samples of `channel` that polarities are read from: the trace as
    // it is shown (the raw samples; their level does not matter).
    std::vector<double> PolarityTrace(int channel) const;
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

    // ---- the operator's overrides (seismogramassist.cpp)
    // The polarity of the current channel's pick ("+" or "-"); nothing
    // without a marker.
    void SetPickPolarity(const std::string& firstArrival);
    // The weight (10 ... 100) of the pick and of the picking bars.
    void SetPickWeight(int weight);
    // A pick at the time the mouse was last over the trace.
    void PlacePickAtMouse();
    // Why the pick of the current channel will not reach the solver ("" when
    // it will, or there is none).
    QString PickNotUsedReason() const;

    // ---- suggestions and the view (seismogramassist.cpp)
    // The automatic onset of the current channel, worked out once a channel.
    const picking::OnsetSuggestion& Suggestion();
    // The same for any channel (the record section shows them all).
    const picking::OnsetSuggestion& SuggestionFor(int channel);
    // The suggestion becomes the pick: its time and polarity (the operator
    // is asked when that is uncertain). False when there is none.
    bool AcceptSuggestion();
    // A short window round the pick, or the suggestion where there is no
    // pick, with the amplitude scaled to what is visible. False when there
    // is neither.
    bool ZoomToOnset();
    // The band-pass view on or off; a filter the settings do not allow at
    // this record's rate stays off with a warning. The view's state after.
    bool SetViewFiltered(bool on);
    // The samples of the current channel as drawn (the record's own time:
    // sample i at i / rate).
    const std::vector<double>& ViewSamples();
    // The filter the view uses, from the preferences.
    picking::BandPassSettings ViewFilterSettings() const;
    // Whether the vertical axis follows the visible part of the trace.
    bool AmplitudeFitsView() const { return fitVisible_; }

    // ---- history of the pick changes (seismogramhistory.cpp)
    QUndoStack& History() const { return *history_; }
    // Puts sections back as they were and shows the change: `channel` (when
    // not -1) becomes the current channel.
    void RestoreSections(int channel, const std::vector<IniImage::SectionCopy>& sections);

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
    QAction* FilterButton() const { return filterButton_; }
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
    // Whether a click at column x is near enough to the suggestion's mark
    // to take it.
    bool NearSuggestion(int x);
    // The picking command of a key, or -1 (keys of the page "Sejsmogram").
    int PickingCommandOf(const QKeyEvent& key) const;
    // Asked when the first motion at a pick is uncertain.
    std::optional<picking::Polarity> AskPolarity(double t, const picking::FirstMotion& motion);
    // The trace's label texts: the pick's and the reason it will not be
    // used.
    QString PickLabel(const ChannelPick& pick) const;
    void MouseMove(int x);

    // Keys: the window looks at every key before its controls do.
    bool TakesKey(const QKeyEvent& key, bool inEditor) const;
    void HandleKey(const QKeyEvent& key);
    void ShowPageHelp();

    // Records the pick change that runs while it lives as one step of the
    // history: the sections named are copied before and after. Nested
    // records belong to the outermost.
    class PickChange;
    friend class PickChange;
    // The channel sections a change of the pick list may touch.
    std::vector<std::string> PickListSections() const;
    void UpdateModified();
    // The suggestion's mark, added to the graph after the trace.
    void AddSuggestionMarks();

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
    PolarityQuestion polarityQuestion_;

    int currentChannel_ = 0;
    TimeWindow window_;
    double verticalScale_ = 1.0;
    double channelMax_ = 0, channelMin_ = 0;
    TimeSelection selection_;
    bool modified_ = false;
    // Changes outside the pick history (the data page, the station table, a
    // new solution) since the last save.
    bool otherChanges_ = false;
    int recording_ = 0;
    // SetModified(true) came while a pick change was recorded.
    bool touched_ = false;
    QUndoStack* history_ = nullptr;
    // The view: band-pass on or off, the drawn samples of one channel and the
    // suggestions worked out so far.
    bool filtered_ = false;
    bool fitVisible_ = false;
    struct ViewCache {
        int channel = -1;
        bool filtered = false;
        picking::BandPassSettings filter;
        std::vector<double> samples;
    } view_;
    std::map<int, picking::OnsetSuggestion> suggestions_;
    // Whether the channel's pick already stands on the suggestion (its mark
    // then says it all).
    bool SuggestionTaken(int channel, const picking::OnsetSuggestion& suggestion) const;
    // The graph column (control pixels) the mouse was last over; none once
    // it left the graph.
    std::optional<int> mouseX_;
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
    QAction* filterButton_ = nullptr;
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
