#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/CommandTable.h"
#include "app/DefaultsDialog.h"
#include "app/DocumentIO.h"
#include "app/ExportDialog.h"
#include "app/PlotChild.h"
#include "app/StatusReadProgress.h"
#include "app/WindowPlacement.h"
#include "doc/DocumentCommands.h"
#include "doc/DocumentView.h"
#include "doc/FileFollower.h"
#include "doc/PlotDocument.h"
#include "doc/UndoHistory.h"
#include "log/OutWin.h"
#include "log/OutputLog.h"
#include "ole/OleCommands.h"
#include "platform/Exceptions.h"
#include "platform/Profile.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/ShowFileMessage.h"
#include "platform/Strings.h"
#include "platform/WaitCursor.h"
#include "view/DataCursorDialog.h"
#include "view/GraphView.h"
#include "view/ViewClipboard.h"
#include "view/ViewScaleDialog.h"
#include "view/ZoomCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>
#include <new>
#include <optional>

namespace {

bool isRecentFileCommand(int id)
{
    return id >= FrameCmd::RecentFile1 &&
           id < FrameCmd::RecentFile1 + CommandTable::recentFileCount;
}

// Toolbar pictures: the desktop theme's where it has one, else the program's own.
QIcon toolbarIcon(int id)
{
    struct Icon
    {
        int id;
        const char* theme;
        const char* own;
    };
    static const Icon icons[] = {
        {FrameCmd::FileNew, "document-new", "new"},
        {FrameCmd::FileOpen, "document-open", "open"},
        {FrameCmd::FileSave, "document-save", "save"},
        {Cmd::OpenDataFile, nullptr, "opendata"},
        {FrameCmd::EditCut, "edit-cut", "cut"},
        {FrameCmd::EditCopy, "edit-copy", "copy"},
        {FrameCmd::EditPaste, "edit-paste", "paste"},
        {FrameCmd::EditUndo, "edit-undo", "undo"},
        {FrameCmd::EditRedo, "edit-redo", "redo"},
        {FrameCmd::InsertGlyphpadLabel, nullptr, "label"},
        {FrameCmd::Print, "document-print", "print"},
        {FrameCmd::About, "help-about", "about"},
        {FrameCmd::ContextHelp, "help-contextual", "contexthelp"},
    };
    for (const Icon& icon : icons) {
        if (icon.id != id)
            continue;
        const QIcon own(QStringLiteral(":/plotvane/toolbar/%1.svg").arg(QLatin1String(icon.own)));
        return icon.theme ? QIcon::fromTheme(QLatin1String(icon.theme), own) : own;
    }
    return {};
}

// The frame's own commands that change the page; the document's commands name their steps
// themselves.
bool isEditCommand(int id)
{
    switch (id) {
    case FrameCmd::EditDelete:
    case FrameCmd::EditCut:
    case FrameCmd::EditPaste:
    case FrameCmd::EditPasteLink:
    case FrameCmd::InsertNewObject:
    case FrameCmd::InsertGlyphpadLabel:
        return true;
    default:
        return false;
    }
}

QString localFile(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), recent_(CommandTable::recentFileCount)
{
    setWindowTitle(loadString(Str::AppTitle));
    setObjectName(QStringLiteral("MainWindow"));
    installZoomCommands();

    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MainWindow::childActivated);
    log_ = std::make_unique<OutputLog>(mdi_);
    previousSink_ = Installed<LogSink>::install(log_.get());

    {
        Profile profile;
        recent_.read(profile);
    }

    createActions();
    createMenus();
    createToolBar();
    // The message pane says "Ready" whenever no prompt is shown in it.
    QStatusBar* status = statusBar();
    connect(status, &QStatusBar::messageChanged, status, [status](const QString& message) {
        if (message.isEmpty())
            status->showMessage(loadString(Str::IdleMessage));
    });
    status->showMessage(loadString(Str::IdleMessage));
    missingFiles_ = new QLabel(status);
    status->addPermanentWidget(missingFiles_);
    {
        Profile profile;
        following_ = profile.getInt(Settings::section, QStringLiteral("FollowFiles"), 0) != 0;
    }
    actions_.value(FrameCmd::FollowFiles)->setCheckable(true);
    readProgress_ = std::make_unique<StatusReadProgress>(status);
    previousReadProgress_ = Installed<ReadProgress>::install(readProgress_.get());

