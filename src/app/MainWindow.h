#pragma once

#include "app/RecentFileList.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <memory>

class LogSink;
class OutputLog;
class PlotChild;
class QAction;
class QLabel;
class ReadProgress;
class StatusReadProgress;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class PlotDocument;

// The main window: plot windows in an MDI area, the menus, toolbar and status bar, one QAction
// per command id. Commands go to the active plot window's document first and then to the frame;
// their enabled states are recomputed before a menu shows and after every command and input.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The action of a command id; null for an id the frame does not know.
    QAction* action(int id) const { return actions_.value(id); }
    QToolBar* toolBar() const { return toolBar_; }
    QMdiArea* mdiArea() const { return mdi_; }
    // The active plot window; null when there is none or the log is the active window.
    PlotChild* activeChild() const;
    QList<PlotChild*> plotChildren() const;
    RecentFileList& recentFiles() { return recent_; }
    // The output log; the analysis commands reach it through the installed LogSink.
    OutputLog& log() const { return *log_; }
    // The log at the end of start-up: created behind the active plot window, which stays
    // active and is maximised.
    void createLog();

    bool isCommandEnabled(int id) const;
    void onCommand(int id);
    // Enables every action by its rule, and refreshes captions and the recent-file lines.
    void updateCommands();

    // File New: an empty plot window.
    PlotChild* newDocument();
    // File Open of a plot document; an open window of the same file is activated instead.
    // Null when it could not be opened (reported).
    PlotChild* openDocument(const QString& path);
    // A file named on the command line or dropped: a plot document, or a data file plotted in
    // a new window. Null when it could not be opened (reported).
    PlotChild* openFile(const QString& path);

    // Shows the frame where WinPos says; written back when the frame closes.
    void restorePlacement();
    void savePlacement();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void updateRecentFiles();
    // Edit Undo and Redo name the step they would take ("Undo Move").
    void updateUndoTexts();
    void fillWindowMenu();
    // Shows the menus of the active window: the log has no Format, Data and View menus.
    void updateMenus();
    // The windows the user sees in the area (the hidden log is not one of them).
    QList<QMdiSubWindow*> visibleWindows() const;
    PlotChild* addChild(std::unique_ptr<PlotDocument> doc);
    // The size a new plot window gets: most of the MDI area.
    QSize newWindowSize() const;
    // Window Cascade: the windows one below the other, each at the size of a new window where
    // that fits in the area from its place, else up to the area's edge.
    void cascadeWindows();
    PlotChild* findChild(const QString& path) const;
    void scheduleUpdate();
    void childActivated(QMdiSubWindow* window);
    void rememberFile(const QString& path);
    // View > Follow Data Files: every plot window's data files follow the files on disk.
    void followFiles(bool on);
    // The status bar names the followed files that are missing.
    void showMissingFiles();

    void fileOpen();
    // Open Data File or Import Data.
    void openDataFile(int command);
    void openRecent(int index);
    void about();

    QMdiArea* mdi_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QList<QAction*> plotOnlyMenus_; // the menu-bar entries of menus the log does not have
    QList<QAction*> windowListActions_;
    QHash<int, QAction*> actions_;
    RecentFileList recent_;
    int untitledCount_ = 0;
    bool updatePending_ = false;
    bool following_ = false;
    QLabel* missingFiles_ = nullptr; // in the status bar
    std::unique_ptr<StatusReadProgress> readProgress_;
    ReadProgress* previousReadProgress_ = nullptr;
    std::unique_ptr<OutputLog> log_;
    LogSink* previousSink_ = nullptr; // put back when this window goes
};
