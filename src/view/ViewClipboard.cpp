#include "view/ViewClipboard.h"

#include "doc/DocumentEditors.h"
#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "page/visiblelist.h"
#include "page/visibleobject.h"
#include "platform/Exceptions.h"
#include "platform/PainterDC.h"
#include "platform/Prompter.h"
#include "platform/ShowFileMessage.h"
#include "platform/StringObMap.h"
#include "platform/Strings.h"
#include "view/ClipboardFormats.h"
#include "view/DataCursorDialog.h"
#include "view/PageExport.h"
#include "view/PageScrollView.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <new>
#include <optional>
#include <vector>

namespace {

void showError(int id)
{
    Prompter::instance().message(loadString(id), QString(), Prompter::Icon::Exclamation);
}

// One object of the selection: the only one, or the one chosen in Format Object; null when
// the choice is cancelled.
visibleobject* chooseOne(const visiblelist& selection)
{
    if (selection.count() == 1)
        return selection.at(0);
    DocumentEditors* editors = DocumentEditors::instance();
    if (!editors)
        return nullptr;
    StringObMap names;
    for (visibleobject* obj : selection)
        names.insert(obj->GetName(), obj);
    return editors->chooseObject(names);
}

// The selection's pictures for other programs: the objects as the view shows them, cut to
// the focus rectangle (or the selection's bounds).
Rect pictureRect(const PageScrollView& view, const visiblelist& selection)
{
    const Rect focus = view.focusRect();
    return focus.isEmpty() ? selection.Bounds() : focus;
}

void paintSelection(const PageScrollView& view, const visiblelist& selection, QPainter& painter)
{
    const int dpiX = int(std::lround(view.pixelsPerInchX()));
    const int dpiY = int(std::lround(view.pixelsPerInchY()));
    PainterDC dc(&painter, dpiX, dpiY);
    dc.saveDC();
    view.PrepareDC(dc);
    selection.DrawAll(dc);
    dc.restoreDC();
}

QByteArray pngOf(const PageScrollView& view, const visiblelist& selection, const Rect& rect)
{
    const Rect client = view.clientRect().united(rect);
    // Objects far off the page would make a picture too large to hold; other programs then
    // get the vector picture alone.
    if (client.right <= 0 || client.bottom <= 0 ||
        qint64(client.right) * client.bottom > PageExport::maxPixels)
        return {};
    QImage image(client.right, client.bottom, QImage::Format_RGB32);
    if (image.isNull())
        throw MemoryException(QStringLiteral("picture of the selection"));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintSelection(view, selection, painter);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.copy(rect.left, rect.top, rect.width(), rect.height()).save(&buffer, "PNG");
    return bytes;
}

QByteArray svgOf(const PageScrollView& view, const visiblelist& selection, const Rect& rect)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(rect.width(), rect.height()));
    generator.setViewBox(QRect(rect.left, rect.top, rect.width(), rect.height()));
    generator.setResolution(int(std::lround(view.pixelsPerInchX())));
    {
        QPainter painter(&generator);
        paintSelection(view, selection, painter);
    }
    return bytes;
}

// The data files among the data's URLs: local files that are not plot documents, which the
// main window opens in windows of their own.
QStringList dataFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isFile() && !isPlotDocumentFile(path))
            files.append(path);
    }
    return files;
}

bool hasObjects(const QMimeData* data)
{
    return data && data->hasFormat(ViewClipboard::objectsMimeType);
}

// The first registered extension that can paste the data; null when none can.
ClipboardFormats* extensionFor(const QMimeData* data)
{
    if (!data)
        return nullptr;
    for (ClipboardFormats* formats : ClipboardFormats::registered()) {
        if (formats->canPaste(data))
            return formats;
    }
    return nullptr;
}

