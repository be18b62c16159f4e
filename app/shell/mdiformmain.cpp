#include "mdiformmain.h"

#include "app/seismogram/sampletablename.h"
#include "app/settings/modalformpreferences.h"
#include "app/solver/processing.h"
#include "app/solver/runfolder.h"
#include "app/solver/workdirectory.h"
#include "app/widgets/commandtable.h"
#include "app/widgets/helpsystem.h"
#include "app/widgets/icons.h"
#include "app/widgets/messageboxes.h"
#include "app/widgets/qtconvert.h"
#include "app/widgets/wagespinbox.h"
#include "common/product.h"
#include "common/textfile.h"
#include "registration.h"
#include "unsavedchanges.h"
#include "wizytowka.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QSessionManager>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <stdexcept>

namespace dyma::gui {

namespace {

// Commands that act on the seismogram window and follow its presence.
const char* const kSeismogramCommands[] = {
    "mFirstSeismogram", "mPreviousSeismogram", "mNextSeismogram", "mLastSeismogram", "mFastBackward",
    "mSlowBackward",    "mSlowForward",        "mFastForward",    "m5Seconds",       "m10Seconds",
    "mStretch",         "mShrink",             "mCancelStretch",  "mZoomIn",         "mZoomOut",
    "bFirstSeismogram", "bPreviousSeismogram", "bNextSeismogram", "bLastSeismogram", "bFastBackward",
    "bSlowBackward",    "bSlowForward",        "bFastForward",    "b5Seconds",       "b10Seconds",
    "bStretch",         "bShrink",             "bCancelStretch",  "bZoomIn",         "bZoomOut",
    "mDirectWave",      "mAWave",              "mBWave",          "DirectWave",      "AWave",
    "BWave",            "bRemoveMarker",      "mPolarityPlus",   "mPolarityMinus",  "mPlaceAtMouse",
    "mRemovePick",      "mAcceptSuggestion",  "mZoomToOnset",    "mFilter",         "mWeight10",
    "mWeight20",        "mWeight30",          "mWeight40",       "mWeight50",       "mWeight60",
    "mWeight70",        "mWeight80",          "mWeight90",       "mWeight100",
};
const char* const kArrangeCommands[] = {"mArrange", "mCascade", "mHorizontal", "mVertical"};

const QString kNoSeismogram = QStringLiteral("Brak sejsmogramu");

int TagOf(const QObject* sender) { return sender ? sender->property("tag").toInt() : -1; }

}  // namespace

TfmMain::TfmMain(std::string programDirectory, QWidget* parent)
    : QMainWindow(parent), programDirectory_(std::move(programDirectory)) {
    setObjectName("fmMain");
    setWindowTitle(QString::fromUtf8(kProductDisplay));
    setWindowIcon(ApplicationIcon());
    resize(799, 600);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("MDIClient");
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    auto* status = new QStatusBar(this);
    status->setObjectName("StatusBar1");
    setStatusBar(status);

    BuildCommands();
    BuildMenus();
    BuildToolbars();

    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] { TimerTimer(); });
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] { TimerTimer(); });
#ifndef QT_NO_SESSIONMANAGER
    // The end of the desktop session asks about unsaved changes as the
    // program's own close does; "Anuluj" asks the session to go on.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!manager.allowsInteraction()) return;  // nobody may be asked
        const bool mayEnd = ConfirmCloseAll();
        manager.release();
        if (!mayEnd) manager.cancel();
    });
#endif

    // The other two long-lived windows of the run, in this order.
    fmPreferences_ = std::make_unique<TfmPreferences>(programDirectory_, this);
    fmProcessing_ = std::make_unique<TfmProcessing>(this);
}

TfmMain::~TfmMain() {
    timer_.stop();
    // The children may still talk to this window while they go.
    delete mdiArea_;
    mdiArea_ = nullptr;
    // The run folders' locks go with them; their files are left to the next
    // start when the program ends without its close.
    runFolders_.clear();
}

