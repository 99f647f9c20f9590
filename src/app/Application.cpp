#include "app/Application.h"

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/PlotChild.h"
#include "axes/AxisEditors.h"
#include "axes/ui/AxisDialogs.h"
#include "doc/AnalysisEditors.h"
#include "doc/DocumentEditors.h"
#include "doc/ui/AnalysisDialogs.h"
#include "doc/ui/DocumentDialogs.h"
#include "ole/DocumentTransfer.h"
#include "ole/OleEditors.h"
#include "ole/PictureFormats.h"
#include "ole/VisibleOLE.h"
#include "ole/ui/OleDialogs.h"
#include "platform/Profile.h"
#include "platform/Settings.h"
#include "platform/Strings.h"
#include "platform/ui/MessageBoxPrompter.h"
#include "traces/TraceEditors.h"
#include "traces/ui/TraceDialogs.h"

#include <QApplication>
#include <QIcon>

// The resources live in a static library: they are registered by hand, outside any namespace.
static void initResources()
{
    Q_INIT_RESOURCE(plotvane);
}

struct ProgramDialogs::Installation
{
    DocumentDialogs documentDialogs;
    Installed<DocumentEditors>::Scope documentScope{&documentDialogs};
    AxisDialogs axisDialogs;
    Installed<AxisEditors>::Scope axisScope{&axisDialogs};
    TraceDialogs traceDialogs;
    Installed<TraceEditors>::Scope traceScope{&traceDialogs};
    AnalysisDialogs analysisDialogs;
    Installed<AnalysisEditors>::Scope analysisScope{&analysisDialogs};
    OleDialogs oleDialogs;
    Installed<OleEditors>::Scope oleScope{&oleDialogs};
};

ProgramDialogs::ProgramDialogs() : installation_(std::make_unique<Installation>()) {}

ProgramDialogs::~ProgramDialogs() = default;

void setApplicationIdentity()
{
    initResources();
    // Documents holding embedded objects open in every mode of the program.
    registerEmbeddedObjectClasses();
    QApplication::setApplicationName(loadString(Str::AppTitle));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    QApplication::setDesktopFileName(QStringLiteral("plotvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/plotvane/plotvane.svg")));
}

int runApplication(const CommandLine& commandLine)
{
    // Dialogs keep the desktop's palette, and there are no compound-document libraries or
    // shell registrations to prepare: the installed desktop files stand for them.
    MainWindow frame; // reads the recent-file list
    MessageBoxPrompter prompter(&frame);
    PrompterScope prompterScope(&prompter);
    ProgramDialogs dialogs;
    // Copies carry a whole plot for other Plotvane windows and programs.
    DocumentTransfer documentTransfer;
    ClipboardFormats::Registration transferFormat(&documentTransfer);
    // Pictures of other programs paste as embedded objects; a copied plot's picture is only
    // taken when its plot is not.
    PictureFormats pictureFormats;
    ClipboardFormats::Registration pictureFormat(&pictureFormats);

    {
        Profile profile;
        defaultSettings().read(profile);
    }

    frame.restorePlacement();
    bool opened = false;
    for (const QString& file : commandLine.files)
        opened = frame.openFile(file) != nullptr || opened;
    if (!opened)
        frame.newDocument();

    // The log is there from the start, behind the maximised plot window.
    frame.createLog();
    return QApplication::exec();
}