    setAcceptDrops(true);
    qApp->installEventFilter(this);
    // Paste follows what other programs put on the clipboard.
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &MainWindow::scheduleUpdate);
    resize(900, 700);
    updateCommands();
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    if (Installed<ReadProgress>::get() == readProgress_.get())
        Installed<ReadProgress>::install(previousReadProgress_);
    if (LogSink::instance() == log_.get())
        Installed<LogSink>::install(previousSink_);
    log_->close();
    // The plot windows go first: their views refer to the frame's state through the document.
    const QList<PlotChild*> children = plotChildren();
    for (PlotChild* child : children)
        delete child;
}

void MainWindow::createActions()
{
    QList<int> ids = CommandTable::allCommands();
    for (int i = 0; i < CommandTable::recentFileCount; ++i)
        ids.append(FrameCmd::RecentFile1 + i);
    for (int id : ids) {
        auto* action = new QAction(CommandTable::text(id), this);
        action->setData(id);
        const QString prompt = CommandTable::prompt(id);
        action->setStatusTip(prompt);
        action->setWhatsThis(prompt);
        const QList<QKeySequence> keys = CommandTable::shortcuts(id);
        if (!keys.isEmpty())
            action->setShortcuts(keys);
        action->setIcon(toolbarIcon(id));
        action->setIconVisibleInMenu(false);
        connect(action, &QAction::triggered, this, [this, id] { onCommand(id); });
        actions_.insert(id, action);
    }
    // Keys without a menu line still need a widget to listen on.
    for (int id : CommandTable::keyOnlyCommands())
        addAction(actions_.value(id));
}

void MainWindow::createMenus()
{
    for (const CommandTable::Menu& menu : CommandTable::menus()) {
        QMenu* current = menuBar()->addMenu(QString::fromUtf8(menu.title));
        QMenu* top = current;
        if (!menu.onLogMenu)
            plotOnlyMenus_.append(top->menuAction());
        connect(top, &QMenu::aboutToShow, this, &MainWindow::updateCommands);
        for (const CommandTable::MenuLine& line : menu.lines) {
            switch (line.kind) {
            case CommandTable::MenuLine::Command:
                current->addAction(actions_.value(line.id));
                break;
            case CommandTable::MenuLine::Separator:
                current->addSeparator();
                break;
            case CommandTable::MenuLine::RecentFiles:
                for (int i = 0; i < CommandTable::recentFileCount; ++i)
                    current->addAction(actions_.value(FrameCmd::RecentFile1 + i));
                break;
            case CommandTable::MenuLine::WindowList:
                windowMenu_ = current;
                connect(current, &QMenu::aboutToShow, this, &MainWindow::fillWindowMenu);
                break;
            case CommandTable::MenuLine::Submenu:
                current = current->addMenu(QString::fromUtf8(line.title));
                connect(current, &QMenu::aboutToShow, this, &MainWindow::updateCommands);
                break;
            case CommandTable::MenuLine::EndSubmenu:
                current = top;
                break;
            }
        }
    }
}