// Objects others depend on wait until the rest are gone: when their dependents were selected
// too, nobody needs to be asked about them any more.
void deleteAll(PlotDocument& doc, const visiblelist& selection)
{
    std::vector<visibleobject*> setAside;
    for (visibleobject* obj : selection) {
        if (!doc.GetObjects().contains(obj))
            continue;
        if (doc.GetObjects().DependentsOf(obj)->isEmpty())
            doc.DeleteObject(obj);
        else
            setAside.push_back(obj);
    }
    for (visibleobject* obj : setAside) {
        if (doc.GetObjects().contains(obj))
            doc.DeleteObject(obj);
    }
}

} // namespace

namespace ViewClipboard {

void deleteSelection(PageScrollView& view)
{
    PlotDocument* doc = view.document();
    const visiblelist* current = view.selection();
    if (!current || !doc) {
        view.ClearSelection();
        return;
    }
    const visiblelist selection = *current;
    doc->MarkChanged();
    if (selection.count() == 1) {
        view.ClearSelection();
        doc->DeleteObject(selection.at(0));
    } else if (Prompter::instance().question(loadString(Str::AskDeleteSelection), QString(),
                                             Prompter::Buttons::YesNo,
                                             Prompter::Icon::Question) == Prompter::Answer::Yes) {
        view.ClearSelection();
        deleteAll(*doc, selection);
    } else {
        visibleobject* chosen = chooseOne(selection);
        view.ClearSelection();
        if (chosen)
            doc->DeleteObject(chosen);
    }
    doc->RemoveUnusedFiles();
    doc->Refresh();
}

std::unique_ptr<QMimeData> selectionData(PageScrollView& view)
{
    PlotDocument* doc = view.document();
    const visiblelist* selection = view.selection();
    if (!doc || !selection)
        return nullptr;
    float x = 0.0f, y = 0.0f;
    view.FocusOriginInches(x, y);

    auto data = std::make_unique<QMimeData>();
    const Rect rect = pictureRect(view, *selection);
    if (!rect.isEmpty()) {
        const QByteArray png = pngOf(view, *selection, rect);
        if (!png.isEmpty())
            data->setData(QStringLiteral("image/png"), png);
        data->setData(QStringLiteral("image/svg+xml"), svgOf(view, *selection, rect));
    }
    data->setData(sizeMimeType, QStringLiteral("%1 %2")
                                    .arg(view.focusRect().width())
                                    .arg(view.focusRect().height())
                                    .toLatin1());

    // Stored relative to the focus rectangle's lower-left corner; put back whatever happens.
    selection->MoveAllBy(-x, -y);
    QByteArray contents;
    try {
        contents = objectsContents(*doc, *selection);
    } catch (...) {
        selection->MoveAllBy(x, y);
        throw;
    }
    selection->MoveAllBy(x, y);
    data->setData(objectsMimeType, contents);
    for (ClipboardFormats* formats : ClipboardFormats::registered())
        formats->addFormats(view, *selection, *data);
    return data;
}

bool copy(PageScrollView& view)
{
    try {
        std::unique_ptr<QMimeData> data = selectionData(view);
        if (!data)
            return false;
        QApplication::clipboard()->setMimeData(data.release());
        return true;
    } catch (const PlotvaneException&) {
    } catch (const std::bad_alloc&) {
    }
    showError(Str::CopyFailed);
    return false;
}

void cut(PageScrollView& view)
{
    if (!view.selection())
        return;
    try {
        std::unique_ptr<QMimeData> data = selectionData(view);
        if (!data)
            return;
        QApplication::clipboard()->setMimeData(data.release());
    } catch (const PlotvaneException&) {
        showError(Str::CutFailed);
        return;
    } catch (const std::bad_alloc&) {
        showError(Str::CutFailed);
        return;
    }
    deleteSelection(view);
    if (view.document())
        view.document()->MarkChanged();
}

std::unique_ptr<QMimeData> dragData(PageScrollView& view)
{
    try {
        return selectionData(view);
    } catch (const PlotvaneException&) {
    } catch (const std::bad_alloc&) {
    }
    showError(Str::CopyFailed);
    return nullptr;
}

void deleteMoved(PageScrollView& view)
{
    PlotDocument* doc = view.document();
    const visiblelist* current = view.selection();
    if (!doc || !current)
        return;
    const visiblelist selection = *current;
    DataCursorDialog::closeAll(view);
    view.ClearSelection();
    deleteAll(*doc, selection);
    doc->RemoveUnusedFiles();
    doc->Refresh();
    doc->MarkChanged();
}

Qt::DropAction dropAction(Qt::DropActions possible, Qt::KeyboardModifiers modifiers)
{
    Qt::DropAction wanted = Qt::CopyAction;
    if (!(modifiers & Qt::ControlModifier) && (modifiers & Qt::ShiftModifier))
        wanted = Qt::MoveAction;
    if (possible & wanted)
        return wanted;
    if (possible & Qt::CopyAction)
        return Qt::CopyAction;
    return (possible & Qt::MoveAction) ? Qt::MoveAction : Qt::IgnoreAction;
}

bool canPaste(const QMimeData* data)
{
    return hasObjects(data) || extensionFor(data);
}

bool paste(PageScrollView& view, const QMimeData& data)
{
    PlotDocument* doc = view.document();
    // The program's own format is the richest for a paste into a plot.
    if (doc && !hasObjects(&data)) {
        if (ClipboardFormats* formats = extensionFor(&data))
            return formats->paste(view, data, std::nullopt);
    }
    if (!doc || !hasObjects(&data)) {
        showError(Str::PasteFailed);
        return false;
    }
    float x = 0.0f, y = 0.0f;
    view.FocusOriginInches(x, y);
    std::unique_ptr<visiblelist> read;
    try {
        read = readObjectsInto(*doc, data.data(objectsMimeType));
    } catch (const PlotvaneException&) {
    } catch (const std::bad_alloc&) {
    }
    if (!read) {
        showError(Str::PasteFailed);
        return false;
    }
    doc->GetObjects().SetViewAll(&view);
    read->MoveAllBy(x, y);
    view.ClearSelection();
    doc->Refresh();
    doc->MarkChanged();
    return true;
}

bool paste(PageScrollView& view)
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data) {
        showError(Str::PasteFailed);
        return false;
    }
    return paste(view, *data);
}

