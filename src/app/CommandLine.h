#pragma once

#include "data/ImportSettings.h"

#include <QString>
#include <QStringList>

class QTextStream;

// What the program was asked to do on its command line:
//   plotvane [FILE...]                          open plot documents or data files in the window
//   plotvane --export OUT.pdf|.svg|.png|.pvn [--dpi N] [--format pdf|svg|png|pvn] IN
//   plotvane --describe [--values] IN           print a JSON description of IN
//   plotvane --fit MODEL [--range A:B] [--absolute] IN, --interpolate X [--order N] IN,
//   plotvane --integrate A:B IN, --smooth N OUT IN
//                                               analyse IN's first data set, print the report
//   with any of those, the reading settings of a data file IN: --comment, --delimiter, ...
//   plotvane --help | --version
// Qt's own options (-platform NAME, -style NAME, ...) are left to Qt.
struct CommandLine
{
    enum class Mode { Window, Help, Version, Export, Describe, Analyse, Invalid };
    enum class Analysis { None, Fit, Interpolate, Integrate, Smooth };

    Mode mode = Mode::Window;
    QStringList files; // Window: any number; Export and Describe: exactly one
    QString output;    // Export
    QString format;    // Export: pdf, svg, png or pvn; empty to go by the output's extension
    int dpi = 0;       // Export; 0 for the default resolution
    bool values = false;
    // Analyse
    Analysis analysis = Analysis::None;
    QString fitModel;      // polynomial, power, exponential or gaussian
    QString fitOrder;      // polynomial: the order as given
    QString argument;      // --interpolate X, --integrate A:B, --smooth N, as given
    QString range;         // --range A:B, as given; empty for the data's extent
    QString order;         // --order N, as given; empty for 2
    bool absolute = false; // the logarithmic fits may use absolute values
    // Export, Describe and Analyse: how an input data file is read (--comment, --delimiter, ...)
    ImportSettings import;
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
// Carry out a fit, interpolation, integration or smoothing on the first data set of the input
// and print the lines the log would show on out. Values outside what the dialogs accept are
// refused with the dialogs' texts.
int runAnalysis(const CommandLine& commandLine, QTextStream& out, QTextStream& err);