void MainWindow::createToolBar()
{
    toolBar_ = addToolBar(QStringLiteral("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(16, 16));
    for (int id : CommandTable::toolbar()) {
        if (id == 0)
            toolBar_->addSeparator();
        else
            toolBar_->addAction(actions_.value(id));
    }
}

PlotChild* MainWindow::activeChild() const
{
    // The current window stays current while a dialog of a command has the focus.
    return qobject_cast<PlotChild*>(mdi_->currentSubWindow());
}

QList<PlotChild*> MainWindow::plotChildren() const
{
    QList<PlotChild*> children;
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (auto* child = qobject_cast<PlotChild*>(window))
            children.append(child);
    }
    return children;
}

bool MainWindow::isCommandEnabled(int id) const
{
    if (isRecentFileCommand(id))
        return id - FrameCmd::RecentFile1 < recent_.files().size();
    PlotChild* child = activeChild();
    if (log_->isActive()) {
        switch (id) {
        case FrameCmd::FileClose:
        case FrameCmd::FileSaveAs:
            return true;
        case FrameCmd::EditCopy:
            return log_->view()->hasSelection();
        case Cmd::OpenDataFile:
        case Cmd::ImportDataFile:
            return false;
        default:
            break;
        }
    }
    switch (id) {
    case FrameCmd::FileNew:
    case FrameCmd::FileOpen:
    case FrameCmd::PrintSetup:
    case FrameCmd::About:
    case FrameCmd::Exit:
    case FrameCmd::Defaults:
    case FrameCmd::ContextHelp:
    case FrameCmd::LogWindow:
    case FrameCmd::FollowFiles:
        return true;
    case FrameCmd::FileClose:
    case FrameCmd::FileSave:
    case FrameCmd::FileSaveAs:
    case FrameCmd::Print:
    case FrameCmd::PrintPreview:
    case FrameCmd::ViewScale:
    case FrameCmd::FileExport:
        return child != nullptr;
    case FrameCmd::EditUndo:
        return child && child->document().undoHistory()->canUndo();
    case FrameCmd::EditRedo:
        return child && child->document().undoHistory()->canRedo();
    case FrameCmd::WindowCascade:
    case FrameCmd::WindowTile:
    case FrameCmd::NextPane:
    case FrameCmd::PrevPane:
        return !visibleWindows().isEmpty();
    case Cmd::OpenDataFile:
    case Cmd::ImportDataFile:
        // Without a plot window the command opens one to plot in.
        return child == nullptr || child->document().isCommandEnabled(id);
    case FrameCmd::EditDelete:
    case FrameCmd::EditCopy:
    case FrameCmd::EditCut:
        return child != nullptr && child->view()->hasSelection();
    case FrameCmd::EditPaste:
        return child != nullptr && ViewClipboard::canPaste(QApplication::clipboard()->mimeData());
    case FrameCmd::InsertNewObject:
        return child != nullptr;
    case FrameCmd::InsertGlyphpadLabel:
        return child != nullptr && OleCommands::canInsertLabel(*child->view());
    default:
        break;
    }
    if (child && documentCommandIds().contains(id))
        return child->document().isCommandEnabled(id);
    return false;
}

void MainWindow::onCommand(int id)
{
    if (!isCommandEnabled(id))
        return;
    try {
        PlotChild* child = activeChild();
        if (log_->isActive() &&
            (id == FrameCmd::FileClose || id == FrameCmd::FileSaveAs || id == FrameCmd::EditCopy)) {
            if (id == FrameCmd::FileClose)
                log_->hide();
            else if (id == FrameCmd::FileSaveAs)
                log_->saveAs();
            else
                log_->view()->copy();
        } else if (isRecentFileCommand(id)) {
            openRecent(id - FrameCmd::RecentFile1);
        } else {
            // What the command changes is one step of the document's history.
            std::optional<UndoAction> step;
            if (child && isEditCommand(id))
                step.emplace(&child->document(), UndoHistory::commandStepName(id));
            switch (id) {
            case FrameCmd::FileNew:
                newDocument();
                break;
            case FrameCmd::FileOpen:
                fileOpen();
                break;
            case FrameCmd::FileClose:
                child->close();
                break;
            case FrameCmd::FileSave:
                child->save();
                break;
            case FrameCmd::FileSaveAs:
                child->saveAs();
                break;
            case FrameCmd::Print:
                child->view()->print();
                break;
            case FrameCmd::PrintPreview:
                child->view()->printPreview();
                break;
            case FrameCmd::ViewScale:
                ViewScaleDialog::run(*child->view());
                break;
            case FrameCmd::FileExport:
                ExportDialog::run(*child->view(), this);
                break;
            case FrameCmd::EditUndo:
                child->document().Undo();
                break;
            case FrameCmd::EditRedo:
                child->document().Redo();
                break;
            case FrameCmd::PrintSetup:
                GraphView::printSetup(this);
                break;
            case FrameCmd::Exit:
                close();
                break;
            case FrameCmd::Defaults:
                runDefaultsCommand(this);
                break;
            case FrameCmd::About:
                about();
                break;
            case FrameCmd::ContextHelp:
                QWhatsThis::enterWhatsThisMode();
                break;
            case FrameCmd::LogWindow:
                log_->show();
                break;
            case FrameCmd::FollowFiles:
                followFiles(!following_);
                break;
            case FrameCmd::WindowCascade:
                cascadeWindows();
                break;
            case FrameCmd::WindowTile:
                mdi_->tileSubWindows();
                break;
            case FrameCmd::NextPane:
                mdi_->activateNextSubWindow();
                break;
            case FrameCmd::PrevPane:
                mdi_->activatePreviousSubWindow();
                break;
            case Cmd::OpenDataFile:
            case Cmd::ImportDataFile:
                openDataFile(id);
                break;
            case FrameCmd::EditDelete:
                // A readout may follow a trace that is about to go.
                DataCursorDialog::closeAll(*child->view());
                ViewClipboard::deleteSelection(*child->view());
                break;
            case FrameCmd::EditCopy:
                ViewClipboard::copy(*child->view());
                break;
            case FrameCmd::EditCut:
                ViewClipboard::cut(*child->view());
                break;
            case FrameCmd::EditPaste:
                ViewClipboard::paste(*child->view());
                break;
            case FrameCmd::InsertNewObject:
                OleCommands::insertNewObject(*child->view());
                break;
            case FrameCmd::InsertGlyphpadLabel:
                OleCommands::insertLabel(*child->view());
                break;
            default:
                if (child)
                    child->document().onCommand(id);
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        ReportCommandException();
    } catch (const PlotvaneException&) {
        ReportCommandException();
    }
    updateCommands();
}

void MainWindow::updateCommands()
{
    // The program is idle: changes made outside any command become steps now.
    const QList<PlotChild*> plots = plotChildren();
    for (PlotChild* child : plots)
        child->document().undoHistory()->settle();
    updateUndoTexts();
    updateRecentFiles();
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it)
        it.value()->setEnabled(isCommandEnabled(it.key()));
    updateMenus();
    const QList<PlotChild*> children = plotChildren();
    for (PlotChild* child : children) {
        child->updateTitle();
        // A command may have opened data files.
        if (auto* follower = child->findChild<FileFollower*>())
            follower->watchFiles();
    }
    actions_.value(FrameCmd::FollowFiles)->setChecked(following_);
}

void MainWindow::updateUndoTexts()
{
    PlotChild* child = activeChild();
    const UndoHistory* history = child ? child->document().undoHistory() : nullptr;
    const auto text = [](int id, int named, const QString& step) {
        return step.isEmpty() ? CommandTable::text(id) : formatString(named, step);
    };
    actions_.value(FrameCmd::EditUndo)
        ->setText(text(FrameCmd::EditUndo, Str::UndoNamed,
                       history && history->canUndo() ? history->undoName() : QString()));
    actions_.value(FrameCmd::EditRedo)
        ->setText(text(FrameCmd::EditRedo, Str::RedoNamed,
                       history && history->canRedo() ? history->redoName() : QString()));
}

void MainWindow::updateRecentFiles()
{
    const QStringList& files = recent_.files();
    for (int i = 0; i < CommandTable::recentFileCount; ++i) {
        QAction* action = actions_.value(FrameCmd::RecentFile1 + i);
        const bool present = i < files.size();
        action->setVisible(present);
        if (present) {
            action->setText(RecentFileList::menuLine(i, files[i]));
            action->setStatusTip(files[i]);
        }
    }
}

void MainWindow::updateMenus()
{
    const bool plot = !log_->isActive();
    for (QAction* menu : std::as_const(plotOnlyMenus_))
        menu->setVisible(plot);
}

QList<QMdiSubWindow*> MainWindow::visibleWindows() const
{
    QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    windows.removeIf([](const QMdiSubWindow* window) { return window->isHidden(); });
    return windows;
}

void MainWindow::createLog()
{
    PlotChild* child = activeChild();
    log_->create(true);
    if (child) {
        mdi_->setActiveSubWindow(child);
        child->showMaximized();
    }
    updateCommands();
}

void MainWindow::fillWindowMenu()
{
    for (QAction* action : std::as_const(windowListActions_))
        delete action;
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = visibleWindows();
    if (windows.isEmpty())
        return;
    windowListActions_.append(windowMenu_->addSeparator());
    QMdiSubWindow* current = mdi_->currentSubWindow();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QString title = window->windowTitle();
        title.replace(QStringLiteral("[*]"), QString());
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action =
            windowMenu_->addAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : title);
        action->setCheckable(true);
        action->setChecked(window == current);
        connect(action, &QAction::triggered, this,
                [this, window] { mdi_->setActiveSubWindow(window); });
        windowListActions_.append(action);
    }
}

