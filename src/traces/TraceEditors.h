#pragma once

#include "platform/Installed.h"

#include "platform/PenRecord.h"

#include <QString>

class ColumnFile;
class DocumentServices;
class PageView;
class Trace;
class filelist;
struct LogFont;

// The dialogs and choosers that trace operations open. The traces' dialog library implements
// it and the application installs it at start-up; tests install scripted editors. With none
// installed an operation that needs one answers 0 and changes nothing.
class TraceEditors
{
public:
    virtual ~TraceEditors() = default;

    // File Settings for a trace of a document (the document may be null); nonzero when
    // confirmed.
    virtual int fileSettings(Trace& trace, DocumentServices* doc) = 0;
    // Line Settings; nonzero when confirmed.
    virtual int lineSettings(Trace& trace) = 0;
    // The Error Bar dialog. errorFile and errorColumn (1-based) go in and come out (errorFile is
    // null after "Remove Error Bars"); Change Error File may add a file to `files`. dataFilePath is
    // the trace's data file. Nonzero when confirmed.
    virtual int errorBars(ColumnFile*& errorFile, int& errorColumn, filelist& files,
                          const QString& dataFilePath, PageView* owner) = 0;
    // The font chooser, opened on a font whose height is in screen pixels and on a colour; on
    // OK the three receive the choice (the size in tenths of a point). owner may be null.
    virtual bool chooseFont(LogFont& font, ColorRef& color, int& pointSizeTenths,
                            PageView* owner) = 0;
    // The colour chooser, opened on a colour that receives the choice on OK.
    virtual bool chooseColor(ColorRef& color, PageView* owner) = 0;

    // The installed editors (not owned), or null.
    static TraceEditors* instance() { return Installed<TraceEditors>::get(); }
    static void setInstance(TraceEditors* editors) { Installed<TraceEditors>::install(editors); }
};