void TfmMain::BuildCommands() {
    for (const MenuCommand& c : MenuCommands()) {
        auto* action = new QAction(QString::fromUtf8(c.caption), this);
        action->setObjectName(c.name);
        action->setStatusTip(QString::fromUtf8(c.hint));
        action->setToolTip(QString::fromUtf8(*c.hint ? c.hint : c.caption));
        action->setShortcuts(c.shortcuts);
        if (c.tag) action->setProperty("tag", *c.tag);
        const int handler = int(c.handler);
        connect(action, &QAction::triggered, this, [this, handler, action] { Dispatch(handler, action); });
        addAction(action);  // shortcuts work wherever the focus is in this window
    }
    auto* waveMenu = new QActionGroup(this);
    const char* waveMenuNames[] = {"mDirectWave", "mAWave", "mBWave"};
    for (int i = 0; i < 3; ++i) {
        QAction* item = Action(waveMenuNames[i]);
        item->setCheckable(true);
        waveMenu->addAction(item);
        picking_.waveMenuItems[i] = item;
    }
    picking_.waveMenuItems[0]->setChecked(true);
    picking_.filter = Action("mFilter");
    picking_.filter->setCheckable(true);
}

QAction* TfmMain::Action(const QString& name) const { return findChild<QAction*>(name, Qt::FindDirectChildrenOnly); }

void TfmMain::BuildMenus() {
    for (const MenuLayout& layout : MenuStructure()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(layout.title));
        for (const char* item : layout.items) {
            if (item) menu->addAction(Action(item));
            else menu->addSeparator();
        }
        if (std::string_view(layout.title) == "Widok") {
            // The list of open child windows follows the four commands.
            windowMenu_ = menu;
            connect(menu, &QMenu::aboutToShow, this, [this] { FillWindowMenu(); });
        }
    }
}

QAction* TfmMain::MakeButton(QToolBar* bar, const ButtonCommand& command) {
    auto* action = new QAction(ToolIcon(command.icon),
                               QString::fromUtf8(*command.caption ? command.caption : command.hint), this);
    action->setObjectName(command.name);
    action->setToolTip(QString::fromUtf8(command.hint));
    action->setStatusTip(QString::fromUtf8(command.hint));
    if (command.tag) action->setProperty("tag", *command.tag);
    const int handler = int(command.handler);
    connect(action, &QAction::triggered, this, [this, handler, action] { Dispatch(handler, action); });
    bar->addAction(action);
    return action;
}

void TfmMain::BuildToolbars() {
    auto addBar = [this](const char* name, const QString& title) {
        auto* bar = new QToolBar(title, this);
        bar->setObjectName(name);
        bar->setIconSize(QSize(24, 24));
        addToolBar(Qt::TopToolBarArea, bar);
        return bar;
    };
    QToolBar* file = addBar("ToolBar2", QStringLiteral("Plik"));
    for (const ButtonCommand& c : FileToolbar()) {
        if (c.name) MakeButton(file, c);
        else file->addSeparator();
    }
    QToolBar* seismogram = addBar("ToolBar1", QStringLiteral("Sejsmogram"));
    for (const ButtonCommand& c : SeismogramToolbar()) {
        if (c.name) MakeButton(seismogram, c);
        else seismogram->addSeparator();
    }

    // The picking bar gets a row of its own so that it never folds away
    // behind the other two on a narrow screen.
    addToolBarBreak(Qt::TopToolBarArea);
    QToolBar* picking = addBar("ToolBar3", QStringLiteral("Markery"));
    auto label = [this, picking](const char* name, const QString& text) {
        auto* l = new QLabel(text, picking);
        l->setObjectName(name);
        picking->addWidget(l);
        return l;
    };
    picking_.Label3 = label("Label3", QStringLiteral("Kanał: "));
    picking_.Label2 = label("Label2", QStringLiteral("brak sejsmogramu"));
    picking_.Label2->setMinimumWidth(120);
    picking->addSeparator();
    auto* waves = new QActionGroup(this);
    for (int i = 0; i < 3; ++i) {
        QAction* button = MakeButton(picking, WaveButtons()[i]);
        button->setCheckable(true);
        waves->addAction(button);
        picking_.waveButtons[i] = button;
    }
    picking_.waveButtons[0]->setChecked(true);
    picking->addSeparator();
    picking_.CurrentWaveType = label("CurrentWaveType", QStringLiteral("-"));
    picking_.CurrentWaveType->setMinimumWidth(20);
    picking_.CurrentWaveType->setAlignment(Qt::AlignCenter);
    picking->addSeparator();
    picking_.Label18 = label("Label18", QStringLiteral("Waga:"));
    picking_.Wage = new TWageSpinBox(picking);
    picking_.Wage->setObjectName("Wage");
    picking_.Wage->BeforeStep = [this] { WageControllerChanging(); };
    connect(picking_.Wage, &QSpinBox::textChanged, this, [this] { WageChange(); });
    picking->addWidget(picking_.Wage);
    picking->addSeparator();
    picking_.bRemoveMarker = MakeButton(picking, RemoveMarkerButton());
    picking->addSeparator();
    // The menu item itself: one switch, shown in the menu and on the bar.
    picking_.filter->setIconText(QStringLiteral("Filtr"));
    picking->addAction(picking_.filter);
}

