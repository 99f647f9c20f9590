#include "app/StatusReadProgress.h"

#include "platform/Strings.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStatusBar>

StatusReadProgress::StatusReadProgress(QStatusBar* bar) : bar_(bar) {}

StatusReadProgress::~StatusReadProgress()
{
    if (shown_)
        qApp->removeEventFilter(this);
}

void StatusReadProgress::started(const QString& path)
{
    if (depth_++ > 0)
        return;
    fileName_ = QFileInfo(path).fileName();
    clock_.start();
    cancelled_ = false;
}

void StatusReadProgress::finished()
{
    if (--depth_ > 0 || !shown_)
        return;
    shown_ = false;
    qApp->removeEventFilter(this);
    bar_->clearMessage();
}

bool StatusReadProgress::progress(int64_t done, int64_t total)
{
    if (depth_ == 0 || clock_.elapsed() < quietMs)
        return !cancelled_;
    if (!shown_) {
        shown_ = true;
        qApp->installEventFilter(this);
    }
    const int percent = total > 0 ? int(std::min<int64_t>(100, done * 100 / total)) : 0;
    bar_->showMessage(formatString(Str::ReadingDataFile, fileName_, QString::number(percent)));
    QApplication::processEvents();
    return !cancelled_;
}

bool StatusReadProgress::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            cancelled_ = true;
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Close:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Timer: // fires again once the read is over
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
