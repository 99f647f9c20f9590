#include "ole/DocumentTransfer.h"

#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "ole/ServerItem.h"
#include "page/visiblelist.h"
#include "platform/Exceptions.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"
#include "view/PageScrollView.h"

#include <QMimeData>
#include <new>

namespace {

// The objects of a transferred document, on the page of doc after those there; null when the
// bytes hold no readable document or no objects (then doc is as it was).
std::unique_ptr<visiblelist> readTransfer(PlotDocument& doc, const QByteArray& bytes)
{
    try {
        // Missing data files are looked for beside the document pasted into.
        const std::unique_ptr<PlotDocument> sent = loadDocumentFromBytes(bytes, doc.GetPathName());
        visiblelist all;
        for (visibleobject* obj : sent->GetObjects())
            all.append(obj);
        if (all.isEmpty())
            return nullptr;
        // The objects travel as a paste of them all, which brings their data files along or
        // takes the pasting document's file of the same path.
        return readObjectsInto(doc, objectsContents(*sent, all));
    } catch (const PlotvaneException&) {
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

} // namespace

void DocumentTransfer::addFormats(PageScrollView& view, const ObjectSequence& selection,
                                  QMimeData& data)
{
    PlotDocument* doc = view.document();
    if (!doc)
        return;
    const std::unique_ptr<ServerItem> item = selection.isEmpty()
                                                 ? std::make_unique<ServerItem>(*doc)
                                                 : ServerItem::forSelection(*doc, selection);
    data.setData(mimeType, item->transferDocument());
}

bool DocumentTransfer::canPaste(const QMimeData* data) const
{
    return data && data->hasFormat(mimeType);
}

bool DocumentTransfer::paste(PageScrollView& view, const QMimeData& data, std::optional<QPoint> at)
{
    PlotDocument* doc = view.document();
    std::unique_ptr<visiblelist> read;
    if (doc && canPaste(&data))
        read = readTransfer(*doc, data.data(mimeType));
    if (!read) {
        Prompter::instance().message(loadString(Str::PasteFailed), QString(),
                                     Prompter::Icon::Exclamation);
        return false;
    }
    doc->GetObjects().SetViewAll(&view);
    float x = 0.0f, y = 0.0f;
    const float sx = view.pixelsPerInchX() * view.viewScale();
    const float sy = view.pixelsPerInchY() * view.viewScale();
    if (at && sx > 0.0f && sy > 0.0f) {
        // The top-left corner of what was dropped goes to the drop point.
        read->RelayoutAll();
        const Rect bounds = read->Bounds();
        read->MoveAllBy(float(at->x() - bounds.left) / sx, float(bounds.top - at->y()) / sy);
    } else {
        // The transfer put the lower-left corner at (1, 1) inch; it goes to the focus
        // rectangle's.
        view.FocusOriginInches(x, y);
        read->MoveAllBy(x - 1.0f, y - 1.0f);
    }
    view.ClearSelection();
    doc->Refresh();
    doc->MarkChanged();
    return true;
}
