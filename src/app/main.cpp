#include "app/Application.h"
#include "app/CommandLine.h"

#include "platform/Exceptions.h"
#include "platform/OutputFile.h"
#include "platform/Strings.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <unistd.h>

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

QByteArray memoryErrorLine;

// Memory can run out where an exception cannot pass, in a destructor of the painting library
// (a painter restoring its state): the program then ends as it ends when the failure reaches
// the command, with the program's message and status, not with an abort.
[[noreturn]] void endOnMemoryFailure()
{
    bool memory = false;
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::bad_alloc&) {
            memory = true;
        } catch (const MemoryException&) {
            memory = true;
        } catch (...) {
        }
    }
    if (!memory)
        std::abort();
    OutputFile::discardUnfinished();
    (void)!::write(STDERR_FILENO, memoryErrorLine.constData(), size_t(memoryErrorLine.size()));
    ::_exit(exitFailure);
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
        return exitUsage;
    case CommandLine::Mode::Export:
    case CommandLine::Mode::Describe:
    case CommandLine::Mode::Analyse: {
        // These never show a window and run where there is no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietMessages);
        // A file size limit makes writes fail, which is reported, instead of ending the program.
        std::signal(SIGXFSZ, SIG_IGN);
        memoryErrorLine = "plotvane: " + loadString(Str::MemoryError).toUtf8() + '\n';
        std::set_terminate(endOnMemoryFailure);
        try {
            // Pictures and fonts need no widgets, nor the window's icon.
            QGuiApplication app(argc, argv);
            QCoreApplication::setApplicationName(loadString(Str::AppTitle));
            QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));
            switch (commandLine.mode) {
            case CommandLine::Mode::Export:
                return runExport(commandLine, err);
            case CommandLine::Mode::Describe:
                return runDescribe(commandLine, out, err);
            default:
                return runAnalysis(commandLine, out, err);
            }
        } catch (const std::bad_alloc&) {
            err << "plotvane: " << loadString(Str::MemoryError) << Qt::endl;
            return exitFailure;
        }
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
