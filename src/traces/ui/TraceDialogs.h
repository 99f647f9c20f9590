#pragma once

#include "traces/TraceEditors.h"

class QWidget;

// The trace dialogs and choosers as modal dialogs over the view or the program's active
// window. The application installs one at start-up (TraceEditors::setInstance).
class TraceDialogs : public TraceEditors
{
public:
    int fileSettings(Trace& trace, DocumentServices* doc) override;
    int lineSettings(Trace& trace) override;
    int errorBars(ColumnFile*& errorFile, int& errorColumn, filelist& files,
                  const QString& dataFilePath, PageView* owner) override;
    bool chooseFont(LogFont& font, ColorRef& color, int& pointSizeTenths, PageView* owner) override;
    bool chooseColor(ColorRef& color, PageView* owner) override;
};

// The colour chooser on a colour that takes the choice on OK.
bool chooseColorDialog(ColorRef& color, QWidget* parent);
