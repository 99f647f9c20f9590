#include "app/CommandTable.h"
#include "app/MainWindow.h"
#include "app/PlotChild.h"
#include "app/RecentFileList.h"
#include "app/WindowPlacement.h"
#include "doc/DocumentCommands.h"
#include "doc/FileFollower.h"
#include "doc/PlotDocument.h"
#include "platform/Profile.h"
#include "platform/ScriptedPrompter.h"
#include "platform/Settings.h"
#include "platform/Strings.h"
#include "view/GraphView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

// Every command in the menus, by the menu it is in.
QSet<int> menuCommands(const MainWindow& frame)
{
    QSet<int> ids;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        const QList<QAction*> actions = menu->actions();
        for (QAction* a : actions) {
            if (a->menu())
                walk(a->menu());
            else if (a->data().isValid())
                ids.insert(a->data().toInt());
        }
    };
    const QList<QAction*> top = frame.menuBar()->actions();
    for (QAction* a : top)
        walk(a->menu());
    return ids;
}

QSet<int> enabledCommands(const MainWindow& frame)
{
    QSet<int> ids;
    for (int id : CommandTable::allCommands()) {
        if (frame.action(id)->isEnabled())
            ids.insert(id);
    }
    return ids;
}

class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(Profile::path());
        Prompter::setInstance(&prompter);
    }
    void TearDown() override
    {
        Prompter::setInstance(nullptr);
        QFile::remove(Profile::path());
    }

    ScriptedPrompter prompter;
};

} // namespace

TEST(CommandTableTest, EveryCommandHasItsTextAndPrompt)
{
    for (int id : CommandTable::allCommands()) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(CommandTable::text(id).isEmpty());
        if (!menuText(id).isEmpty()) {
            EXPECT_EQ(CommandTable::text(id), menuText(id));
        }
        if (!loadString(id).isEmpty()) {
            EXPECT_EQ(CommandTable::prompt(id), loadString(id));
        }
    }
    // Word for word, double blank and trailing blank included.
    EXPECT_EQ(CommandTable::text(Cmd::RereadData), QStringLiteral("&Reread  Data"));
    EXPECT_EQ(CommandTable::text(Cmd::WriteData), QStringLiteral("&Write Data "));
    EXPECT_EQ(CommandTable::prompt(Cmd::CenterPage),
              QStringLiteral("Centers all objects on the page"));
}

TEST(CommandTableTest, EveryDocumentCommandAndMenuTextIsReachable)
{
    QList<int> all = CommandTable::allCommands();
    for (int id : documentCommandIds())
        EXPECT_TRUE(all.contains(id)) << id;
    // The context menus' commands are the view's; every other command with a menu text has a
    // line in the frame's menus.
    const QSet<int> contextMenus{32774, 32775, 32776, 32777, 32778, 32779,
                                 32780, 32784, 32793, 32794, 32800, 32803};
    for (int id : menuCommandIds()) {
        if (!contextMenus.contains(id)) {
            EXPECT_TRUE(all.contains(id)) << id;
        }
    }
}