PlotChild* MainWindow::addChild(std::unique_ptr<PlotDocument> doc)
{
    const QString untitled =
        docString(Str::PlotDocTemplate, Str::DocName) + QString::number(++untitledCount_);
    auto* child = new PlotChild(std::move(doc), untitled);
    connect(child, &PlotChild::saved, this, &MainWindow::rememberFile);
    auto* follower = new FileFollower(child->document(), child);
    connect(follower, &FileFollower::missingFilesChanged, this, &MainWindow::showMissingFiles);
    connect(follower, &QObject::destroyed, this, &MainWindow::showMissingFiles,
            Qt::QueuedConnection);
    connect(follower, &FileFollower::readFailed, this,
            [this](const QString& message, const QString& path) {
                statusBar()->showMessage(path + QStringLiteral(": ") + message);
            });
    follower->setEnabled(following_);
    mdi_->addSubWindow(child);
    child->resize(newWindowSize());
    child->show();
    mdi_->setActiveSubWindow(child);
    childActivated(child);
    return child;
}

QSize MainWindow::newWindowSize() const
{
    return mdi_->viewport()->size() * 0.8;
}

void MainWindow::cascadeWindows()
{
    // The area's own cascade gives each window its size hint, a few hundred pixels at most.
    mdi_->cascadeSubWindows();
    const QSize area = mdi_->viewport()->size();
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (window->isHidden() || window->isMinimized() || window->isMaximized())
            continue;
        const QSize room(area.width() - window->x(), area.height() - window->y());
        window->resize(newWindowSize().boundedTo(room).expandedTo(window->minimumSizeHint()));
    }
}

