#pragma once

#include "log/OutFramWindow.h"
#include "platform/LogSink.h"

#include <QPointer>
#include <memory>

class OutDoc;
class OutWin;
class QMdiArea;

// The one output log of the main window: its text, and its window in the MDI area once it has
// one. Reports that come before the log is shown create it hidden, so that analysis output
// never takes the activation from the plot window it came from.
class OutputLog : public LogSink
{
public:
    explicit OutputLog(QMdiArea* area);
    ~OutputLog() override;
    OutputLog(const OutputLog&) = delete;
    OutputLog& operator=(const OutputLog&) = delete;

    void appendLine(const QString& text) override;

    // Creates the log if there is none: shown and active, or hidden with the active window
    // left active.
    void create(bool visible);
    // Log Window: shows the log (creating it where needed) and activates it.
    void show();
    // Gives the activation back to the window active before the log and hides the log.
    void hide();
    // Closes the log without asking; its lines go with it.
    void close();

    bool exists() const { return frame_ != nullptr; }
    // The log's window is the area's current window.
    bool isActive() const;
    // Null until the log exists.
    OutDoc* document() const { return doc_.get(); }
    OutWin* view() const { return view_; }
    OutFramWindow* frame() const { return frame_; }

    // Asks for a text file and writes the lines to it. False when nothing was written
    // (cancelled, or failed and reported).
    bool saveAs();

private:
    QMdiArea* area_; // not owned
    std::unique_ptr<OutDoc> doc_;
    QPointer<OutFramWindow> frame_; // owned by the area
    OutWin* view_ = nullptr;        // owned by the frame
};