void TfmMain::Dispatch(int handler, QObject* sender) {
    switch (Handler(handler)) {
    case Handler::OpenFile: OpenFile(); break;
    case Handler::Zmiana: Zmiana(); break;
    case Handler::Export: Export(); break;
    case Handler::ExportQuakeML: ExportQuakeML(); break;
    case Handler::Import: Import(); break;
    case Handler::Preferences: mPreferencesClick(); break;
    case Handler::Print: mPrintClick(); break;
    case Handler::PrinterProperties: mPrinterPropertiesClick(); break;
    case Handler::Quit: close(); break;
    case Handler::Arrange: mArrangeClick(); break;
    case Handler::Cascade: mCascadeClick(); break;
    case Handler::Horizontal: mHorizontalClick(); break;
    case Handler::Vertical: mVerticalClick(); break;
    case Handler::ChildOperations: ChildOperations(sender); break;
    case Handler::BWaveClick: BWaveClick(sender); break;
    case Handler::RemoveMarker: bRemoveMarkerClick(sender); break;
    case Handler::PickingKey: PickingKey(sender); break;
    case Handler::Undo:
        if (SeismogramChild* s = ActiveSeismogram()) s->Undo();
        break;
    case Handler::Redo:
        if (SeismogramChild* s = ActiveSeismogram()) s->Redo();
        break;
    case Handler::DymaStart: mDymaStartClick(); break;
    case Handler::HelpSystem: HelpSystem(sender); break;
    }
}

// ---- children and the open-file list

QMdiSubWindow* TfmMain::AddChild(std::unique_ptr<QWidget> child) {
    QMdiSubWindow* sub = mdiArea_->addSubWindow(child.release());
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Every way a child window closes passes its close event here first.
    sub->installEventFilter(this);
    sub->show();
    mdiArea_->setActiveSubWindow(sub);
    refreshToolbars_ = true;
    return sub;
}