PlotChild* MainWindow::findChild(const QString& path) const
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    if (wanted.isEmpty())
        return nullptr;
    const QList<PlotChild*> children = plotChildren();
    for (PlotChild* child : children) {
        const QString own = child->document().GetPathName();
        if (!own.isEmpty() && QFileInfo(own).canonicalFilePath() == wanted)
            return child;
    }
    return nullptr;
}

PlotChild* MainWindow::newDocument()
{
    PlotChild* child = addChild(std::make_unique<PlotDocument>());
    updateCommands();
    return child;
}

PlotChild* MainWindow::openDocument(const QString& path)
{
    if (PlotChild* open = findChild(path)) {
        mdi_->setActiveSubWindow(open);
        return open;
    }
    std::unique_ptr<PlotDocument> doc;
    {
        WaitCursor wait;
        doc = DocumentIO::open(path);
    }
    if (!doc)
        return nullptr;
    PlotChild* child = addChild(std::move(doc));
    rememberFile(path);
    updateCommands();
    return child;
}

PlotChild* MainWindow::openFile(const QString& path)
{
    if (DocumentIO::isPlotDocument(path))
        return openDocument(path);
    std::unique_ptr<PlotDocument> doc;
    QString error;
    {
        WaitCursor wait;
        doc = DocumentIO::openForCommandLine(path, &error);
    }
    if (!doc) {
        // A read stopped with Escape needs no message.
        if (!readProgress_->cancelled())
            Prompter::instance().message(error, QFileInfo(path).fileName(),
                                         Prompter::Icon::Exclamation);
        return nullptr;
    }
    PlotChild* child = addChild(std::move(doc));
    updateCommands();
    return child;
}

void MainWindow::rememberFile(const QString& path)
{
    recent_.add(path);
    Profile profile;
    recent_.write(profile);
    updateRecentFiles();
}