TEST_F(FrameTest, MenusToolbarAndKeys)
{
    MainWindow frame;
    const QStringList titles{"&File", "&Edit", "F&ormat", "&Data", "&View", "&Window", "&Help"};
    QStringList shown;
    const QList<QAction*> top = frame.menuBar()->actions();
    for (QAction* a : top)
        shown.append(a->text());
    EXPECT_EQ(shown, titles);

    QSet<int> inMenus = menuCommands(frame);
    for (int id : CommandTable::allCommands()) {
        if (!CommandTable::keyOnlyCommands().contains(id) && id != FrameCmd::ContextHelp) {
            EXPECT_TRUE(inMenus.contains(id)) << id;
        }
        EXPECT_EQ(frame.action(id)->text(), CommandTable::text(id)) << id;
    }

    QList<int> toolbar;
    const QList<QAction*> buttons = frame.toolBar()->actions();
    for (QAction* a : buttons)
        toolbar.append(a->isSeparator() ? 0 : a->data().toInt());
    EXPECT_EQ(toolbar, (QList<int>{57600, 57601, 57603, 32770, 0, 57635, 57634, 57637, 57643, 57644,
                                   32797, 0, 57607, 57664, 57669}));
    // The message pane is "Ready" when idle, and again after a prompt has come and gone.
    EXPECT_EQ(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));
    frame.statusBar()->showMessage(QStringLiteral("Opens a data file"));
    frame.statusBar()->clearMessage();
    EXPECT_EQ(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));

    const struct
    {
        const char* keys;
        int id;
    } keys[] = {
        {"Ctrl+C", 57634},    {"Ctrl+Ins", 57634},      {"Ctrl+X", 57635},
        {"Shift+Del", 57635}, {"Ctrl+V", 57637},        {"Shift+Ins", 57637},
        {"Ctrl+Z", 57643},    {"Alt+Backspace", 57643}, {"Del", 57632},
        {"Ctrl+D", 32770},    {"Ctrl+N", 57600},        {"Ctrl+O", 57601},
        {"Ctrl+S", 57603},    {"Ctrl+P", 57607},        {"Esc", 32806},
        {"F1", 57670},        {"Shift+F1", 57669},      {"F6", 57680},
        {"Shift+F6", 57681},  {"Ctrl+Y", 57644},        {"Ctrl+Shift+Z", 57644},
    };
    for (const auto& k : keys) {
        const QKeySequence seq(QString::fromLatin1(k.keys));
        int found = 0;
        for (int id : CommandTable::allCommands()) {
            if (frame.action(id)->shortcuts().contains(seq))
                found = found ? -1 : id;
        }
        EXPECT_EQ(found, k.id) << k.keys;
    }
}

TEST_F(FrameTest, EnabledCommandsWithoutAndWithADocument)
{
    MainWindow frame;
    const QSet<int> always{57600, 57601, 57606, 57664, 57665, 57669,
                           32801, 32770, 32783, 32811, 32812};
    EXPECT_EQ(enabledCommands(frame), always);

    PlotChild* child = frame.newDocument();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(frame.activeChild(), child);
    frame.updateCommands();
    // The commands that need a trace (Reread Data, the fits, ...) stay disabled, and so does
    // Insert Glyphpad Label without a focus rectangle.
    const QSet<int> withDocument =
        always + QSet<int>{57602, 57603, 57604, 57607, 57609, 57650, 57651, 57680,
                           57681, 32771, 32772, 32773, 32802, 32804, 32810, 57856};
    EXPECT_EQ(enabledCommands(frame), withDocument);

    EXPECT_TRUE(child->close());
    QApplication::processEvents();
    frame.updateCommands();
    EXPECT_EQ(enabledCommands(frame), always);
}

TEST_F(FrameTest, ClosingAModifiedDocumentAsksAndCanBeCancelled)
{
    MainWindow frame;
    PlotChild* child = frame.newDocument();
    child->document().SetModifiedFlag(true);
    prompter.pushAnswer(Prompter::Answer::Cancel);
    EXPECT_FALSE(child->close());
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_EQ(prompter.texts()[0], QStringLiteral("Save changes to VanePlot1?"));

    prompter.pushAnswer(Prompter::Answer::No);
    EXPECT_TRUE(child->close());
}

