#include "ole/OleCommands.h"

#include "ole/ClientItem.h"
#include "ole/OleEditors.h"
#include "ole/VisibleOLE.h"
#include "platform/CompoundFile.h"
#include "platform/DeviceContext.h"
#include "platform/Exceptions.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"
#include "platform/WaitCursor.h"
#include "view/PageScrollView.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace OleCommands {

namespace {

void showCreateFailed()
{
    Prompter::instance().message(loadString(Str::CreateObjectFailed), QString(),
                                 Prompter::Icon::Exclamation);
}

// The label's editor on a label just placed; Cancel keeps the label as it is.
void editNewLabel(PageScrollView& view, VisibleOLE& obj)
{
    if (OleEditors* editors = OleEditors::instance()) {
        std::optional<TextLabel> label = obj.item()->label();
        if (label && editors->editLabel(*label)) {
            obj.item()->setLabel(*label);
            obj.itemChanged();
        }
    }
    if (PlotDocument* doc = view.document())
        doc->Refresh();
}

// Runs an insert; one that throws says the object could not be created and gives false.
template <class Insert> bool sayingWhatThrows(Insert insert)
{
    try {
        return insert();
    } catch (const PlotvaneException&) {
    } catch (const std::bad_alloc&) {
    }
    showCreateFailed();
    return false;
}

std::unique_ptr<ClientItem> newLabel()
{
    TextLabel label;
    label.text = loadString(Str::NewLabelText);
    return ClientItem::fromLabel(label);
}

} // namespace

VisibleOLE* place(PageScrollView& view, std::unique_ptr<ClientItem> item, std::optional<QPoint> at)
{
    PlotDocument* doc = view.document();
    if (!doc || !item)
        return nullptr;
    auto owned = std::make_unique<VisibleOLE>(std::move(item));
    VisibleOLE* obj = owned.get();
    obj->SetDocument(doc);
    obj->SetView(&view);
    obj->SetDefaultName();
    const Rect focus = view.focusRect();
    if (!focus.isEmpty()) {
        obj->SetFromRect(focus);
    } else if (at) {
        obj->ComputeRect();
        const Rect r = obj->GetRect();
        obj->SetFromRect(Rect{at->x(), at->y(), at->x() + r.width(), at->y() + r.height()});
    } else {
        obj->x = 0.0f;
        obj->ComputeRect();
        // Its lower-left corner at the page origin, so that it lands on the page.
        std::unique_ptr<DeviceContext> dc = view.clientDC();
        view.PrepareDC(*dc);
        obj->y = float(std::abs(dc->lengthToLogicalY(obj->GetRect().height()))) / 1000.0f;
        obj->ComputeRect();
    }
    doc->AddObject(std::move(owned));
    view.ClearSelection();
    doc->Refresh();
    doc->UpdateAllViews(DocumentServices::UpdateHint::All, nullptr);
    view.viewport()->update();
    doc->MarkChanged();
    return obj;
}

bool insertPictureFile(PageScrollView& view, const QString& path)
{
    WaitCursor wait;
    QFile file(path);
    if (QFileInfo(path).size() > CompoundFileReader::maxSize || !file.open(QIODevice::ReadOnly)) {
        showCreateFailed();
        return false;
    }
    std::unique_ptr<ClientItem> item;
    try {
        item = ClientItem::fromPicture(file.readAll());
    } catch (const std::bad_alloc&) {
    }
    if (!item || !item->isPicture() || !place(view, std::move(item))) {
        showCreateFailed();
        return false;
    }
    return true;
}

bool insertNewObject(PageScrollView& view)
{
    return sayingWhatThrows([&view] {
        OleEditors* editors = OleEditors::instance();
        const OleEditors::InsertChoice choice =
            editors ? editors->chooseInsert() : OleEditors::InsertChoice::Cancel;
        if (choice == OleEditors::InsertChoice::FromFile) {
            const QString path =
                Prompter::instance().openFileName(loadString(Str::InsertPictureTitle), QString(),
                                                  loadString(Str::PictureFileFilter), QString());
            return !path.isEmpty() && insertPictureFile(view, path);
        }
        if (choice == OleEditors::InsertChoice::TextLabel)
            return insertLabel(view);
        return false;
    });
}

bool canInsertLabel(const PageScrollView& view)
{
    return !view.focusRect().isNull();
}

bool insertLabel(PageScrollView& view)
{
    return sayingWhatThrows([&view] {
        VisibleOLE* obj = nullptr;
        {
            WaitCursor wait;
            const Rect focus = view.focusRect();
            // A click leaves a point to put the label at, with the label's own size.
            obj = place(view, newLabel(),
                        focus.isEmpty() && !focus.isNull()
                            ? std::optional(QPoint(focus.left, focus.top))
                            : std::nullopt);
        }
        if (!obj) {
            showCreateFailed();
            return false;
        }
        editNewLabel(view, *obj);
        return true;
    });
}

} // namespace OleCommands
