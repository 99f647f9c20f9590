#include "traces/ui/TraceDialogs.h"

#include "data/filelist.h"
#include "page/PageView.h"
#include "platform/LogFont.h"
#include "platform/ui/FontChooser.h"
#include "traces/Trace.h"
#include "traces/ui/ErrorBarDialog.h"
#include "traces/ui/FileSettingsDialog.h"
#include "traces/ui/LineSettingsDialog.h"

#include <QApplication>
#include <QColorDialog>

namespace {

// The view when it is a window, else the active window.
QWidget* ownerWindow(const PageView* view)
{
    if (auto* widget = dynamic_cast<QWidget*>(const_cast<PageView*>(view)))
        return widget;
    return QApplication::activeWindow();
}

} // namespace

int TraceDialogs::fileSettings(Trace& trace, DocumentServices* doc)
{
    FileSettingsDialog dialog(trace, doc, ownerWindow(trace.view));
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int TraceDialogs::lineSettings(Trace& trace)
{
    // Opened from the File Settings dialog, the active window is that dialog.
    LineSettingsDialog dialog(trace, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int TraceDialogs::errorBars(ColumnFile*& errorFile, int& errorColumn, filelist& files,
                            const QString& dataFilePath, PageView* owner)
{
    ErrorBarDialog dialog(errorFile, errorColumn, files, dataFilePath, ownerWindow(owner));
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    errorFile = dialog.errorFile();
    errorColumn = dialog.errorColumn();
    return 1;
}

bool TraceDialogs::chooseFont(LogFont& font, ColorRef& color, int& pointSizeTenths, PageView* owner)
{
    // The trace hands over screen pixels of its view; the chooser takes thousandths of an inch.
    const int ppi = LineSettingsDialog::pixelsPerInch(owner);
    LogFont chosen = font;
    chosen.lfHeight = fontHeightFromPixels(font.lfHeight, ppi);
    if (!::chooseFont(chosen, color, pointSizeTenths, ownerWindow(owner)))
        return false;
    chosen.lfHeight = fontHeightToPixels(chosen.lfHeight, ppi);
    font = chosen;
    return true;
}

bool TraceDialogs::chooseColor(ColorRef& color, PageView* owner)
{
    return chooseColorDialog(color, ownerWindow(owner));
}

bool chooseColorDialog(ColorRef& color, QWidget* parent)
{
    const QColor chosen = QColorDialog::getColor(colorFromRef(color), parent);
    if (!chosen.isValid())
        return false;
    color = refFromColor(chosen);
    return true;
}