TEST(WindowPlacementTest, ParsesExactlyTenNumbers)
{
    const struct
    {
        const char* text;
        bool valid;
    } cases[] = {
        {"2,3,-1,-1,-1,-1,10,20,810,620", true},
        {"0,1,-1,-1,-1,-1,-5,-5,400,300", true},
        {" 0, 1,-1,-1,-1,-1,0,0,100,100 ", true},
        {"0,1,-1,-1,-1,-1,0,0,100", false},
        {"0,1,-1,-1,-1,-1,0,0,100,100,7", false},
        {"0,1,-1,-1,-1,-1,0,0,100,x", false},
        {"0,1,-1,-1,-1,-1,0,0,100,", false},
        {"-1,1,-1,-1,-1,-1,0,0,100,100", false},
        {"", false},
        {"0,1,-1,-1,-1,-1,0,0,100,99999999999", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto p = WindowPlacement::parse(QString::fromLatin1(c.text));
        EXPECT_EQ(p.has_value(), c.valid);
        if (p) {
            EXPECT_EQ(WindowPlacement::parse(p->toString()), p);
        }
    }
    const auto p = WindowPlacement::parse(QStringLiteral("2,3,-1,-1,-1,-1,10,20,810,620"));
    EXPECT_EQ(p->normalRect(), QRect(10, 20, 800, 600));
    EXPECT_TRUE(p->opensMaximized());
    // Closed minimized after being maximized: it opens maximized, never minimized.
    EXPECT_TRUE(
        WindowPlacement::parse(QStringLiteral("2,2,-1,-1,-1,-1,0,0,9,9"))->opensMaximized());
    EXPECT_FALSE(
        WindowPlacement::parse(QStringLiteral("0,2,-1,-1,-1,-1,0,0,9,9"))->opensMaximized());
}

TEST_F(FrameTest, PlacementIsWrittenOnCloseAndRestored)
{
    {
        MainWindow frame;
        frame.setGeometry(40, 50, 700, 500);
        frame.showMaximized();
        QApplication::processEvents();
        ASSERT_TRUE(frame.isMaximized());
        frame.close();
    }
    Profile profile;
    const auto stored = WinPos::read(profile);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->flags, WindowPlacement::restoreToMaximized);
    EXPECT_EQ(stored->showCmd, unsigned(WindowPlacement::showMaximized));
    {
        MainWindow frame;
        frame.restorePlacement();
        QApplication::processEvents();
        EXPECT_TRUE(frame.isMaximized());
    }

    profile.writeString(Settings::section, WinPos::key,
                        QStringLiteral("0,1,-1,-1,-1,-1,30,40,630,440"));
    profile.flush();
    {
        MainWindow frame;
        frame.restorePlacement();
        QApplication::processEvents();
        EXPECT_FALSE(frame.isMaximized());
        EXPECT_EQ(frame.geometry().size(), QSize(600, 400));
    }

    // Nine numbers: ignored, the frame keeps its own size.
    profile.writeString(Settings::section, WinPos::key,
                        QStringLiteral("2,3,-1,-1,-1,-1,30,40,630"));
    profile.flush();
    {
        MainWindow frame;
        const QSize own = frame.size();
        frame.restorePlacement();
        QApplication::processEvents();
        EXPECT_FALSE(frame.isMaximized());
        EXPECT_EQ(frame.size(), own);
    }
}

TEST_F(FrameTest, RecentFilesKeepFourNewestFirst)
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 6; ++i) {
        paths.append(QDir(dir.path()).filePath(QStringLiteral("plot%1.pvn").arg(i)));
        QFile f(paths.last());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    RecentFileList list(CommandTable::recentFileCount);
    for (int i = 0; i < 5; ++i)
        list.add(paths[i]);
    list.add(paths[2]);
    list.add(dir.path() + QStringLiteral("/./plot3.pvn"));
    EXPECT_EQ(list.files(), (QStringList{paths[3], paths[2], paths[4], paths[1]}));

    {
        Profile profile;
        list.write(profile);
    }
    MainWindow frame;
    EXPECT_EQ(frame.recentFiles().files(), list.files());
    frame.updateCommands();
    QAction* first = frame.action(FrameCmd::RecentFile1);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->text().startsWith(QStringLiteral("&1 ")));
    EXPECT_TRUE(first->text().endsWith(QStringLiteral("plot3.pvn")));

    // A file that is gone is reported and leaves the list.
    QFile::remove(paths[3]);
    frame.onCommand(FrameCmd::RecentFile1);
    EXPECT_EQ(prompter.records().size(), 1u);
    EXPECT_EQ(frame.recentFiles().files(), (QStringList{paths[2], paths[4], paths[1]}));
    frame.updateCommands();
    EXPECT_FALSE(frame.action(FrameCmd::RecentFile1 + 3)->isVisible());

    EXPECT_EQ(RecentFileList::menuLine(1, QStringLiteral("/tmp/a&b.pvn")),
              QStringLiteral("&2 /tmp/a&&b.pvn"));
}

