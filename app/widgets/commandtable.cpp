#include "commandtable.h"

#include "pickingcommands.h"

#include <stdexcept>
#include <string_view>

namespace dyma::gui {

namespace {
using K = QKeySequence;
const QList<QKeySequence> kNone;
}  // namespace

const QList<MenuCommand>& MenuCommands() {
    static const QList<MenuCommand> table = {
        {"mOpenFile", "&Otwórz", "Otwarcie pliku programu Dyma-2", {K(Qt::CTRL | Qt::Key_O)}, {}, Handler::OpenFile},
        {"mSave", "&Zapisz", "Zapis pliku programu Dyma-2", {K(Qt::CTRL | Qt::Key_S)}, {}, Handler::Zmiana},
        {"mExport", "Eksportuj", "Eksportuj plik", {K(Qt::CTRL | Qt::Key_E)}, {}, Handler::Export},
        {"mExportQuakeML", "Eksportuj QuakeML", "Eksportuje rozwiązanie do pliku QuakeML", kNone, {},
         Handler::ExportQuakeML},
        {"mUndo", "Cofnij", "Cofa ostatnią zmianę odczytów", {K(Qt::CTRL | Qt::Key_Z)}, {}, Handler::Undo},
        {"mRedo", "Ponów", "Ponawia cofniętą zmianę odczytów",
         {K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, {}, Handler::Redo},
        {"mImport", "Importuj", "", {K(Qt::CTRL | Qt::Key_I)}, {}, Handler::Import},
        {"mPreferences", "Własności programu", "Pokazuje okno własności programu", kNone, {}, Handler::Preferences},
        {"mPrint", "Drukuj", "Drukuje plik wynikowy", kNone, {}, Handler::Print},
        {"mPrinterProperties", "Własności drukowania", "Otwarcie okna własności drukowania",
         {K(Qt::CTRL | Qt::Key_P)}, {}, Handler::PrinterProperties},
        {"mQuit", "Zakończ", "Zamyka program Dyma-2", {K(Qt::CTRL | Qt::ALT | Qt::Key_Q)}, {}, Handler::Quit},
        {"mArrange", "Aranżuj okna", "", {K(Qt::CTRL | Qt::ALT | Qt::Key_A)}, {}, Handler::Arrange},
        {"mCascade", "Ułóż okna kaskadowo", "Układa okna kaskadowo", {K(Qt::CTRL | Qt::ALT | Qt::Key_C)}, {},
         Handler::Cascade},
        {"mHorizontal", "Ułóż horyzontalnie", "Układa okna poziomo", {K(Qt::CTRL | Qt::ALT | Qt::Key_H)}, {},
         Handler::Horizontal},
        {"mVertical", "Ułóż wertykalnie", "Układa okna pionowo", {K(Qt::CTRL | Qt::ALT | Qt::Key_V)}, {},
         Handler::Vertical},
        {"mFirstSeismogram", "Pierwszy sejsmogram", "Skok do pierwszego sejsmogramu", {K(Qt::Key_Home)}, 0,
         Handler::ChildOperations},
        {"mPreviousSeismogram", "Poprzedni sejsmogram", "Skok do poprzedniego sejsmogramu", {K(Qt::Key_PageUp)}, 1,
         Handler::ChildOperations},
        {"mNextSeismogram", "Następny sejsmogram", "Skok do następnego sejsmogramu", {K(Qt::Key_PageDown)}, 2,
         Handler::ChildOperations},
        {"mLastSeismogram", "Ostatni sejsmogram", "Skok do ostatniego sejsmogramu", {K(Qt::Key_End)}, 3,
         Handler::ChildOperations},
        {"mFastBackward", "Przewiń do tyłu szybko", "Przesunięcie sejsmogramu szybko do tyłu ",
         {K(Qt::SHIFT | Qt::Key_Left)}, 10, Handler::ChildOperations},
        {"mSlowBackward", "Przewiń do tyłu", "Przesunięcie sejsmogramu do tyłu", {K(Qt::Key_Left)}, 11,
         Handler::ChildOperations},
        {"mSlowForward", "Przewiń do przodu", "Przesuwa sejsmogram do przodu", {K(Qt::Key_Right)}, 12,
         Handler::ChildOperations},
        {"mFastForward", "Przewiń do przodu szybko", "Przesuwa sejsmogram szybko do przodu",
         {K(Qt::SHIFT | Qt::Key_Right)}, 13, Handler::ChildOperations},
        {"m5Seconds", "Pokaż pierwsze 5 sekund", "Widok pierwszych 5 sekund sejsmogramu", {K(Qt::Key_F9)}, 20,
         Handler::ChildOperations},
        {"m10Seconds", "Pokaż pierwsze 10 sekund", "Widok pierwszych 10 sekund sejsmogramu", {K(Qt::Key_F10)}, 21,
         Handler::ChildOperations},
        {"mStretch", "Rozciągnij w pionie", "Rozciąga sejsmogram w pionie", {K(Qt::Key_Up)}, 30,
         Handler::ChildOperations},
        {"mShrink", "Ściągnij w pionie", "Zmniejsza sejsmogram w pionie", {K(Qt::Key_Down)}, 31,
         Handler::ChildOperations},
        {"mCancelStretch", "Anuluj rozciągnięcie w pionie", "Anuluje rozciągnięcie w pionie", kNone, 32,
         Handler::ChildOperations},
        {"mZoomIn", "Powiększ", "Powiększenie wykresu", {K(Qt::Key_Insert)}, 40, Handler::ChildOperations},
        {"mZoomOut", "Pomniejsz", "Pomniejszenie wykresu", {K(Qt::Key_Delete)}, 41, Handler::ChildOperations},
        {"mDirectWave", "Fala bezpośrednia", "Marker fali bezpośredniej", kNone, 0, Handler::BWaveClick},
        {"mAWave", "Fala pokładowa górna", "Marker fali pokładowej górnej", kNone, 1, Handler::BWaveClick},
        {"mBWave", "Fala pokładowa dolna", "Marker fali pokładowej dolnej", kNone, 2, Handler::BWaveClick},
        // The picking keys. "+" and "-" of the main keyboard (the keypad's
        // zoom the time window), or Ctrl with the up and down arrows.
        {"mPolarityPlus", "Polaryzacja +", "Pierwszy ruch w górę (kompresja)",
         {K(Qt::Key_Plus), K(Qt::CTRL | Qt::Key_Up)}, kPolarityPlus, Handler::PickingKey},
        {"mPolarityMinus", "Polaryzacja -", "Pierwszy ruch w dół (dylatacja)",
         {K(Qt::Key_Minus), K(Qt::CTRL | Qt::Key_Down)}, kPolarityMinus, Handler::PickingKey},
        {"mPlaceAtMouse", "Marker w miejscu kursora", "Stawia marker w miejscu kursora myszy", {K(Qt::Key_P)},
         kPlaceAtMouse, Handler::PickingKey},
        {"mRemovePick", "Usuń marker", "Usuwa odczyt bieżącego kanału", {K(Qt::Key_Backspace)}, kRemovePick,
         Handler::PickingKey},
        {"mAcceptSuggestion", "Przyjmij sugerowane wejście", "Stawia marker w miejscu sugerowanego wejścia",
         {K(Qt::Key_S)}, kAcceptSuggestion, Handler::PickingKey},
        {"mZoomToOnset", "Pokaż okolice wejścia", "Krótkie okno czasowe wokół markera lub sugerowanego wejścia",
         {K(Qt::Key_Z)}, kZoomToOnset, Handler::PickingKey},
        {"mFilter", "Filtr pasmowy", "Włącza i wyłącza filtr pasmowy widoku sejsmogramu", {K(Qt::Key_F)},
         kToggleFilter, Handler::PickingKey},
        {"mWeight10", "Waga 10", "", {K(Qt::Key_1)}, kWeight10 + 0, Handler::PickingKey},
        {"mWeight20", "Waga 20", "", {K(Qt::Key_2)}, kWeight10 + 1, Handler::PickingKey},
        {"mWeight30", "Waga 30", "", {K(Qt::Key_3)}, kWeight10 + 2, Handler::PickingKey},
        {"mWeight40", "Waga 40", "", {K(Qt::Key_4)}, kWeight10 + 3, Handler::PickingKey},
        {"mWeight50", "Waga 50", "", {K(Qt::Key_5)}, kWeight10 + 4, Handler::PickingKey},
        {"mWeight60", "Waga 60", "", {K(Qt::Key_6)}, kWeight10 + 5, Handler::PickingKey},
        {"mWeight70", "Waga 70", "", {K(Qt::Key_7)}, kWeight10 + 6, Handler::PickingKey},
        {"mWeight80", "Waga 80", "", {K(Qt::Key_8)}, kWeight10 + 7, Handler::PickingKey},
        {"mWeight90", "Waga 90", "", {K(Qt::Key_9)}, kWeight10 + 8, Handler::PickingKey},
        {"mWeight100", "Waga 100", "", {K(Qt::Key_0)}, kWeight10 + 9, Handler::PickingKey},
        // Ctrl+Enter: the main keyboard's Return and the keypad's Enter.
        {"mDymaStart", "Oblicz mechanizm", "Rozpoczęcie obliczanie mechanizmu",
         {K(Qt::CTRL | Qt::Key_Return), K(Qt::CTRL | Qt::Key_Enter)}, {}, Handler::DymaStart},
        {"mHelpSystem", "System Pomocy", "Uruchamia system pomocy aplikacji", {K(Qt::Key_F1)}, 0, Handler::HelpSystem},
        {"mReadme", "Readme", "Wyświetla plik README", kNone, 1, Handler::HelpSystem},
        {"mHistory", "Historia", "Wyświetla plik HISTORII", kNone, 2, Handler::HelpSystem},
        {"mAutorPage", "Strona domowa autora", "Strona domowa autora", kNone, 3, Handler::HelpSystem},
        {"mDymaWebPage", "Strona domowa projektu WinDYMA", "Strona domowa projektu WinDYMA", kNone, 4,
         Handler::HelpSystem},
        {"mAboutProgram", "O programie", "Wyświetla krótką informację o programie", kNone, 5, Handler::HelpSystem},
    };
    return table;
}

const MenuCommand& MenuCommandNamed(const char* name) {
    for (const MenuCommand& c : MenuCommands())
        if (std::string_view(c.name) == name) return c;
    throw std::out_of_range(name);
}

const QList<ButtonCommand>& FileToolbar() {
    static const QList<ButtonCommand> bar = {
        {"bOpen", "Otwórz plik (Control+O)", "", IconKind::Open, {}, Handler::OpenFile},
        {"bSave", "Zapisz plik (Control+S)", "", IconKind::Save, {}, Handler::Zmiana},
        {nullptr, "", "", IconKind::Open, {}, Handler::OpenFile},
        {"bImport", "Importuj plik (Control+I)", "", IconKind::Import, {}, Handler::Import},
        {"bExport", "Eksportuj plik (Control+E)", "", IconKind::Export, {}, Handler::Export},
        {nullptr, "", "", IconKind::Open, {}, Handler::OpenFile},
        {"bPreferences", "Okno preferencji aplikacji", "", IconKind::Preferences, {}, Handler::Preferences},
        {nullptr, "", "", IconKind::Open, {}, Handler::OpenFile},
        {"bPrint", "Drukuj aktualny dokument", "", IconKind::Print, {}, Handler::Print},
    };
    return bar;
}

const QList<ButtonCommand>& SeismogramToolbar() {
    constexpr Handler op = Handler::ChildOperations;
    static const QList<ButtonCommand> bar = {
        {"bFirstSeismogram", "Skok do pierwszego sejsmogramu w pliku sygnału (Home}", "", IconKind::FirstSeismogram, 0,
         op},
        {"bPreviousSeismogram", "Skok do poprzedniego sejsmogramu w pliku (PgUp)", "", IconKind::PreviousSeismogram, 1,
         op},
        {"bNextSeismogram", "Skok do następnego sejsmogramu w pliku (PgDown)", "", IconKind::NextSeismogram, 2, op},
        {"bLastSeismogram", "Skok do ostatnego sejsmogramu w pliku (End)", "", IconKind::LastSeismogram, 3, op},
        {nullptr, "", "", IconKind::Open, {}, op},
        {"bFastBackward", "Przesuń szybko okno czasowe do tyłu (Shift+Strzałka w lewo)", "", IconKind::FastBackward, 10,
         op},
        {"bSlowBackward", "Przesuń okno czasowe do tyłu (Strzałka w lewo)", "", IconKind::SlowBackward, 11, op},
        {"bSlowForward", "Przesuń okno czasowe do przodu (Strzałka w prawo)", "", IconKind::SlowForward, 12, op},
        {"bFastForward", "Przesuń szybko okno czasowe do przodu (Shift+Strzałka w prawo)", "", IconKind::FastForward,
         13, op},
        {nullptr, "", "", IconKind::Open, {}, op},
        {"b5Seconds", "Pokaż pierwsze 5 sekund sygnału (F9)", "", IconKind::FiveSeconds, 20, op},
        {"b10Seconds", "Pokaż pierwsze 10 sekund sygnału (F10)", "", IconKind::TenSeconds, 21, op},
        {nullptr, "", "", IconKind::Open, {}, op},
        {"bStretch", "Rozciągnij w pionie (Arrow Up)", "", IconKind::Stretch, 30, op},
        {"bShrink", "Pomniejsz w pionie (Arrow Down)", "", IconKind::Shrink, 31, op},
        {"bCancelStretch", "Usuń powiększenie", "", IconKind::CancelStretch, 32, op},
        {nullptr, "", "", IconKind::Open, {}, op},
        {"bZoomIn", "Powiększ okno czasowe (NumPlus)", "Powiększ", IconKind::ZoomIn, 40, op},
        {"bZoomOut", "Pomniejsz okno czasowe (NumMinus)", "Pomniejsz", IconKind::ZoomOut, 41, op},
    };
    return bar;
}

const QList<ButtonCommand>& WaveButtons() {
    static const QList<ButtonCommand> buttons = {
        {"DirectWave", "Aktywny marker fali bezpośredniej", "", IconKind::DirectWave, 0, Handler::BWaveClick},
        {"AWave", "Aktywny marker fali pokładowej górnej", "", IconKind::AWave, 1, Handler::BWaveClick},
        {"BWave", "Aktywny marker fali pokładowej dolnej", "", IconKind::BWave, 2, Handler::BWaveClick},
    };
    return buttons;
}

const ButtonCommand& RemoveMarkerButton() {
    static const ButtonCommand button{"bRemoveMarker", "Usuń marker z okna sygnału", "", IconKind::RemoveMarker, {},
                                      Handler::RemoveMarker};
    return button;
}

const QList<MenuLayout>& MenuStructure() {
    static const QList<MenuLayout> menus = {
        {"&Plik",
         {"mOpenFile", "mSave", nullptr, "mExport", "mExportQuakeML", "mImport", nullptr, "mPreferences", nullptr,
          "mPrint",
          "mPrinterProperties", nullptr, "mQuit"}},
        {"&Edycja", {"mUndo", "mRedo"}},
        {"Widok", {"mArrange", "mCascade", "mHorizontal", "mVertical"}},
        {"&Sejsmogram",
         {"mFirstSeismogram", "mPreviousSeismogram", "mNextSeismogram", "mLastSeismogram", nullptr, "mFastBackward",
          "mSlowBackward", "mSlowForward", "mFastForward", nullptr, "m5Seconds", "m10Seconds", nullptr, "mStretch",
          "mShrink", "mCancelStretch", nullptr, "mZoomIn", "mZoomOut", nullptr, "mDirectWave", "mAWave", "mBWave"}},
        {"&Odczyt",
         {"mPolarityPlus", "mPolarityMinus", nullptr, "mPlaceAtMouse", "mRemovePick", nullptr, "mAcceptSuggestion",
          "mZoomToOnset", "mFilter", nullptr, "mWeight10", "mWeight20", "mWeight30", "mWeight40", "mWeight50",
          "mWeight60", "mWeight70", "mWeight80", "mWeight90", "mWeight100"}},
        {"Przetwarzanie", {"mDymaStart"}},
        {"P&omoc",
         {"mHelpSystem", nullptr, "mReadme", "mHistory", nullptr, "mAutorPage", "mDymaWebPage", nullptr,
          "mAboutProgram"}},
    };
    return menus;
}

}  // namespace dyma::gui
