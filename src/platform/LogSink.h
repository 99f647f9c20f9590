#pragma once

#include "platform/Installed.h"

#include <QString>
#include <QStringList>

// Where the analysis commands write their reports: the output log of the running program. The
// main window installs it; with none installed the lines are dropped.
class LogSink
{
public:
    virtual ~LogSink() = default;
    // Appends one line to the log, creating the log (hidden) when there is none yet.
    virtual void appendLine(const QString& text) = 0;

    // The installed sink (not owned), or null.
    static LogSink* instance() { return Installed<LogSink>::get(); }
    // Appends to the installed sink, if any.
    static void append(const QString& text)
    {
        if (LogSink* sink = instance())
            sink->appendLine(text);
    }
    // Appends a report, line by line.
    static void append(const QStringList& lines)
    {
        for (const QString& line : lines)
            append(line);
    }
};
