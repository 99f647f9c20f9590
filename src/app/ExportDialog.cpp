#include "app/ExportDialog.h"

#include "page/visiblelist.h"
#include "platform/Exceptions.h"
#include "platform/Profile.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"
#include "platform/WaitCursor.h"
#include "view/PageScrollView.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <new>

namespace {

const QString section = QStringLiteral("Export");
const QString folderKey = QStringLiteral("Folder");
const QString formatKey = QStringLiteral("Format");
const QString resolutionKey = QStringLiteral("Resolution");

constexpr PageFormat formats[] = {PageFormat::Pdf, PageFormat::Svg, PageFormat::Png};

QString extension(PageFormat format)
{
    switch (format) {
    case PageFormat::Pdf:
        return QStringLiteral("pdf");
    case PageFormat::Svg:
        return QStringLiteral("svg");
    case PageFormat::Png:
        break;
    }
    return QStringLiteral("png");
}

QString filterOf(PageFormat format)
{
    switch (format) {
    case PageFormat::Pdf:
        return loadString(Str::ExportPdfFilter);
    case PageFormat::Svg:
        return loadString(Str::ExportSvgFilter);
    case PageFormat::Png:
        break;
    }
    return loadString(Str::ExportPngFilter);
}

} // namespace

ExportDialog::ExportDialog(QWidget* parent) : QFileDialog(parent)
{
    setObjectName(QStringLiteral("ExportDialog"));
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setWindowTitle(loadString(Str::ExportTitle));
    QStringList filters;
    for (PageFormat f : formats)
        filters.append(filterOf(f));
    setNameFilters(filters);

    dpi_ = new QSpinBox(this);
    dpi_->setRange(PageExport::minDpi, PageExport::maxDpi);
    dpi_->setValue(PageExport::defaultDpi);
    auto* label = new QLabel(loadString(Str::ExportResolution), this);
    label->setBuddy(dpi_);
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(dpi_, row, 1);
    }
    connect(this, &QFileDialog::filterSelected, this, &ExportDialog::followFormat);
    followFormat();
}

void ExportDialog::followFormat()
{
    // Only a PNG picture has a resolution of its own.
    dpi_->setEnabled(format() == PageFormat::Png);
}

PageFormat ExportDialog::format() const
{
    const qsizetype i = nameFilters().indexOf(selectedNameFilter());
    return i >= 0 && i < qsizetype(std::size(formats)) ? formats[i] : PageFormat::Pdf;
}

void ExportDialog::setFormat(PageFormat format)
{
    selectNameFilter(filterOf(format));
    followFormat();
}

int ExportDialog::dpi() const
{
    return dpi_->value();
}

void ExportDialog::setDpi(int dpi)
{
    dpi_->setValue(dpi);
}

QString ExportDialog::chosenFile() const
{
    const QString file = selectedFiles().value(0);
    if (file.isEmpty() || pageFormatNamed(QFileInfo(file).suffix()))
        return file;
    return file + QLatin1Char('.') + extension(format());
}

QRectF ExportDialog::selectionRegion(const PageScrollView& view)
{
    const visiblelist* selection = view.selection();
    if (!selection)
        return {};
    // As the clipboard's pictures: the focus rectangle, or the selection's bounds.
    const Rect focus = view.focusRect();
    const Rect r = focus.isEmpty() ? selection->Bounds() : focus;
    const double sx = double(view.pixelsPerInchX()) * view.viewScale();
    const double sy = double(view.pixelsPerInchY()) * view.viewScale();
    if (!(sx > 0) || !(sy > 0))
        return {};
    const double left = (r.left + view.scrollX()) / sx;
    const double bottom = (view.clientRect().height() - r.bottom - view.scrollY()) / sy;
    // Label and title glyphs overhang the boxes they are measured by, the more so at a printer's
    // resolution: a fifth of an inch around takes them in.
    constexpr double margin = 0.2;
    return QRectF(left - margin, bottom - margin, r.width() / sx + 2 * margin,
                  r.height() / sy + 2 * margin);
}

bool ExportDialog::run(PageScrollView& view, QWidget* parent)
{
    PlotDocument* doc = view.document();
    if (!doc)
        return false;
    ExportDialog dialog(parent);
    {
        Profile profile;
        QString folder = profile.getString(section, folderKey);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = doc->GetPathName().isEmpty() ? QDir::currentPath()
                                                  : QFileInfo(doc->GetPathName()).absolutePath();
        dialog.setDirectory(folder);
        dialog.setFormat(
            pageFormatNamed(profile.getString(section, formatKey)).value_or(PageFormat::Pdf));
        dialog.setDpi(profile.getInt(section, resolutionKey, PageExport::defaultDpi));
    }
    if (!doc->GetPathName().isEmpty())
        dialog.selectFile(QFileInfo(doc->GetPathName()).completeBaseName());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QString path = dialog.chosenFile();
    if (path.isEmpty())
        return false;
    // The dialog asked about the name as typed, not with the extension added to it.
    if (path != dialog.selectedFiles().value(0) && QFileInfo::exists(path) &&
        Prompter::instance().question(formatString(Str::ExportReplace, path), QString(),
                                      Prompter::Buttons::YesNo,
                                      Prompter::Icon::Exclamation) != Prompter::Answer::Yes)
        return false;
    const PageFormat format = pageFormatNamed(QFileInfo(path).suffix()).value_or(dialog.format());
    {
        Profile profile;
        profile.writeString(section, folderKey, QFileInfo(path).absolutePath());
        profile.writeString(section, formatKey, extension(format));
        profile.writeInt(section, resolutionKey, dialog.dpi());
    }

    QString why;
    try {
        WaitCursor wait;
        if (view.selection())
            exportObjects(*doc, view.selection()->objects(), selectionRegion(view), path, format,
                          dialog.dpi());
        else
            exportPage(*doc, path, format, dialog.dpi());
        return true;
    } catch (const FileException& e) {
        why = e.detail().isEmpty() ? loadString(Str::FileError) : e.detail();
    } catch (const MemoryException&) {
        why = loadString(Str::FailedMemoryAlloc);
    } catch (const std::bad_alloc&) {
        why = loadString(Str::FailedMemoryAlloc);
    }
    Prompter::instance().message(formatString(Str::ExportFailed, path, why), QString(),
                                 Prompter::Icon::Exclamation);
    return false;
}