QWidget* TfmMain::ActiveChild() const {
    if (!mdiArea_) return nullptr;
    // activeSubWindow() is empty whenever the application is not active.
    QMdiSubWindow* sub = mdiArea_->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

SeismogramChild* TfmMain::ActiveSeismogram() const { return dynamic_cast<SeismogramChild*>(ActiveChild()); }

bool TfmMain::IsFileOpen(const std::string& name) const {
    if (name.empty()) return false;
    const std::string listed = CanonicalPath(name);
    return std::find(openFileList_.begin(), openFileList_.end(), listed) != openFileList_.end();
}

std::string TfmMain::AddOpenFile(const std::string& name) {
    std::string listed = CanonicalPath(name);
    openFileList_.push_back(listed);
    return listed;
}

void TfmMain::RemoveOpenFile(const std::string& name) {
    // The name as it was listed first: the file may have gone since.
    auto it = std::find(openFileList_.begin(), openFileList_.end(), name);
    if (it == openFileList_.end()) it = std::find(openFileList_.begin(), openFileList_.end(), CanonicalPath(name));
    if (it != openFileList_.end()) openFileList_.erase(it);
}

void TfmMain::SetDocumentCommands(DocumentCommands commands) {
    commands_ = std::move(commands);
    if (!commands_.openByFileName) return;
    const QStringList pending = std::exchange(pendingFiles_, {});
    for (const QString& path : pending) commands_.openByFileName(*this, path);
}

void TfmMain::OpenByFileName(const QString& path) {
    if (commands_.openByFileName) commands_.openByFileName(*this, path);
    else pendingFiles_ << path;
}

// ---- file commands

void TfmMain::OpenFile() {
    if (commands_.openFile) commands_.openFile(*this);
}

bool TfmMain::Zmiana() {
    SeismogramChild* seismogram = ActiveSeismogram();
    return seismogram && SaveChild(*seismogram);
}

bool TfmMain::SaveChild(SeismogramChild& child) {
    SeismogramChild* seismogram = &child;
    const QPointer<QWidget> window = dynamic_cast<QWidget*>(seismogram);
    QFileDialog dialog(this, QStringLiteral("Zapis pliku"), Q(Preferences().Directory(kSeismogramDir)));
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Plik programu Dyma (*.dym)"));
    dialog.setDefaultSuffix(QStringLiteral("dym"));
    dialog.selectFile(QFileInfo(Q(seismogram->DocumentFileName())).fileName());
    if (RunModal(dialog) != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return false;
    // The window may have closed while the dialog was open.
    if (!window) return false;
    return seismogram->SaveDocumentAs(S(QDir::toNativeSeparators(chosen.first())));
}

bool TfmMain::MayCloseChild(SeismogramChild& child) {
    if (closeConfirmed_) return true;
    const auto* window = dynamic_cast<const QWidget*>(&child);
    const std::string name =
        window ? S(window->windowTitle()) : S(QFileInfo(Q(child.DocumentFileName())).fileName());
    return ConfirmUnsavedChanges(child.Modified(), name, [this, &child] { return SaveChild(child); });
}

bool TfmMain::ConfirmCloseAll() {
    if (!mdiArea_) return true;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        auto* child = dynamic_cast<SeismogramChild*>(sub->widget());
        if (!child || !child->Modified()) continue;
        // The operator sees the document the question is about.
        mdiArea_->setActiveSubWindow(sub);
        if (!MayCloseChild(*child)) return false;
    }
    return true;
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(watched)) {
            auto* child = dynamic_cast<SeismogramChild*>(sub->widget());
            if (child && !MayCloseChild(*child)) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfmMain::Export() {
    if (commands_.exportReport) commands_.exportReport(*this);
}

void TfmMain::ExportQuakeML() {
    if (commands_.exportQuakeML) commands_.exportQuakeML(*this);
}

void TfmMain::Import() {
    if (commands_.import) commands_.import(*this);
}

void TfmMain::mPreferencesClick() { RunModal(Preferences()); }

void TfmMain::mPrintClick() {
    QPrintDialog dialog(&Printer(), this);
    dialog.setObjectName("PrintDialog1");
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (RunModal(dialog) != QDialog::Accepted) return;
    SeismogramChild* seismogram = ActiveSeismogram();
    if (!seismogram) return;
    SolutionRecord* solution = seismogram->Solution();
    if (solution && solution->Exists && commands_.printSolution) commands_.printSolution(*this, *solution, Printer());
}

QPrinter& TfmMain::Printer() {
    // The page is laid out in the printer's own pixels (screen resolution
    // would print the sphere as a coarse bitmap).
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void TfmMain::mPrinterPropertiesClick() {
    QPageSetupDialog dialog(&Printer(), this);
    dialog.setObjectName("PrinterSetupDialog1");
    RunModal(dialog);
}

void TfmMain::mDymaStartClick() {
    if (commands_.startProcessing) commands_.startProcessing(*this);
}

// ---- window arrangement

void TfmMain::mArrangeClick() {
    // The icons of minimised children go in rows along the bottom edge.
    int x = 0, y = mdiArea_->viewport()->height();
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        if (!sub->isMinimized()) continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > mdiArea_->viewport()->width()) {
            x = 0;
            y -= size.height();
        }
        sub->move(x, y - size.height());
        x += size.width();
    }
}

void TfmMain::mCascadeClick() { mdiArea_->cascadeSubWindows(); }

namespace {
// Tiles the children that are not minimised: one above the other
// (horizontal tiling) or side by side (vertical tiling).
void Tile(QMdiArea& area, bool horizontal) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : area.subWindowList())
        if (sub->isVisible() && !sub->isMinimized()) windows << sub;
    if (windows.isEmpty()) return;
    const QRect client = area.viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (horizontal) {
            const int top = client.height() * i / n, bottom = client.height() * (i + 1) / n;
            windows[i]->setGeometry(0, top, client.width(), bottom - top);
        } else {
            const int left = client.width() * i / n, right = client.width() * (i + 1) / n;
            windows[i]->setGeometry(left, 0, right - left, client.height());
        }
    }
}
}  // namespace

