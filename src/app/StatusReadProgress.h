#pragma once

#include "data/ColumnFile.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QStatusBar;

// Shows a read of a data file that lasts longer than half a second in the status bar, and
// stops it when the user presses Escape. While such a read runs, the windows are painted but
// take no input and no timer fires, so nothing else happens to the documents meanwhile.
class StatusReadProgress : public QObject, public ReadProgress
{
public:
    static constexpr int quietMs = 500;

    explicit StatusReadProgress(QStatusBar* bar);
    ~StatusReadProgress() override;

    void started(const QString& path) override;
    void finished() override;
    bool progress(int64_t done, int64_t total) override;
    // The last read was stopped with Escape.
    bool cancelled() const { return cancelled_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStatusBar* bar_; // not owned
    QString fileName_;
    QElapsedTimer clock_;
    int depth_ = 0; // reads within reads, as a load reads several files
    bool shown_ = false;
    bool cancelled_ = false;
};
