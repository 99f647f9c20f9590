#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// What the program was asked to do on its command line:
//   plotvane [FILE...]                          open plot documents or data files in the window
//   plotvane --export OUT.pdf|.svg|.png|.pvn [--dpi N] [--format pdf|svg|png|pvn] IN
//   plotvane --describe [--values] IN           print a JSON description of IN
//   plotvane --help | --version
// Qt's own options (-platform NAME, -style NAME, ...) are left to Qt.
struct CommandLine
{
    enum class Mode { Window, Help, Version, Export, Describe, Invalid };

    Mode mode = Mode::Window;
    QStringList files; // Window: any number; Export and Describe: exactly one
    QString output;    // Export
    QString format;    // Export: pdf, svg, png or pvn; empty to go by the output's extension
    int dpi = 0;       // Export; 0 for the default resolution
    bool values = false;
    QString error; // Invalid: one line saying what is wrong

    static CommandLine parse(const QStringList& arguments); // without the program name
    // The modes that run without a window and need no display.
    bool isHeadless() const { return mode != Mode::Window; }
};

// What the process tells its caller.
enum ExitStatus : int {
    exitOk = 0,
    exitFailure = 1, // nothing was written; an existing output is as it was
    exitUsage = 2,   // the command line is wrong
    exitWarnings = 3 // the output was written, but a data file is missing or read only in part
};

// The text --help prints.
QString usageText(const QString& program);

// Carry out Export or Describe with the default settings of the profile. Nobody is asked
// anything: messages go to err as one line each ("plotvane: ..."), questions take their
// cancelling answer. Return the process's exit status (ExitStatus).
int runExport(const CommandLine& commandLine, QTextStream& err);
int runDescribe(const CommandLine& commandLine, QTextStream& out, QTextStream& err);