void TfmMain::mHorizontalClick() { Tile(*mdiArea_, true); }
void TfmMain::mVerticalClick() { Tile(*mdiArea_, false); }

void TfmMain::FillWindowMenu() {
    for (QAction* action : windowListActions_) {
        windowMenu_->removeAction(action);
        delete action;
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (windows.isEmpty()) return;
    windowListActions_.push_back(windowMenu_->addSeparator());
    int number = 1;
    for (QMdiSubWindow* sub : windows) {
        QAction* item = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(number++).arg(sub->windowTitle()));
        item->setCheckable(true);
        item->setChecked(sub == mdiArea_->currentSubWindow());
        connect(item, &QAction::triggered, this, [this, sub] { mdiArea_->setActiveSubWindow(sub); });
        windowListActions_.push_back(item);
    }
}

// ---- forwarding to the active seismogram window

void TfmMain::ChildOperations(QObject* sender) {
    SeismogramChild* s = ActiveSeismogram();
    if (!s) return;
    // The vertical step is read from the preferences at every command.
    const double step = Preferences().Values().MagnificationFactorY * 0.01;
    switch (TagOf(sender)) {
    case 0: s->FirstChannel(); break;
    case 1: s->PreviousChannel(); break;
    case 2: s->NextChannel(); break;
    case 3: s->LastChannel(); break;
    case 10: s->MoveTimeWindow(kFastBackward); break;
    case 11: s->MoveTimeWindow(kSlowBackward); break;
    case 12: s->MoveTimeWindow(kSlowForward); break;
    case 13: s->MoveTimeWindow(kFastForward); break;
    case 20: s->MoveTimeWindow(kFirst5Seconds); break;
    case 21: s->MoveTimeWindow(kFirst10Seconds); break;
    case 30: s->ScaleVertical(-step); break;
    case 31: s->ScaleVertical(step); break;
    case 32: s->ScaleVertical(0.0); break;
    case 40: s->ZoomIn(); break;
    case 41: s->ZoomOut(); break;
    default: break;
    }
}

void TfmMain::BWaveClick(QObject* sender) {
    if (SeismogramChild* s = ActiveSeismogram()) s->BWaveClick(sender);
}

void TfmMain::WageChange() {
    if (SeismogramChild* s = ActiveSeismogram()) s->WageChange(picking_.Wage);
}

void TfmMain::WageControllerChanging() {
    // The window gets a permission flag of its own; the up-down steps
    // whatever it answers.
    bool allowChange = true;
    if (SeismogramChild* s = ActiveSeismogram()) s->WageControllerChanging(allowChange);
}

void TfmMain::bRemoveMarkerClick(QObject* sender) {
    if (SeismogramChild* s = ActiveSeismogram()) s->bRemoveMarkerClick(sender);
}

void TfmMain::PickingKey(QObject* sender) {
    SeismogramChild* s = ActiveSeismogram();
    if (s) s->PickingKey(TagOf(sender));
    // The switch shows the window's view, whatever became of the toggle.
    picking_.filter->setChecked(s && s->ViewFiltered());
}

// ---- command states

