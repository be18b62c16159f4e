#include "modalformpreferences.h"

#include "app/settings/colourpanel.h"
#include "app/settings/numbercheck.h"
#include "app/widgets/helpsystem.h"
#include "app/widgets/messageboxes.h"
#include "app/widgets/qtconvert.h"
#include "common/numberformat.h"
#include "common/product.h"
#include "quactl/quadirectorydialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace dyma::gui {

namespace {

// Directory labels in tag order: 0 seismograms, 1 temporary files, 2 output.
constexpr const char* kDirectoryNames[] = {"SeismogramDirectory", "TempDirectory", "OutputDirectory"};
std::string Settings::*const kDirectoryFields[] = {&Settings::SeismogramDirectory, &Settings::TempDirectory,
                                                   &Settings::OutputDirectory};

int GeologyIndex(const char* key) {
    for (size_t i = 0; i < std::size(kGeology); ++i)
        if (std::string_view(kGeology[i].key) == key) return int(i);
    return -1;
}

int UpDownIndex(const char* key) {
    for (size_t i = 0; i < std::size(kSeismogramInts); ++i)
        if (std::string_view(kSeismogramInts[i].key) == key) return int(i);
    return -1;
}

QLabel* Caption(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

}  // namespace

// The directory dialog of the preferences opens at the folder the label
// shows, where the plain component starts at the top of the file system.
class TfmPreferences::FolderDialog : public quactl::TQuaDirectoryDialog {
public:
    using TQuaDirectoryDialog::TQuaDirectoryDialog;

protected:
    bool Browse(QWidget* owner, const QString& title, QFileDialog::Options options, QString& chosen) override {
        chosen = QFileDialog::getExistingDirectory(owner, title, Directory(), options);
        return !chosen.isEmpty();
    }
};

TfmPreferences::TfmPreferences(std::string programDirectory, QWidget* parent)
    : QDialog(parent), store_(std::move(programDirectory)), values_(store_.Defaults()) {
    setObjectName("fmPreferences");
    setWindowTitle(QStringLiteral("Własności programu ") + QString::fromUtf8(kProductDisplay));
    setModal(true);

    colorDialog_ = new QColorDialog(this);
    colorDialog_->setObjectName("ColorDialog");
    numberCheck_ = new TNumberCheck(this);
    // Title "Wybierz folder", folders only, starting at "." until a button
    // sets it to the label's text.
    directoryDialog_ = std::make_unique<FolderDialog>(this);

    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    pages_->addTab(BuildMainPage(), QStringLiteral("Własności podstawowe"));
    pages_->addTab(BuildGeologyPage(), QStringLiteral("Model geologiczny"));
    pages_->addTab(BuildSeismogramPage(), QStringLiteral("Sejsmogramy"));
    pages_->addTab(BuildAdditionalPage(), QStringLiteral("Dodatkowe własności"));
    pages_->addTab(BuildPickingPage(), QStringLiteral("Odczyt"));
    pages_->setCurrentIndex(0);

    auto* buttonHelp = new QPushButton(QStringLiteral("Pomoc"), this);
    buttonHelp->setObjectName("buttonHelp");
    auto* buttonClose = new QPushButton(QStringLiteral("Zamknij"), this);
    buttonClose->setObjectName("buttonClose");
    buttonApply_ = new QPushButton(QStringLiteral("Zastosuj"), this);
    buttonApply_->setObjectName("buttonApply");
    buttonApply_->setEnabled(false);
    buttonClose->setDefault(true);
    connect(buttonHelp, &QPushButton::clicked, this, [this] { ShowPageHelp(); });
    connect(buttonClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttonApply_, &QPushButton::clicked, this, [this] { Apply(); });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(buttonHelp);
    bottom->addStretch(1);
    bottom->addWidget(buttonClose);
    bottom->addWidget(buttonApply_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(bottom);
    resize(620, 460);

    ControlsFromValues();
}

TfmPreferences::~TfmPreferences() = default;

QLineEdit* TfmPreferences::Edit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    connect(edit, &QLineEdit::textChanged, this, [this] { Changed(); });
    return edit;
}

QSpinBox* TfmPreferences::UpDown(const char* key, QWidget* parent) {
    const int i = UpDownIndex(key);
    const IntSetting& setting = kSeismogramInts[i];
    auto* spin = new QSpinBox(parent);
    // The weights' up-downs carry the "default" prefix of their controls.
    const std::string name = std::string_view(key).substr(0, 4) == "Wage" ? "default" + std::string(key) : key;
    spin->setObjectName(QString::fromStdString(name));
    spin->setRange(setting.minimum, setting.maximum);
    spin->setSingleStep(setting.step);
    spin->setValue(setting.defaultValue);
    spin->setMinimumWidth(90);
    connect(spin, &QSpinBox::valueChanged, this, [this] { Changed(); });
    upDowns_[size_t(i)] = spin;
    return spin;
}

QCheckBox* TfmPreferences::Check(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    connect(box, &QCheckBox::toggled, this, [this] { Changed(); });
    return box;
}

TColourPanel* TfmPreferences::Panel(const char* name, const QString& caption, QWidget* parent) {
    auto* panel = new TColourPanel(caption, parent);
    panel->setObjectName(name);
    panel->Clicked = [this, panel] { ChooseColour(*panel); };
    return panel;
}

QWidget* TfmPreferences::BuildMainPage() {
    auto* page = new QWidget;
    page->setObjectName("tabMainProperties");
    auto* grid = new QGridLayout(page);
    defaultOperator_ = Edit("DefaultOperator", page);
    defaultDescription_ = Edit("DefaultDescription", page);
    grid->addWidget(Caption(QStringLiteral("Domyślny operator:"), page), 0, 0);
    grid->addWidget(defaultOperator_, 0, 1, 1, 2);
    grid->addWidget(Caption(QStringLiteral("Domyślny opis plików:"), page), 1, 0);
    grid->addWidget(defaultDescription_, 1, 1, 1, 2);

    const QString captions[] = {QStringLiteral("Katalog sejsmogramów:"), QStringLiteral("Katalog plików tymczasowych:"),
                                QStringLiteral("Katalog plików wynikowych:")};
    for (int tag = 0; tag < 3; ++tag) {
        auto* label = new QLabel(page);
        label->setObjectName(kDirectoryNames[tag]);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(300);
        directories_[size_t(tag)] = label;
        auto* button = new QPushButton(QStringLiteral("Zmień"), page);
        button->setObjectName(QStringLiteral("Button%1").arg(tag + 1));
        button->setProperty("tag", tag);
        connect(button, &QPushButton::clicked, this, [this, tag] { ChooseDirectory(tag); });
        grid->addWidget(Caption(captions[tag], page), 2 + tag, 0);
        grid->addWidget(label, 2 + tag, 1);
        grid->addWidget(button, 2 + tag, 2);
    }
    auto* warning = new QLabel(
        QStringLiteral("UWAGA: Po zakończeniu działania programu oraz przed uruchomieniem przetwarzania, z katalogu "
                       "plików tymczasowych usuwane są WSZYSTKIE pliki. Przy wybieraniu katalogu tymczasowego należy "
                       "więc zachować jak największą ostrożność."),
        page);
    warning->setObjectName("Label7");
    warning->setWordWrap(true);
    QPalette red = warning->palette();
    red.setColor(QPalette::WindowText, QColor(160, 0, 0));
    warning->setPalette(red);
    grid->addWidget(warning, 5, 0, 1, 3);

    // Latitude and longitude of a tremor (the QuakeML export) need the
    // system the network's coordinates are given in.
    networkCrs_ = Edit("NetworkCRS", page);
    networkCrs_->setPlaceholderText(QStringLiteral("np. EPSG:2180"));
    grid->addWidget(Caption(QStringLiteral("Układ współrzędnych sieci:"), page), 6, 0);
    grid->addWidget(networkCrs_, 6, 1, 1, 2);
    auto* crsHint = new QLabel(
        QStringLiteral("Kod EPSG układu płaskiego (np. EPSG:2180, EPSG:2177) albo local:SZEROKOŚĆ,DŁUGOŚĆ,OBRÓT "
                       "dla siatki kopalnianej (początek siatki w stopniach, oś X obrócona o OBRÓT stopni "
                       "od północy w prawo). Potrzebny do eksportu QuakeML."),
        page);
    crsHint->setObjectName("NetworkCRSHint");
    crsHint->setWordWrap(true);
    grid->addWidget(crsHint, 7, 1, 1, 2);
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget* TfmPreferences::BuildGeologyPage() {
    auto* page = new QWidget;
    page->setObjectName("tabGeologigalProperties");
    auto* grid = new QGridLayout(page);
    auto* heading = Caption(QStringLiteral("Parametry modelu geologicznego LGOM:"), page);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    grid->addWidget(heading, 0, 0, 1, 6);

    const QString degrees = QStringLiteral("[ stopnie ]");
    const QString velocity = QStringLiteral("[ metry/sekundę ]");
    auto row = [&](int r, int column, const char* key, const QString& caption, const QString& unit) {
        QLineEdit* edit = Edit(key, page);
        edit->setMaximumWidth(90);
        numberCheck_->Watch(*edit);
        geology_[size_t(GeologyIndex(key))] = edit;
        grid->addWidget(Caption(caption, page), r, column);
        grid->addWidget(edit, r, column + 1);
        grid->addWidget(Caption(unit, page), r, column + 2);
    };
    row(1, 0, "defaultUpad", QStringLiteral("Upad warstw:"), degrees);
    row(2, 0, "defaultBieg", QStringLiteral("Bieg warstw:"), degrees);
    row(3, 0, "defaultV", QStringLiteral("Prędkość fali bezpośredniej:"), velocity);
    row(4, 0, "defaultVa", QStringLiteral("Prędkość fali pokładowej górnej:"), velocity);
    row(4, 3, "defaultAAngle", QStringLiteral("Kąt wyjścia:"), degrees);
    row(5, 0, "defaultVb", QStringLiteral("Prędkość fali pokładowej dolnej:"), velocity);
    row(5, 3, "defaultBAngle", QStringLiteral("Kąt wyjścia:"), degrees);
    // What the solver assumes when it repeats the fit over perturbed rays.
    row(6, 0, "defaultLocationError", QStringLiteral("Błąd lokalizacji ogniska:"), QStringLiteral("[ metry ]"));
    row(6, 3, "defaultSeamAngleError", QStringLiteral("Błąd kąta wyjścia fal pokładowych:"), degrees);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(6, 1);
    return page;
}

QWidget* TfmPreferences::BuildSeismogramPage() {
    auto* page = new QWidget;
    page->setObjectName("tabSeismograms");
    auto* layout = new QVBoxLayout(page);

    auto* weights = new QGroupBox(QStringLiteral("Domyślne wartości wag:"), page);
    auto* wgrid = new QGridLayout(weights);
    wgrid->addWidget(Caption(QStringLiteral("Fala bezpośrednia:"), weights), 0, 0);
    wgrid->addWidget(UpDown("WageD", weights), 0, 1);
    wgrid->addWidget(Caption(QStringLiteral("Fala pokładowa górna:"), weights), 1, 0);
    wgrid->addWidget(UpDown("WageA", weights), 1, 1);
    wgrid->addWidget(Caption(QStringLiteral("Fala pokładowa dolna:"), weights), 2, 0);
    wgrid->addWidget(UpDown("WageB", weights), 2, 1);
    wgrid->setColumnStretch(2, 1);
    layout->addWidget(weights);

    auto* percent = new QHBoxLayout;
    percent->addWidget(Caption(QStringLiteral("Procent wczytywanego sygnału:"), page));
    percent->addWidget(UpDown("MBIPercentLoaded", page));
    percent->addStretch(1);
    layout->addLayout(percent);

    auto* window = new QGroupBox(QStringLiteral("Okno sejsmogramu"), page);
    window->setObjectName("GroupBox1");
    auto* g = new QGridLayout(window);
    const QString ms = QStringLiteral("[ milisekundy ]");
    g->addWidget(Caption(QStringLiteral("Procent powiększenia okna:"), window), 0, 0);
    g->addWidget(UpDown("MagnificationFactor", window), 0, 1);
    g->addWidget(Caption(QStringLiteral("Procent powiększenia okna w pionie:"), window), 1, 0);
    g->addWidget(UpDown("MagnificationFactorY", window), 1, 1);
    g->addWidget(Caption(QStringLiteral("Szerokośc okna czasowego:"), window), 2, 0);
    g->addWidget(UpDown("WindowWidth", window), 2, 1);
    g->addWidget(Caption(ms, window), 2, 2);
    g->addWidget(Caption(QStringLiteral("Krok przemieszczania okna:"), window), 3, 0);
    g->addWidget(UpDown("WindowStep", window), 3, 1);
    g->addWidget(Caption(ms, window), 3, 2);
    relativeDisplacement_ =
        Check("RelativeDisplacement", QStringLiteral("Przemieszczenie względne okna czasowego"), window);
    verticalGrid_ = Check("VerticalGrid", QStringLiteral("Siatka pionowa"), window);
    horizontalGrid_ = Check("HorizontalGrid", QStringLiteral("Siatka pozioma"), window);
    g->addWidget(relativeDisplacement_, 4, 0, 1, 3);
    g->addWidget(verticalGrid_, 5, 0, 1, 3);
    g->addWidget(horizontalGrid_, 6, 0, 1, 3);
    g->setColumnStretch(3, 1);
    layout->addWidget(window);
    layout->addStretch(1);
    return page;
}

QWidget* TfmPreferences::BuildAdditionalPage() {
    auto* page = new QWidget;
    page->setObjectName("tabAdditional");
    auto* layout = new QVBoxLayout(page);
    removeTempDir_ = Check("RemoveTempDir",
                           QStringLiteral("Usuwaj zawartość katalogu tymczasowego po zakończeniu pracy programu"), page);
    warningLocation_ =
        Check("WarningLocation", QStringLiteral("Ostrzegaj, gdy nie podano współrzędnych źródła wstrząsu"), page);
    showSplashScreen_ = Check("ShowSplashScreen", QStringLiteral("Pokaż ekran początkowy"), page);
    // Stored only: the splash screen is shown at every start.
    showSplashScreen_->setVisible(false);
    recoverRegistryEntries_ =
        Check("RecoverRegistryEntries", QStringLiteral("Napraw przy starcie powiązania plików programu"), page);
    askAboutPercent_ =
        Check("AskAboutPercent", QStringLiteral("Pytaj o długość przy wczytywaniu sygnału"), page);
    for (QCheckBox* box : {removeTempDir_, warningLocation_, showSplashScreen_, recoverRegistryEntries_, askAboutPercent_})
        layout->addWidget(box);

    auto* colours = new QGroupBox(QStringLiteral("Kolory:"), page);
    auto* g = new QGridLayout(colours);
    graphColor_ = Panel("GraphColor", QStringLiteral("Kolor tła wykresu"), colours);
    markerColor_ = Panel("MarkerColor", QStringLiteral("Kolor markerów"), colours);
    plusColor_ = Panel("PlusColor", QStringLiteral("Kolor stacji \"dodatniej\""), colours);
    minusColor_ = Panel("MinusColor", QStringLiteral("Kolor stacji \"ujemnej\""), colours);
    plotColor_ = Panel("PlotColor", QStringLiteral("Kolor sejsmogramu"), colours);
    gridColor_ = Panel("GridColor", QStringLiteral("Kolor Siatki"), colours);
    g->addWidget(graphColor_, 0, 0);
    g->addWidget(markerColor_, 0, 1);
    g->addWidget(plusColor_, 1, 0);
    g->addWidget(minusColor_, 1, 1);
    g->addWidget(plotColor_, 2, 0);
    g->addWidget(gridColor_, 2, 1);
    layout->addWidget(colours);
    layout->addStretch(1);
    return page;
}

QWidget* TfmPreferences::BuildPickingPage() {
    auto* page = new QWidget;
    page->setObjectName("tabPicking");
    auto* layout = new QVBoxLayout(page);
    auto* filter = new QGroupBox(QStringLiteral("Filtr pasmowy widoku sejsmogramu"), page);
    filter->setObjectName("FilterGroup");
    auto* g = new QGridLayout(filter);
    filterOrder_ = new QSpinBox(filter);
    filterOrder_->setObjectName("FilterOrder");
    filterOrder_->setRange(kFilterOrderMin, kFilterOrderMax);
    auto corner = [this, filter](const char* name) {
        auto* spin = new QDoubleSpinBox(filter);
        spin->setObjectName(name);
        spin->setDecimals(1);
        spin->setRange(kFilterCornerMin, kFilterCornerMax);
        spin->setSingleStep(1.0);
        spin->setMinimumWidth(90);
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { Changed(); });
        return spin;
    };
    filterLow_ = corner("FilterLow");
    filterHigh_ = corner("FilterHigh");
    connect(filterOrder_, &QSpinBox::valueChanged, this, [this] { Changed(); });
    const QString hz = QStringLiteral("[ Hz ]");
    g->addWidget(Caption(QStringLiteral("Rząd filtru:"), filter), 0, 0);
    g->addWidget(filterOrder_, 0, 1);
    g->addWidget(Caption(QStringLiteral("Dolna częstotliwość graniczna:"), filter), 1, 0);
    g->addWidget(filterLow_, 1, 1);
    g->addWidget(Caption(hz, filter), 1, 2);
    g->addWidget(Caption(QStringLiteral("Górna częstotliwość graniczna:"), filter), 2, 0);
    g->addWidget(filterHigh_, 2, 1);
    g->addWidget(Caption(hz, filter), 2, 2);
    auto* note = new QLabel(
        QStringLiteral("Filtr jest przyczynowy (minimalnofazowy) i działa tylko na widok: czasy markerów "
                       "zapisywane są w czasie zapisu. Filtr zerofazowy dałby drgania przed wstąpieniem i mógłby "
                       "odwrócić widoczny kierunek pierwszego ruchu. Górna częstotliwość musi być niższa od połowy "
                       "częstotliwości próbkowania (250 Hz przy 500 Hz)."),
        filter);
    note->setObjectName("FilterNote");
    note->setWordWrap(true);
    g->addWidget(note, 3, 0, 1, 4);
    g->setColumnStretch(3, 1);
    layout->addWidget(filter);
    layout->addStretch(1);
    return page;
}

std::string TfmPreferences::Directory(int kind, const std::string& fileName) const {
    return DirectoryLookup(values_, store_.ProgramDirectory(), kind, fileName);
}

void TfmPreferences::ControlsFromValues() {
    // Filling the controls is no edit of the operator's.
    loading_ = true;
    defaultOperator_->setText(Q(values_.DefaultOperator));
    defaultDescription_->setText(Q(values_.DefaultDescription));
    networkCrs_->setText(Q(values_.NetworkCRS));
    for (size_t i = 0; i < 3; ++i) directories_[i]->setText(Q(values_.*kDirectoryFields[i]));
    for (size_t i = 0; i < std::size(kGeology); ++i) geology_[i]->setText(Q(values_.*kGeology[i].field));
    for (size_t i = 0; i < std::size(kSeismogramInts); ++i) upDowns_[i]->setValue(values_.*kSeismogramInts[i].field);
    relativeDisplacement_->setChecked(values_.RelativeDisplacement);
    horizontalGrid_->setChecked(values_.HorizontalGrid);
    verticalGrid_->setChecked(values_.VerticalGrid);
    removeTempDir_->setChecked(values_.RemoveTempDir);
    showSplashScreen_->setChecked(values_.ShowSplashScreen);
    warningLocation_->setChecked(values_.WarningLocation);
    recoverRegistryEntries_->setChecked(values_.RecoverRegistryEntries);
    askAboutPercent_->setChecked(values_.AskAboutPercent);
    graphColor_->SetValue(values_.GraphColor);
    markerColor_->SetValue(values_.MarkerColor);
    plusColor_->SetValue(values_.PlusColor);
    minusColor_->SetValue(values_.MinusColor);
    plotColor_->SetValue(values_.PlotColor);
    gridColor_->SetValue(values_.GridColor);
    filterOrder_->setValue(values_.ViewFilter.order);
    filterLow_->setValue(values_.ViewFilter.lowHz);
    filterHigh_->setValue(values_.ViewFilter.highHz);
    loading_ = false;
}

void TfmPreferences::ValuesFromControls() {
    values_.DefaultOperator = S(defaultOperator_->text());
    values_.DefaultDescription = S(defaultDescription_->text());
    values_.NetworkCRS = Trim(S(networkCrs_->text()));
    for (size_t i = 0; i < 3; ++i) values_.*kDirectoryFields[i] = S(directories_[i]->text());
    for (size_t i = 0; i < std::size(kGeology); ++i) values_.*kGeology[i].field = S(geology_[i]->text());
    for (size_t i = 0; i < std::size(kSeismogramInts); ++i) values_.*kSeismogramInts[i].field = upDowns_[i]->value();
    values_.RelativeDisplacement = relativeDisplacement_->isChecked();
    values_.HorizontalGrid = horizontalGrid_->isChecked();
    values_.VerticalGrid = verticalGrid_->isChecked();
    values_.RemoveTempDir = removeTempDir_->isChecked();
    values_.ShowSplashScreen = showSplashScreen_->isChecked();
    values_.WarningLocation = warningLocation_->isChecked();
    values_.RecoverRegistryEntries = recoverRegistryEntries_->isChecked();
    values_.AskAboutPercent = askAboutPercent_->isChecked();
    values_.GraphColor = graphColor_->Value();
    values_.MarkerColor = markerColor_->Value();
    values_.PlusColor = plusColor_->Value();
    values_.MinusColor = minusColor_->Value();
    values_.PlotColor = plotColor_->Value();
    values_.GridColor = gridColor_->Value();
    values_.ViewFilter.order = filterOrder_->value();
    values_.ViewFilter.lowHz = filterLow_->value();
    values_.ViewFilter.highHz = filterHigh_->value();
}

void TfmPreferences::Changed() {
    if (loading_) return;
    ValuesFromControls();
    buttonApply_->setEnabled(true);
}

void TfmPreferences::LoadSettings() {
    store_.Load(values_);
    ControlsFromValues();
}

void TfmPreferences::SaveSettings() { store_.Save(values_); }

void TfmPreferences::showEvent(QShowEvent* event) {
    buttonApply_->setEnabled(false);
    LoadSettings();
    QDialog::showEvent(event);
}

void TfmPreferences::Apply() {
    ValuesFromControls();
    try {
        SaveSettings();
    } catch (const ConversionError& e) {
        ShowWarning(QString::fromUtf8(e.what()));
        // The operator sees the value that stopped it; nothing was written,
        // so the button stays for another try.
        for (QLineEdit* edit : geology_) {
            long long value = 0;
            if (TryStrToInt(Trim(S(edit->text())), value)) continue;
            pages_->setCurrentIndex(1);
            edit->setFocus();
            edit->selectAll();
            break;
        }
        return;
    }
    buttonApply_->setEnabled(false);
}

void TfmPreferences::ChooseDirectory(int tag) {
    if (tag < 0 || tag > 2) return;
    directoryDialog_->SetDirectory(directories_[size_t(tag)]->text());
    if (!directoryDialog_->Execute()) return;
    directories_[size_t(tag)]->setText(directoryDialog_->Directory());
    Changed();
}

void TfmPreferences::ChooseColour(TColourPanel& panel) {
    const QColor preset = ToQColor(panel.Value());
    colorDialog_->setCurrentColor(preset);
    // On cancel the panel takes the preset colour back: nothing changes,
    // but the panel counts as edited, as it always has.
    const bool accepted = RunModal(*colorDialog_) == QDialog::Accepted;
    const QColor chosen = accepted ? colorDialog_->currentColor() : preset;
    panel.SetValue(FromQColor(chosen.isValid() ? chosen : preset));
    ValuesFromControls();
    buttonApply_->setEnabled(true);
}

void TfmPreferences::ShowPageHelp() {
    static constexpr int contexts[] = {help::kPreferencesMain, help::kPreferencesGeology, help::kPreferencesSeismograms,
                                       help::kPreferencesAdditional, help::kPreferencesPicking};
    const int page = pages_->currentIndex();
    ApplicationHelp().ShowContext(page >= 0 && page < int(std::size(contexts)) ? contexts[page]
                                                                              : help::kPreferencesAdditional);
}

}  // namespace dyma::gui
