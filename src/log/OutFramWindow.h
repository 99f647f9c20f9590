#pragma once

#include <QMdiSubWindow>
#include <QPointer>

class QMdiArea;

// The output log's window in the MDI area. Closing it only hides it (the lines stay for the
// rest of the run) and gives the activation back to the window that had it before the log.
class OutFramWindow : public QMdiSubWindow
{
    Q_OBJECT

public:
    // Adds itself to the area, hidden.
    explicit OutFramWindow(QMdiArea* area);
    // Stops listening to the area first: the base class's destructor makes the area report a
    // new active window, which must not reach this class any more.
    ~OutFramWindow() override;

    // The window that was active just before the log last became active, if it still exists.
    QMdiSubWindow* previousChild() const { return previous_; }
    void setPreviousChild(QMdiSubWindow* window) { previous_ = window; }
    // Activates the previous window again and hides the log.
    void hideLog();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void areaActivated(QMdiSubWindow* window);

    QMdiArea* area_;
    QPointer<QMdiSubWindow> current_;  // the area's active window as last seen
    QPointer<QMdiSubWindow> previous_; // active before the log
};