void TfmMain::TimerTimer() {
    // The arrangement commands follow the number of children at every tick:
    // a result window opening does not change the kind of the active child.
    const bool anyChild = mdiArea_ && !mdiArea_->subWindowList().isEmpty();
    for (const char* name : kArrangeCommands) Action(name)->setEnabled(anyChild);

    SeismogramChild* seismogram = ActiveSeismogram();
    QWidget* active = ActiveChild();
    activeChildKind_ = seismogram ? 0 : 1;
    // Another window of the same kind has states of its own (one modified,
    // the other not): every change of the active child applies them.
    if (activeChildKind_ == shownChildKind_ && active == shownChild_ && !refreshToolbars_) return;
    refreshToolbars_ = false;
    shownChildKind_ = activeChildKind_;
    shownChild_ = active;
    ApplyCommandStates(seismogram);
}

void TfmMain::ApplyCommandStates(SeismogramChild* s) {
    const bool on = s != nullptr;
    for (const char* name : kSeismogramCommands) Action(name)->setEnabled(on);
    for (QWidget* w : std::initializer_list<QWidget*>{picking_.Wage, picking_.Label2, picking_.Label3,
                                                      picking_.CurrentWaveType, picking_.Label18})
        w->setEnabled(on);
    Action("mDymaStart")->setEnabled(on && s->ReadyToProcess());
    Action("mUndo")->setEnabled(on && s->CanUndo());
    Action("mRedo")->setEnabled(on && s->CanRedo());
    picking_.filter->setChecked(on && s->ViewFiltered());
    const bool result = on && s->ResultShown();
    for (const char* name : {"mExport", "bExport", "mExportQuakeML", "mPrint", "bPrint"})
        Action(name)->setEnabled(result);
    const bool modified = on && s->Modified();
    for (const char* name : {"mSave", "bSave"}) Action(name)->setEnabled(modified);
    if (!on) {
        picking_.Label2->setText(kNoSeismogram);
        picking_.CurrentWaveType->setText(QStringLiteral("-"));
    }
}

// ---- help

void TfmMain::HelpSystem(QObject* sender) {
    switch (TagOf(sender)) {
    case 0: ApplicationHelp().ShowContext(help::kContents); break;
    case 1: OpenReadmeFile(QStringLiteral("readme.txt")); break;
    case 2: OpenReadmeFile(QStringLiteral("historia.txt")); break;
    case 3: OpenDocumentationPage(QStringLiteral("autor.html")); break;
    case 4: OpenDocumentationPage(QStringLiteral("projekt.html")); break;
    case 5: {
        TfmWizytowka about(this);
        RunModal(about);
        break;
    }
    default: break;
    }
}