bool canDrop(const QMimeData* data)
{
    return canPaste(data) || !dataFiles(data).isEmpty();
}

bool drop(PageScrollView& view, const QMimeData& data, QPoint point)
{
    PlotDocument* doc = view.document();
    if (!doc)
        return false;
    if (hasObjects(&data)) {
        // Without a size the dropped outline is a 150-pixel square.
        int w = 150, h = 150;
        const QList<QByteArray> size = data.data(sizeMimeType).split(' ');
        if (size.count() == 2) {
            const int sw = size[0].toInt(), sh = size[1].toInt();
            w = sw > 0 ? sw : w;
            h = sh > 0 ? sh : h;
        }
        view.ClearSelection();
        view.setFocusRect(Rect{point.x(), point.y(), point.x() + w, point.y() + h});
        const bool pasted = paste(view, data);
        if (!pasted)
            view.setFocusRect(Rect{});
        return pasted;
    }
    if (ClipboardFormats* formats = extensionFor(&data)) {
        view.ClearSelection();
        return formats->paste(view, data, point);
    }
    const QStringList files = dataFiles(&data);
    // Opened after the drop has ended, so that the program the files came from is not held up
    // by a message about one of them. A drop is a command of its own: what fails is reported
    // here, not thrown into the event loop.
    QTimer::singleShot(0, &view, [doc, files] {
        try {
            for (const QString& file : files)
                doc->OpenDataFile(file);
        } catch (const PlotvaneException&) {
            ReportCommandException();
        } catch (const std::bad_alloc&) {
            ReportCommandException();
        }
    });
    return !files.isEmpty();
}

} // namespace ViewClipboard
