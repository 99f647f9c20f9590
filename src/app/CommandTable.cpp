#include "app/CommandTable.h"

#include "doc/DocumentCommands.h"
#include "platform/Strings.h"

#include <QHash>
#include <algorithm>

namespace CommandTable {

namespace {

using L = MenuLine;

L cmd(int id)
{
    return {L::Command, id};
}
const L separator{L::Separator};

// The framework's texts for commands the string table has no entry for; "\n" separates the
// status prompt from the tooltip, as the framework kept them.
struct FrameworkText
{
    int id;
    const char* menu;
    const char* prompt;
};

constexpr FrameworkText frameworkTexts[] = {
    {FrameCmd::FileNew, nullptr, "Create a new document"},
    {FrameCmd::FileOpen, nullptr, "Open an existing document"},
    {FrameCmd::FileClose, nullptr, "Close the active document"},
    {FrameCmd::FileSave, nullptr, "Save the active document"},
    {FrameCmd::FileSaveAs, nullptr, "Save the active document with a new name"},
    {FrameCmd::PrintSetup, nullptr, "Change the printer and printing options"},
    {FrameCmd::Print, nullptr, "Print the active document"},
    {FrameCmd::PrintPreview, nullptr, "Display full pages"},
    {FrameCmd::EditDelete, nullptr, "Erase the selection"},
    {FrameCmd::EditCopy, nullptr, "Copy the selection and put it on the Clipboard"},
    {FrameCmd::EditCut, nullptr, "Cut the selection and put it on the Clipboard"},
    {FrameCmd::EditPaste, nullptr, "Insert Clipboard contents"},
    {FrameCmd::EditPasteLink, nullptr, "Insert Clipboard contents and a link to its source"},
    {FrameCmd::EditUndo, nullptr, "Undo the last action"},
    {FrameCmd::EditRedo, nullptr, "Redo the previously undone action"},
    {FrameCmd::WindowCascade, "&Cascade", "Arrange windows so they overlap"},
    {FrameCmd::WindowTile, "&Tile", "Arrange windows as non-overlapping tiles"},
    {FrameCmd::About, nullptr, "Display program information, version number and copyright"},
    {FrameCmd::Exit, nullptr, "Quit the application; prompts to save documents"},
    {FrameCmd::ContextHelp, "Help", "Display help for clicked on buttons, menus and windows"},
    {FrameCmd::Help, "Help", "List Help topics"},
    {FrameCmd::NextPane, "Next Pane", "Switch to the next window pane"},
    {FrameCmd::PrevPane, "Previous Pane", "Switch back to the previous window pane"},
    {FrameCmd::CancelMode, "Cancel", ""},
    {FrameCmd::InsertNewObject, nullptr, "Insert new embedded object"},
};

const FrameworkText* frameworkText(int id)
{
    for (const FrameworkText& t : frameworkTexts) {
        if (t.id == id)
            return &t;
    }
    return nullptr;
}

} // namespace

const QList<Menu>& menus()
{
    static const QList<Menu> bar{
        {"&File",
         {cmd(FrameCmd::FileNew),
          cmd(FrameCmd::FileOpen),
          cmd(FrameCmd::FileClose),
          cmd(FrameCmd::FileSave),
          cmd(FrameCmd::FileSaveAs),
          cmd(FrameCmd::FileExport),
          separator,
          cmd(Cmd::OpenDataFile),
          cmd(Cmd::ImportDataFile),
          separator,
          cmd(FrameCmd::Print),
          cmd(FrameCmd::PrintPreview),
          cmd(FrameCmd::PrintSetup),
          separator,
          {L::RecentFiles},
          separator,
          cmd(FrameCmd::Exit)},
         true},
        {"&Edit",
         {cmd(FrameCmd::EditUndo), cmd(FrameCmd::EditRedo), separator, cmd(FrameCmd::EditCut),
          cmd(FrameCmd::EditCopy), cmd(FrameCmd::EditPaste), cmd(FrameCmd::EditPasteLink),
          cmd(FrameCmd::EditDelete), separator, cmd(FrameCmd::InsertNewObject),
          cmd(FrameCmd::InsertGlyphpadLabel)},
         true},
        {"F&ormat",
         {cmd(Cmd::FileSettings), cmd(Cmd::FormatAxes), cmd(Cmd::FormatObject), separator,
          cmd(Cmd::CenterPage), separator, cmd(FrameCmd::Defaults)},
         false},
        {"&Data",
         {cmd(Cmd::DataReadout),
          cmd(Cmd::ErrorBars),
          separator,
          cmd(Cmd::Interpolate),
          cmd(Cmd::Integrate),
          cmd(Cmd::Smooth),
          {L::Submenu, 0, "&Fit"},
          cmd(Cmd::FitPolynomial),
          cmd(Cmd::FitPower),
          cmd(Cmd::FitExponential),
          cmd(Cmd::FitGaussian),
          {L::EndSubmenu},
          separator,
          cmd(Cmd::RereadData),
          cmd(Cmd::WriteData)},
         false},
        {"&View",
         {cmd(Cmd::DataZoom), cmd(Cmd::DataUnzoom), cmd(FrameCmd::ViewScale), separator,
          cmd(FrameCmd::FollowFiles)},
         false},
        {"&Window",
         {cmd(FrameCmd::WindowCascade),
          cmd(FrameCmd::WindowTile),
          separator,
          cmd(FrameCmd::LogWindow),
          {L::WindowList}},
         true},
        {"&Help", {cmd(FrameCmd::About)}, true},
    };
    return bar;
}

const QList<int>& toolbar()
{
    static const QList<int> buttons{
        FrameCmd::FileNew,
        FrameCmd::FileOpen,
        FrameCmd::FileSave,
        Cmd::OpenDataFile,
        0,
        FrameCmd::EditCut,
        FrameCmd::EditCopy,
        FrameCmd::EditPaste,
        FrameCmd::EditUndo,
        FrameCmd::EditRedo,
        FrameCmd::InsertGlyphpadLabel,
        0,
        FrameCmd::Print,
        FrameCmd::About,
        FrameCmd::ContextHelp,
    };
    return buttons;
}

QList<QKeySequence> shortcuts(int id)
{
    using K = QKeySequence;
    static const QHash<int, QList<QKeySequence>> keys{
        {FrameCmd::EditCopy, {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)}},
        {FrameCmd::EditCut, {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)}},
        {FrameCmd::EditPaste, {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)}},
        {FrameCmd::EditUndo, {K(Qt::CTRL | Qt::Key_Z), K(Qt::ALT | Qt::Key_Backspace)}},
        {FrameCmd::EditRedo, {K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
        {FrameCmd::EditDelete, {K(Qt::Key_Delete)}},
        {Cmd::OpenDataFile, {K(Qt::CTRL | Qt::Key_D)}},
        {FrameCmd::FileNew, {K(Qt::CTRL | Qt::Key_N)}},
        {FrameCmd::FileOpen, {K(Qt::CTRL | Qt::Key_O)}},
        {FrameCmd::FileSave, {K(Qt::CTRL | Qt::Key_S)}},
        {FrameCmd::Print, {K(Qt::CTRL | Qt::Key_P)}},
        {FrameCmd::CancelMode, {K(Qt::Key_Escape)}},
        {FrameCmd::Help, {K(Qt::Key_F1)}},
        {FrameCmd::ContextHelp, {K(Qt::SHIFT | Qt::Key_F1)}},
        {FrameCmd::NextPane, {K(Qt::Key_F6)}},
        {FrameCmd::PrevPane, {K(Qt::SHIFT | Qt::Key_F6)}},
    };
    return keys.value(id);
}

const QList<int>& keyOnlyCommands()
{
    static const QList<int> ids{FrameCmd::CancelMode, FrameCmd::Help, FrameCmd::NextPane,
                                FrameCmd::PrevPane};
    return ids;
}

QList<int> allCommands()
{
    QList<int> ids;
    for (const Menu& menu : menus()) {
        for (const MenuLine& line : menu.lines) {
            if (line.kind == MenuLine::Command)
                ids.append(line.id);
        }
    }
    for (int id : toolbar()) {
        if (id != 0)
            ids.append(id);
    }
    ids.append(keyOnlyCommands());
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

QString text(int id)
{
    const QString own = menuText(id);
    if (!own.isEmpty())
        return own;
    const FrameworkText* t = frameworkText(id);
    return t && t->menu ? QString::fromUtf8(t->menu) : QString();
}

QString prompt(int id)
{
    const QString own = loadString(id);
    if (!own.isEmpty())
        return own;
    const FrameworkText* t = frameworkText(id);
    return t && t->prompt ? QString::fromUtf8(t->prompt) : QString();
}

} // namespace CommandTable