void TfmMain::OpenReadmeFile(const QString& name) {
    // Looked up beside the program, whatever the current directory is.
    const QString path = QDir::toNativeSeparators(QDir(Q(programDirectory_)).filePath(name));
    if (QFileInfo(path).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return;
    ShowWarning(QStringLiteral("Program nie mogl otworzyć pliku: ") + path + QStringLiteral("."));
}

void TfmMain::OpenDocumentationPage(const QString& name) {
    const QString path = QDir(QDir(Q(programDirectory_)).filePath(QStringLiteral("help"))).filePath(name);
    const QUrl address = QUrl::fromLocalFile(path);
    if (QFileInfo(path).isFile() && QDesktopServices::openUrl(address)) return;
    ShowWarning(QStringLiteral("Strona WWW: ") + address.toString() + QStringLiteral(" nie została otworzona."));
}

// ---- show, hide, close

void TfmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfmMain::FormShow() {
    try {
        ApplicationHelp().SetHelpDirectory(Q(DirectoryLookup(Preferences().Values(), programDirectory_, kProgramDir,
                                                             "help")));
        Preferences().LoadSettings();
        if (Preferences().Values().RecoverRegistryEntries || GlobalFlags().FirstTime) {
            // A failed registration is reported and the start goes on: it
            // has nothing to do with the directories below.
            try {
                RegisterProjectFileType();
            } catch (const std::exception& e) {
                ShowWarning(QString::fromUtf8(e.what()));
            }
        }
        const Settings& s = Preferences().Values();
        for (const std::string* dir : {&s.TempDirectory, &s.SeismogramDirectory, &s.OutputDirectory}) {
            if (!QDir().mkpath(Q(*dir))) throw std::runtime_error(*dir);
        }
        SweepEndedRuns();
    } catch (const std::exception& e) {
        ShowWarning(QStringLiteral("Nie mogę otworzyć katalogu ") + QString::fromUtf8(e.what()) +
                    QStringLiteral(". Program zostanie zamknięty."));
        terminateRequested_ = true;
        // Queued: the start-up may still be before the event loop runs.
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    timer_.start();
    activeChildKind_ = 1;
    shownChildKind_ = 1;
    refreshToolbars_ = true;
}

void TfmMain::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (!event->spontaneous()) timer_.stop();
}

void TfmMain::closeEvent(QCloseEvent* event) {
    // The operator answers for every modified document first; "Anuluj"
    // keeps all of them open.
    if (!ConfirmCloseAll()) {
        event->ignore();
        return;
    }
    // The children go first: a seismogram window removes its names from the
    // open-file list and lets go of its files in the temporary directory.
    closeConfirmed_ = true;
    mdiArea_->closeAllSubWindows();
    closeConfirmed_ = false;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        if (sub->isVisible()) {
            event->ignore();
            return;
        }
    }
    // Closed children are deleted later by the event loop; delete them now so
    // that their sample tables are closed before the folder is emptied.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    openFileList_.clear();
    EndRunFolders();
    // The program ends with its main window: the help viewer would keep it
    // running without one.
    CloseApplicationHelp();
    event->accept();
}

void TfmMain::SweepEndedRuns() {
    // Folders of runs that were killed, or ended keeping their files: the
    // program's own files in them go, nothing else.
    dyma::SweepEndedRuns(Preferences().Directory(kTempDir), kProgramRunPrefix);
}

void TfmMain::EndRunFolders() {
    if (Preferences().Values().RemoveTempDir) {
        CleanTemporaryDirectory();
        for (const auto& folder : runFolders_) folder->Remove();
    }
    // Otherwise the files stay, until the next start sweeps them.
    runFolders_.clear();
}

std::string TfmMain::RunDirectory() {
    const std::string base = Preferences().Directory(kTempDir);
    if (runFolders_.empty() || runFolders_.back()->Base() != base) {
        QDir().mkpath(Q(base));
        runFolders_.push_back(std::make_unique<RunFolder>(base, kProgramRunPrefix));
    }
    return runFolders_.back()->Path();
}

bool TfmMain::CleanTemporaryDirectory() {
    const TfmPreferences& prefs = Preferences();
    ProtectedDirectories guarded;
    guarded.home = UserHomeDirectory();
    guarded.program = programDirectory_;
    guarded.repository = prefs.Directory(kRepositoryDir);
    guarded.seismograms = prefs.Directory(kSeismogramDir);
    guarded.output = prefs.Directory(kOutputDir);
    guarded.openDocuments = openFileList_;
    std::vector<std::string> folders;
    for (const auto& folder : runFolders_) folders.push_back(folder->Path());
    for (const std::string& directory : folders) {
        if (const std::string refusal = CleanRefusal(directory, guarded); !refusal.empty()) {
            ShowWarning(Q(refusal));
            return false;
        }
    }
    TfmProcessing& box = Processing();
    box.ShowProcessing(QStringLiteral("Usuwanie plików z katalogu tymczasowego"),
                       QStringLiteral("Usuwanie plików tymczasowych"));
    // A short pause a file, so that the operator sees what goes.
    for (const std::string& directory : folders) {
        dyma::CleanTemporaryDirectory(
            directory, guarded,
            [&box](const std::string& path) {
                box.SetProcessingText(Q(path));
                QThread::msleep(10);
            },
            // The sample tables of open seismograms.
            [](const std::string& path) { return SampleTableName::Taken(path); });
    }
    box.HideProcessing();
    return true;
}

}  // namespace dyma::gui