TEST_F(FrameTest, FilesOfTheCommandLineAndDropsOpenInPlotWindows)
{
    MainWindow frame;
    const QString data = QStringLiteral(PLOTVANE_EXAMPLES "/damped-oscillation.dat");
    PlotChild* child = frame.openFile(data);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->document().HoldsTrace());
    EXPECT_TRUE(prompter.records().empty()) << "no dialog for a file named on the command line";
    frame.updateCommands();
    EXPECT_TRUE(frame.action(Cmd::RereadData)->isEnabled());

    QTemporaryDir dir;
    const QString words = dir.filePath(QStringLiteral("words.dat"));
    QFile file(words);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("one\ntwo\nthree\nfour\nfive\n");
    file.close();
    for (const QString& bad : {words, dir.filePath(QStringLiteral("missing.dat"))}) {
        prompter.clear();
        EXPECT_EQ(frame.openFile(bad), nullptr);
        EXPECT_EQ(prompter.records().size(), 1u);
    }
    EXPECT_EQ(frame.plotChildren().size(), 1);
}

namespace {

bool outlineGrey(QRgb p)
{
    return qRed(p) == 120 && qGreen(p) == 120 && qBlue(p) == 120;
}

// How many pixels of a row (or column) of the view show the dotted page outline.
int outlinePixels(const QImage& image, bool row, int at)
{
    int n = 0;
    const int length = row ? image.width() : image.height();
    for (int i = 0; i < length; ++i)
        n += outlineGrey(row ? image.pixel(i, at) : image.pixel(at, i));
    return n;
}

enum class Arrangement { StartSize, NewWindow, Tiled, Cascaded, SmallFrame };

class PageReachTest : public FrameTest, public ::testing::WithParamInterface<Arrangement>
{};

} // namespace

