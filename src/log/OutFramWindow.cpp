#include "log/OutFramWindow.h"

#include "platform/Strings.h"

#include <QCloseEvent>
#include <QMdiArea>

OutFramWindow::OutFramWindow(QMdiArea* area) : area_(area)
{
    setWindowTitle(loadString(Str::LogTitle));
    current_ = area_->activeSubWindow();
    connect(area_, &QMdiArea::subWindowActivated, this, &OutFramWindow::areaActivated);
    area_->addSubWindow(this);
    hide();
}

OutFramWindow::~OutFramWindow()
{
    disconnect(area_, nullptr, this, nullptr);
}

void OutFramWindow::areaActivated(QMdiSubWindow* window)
{
    // The area reports no window while the program is in the background: that is no change
    // of the active child.
    if (!window || window == current_)
        return;
    if (window == this)
        previous_ = current_;
    current_ = window;
}

void OutFramWindow::hideLog()
{
    if (previous_ && previous_ != this && !previous_->isHidden())
        area_->setActiveSubWindow(previous_);
    hide();
    if (area_->currentSubWindow() != this)
        return;
    // The window before the log has gone: the most recent other one takes over, if any.
    const QList<QMdiSubWindow*> windows = area_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (!(*it)->isHidden()) {
            area_->setActiveSubWindow(*it);
            return;
        }
    }
    area_->setActiveSubWindow(nullptr);
}

void OutFramWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    hideLog();
}
