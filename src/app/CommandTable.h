#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

// The commands of the main frame and the framework, by the ids their menu texts and status
// prompts are stored under. The plot document's own commands are in doc/DocumentCommands.h.
namespace FrameCmd {
enum : int {
    LogWindow = 32783,
    InsertGlyphpadLabel = 32797,
    Defaults = 32801,
    ViewScale = 32804,
    FileExport = 32810,
    CancelMode = 32806,  // Escape: the view closes an in-place active object
    FollowFiles = 32811, // checkable: data files are reread as they change on disk

    FileNew = 57600,
    FileOpen = 57601,
    FileClose = 57602,
    FileSave = 57603,
    FileSaveAs = 57604,
    PrintSetup = 57606,
    Print = 57607,
    PrintPreview = 57609,
    RecentFile1 = 57616, // the recent-file list: RecentFile1 .. RecentFile1 + 3

    EditDelete = 57632,
    EditCopy = 57634,
    EditCut = 57635,
    EditPaste = 57637,
    EditPasteLink = 57638,
    EditUndo = 57643,
    EditRedo = 57644,

    WindowCascade = 57650,
    WindowTile = 57651,

    About = 57664,
    Exit = 57665,
    ContextHelp = 57669,
    Help = 57670,
    NextPane = 57680,
    PrevPane = 57681,

    InsertNewObject = 57856,
};
} // namespace FrameCmd

namespace CommandTable {

constexpr int recentFileCount = 4;

// One line of a menu: a command, a separator (id 0), the recent-file list, the window list,
// or a submenu whose lines follow up to its end marker.
struct MenuLine
{
    enum Kind { Command, Separator, RecentFiles, WindowList, Submenu, EndSubmenu };
    Kind kind;
    int id = 0;                  // Command
    const char* title = nullptr; // Submenu
};

struct Menu
{
    const char* title;
    QList<MenuLine> lines;
    // The log window's menu bar has this menu too; the others act on plots only.
    bool onLogMenu;
};

// The menu bar from left to right.
const QList<Menu>& menus();
// The toolbar buttons in order; 0 is a separator.
const QList<int>& toolbar();
// The keys of a command (first one shown in the menu); empty for none.
QList<QKeySequence> shortcuts(int id);
// Every command that has a key but no menu line (Escape, F6, Shift+F6, F1).
const QList<int>& keyOnlyCommands();
// Every command of the menus, the toolbar and the keys, ascending, without the recent files.
QList<int> allCommands();

// The menu text of a command: the string table's, or the framework's own for the few
// framework commands the table leaves out. Empty for an unknown id.
QString text(int id);
// The status-bar prompt: the string table entry with the command's id, or the framework's.
QString prompt(int id);

} // namespace CommandTable
