#include "app/DefaultsDialog.h"
#include "platform/Profile.h"
#include "platform/Settings.h"
#include "platform/ui/MessageBoxPrompter.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <cstdio>
#include <cstring>

namespace {

const char* const versionLine = "Plotvane Version 2.0";

void printUsage(const char* program)
{
    std::printf("Usage: %s [options]\n"
                "Technical x-y plots from ASCII column data files.\n\n"
                "Options:\n"
                "  -h, --help     Show this help and exit.\n"
                "  -v, --version  Show the version and exit.\n"
                "  -platform NAME Use the Qt platform plugin NAME (e.g. offscreen).\n",
                program);
}

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

// Stands in for the main frame until it exists: a window from which the Defaults command runs.
class StartWindow : public QMainWindow
{
public:
    StartWindow()
    {
        setWindowTitle(QStringLiteral("Plotvane"));
        QMenu* file = menuBar()->addMenu(tr("&File"));
        QAction* defaults = file->addAction(tr("&Defaults"));
        connect(defaults, &QAction::triggered, this, [this] { runDefaultsCommand(this); });
        file->addSeparator();
        QAction* exit = file->addAction(tr("E&xit"));
        connect(exit, &QAction::triggered, this, &QWidget::close);
        resize(800, 600);
    }
};

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printUsage(argv[0]);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("%s\n", versionLine);
            return 0;
        }
    }
    // Without a display QApplication aborts with a message about platform plugins.
    if (!hasDisplay(argc, argv)) {
        std::fprintf(stderr, "plotvane: no display found (set DISPLAY or WAYLAND_DISPLAY, or "
                             "QT_QPA_PLATFORM=offscreen)\n");
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plotvane"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));

    {
        Profile profile;
        defaultSettings().read(profile);
    }

    StartWindow window;
    MessageBoxPrompter prompter(&window);
    PrompterScope prompterScope(&prompter);
    window.show();
    return app.exec();
}
