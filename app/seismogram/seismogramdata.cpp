// TfmSeismogram: the station table ("Sieć"), the tremor data ("Dane") with
// the event location file, the solution page ("Rozwiązanie") and the save.
#include "app/document/projectlock.h"
#include "app/results/solutionpanel.h"
#include "app/seismogram/childformseismogram.h"
#include "app/seismogram/locationfile.h"
#include "app/seismogram/signalchannels.h"
#include "app/settings/colourpanel.h"
#include "app/settings/modalformpreferences.h"
#include "app/settings/numbercheck.h"
#include "app/widgets/mainwindowlink.h"
#include "app/widgets/messageboxes.h"
#include "app/widgets/qtconvert.h"
#include "common/daycount.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "kelsig/signalprocessing.h"
#include "lgsig/lgsig.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace dyma::gui {

namespace {

// The tremor's coordinates and range, with their captions and units.
struct NumberField {
    const char* name;
    const char* caption;
    const char* unit;
};
constexpr NumberField kLocationFields[] = {
    {"X", "Współrzędna X:", "[m]"}, {"Y", "Współrzędna Y:", "[m]"}, {"Z", "Współrzędna Z:", "[m]"}};
constexpr NumberField kRangeField = {"Zakres", "Zakres pomiarowy:", "[mV]"};

QLabel* Caption(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

// The data page is dense: its groups keep tight margins so that all of it
// can be read at the window's first size.
constexpr int kGroupMargin = 6;
constexpr int kGroupSpacing = 4;
// Wide enough for a coordinate such as "-12345.678".
constexpr int kNumberEditMinimum = 80;

// A caption column and a field column; a field that does not fit beside
// its caption goes under it, so no caption is ever cut.
QFormLayout* Form(QWidget* group, int margin = kGroupMargin) {
    auto* form = new QFormLayout(group);
    form->setContentsMargins(margin, margin, margin, margin);
    form->setHorizontalSpacing(6);
    form->setVerticalSpacing(kGroupSpacing);
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return form;
}

// The record's start, or "b.d." when the header's date or time lies outside
// what a record can hold (a header of zeros, a damaged file).
QString DateTimeText(double date, double time) {
    if (!IsShownDate(date) || !IsShownTime(time)) return QStringLiteral("b.d.");
    const CivilDateTime t = DecodeDateTime(date + time);
    return QStringLiteral("%1-%2-%3 %4:%5:%6.%7")
        .arg(t.year, 4, 10, QLatin1Char('0'))
        .arg(t.month, 2, 10, QLatin1Char('0'))
        .arg(t.day, 2, 10, QLatin1Char('0'))
        .arg(t.hour, 2, 10, QLatin1Char('0'))
        .arg(t.minute, 2, 10, QLatin1Char('0'))
        .arg(t.second, 2, 10, QLatin1Char('0'))
        .arg(t.millisecond, 3, 10, QLatin1Char('0'));
}

QString SwappedPolarity(const QString& text) {
    return text == QLatin1String("Norm") ? QStringLiteral("Rev") : QStringLiteral("Norm");
}

}  // namespace

// ------------------------------------------------------------------ building the pages

QWidget* TfmSeismogram::BuildNetworkPage() {
    auto* page = new QWidget;
    page->setObjectName("tabSiec");
    netInfo_ = MakeList("NetInfo", kStationTableColumns, page);
    // Every press in the polarity column toggles; the second press of a
    // double click arrives as the double click.
    auto toggle = [this](QTreeWidgetItem* item, int column) {
        if (item && column == int(kPolarityColumn)) TogglePolarity(netInfo_->indexOfTopLevelItem(item));
    };
    connect(netInfo_, &QTreeWidget::itemPressed, this, toggle);
    connect(netInfo_, &QTreeWidget::itemDoubleClicked, this, toggle);
    auto* reverse = new QPushButton(QStringLiteral("Odwróc polaryzację"), page);
    reverse->setObjectName("bReversePolarity");
    connect(reverse, &QPushButton::clicked, this, [this] { ReverseAllPolarities(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(reverse);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(netInfo_, 1);
    layout->addLayout(buttons);
    return page;
}

QWidget* TfmSeismogram::BuildDataPage() {
    auto* page = new QWidget;
    page->setObjectName("tabDane");
    // Everything is laid out to be read whole at the window's first size;
    // should a larger font not fit, the page scrolls rather than cutting
    // its texts.
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName("DataScroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* content = new QWidget;
    content->setObjectName("DataContent");
    scroll->setWidget(content);
    // The page's own background shows through.
    scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(scroll);

    // A number edit with its unit; `row` takes both.
    auto numberEdit = [this](const NumberField& field, QHBoxLayout* row, QWidget* parent) {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(field.name);
        edit->setMinimumWidth(kNumberEditMinimum);
        edit->setMaximumWidth(140);
        // The check runs when the edit is left; the document counts as
        // changed either way.
        numberCheck_->Watch(*edit, [this] { DataEdited(); });
        row->setSpacing(4);
        row->addWidget(edit, 1);
        row->addWidget(Caption(QString::fromUtf8(field.unit), parent));
        return edit;
    };
    auto textEdit = [this](const char* name, QWidget* parent) {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(name);
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!filling_) SetModified(true);
        });
        return edit;
    };
    auto factLabel = [](const char* name, QWidget* parent) {
        auto* label = new QLabel(parent);
        label->setObjectName(name);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };

    auto* location = new QGroupBox(QStringLiteral("Lokalizacja wstrząsu:"), content);
    location->setObjectName("GroupBox1");
    auto* locationForm = Form(location);
    for (const NumberField& field : kLocationFields) {
        auto* row = new QHBoxLayout;
        numberEdit(field, row, location);
        locationForm->addRow(Caption(QString::fromUtf8(field.caption), location), row);
    }
    auto* hint = Caption(QStringLiteral("Ujemna wartość Z dla zjawisk poniżej poziomu morza"), location);
    hint->setObjectName("ZHint");
    hint->setWordWrap(true);
    locationForm->addRow(hint);

    auto* facts = new QGroupBox(QStringLiteral("Dane wstrząsu:"), content);
    facts->setObjectName("GroupBox2");
    auto* factsForm = Form(facts);
    datetime_ = factLabel("Datetime", facts);
    sampleFrequency_ = factLabel("SampleFrequency", facts);
    fileType_ = factLabel("FileType", facts);
    channelNumber_ = factLabel("ChannelNumber", facts);
    const std::pair<const char*, QLabel*> factRows[] = {{"Data i czas zjawiska:", datetime_},
                                                        {"Częstotliwość próbkowania:", sampleFrequency_},
                                                        {"Rozpoznany typ pliku:", fileType_},
                                                        {"Liczba kanałów w pliku:", channelNumber_}};
    for (const auto& [caption, label] : factRows) factsForm->addRow(Caption(QString::fromUtf8(caption), facts), label);

    auto* authorship = new QGroupBox(QStringLiteral("Autoryzacja i komentarze:"), content);
    authorship->setObjectName("GroupBox3");
    auto* authorLayout = new QVBoxLayout(authorship);
    authorLayout->setContentsMargins(kGroupMargin, kGroupMargin, kGroupMargin, kGroupMargin);
    authorLayout->setSpacing(kGroupSpacing);
    auto* authorForm = Form(nullptr, 0);
    authorForm->addRow(Caption(QStringLiteral("Operator:"), authorship), textEdit("Operator", authorship));
    authorForm->addRow(Caption(QStringLiteral("Informacje dodatkowe:"), authorship), textEdit("AddInfo", authorship));
    authorLayout->addLayout(authorForm);
    // The notes take the group's whole width under their caption.
    authorLayout->addWidget(Caption(QStringLiteral("Notatki:"), authorship));
    notes_ = new QPlainTextEdit(authorship);
    notes_->setObjectName("Notes");
    // At least three lines, and whatever height the page has left: its
    // preferred height would make the page taller than the window.
    notes_->setMinimumHeight(3 * notes_->fontMetrics().lineSpacing() + 8);
    notes_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    connect(notes_, &QPlainTextEdit::textChanged, this, [this] {
        if (!filling_) SetModified(true);
    });
    authorLayout->addWidget(notes_, 1);

    auto* extra = new QGroupBox(QStringLiteral("Dodatkowe parametry:"), content);
    extra->setObjectName("GroupBox4");
    auto* extraLayout = new QVBoxLayout(extra);
    extraLayout->setContentsMargins(kGroupMargin, kGroupMargin, kGroupMargin, kGroupMargin);
    extraLayout->setSpacing(kGroupSpacing);
    plusColor_ = new TColourPanel(QStringLiteral("Kolor stacji \"dodatniej\""), extra);
    plusColor_->setObjectName("PlusColor");
    minusColor_ = new TColourPanel(QStringLiteral("Kolor stacji \"ujemnej\""), extra);
    minusColor_->setObjectName("MinusColor");
    for (TColourPanel* panel : {plusColor_, minusColor_}) {
        panel->Clicked = [this, panel] { ChooseColour(*panel); };
        extraLayout->addWidget(panel);
    }
    reversePolarization_ = new QCheckBox(QStringLiteral("Odwróc polaryzację wszystkich stacji"), extra);
    reversePolarization_->setObjectName("ReversePolarization");
    // The tick is part of the document: changing it is a change to save.
    connect(reversePolarization_, &QCheckBox::toggled, this, [this] {
        if (!filling_) SetModified(true);
    });
    auto* readDbs = new QPushButton(QStringLiteral("Wczytaj plik DBS"), extra);
    readDbs->setObjectName("Button2");
    connect(readDbs, &QPushButton::clicked, this, [this] { ReadLocationFile(); });
    extraLayout->addWidget(reversePolarization_);
    // The measuring range is the operator's to set, like the rest here;
    // the group beside it holds what the file itself says.
    auto* range = new QHBoxLayout;
    range->addWidget(Caption(QString::fromUtf8(kRangeField.caption), extra));
    numberEdit(kRangeField, range, extra);
    range->addStretch(1);
    extraLayout->addLayout(range);
    extraLayout->addWidget(readDbs, 0, Qt::AlignLeft);
    extraLayout->addStretch(1);

    // Two columns: where the tremor is and what is said about it on the
    // left, what the file says and the display on the right.
    auto* grid = new QGridLayout(content);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(6);
    grid->addWidget(location, 0, 0);
    grid->addWidget(facts, 0, 1);
    grid->addWidget(authorship, 1, 0);
    grid->addWidget(extra, 1, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget* TfmSeismogram::BuildSolutionPage() {
    auto* page = new QWidget;
    page->setObjectName("tabWynik");
    sphere_ = new TSphereView(page);
    solutionPanel_ = new TSolutionPanel(341, TSolutionPanel::CoordinateNames::XXYYZZ, page);
    solutionPanel_->Attach(*sphere_);
    sphere_->SetImageDirectory(Q(owner_.Preferences().Directory(kOutputDir)));
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(sphere_, 1);
    layout->addWidget(solutionPanel_);
    return page;
}

QLineEdit* TfmSeismogram::DataEdit(const char* name) const {
    return pages_->widget(kPageData)->findChild<QLineEdit*>(QString::fromLatin1(name));
}

// ------------------------------------------------------------------ the data page

void TfmSeismogram::LoadHeader() {
    const DataPageValues page = dyma::LoadHeader(*image_, owner_.Preferences().Values(), LocaleDecimalSeparator());
    filling_ = true;
    DataEdit("X")->setText(Q(page.X));
    DataEdit("Y")->setText(Q(page.Y));
    DataEdit("Z")->setText(Q(page.Z));
    reversePolarization_->setChecked(page.ReversePolarization);
    DataEdit("Zakres")->setText(Q(page.Zakres));
    DataEdit("AddInfo")->setText(Q(page.Description));
    DataEdit("Operator")->setText(Q(page.Operator));
    QStringList notes;
    for (const std::string& line : page.Notes) notes << Q(line);
    notes_->setPlainText(notes.join(QLatin1Char('\n')));
    plusColor_->SetValue(page.PlusColor);
    minusColor_->SetValue(page.MinusColor);
    // A text longer than its edit is shown from its beginning.
    for (const char* name : {"X", "Y", "Z", "Zakres", "AddInfo", "Operator"}) DataEdit(name)->setCursorPosition(0);
    filling_ = false;
    // The pick list follows at construction, once the channels are known.
}

DataPageValues TfmSeismogram::DataPage() const {
    DataPageValues page;
    page.X = S(DataEdit("X")->text());
    page.Y = S(DataEdit("Y")->text());
    page.Z = S(DataEdit("Z")->text());
    page.Zakres = S(DataEdit("Zakres")->text());
    page.Description = S(DataEdit("AddInfo")->text());
    page.Operator = S(DataEdit("Operator")->text());
    // An empty memo has no lines.
    const QString notes = notes_->toPlainText();
    if (!notes.isEmpty())
        for (const QString& line : notes.split(QLatin1Char('\n'))) page.Notes.push_back(S(line));
    page.PlusColor = plusColor_->Value();
    page.MinusColor = minusColor_->Value();
    page.ReversePolarization = reversePolarization_->isChecked();
    return page;
}

DataPageValues TfmSeismogram::TremorPosition() const {
    DataPageValues page;
    const char sep = LocaleDecimalSeparator();
    page.X = FloatToStr(DataNumber("X"), sep);
    page.Y = FloatToStr(DataNumber("Y"), sep);
    page.Z = FloatToStr(DataNumber("Z"), sep);
    return page;
}

void TfmSeismogram::DataEdited() {
    SetModified(true);
    UpdateChannelInfo();
}

void TfmSeismogram::ChooseColour(TColourPanel& panel) {
    QColorDialog& dialog = owner_.Preferences().ColorDialog();
    dialog.setCurrentColor(ToQColor(panel.Value()));
    if (RunModal(dialog) == QDialog::Accepted && dialog.currentColor().isValid())
        panel.SetValue(FromQColor(dialog.currentColor()));
    SetModified(true);
}

void TfmSeismogram::ReadLocationFile() {
    QFileDialog dialog(this, QStringLiteral("Odczytaj plik lokalizacji"),
                       Q(owner_.Preferences().Directory(kSeismogramDir)));
    dialog.setObjectName("LoadDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("Plik lokalizacji (*.dbs *.DBS)"));
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const std::optional<LocationRecord> record = dyma::ReadLocationFile(S(dialog.selectedFiles().first()));
    if (!record) return;
    const char sep = LocaleDecimalSeparator();
    auto coordinates = [&] {
        filling_ = true;
        DataEdit("X")->setText(Q(FloatToStr(record->X, sep)));
        DataEdit("Y")->setText(Q(FloatToStr(record->Y, sep)));
        DataEdit("Z")->setText(Q(FloatToStr(record->Z, sep)));
        filling_ = false;
    };
    if (record->layout == kLocationLayoutShort) coordinates();
    // Each appended line is a change of the notes, and marks the document.
    for (const std::string& line : LocationNoteLines(*record, sep)) notes_->appendPlainText(Q(line));
    if (record->layout != kLocationLayoutShort) coordinates();
    UpdateChannelInfo();
}

// ------------------------------------------------------------------ the station table

void TfmSeismogram::FillStationTable() {
    sampleFrequency_->setText(QString::number(signal_->GetSamplingRate(0)) + QStringLiteral(" [Hz] "));
    channelNumber_->setText(QString::number(signal_->GetChannelCount()));
    const SignalDescription description = DescribeSignal(*signal_);
    datetime_->setText(DateTimeText(description.StartDate, description.StartTime));
    fileType_->setText(Q(description.FormatName));
    // Counts of the district's files are scaled by the measuring range,
    // as it stands when the signal is opened.
    ApplyMeasuringRange(*signal_, DataNumber("Zakres"));
    channels_ = ReadChannelFacts(*signal_);
    EnsureChannelPolarities(*image_, channels_);
    netInfo_->clear();
    for (const auto& cells : StationTableRows(*image_, channels_, LocaleDecimalSeparator())) {
        auto* item = new QTreeWidgetItem(netInfo_);
        for (int c = 0; c < int(cells.size()); ++c) item->setText(c, Q(cells[size_t(c)]));
    }
    FitColumns();
}

void TfmSeismogram::TogglePolarity(int row) {
    QTreeWidgetItem* item = netInfo_->topLevelItem(row);
    if (!item) return;
    const QString text = SwappedPolarity(item->text(int(kPolarityColumn)));
    item->setText(int(kPolarityColumn), text);
    const int ident = int(StrToInt(S(item->text(1))));
    image_->WriteInteger(ChannelSection(ident), "Polarity", text == QLatin1String("Norm") ? 1 : -1);
    SetModified(true);
}

void TfmSeismogram::ReverseAllPolarities() {
    for (int row = 0; row < netInfo_->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = netInfo_->topLevelItem(row);
        item->setText(int(kPolarityColumn), SwappedPolarity(item->text(int(kPolarityColumn))));
        const std::string section = ChannelSection(int(StrToInt(S(item->text(1)))));
        image_->WriteInteger(section, "Polarity", -image_->ReadInteger(section, "Polarity", 1));
    }
    netInfo_->viewport()->update();
    SetModified(true);
}

// ------------------------------------------------------------------ the solution page

void TfmSeismogram::RefillSolutionPage() {
    const bool exists = image_->ReadBool("Result", "Exists", false);
    if (exists) {
        sphere_->SetRecord(nullptr);
        solution_ = std::make_unique<SolutionRecord>();
        LoadResult(*solution_, *image_);
        solutionPanel_->Fill(*solution_, LocaleDecimalSeparator());
        sphere_->SetRecord(solution_.get());
    }
    pages_->setTabVisible(kPageSolution, exists);
    if (resultShown_ != exists) owner_.SetRefreshToolbars();
    resultShown_ = exists;
}

SolutionRecord* TfmSeismogram::Solution() { return solution_ && solution_->Exists ? solution_.get() : nullptr; }

// ------------------------------------------------------------------ processing

SolverInput TfmSeismogram::ProcessingInput() {
    RefreshPickList();
    SolverInput input;
    input.page = DataPage();
    input.signal = Facts();
    input.rows = pickRows_;
    input.stations = NetStations(channels_);
    return input;
}

void TfmSeismogram::SolutionStored() {
    pages_->setCurrentIndex(kPageData);
    SetModified(true);
    // The page shows the new solution and the export and print commands
    // follow it at once: the result is what the operator wants to print.
    RefillSolutionPage();
}

// ------------------------------------------------------------------ saving

SignalFacts TfmSeismogram::Facts() const {
    return SignalFactsOf(*signal_, signalFileName_);
}

bool TfmSeismogram::SaveDocumentAs(const std::string& path) {
    const bool moving = CanonicalPath(path) != listedProject_;
    std::unique_ptr<ProjectLock> newLock;
    if (moving) {
        // Not over a file another window has open, nor over this window's
        // own signal file.
        if (owner_.IsFileOpen(path)) {
            ShowWarning(QStringLiteral("Plik ") + Q(path) +
                        QStringLiteral(" jest otwarty w programie. Dokument nie został zapisany."));
            return false;
        }
        newLock = std::make_unique<ProjectLock>(path);
        if (newLock->HeldElsewhere()) {
            ShowWarning(Q(newLock->InUseText()) + QStringLiteral(" Dokument nie został zapisany."));
            return false;
        }
    }
    try {
        RefreshPickList();
        SaveHeaderAndPicks(*image_, DataPage(), Facts(), pickRows_, LocaleDecimalSeparator());
        if (!dyma::SaveDocumentAs(*image_, path)) {
            ShowWarning(Q(SaveFailedMessage(path)));
            return false;
        }
    } catch (const std::exception&) {
        ShowWarning(Q(SaveFailedMessage(path)));
        return false;
    }
    if (moving) {
        // The document lives on at its new place.
        lock_ = std::move(newLock);
        if (!listedProject_.empty()) owner_.RemoveOpenFile(listedProject_);
        projectFileName_ = path;
        listedProject_ = owner_.AddOpenFile(path);
    }
    SetModified(false);
    return true;
}

}  // namespace dyma::gui
