// The main window's commands as data: the menu items and toolbar buttons
// with their exact captions, hints, shortcuts and tags, and which handler
// each one calls. The main window builds its menus and toolbars from these
// tables, so a caption or a tag lives in exactly one place.
#pragma once

#include "icons.h"

#include <QKeySequence>
#include <QList>

#include <optional>

namespace dyma::gui {

enum class Handler {
    OpenFile,
    Zmiana,
    Export,
    ExportQuakeML,
    Import,
    Preferences,
    Print,
    PrinterProperties,
    Quit,
    Arrange,
    Cascade,
    Horizontal,
    Vertical,
    ChildOperations,
    BWaveClick,
    RemoveMarker,
    PickingKey,
    Undo,
    Redo,
    DymaStart,
    HelpSystem,
};

struct MenuCommand {
    const char* name;     // component name, e.g. "mOpenFile"
    const char* caption;  // with the "&" of its accelerator
    const char* hint;     // "" when it has none
    QList<QKeySequence> shortcuts;
    std::optional<int> tag;
    Handler handler;
};

struct ButtonCommand {
    const char* name;  // e.g. "bOpen"
    const char* hint;
    const char* caption;  // "" when the button has none
    IconKind icon;
    std::optional<int> tag;
    Handler handler;
};

const QList<MenuCommand>& MenuCommands();
const MenuCommand& MenuCommandNamed(const char* name);

// Toolbar contents in order; a null name is a separator.
const QList<ButtonCommand>& FileToolbar();        // ToolBar2
const QList<ButtonCommand>& SeismogramToolbar();  // ToolBar1
// ToolBar3 holds labels and the weight edit besides these buttons.
const QList<ButtonCommand>& WaveButtons();
const ButtonCommand& RemoveMarkerButton();

// Menus: title and item names in order; a null name is a separator.
struct MenuLayout {
    const char* title;
    QList<const char*> items;
};
const QList<MenuLayout>& MenuStructure();

}  // namespace dyma::gui
