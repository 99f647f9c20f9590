#include "log/OutputLog.h"

#include "doc/DocumentFile.h"
#include "log/OutDoc.h"
#include "log/OutFramWindow.h"
#include "log/OutWin.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"

#include <QDir>
#include <QMdiArea>
#include <exception>

OutputLog::OutputLog(QMdiArea* area) : area_(area) {}

OutputLog::~OutputLog()
{
    close();
}

void OutputLog::appendLine(const QString& text)
{
    create(false);
    doc_->append(text);
}

void OutputLog::create(bool visible)
{
    if (exists())
        return;
    QMdiSubWindow* active = area_->currentSubWindow();
    doc_ = std::make_unique<OutDoc>();
    frame_ = new OutFramWindow(area_);
    view_ = new OutWin(doc_.get());
    frame_->setWidget(view_);
    if (visible) {
        frame_->show();
        area_->setActiveSubWindow(frame_);
    } else if (active) {
        area_->setActiveSubWindow(active);
    }
}

void OutputLog::show()
{
    create(true);
    frame_->show();
    area_->setActiveSubWindow(frame_);
}

void OutputLog::hide()
{
    if (exists())
        frame_->hideLog();
}

void OutputLog::close()
{
    // The view refers to the document: the window goes first.
    delete frame_;
    view_ = nullptr;
    doc_.reset();
}

bool OutputLog::isActive() const
{
    return exists() && !frame_->isHidden() && area_->currentSubWindow() == frame_;
}

bool OutputLog::saveAs()
{
    if (!exists())
        return false;
    const QString path = Prompter::instance().saveFileName(
        QStringLiteral("Save As"), QDir::current().filePath(loadString(Str::LogDefaultFileName)),
        loadString(Str::LogFileFilter), QStringLiteral("txt"));
    if (path.isEmpty())
        return false;
    try {
        doc_->save(path);
    } catch (const std::exception& error) {
        reportSaveFailure(error, path);
        return false;
    }
    return true;
}