void MainWindow::fileOpen()
{
    const QString filter = docString(Str::PlotDocTemplate, Str::FilterName) + QStringLiteral("|*") +
                           docString(Str::PlotDocTemplate, Str::FilterExt) +
                           QStringLiteral("|All Files (*.*)|*.*||");
    PlotChild* child = activeChild();
    const QString start = child && !child->document().GetPathName().isEmpty()
                              ? QFileInfo(child->document().GetPathName()).absolutePath()
                              : QDir::currentPath();
    const QString path =
        Prompter::instance().openFileName(QStringLiteral("Open"), start, filter,
                                          docString(Str::PlotDocTemplate, Str::FilterExt).mid(1));
    if (!path.isEmpty())
        openDocument(path);
}

void MainWindow::openDataFile(int command)
{
    PlotChild* child = activeChild();
    if (child) {
        child->document().onCommand(command);
        return;
    }
    child = newDocument();
    child->document().onCommand(command);
    // Nothing was plotted: the window opened for it goes again.
    if (!child->document().IsModified() && child->document().GetObjects().isEmpty())
        child->close();
}

void MainWindow::openRecent(int index)
{
    const QString path = recent_.files().value(index);
    if (path.isEmpty())
        return;
    if (!QFileInfo::exists(path)) {
        // A file that has gone is taken off the list, as the framework did.
        ShowFileMessage(Str::FailedInvalidPath, QString(), path);
        recent_.remove(index);
        Profile profile;
        recent_.write(profile);
        return;
    }
    openDocument(path);
}

void MainWindow::about()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::childActivated(QMdiSubWindow* window)
{
    Q_UNUSED(window);
    PlotChild* child = activeChild();
    DocumentView::setActive(child ? child->view() : nullptr);
    scheduleUpdate();
}

void MainWindow::scheduleUpdate()
{
    if (updatePending_)
        return;
    updatePending_ = true;
    QTimer::singleShot(0, this, [this] {
        updatePending_ = false;
        updateCommands();
    });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The frame's idle update: after any input the enabled states may have changed.
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::Drop:
    case QEvent::WindowActivate:
        scheduleUpdate();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::restorePlacement()
{
    Profile profile;
    WinPos::restore(*this, profile);
}

void MainWindow::savePlacement()
{
    Profile profile;
    WinPos::write(profile, WinPos::of(*this));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    savePlacement();
    const QList<PlotChild*> children = plotChildren();
    for (PlotChild* child : children) {
        mdi_->setActiveSubWindow(child);
        if (!child->close()) {
            event->ignore();
            return;
        }
    }
    // Only once nothing can stop the close: a cancelled close keeps the log's lines.
    log_->close();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl& url : urls) {
        if (!localFile(url).isEmpty()) {
            event->acceptProposedAction();
            return;
        }
    }
    QMainWindow::dragEnterEvent(event);
}

void MainWindow::dropEvent(QDropEvent* event)
{
    QStringList paths;
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl& url : urls) {
        const QString path = localFile(url);
        if (!path.isEmpty())
            paths.append(path);
    }
    event->acceptProposedAction();
    // Opened after the drop has ended, so that the program the files came from is not held up
    // by a message about one of them.
    QTimer::singleShot(0, this, [this, paths] {
        activateWindow();
        for (const QString& path : paths)
            openFile(path);
    });
}

void MainWindow::followFiles(bool on)
{
    following_ = on;
    {
        Profile profile;
        profile.writeInt(Settings::section, QStringLiteral("FollowFiles"), on ? 1 : 0);
    }
    const QList<PlotChild*> children = plotChildren();
    for (PlotChild* child : children) {
        if (auto* follower = child->findChild<FileFollower*>())
            follower->setEnabled(on);
    }
    showMissingFiles();
}

void MainWindow::showMissingFiles()
{
    QStringList lines;
    const QList<PlotChild*> children = plotChildren();
    for (PlotChild* child : children) {
        if (auto* follower = child->findChild<FileFollower*>()) {
            for (const QString& path : follower->missingFiles())
                lines.append(formatString(Str::FollowedFileMissing, path));
        }
    }
    missingFiles_->setText(lines.join(QStringLiteral("; ")));
}
