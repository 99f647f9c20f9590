#include "app/Application.h"
#include "app/CommandLine.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>

namespace {

const char* const versionLine = "Plotvane Version 2.0";

bool hasDisplay(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

// Commands without a window answer in one line: Qt's own notices (a missing runtime
// directory, fonts substituted) would only bury it.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "plotvane: %s\n", qPrintable(message.simplified()));
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine = CommandLine::parse(arguments);

    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (commandLine.mode) {
    case CommandLine::Mode::Help:
        out << usageText(QStringLiteral("plotvane"));
        return 0;
    case CommandLine::Mode::Version:
        out << versionLine << Qt::endl;
        return 0;
    case CommandLine::Mode::Invalid:
        err << "plotvane: " << commandLine.error << Qt::endl;
        return 2;
    case CommandLine::Mode::Export:
    case CommandLine::Mode::Describe: {
        // These never show a window and run where there is no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietMessages);
        QApplication app(argc, argv);
        setApplicationIdentity();
        return commandLine.mode == CommandLine::Mode::Export ? runExport(commandLine, err)
                                                             : runDescribe(commandLine, out, err);
    }
    case CommandLine::Mode::Window:
        break;
    }

    // Without a display QApplication aborts with a message about platform plugins.
    if (!hasDisplay(argc, argv)) {
        err << "plotvane: no display found (set DISPLAY or WAYLAND_DISPLAY, or "
               "QT_QPA_PLATFORM=offscreen)"
            << Qt::endl;
        return 1;
    }
    QApplication app(argc, argv);
    setApplicationIdentity();
    return runApplication(commandLine);
}