// Whenever the page is taller or wider than a window, its scroll bars bring every edge of the
// page outline into view.
TEST_P(PageReachTest, ScrollBarsReachEveryEdgeOfThePage)
{
    MainWindow frame;
    frame.show();
    QList<PlotChild*> children{frame.newDocument()};
    switch (GetParam()) {
    case Arrangement::StartSize:
        children[0]->showMaximized();
        break;
    case Arrangement::NewWindow:
        break;
    case Arrangement::Tiled:
        children.append(frame.newDocument());
        frame.onCommand(FrameCmd::WindowTile);
        break;
    case Arrangement::Cascaded:
        children.append(frame.newDocument());
        children.append(frame.newDocument());
        frame.onCommand(FrameCmd::WindowCascade);
        break;
    case Arrangement::SmallFrame:
        children[0]->showMaximized();
        frame.resize(500, 400);
        break;
    }
    QApplication::processEvents();
    for (PlotChild* child : children) {
        GraphView* view = child->view();
        const QSize page = view->pageSize() * view->viewScale();
        const QSize client = view->viewport()->size();
        const bool tall = page.height() > client.height();
        const bool wide = page.width() > client.width();
        ASSERT_TRUE(tall || wide) << "the page fits this window";
        EXPECT_EQ(view->verticalScrollBar()->isVisible(), tall);
        EXPECT_EQ(view->horizontalScrollBar()->isVisible(), wide);

        // The top-right corner at the window's edges (or inside them where the page fits),
        // then the bottom-left one.
        view->OnScroll(Qt::Vertical, PageScrollView::ScrollCode::ThumbPosition,
                       client.height() - page.height());
        view->OnScroll(Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition,
                       page.width() - client.width());
        QImage image = view->viewport()->grab().toImage();
        const int top = std::max(0, client.height() - page.height());
        const int right = std::min(client.width(), page.width()) - 1;
        EXPECT_GT(outlinePixels(image, true, top), client.boundedTo(page).width() / 4)
            << "top edge";
        EXPECT_GT(outlinePixels(image, false, right), client.boundedTo(page).height() / 4)
            << "right edge";
        view->OnScroll(Qt::Vertical, PageScrollView::ScrollCode::ThumbPosition, 0);
        view->OnScroll(Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition, 0);
        image = view->viewport()->grab().toImage();
        EXPECT_GT(outlinePixels(image, true, client.height() - 1),
                  client.boundedTo(page).width() / 4)
            << "bottom edge";
        EXPECT_GT(outlinePixels(image, false, 0), client.boundedTo(page).height() / 4)
            << "left edge";
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, PageReachTest,
                         ::testing::Values(Arrangement::StartSize, Arrangement::NewWindow,
                                           Arrangement::Tiled, Arrangement::Cascaded,
                                           Arrangement::SmallFrame));

TEST_F(FrameTest, CascadedWindowsKeepTheSizeOfANewWindowInsideTheArea)
{
    MainWindow frame;
    frame.show();
    QList<PlotChild*> children;
    for (int i = 0; i < 3; ++i)
        children.append(frame.newDocument());
    const QSize newSize = children[0]->size();
    ASSERT_GT(newSize.width(), 400);
    frame.onCommand(FrameCmd::WindowCascade);
    QApplication::processEvents();
    const QRect area = frame.mdiArea()->viewport()->rect();
    QSet<int> tops;
    for (PlotChild* child : children) {
        EXPECT_EQ(child->width(), newSize.width());
        EXPECT_EQ(child->height(), newSize.height());
        EXPECT_TRUE(area.contains(child->geometry())) << child->geometry().x();
        tops.insert(child->y());
    }
    EXPECT_EQ(tops.size(), 3) << "one below the other";

    // A window that cannot keep that size where the cascade puts it stops at the area's edge.
    frame.resize(500, 400);
    frame.onCommand(FrameCmd::WindowCascade);
    QApplication::processEvents();
    const QRect small = frame.mdiArea()->viewport()->rect();
    for (PlotChild* child : children)
        EXPECT_TRUE(small.contains(child->geometry())) << child->geometry().x();
}

// Follow Data Files is remembered, and a followed file that vanishes is named in the status bar
// until it is back.
TEST_F(FrameTest, FollowedFileThatVanishesIsNamedUntilItIsBack)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("run.dat"));
    QFile::copy(QStringLiteral(PLOTVANE_EXAMPLES "/power-law.dat"), data);
    auto missingText = [](const MainWindow& frame) {
        QString text;
        for (const QLabel* label : frame.statusBar()->findChildren<QLabel*>())
            text += label->text();
        return text;
    };
    {
        MainWindow frame;
        PlotChild* child = frame.openFile(data);
        ASSERT_NE(child, nullptr);
        frame.onCommand(FrameCmd::FollowFiles);
        EXPECT_TRUE(frame.action(FrameCmd::FollowFiles)->isChecked());
        QFile::rename(data, data + QStringLiteral(".old"));
        auto* follower = child->findChild<FileFollower*>();
        ASSERT_NE(follower, nullptr);
        follower->update();
        EXPECT_TRUE(missingText(frame).contains(data + QStringLiteral(" is missing")));
        QFile::rename(data + QStringLiteral(".old"), data);
        follower->update();
        EXPECT_FALSE(missingText(frame).contains(QStringLiteral("missing")));
    }
    MainWindow again;
    EXPECT_TRUE(again.action(FrameCmd::FollowFiles)->isChecked());
    again.onCommand(FrameCmd::FollowFiles);
    EXPECT_EQ(Profile().getInt(Settings::section, QStringLiteral("FollowFiles"), -1), 0);
}
