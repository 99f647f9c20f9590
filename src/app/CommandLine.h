#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// What the program was asked to do on its command line:
//   plotvane [FILE...]                          open plot documents or data files in the window
//   plotvane --export OUT.pdf|.svg|.png [--dpi N] IN
//   plotvane --describe [--values] IN           print a JSON description of IN
//   plotvane --help | --version
// Qt's own options (-platform NAME, -style NAME, ...) are left to Qt.
struct CommandLine
{
    enum class Mode { Window, Help, Version, Export, Describe, Invalid };

    Mode mode = Mode::Window;
    QStringList files; // Window: any number; Export and Describe: exactly one
    QString output;    // Export
    int dpi = 0;       // Export; 0 for the default resolution
    bool values = false;
    QString error; // Invalid: one line saying what is wrong

    static CommandLine parse(const QStringList& arguments); // without the program name
    // The modes that run without a window and need no display.
    bool isHeadless() const { return mode != Mode::Window; }
};

// The text --help prints.
QString usageText(const QString& program);

// Carries out Export or Describe; messages go to err as one line each ("plotvane: ...").
// Returns the process's exit status: 0 on success.
int runExport(const CommandLine& commandLine, QTextStream& err);
int runDescribe(const CommandLine& commandLine, QTextStream& out, QTextStream& err);
