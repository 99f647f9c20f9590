#pragma once

#include "view/PageExport.h"

#include <QFileDialog>
#include <QRectF>

class PageScrollView;
class QSpinBox;

// File Export: Qt's file dialog with one filter per picture format, and below it the resolution
// a PNG picture is made at. Qt's own widgets are used, not the desktop's dialog, so that the
// resolution can sit in it.
class ExportDialog : public QFileDialog
{
    Q_OBJECT

public:
    explicit ExportDialog(QWidget* parent = nullptr);

    // The format of the selected filter.
    PageFormat format() const;
    void setFormat(PageFormat format);
    int dpi() const;
    void setDpi(int dpi);
    QSpinBox* dpiBox() const { return dpi_; }
    // The chosen file; the format's extension is added when it has another or none.
    QString chosenFile() const;

    // The command: asks for the file, remembers the folder, format and resolution in the
    // profile, and exports the selection of the view when it has one, else the whole page.
    // A failed export is told of and leaves an existing file as it was. False when cancelled
    // or failed.
    static bool run(PageScrollView& view, QWidget* parent);
    // The part of the page the selection covers, in inches from the page's bottom-left corner
    // (left and bottom as x and y), with a margin for what its text overhangs: the focus
    // rectangle, or the selection's bounds, as the clipboard's pictures.
    static QRectF selectionRegion(const PageScrollView& view);

private:
    void followFormat();

    QSpinBox* dpi_;
};
