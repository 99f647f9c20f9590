#include "doc/DocumentBase.h"

#include "data/FileName.h"
#include "doc/DocumentView.h"
#include "doc/UndoHistory.h"
#include "platform/Prompter.h"
#include "platform/Strings.h"

#include <QSet>

DocumentBase::~DocumentBase()
{
    // The groups would refer to deleted objects.
    DeleteLinkGroups();
}

void DocumentBase::AddView(DocumentView* view)
{
    if (view && !views.contains(view))
        views.append(view);
}

void DocumentBase::RemoveView(DocumentView* view)
{
    views.removeAll(view);
}

DocumentView* DocumentBase::FirstView() const
{
    return views.isEmpty() ? nullptr : views.first();
}

QString DocumentBase::GetDirectory() const
{
    if (pathName.isEmpty())
        return {};
    return FileName(pathName).GetDirectory();
}

void DocumentBase::DeleteContents()
{
    // The groups would refer to deleted objects.
    DeleteLinkGroups();
    objects.DeleteAll();
}

void DocumentBase::Refresh()
{
    MakeNamesUnique();
    for (DocumentView* view : QList<DocumentView*>(views))
        view->ResetView();
}

void DocumentBase::setUndoHistory(std::unique_ptr<UndoHistory> history)
{
    history_ = std::move(history);
    if (history_)
        history_->reset(modified);
}

bool DocumentBase::Undo()
{
    return stepHistory(true);
}

bool DocumentBase::Redo()
{
    return stepHistory(false);
}

bool DocumentBase::stepHistory(bool back)
{
    if (!history_)
        return false;
    history_->settle();
    if (!(back ? history_->canUndo() : history_->canRedo()))
        return false;
    // Nothing a view holds of the page may outlive it.
    for (DocumentView* view : QList<DocumentView*>(views))
        view->pageReplaced();
    try {
        if (back)
            history_->undo();
        else
            history_->redo();
    } catch (...) {
        SetModifiedFlag(!history_->atSavedState());
        throw;
    }
    SetModifiedFlag(!history_->atSavedState());
    UpdateAllItems();
    return true;
}

void DocumentBase::MakeNamesUnique()
{
    QSet<QString> seen;
    for (visibleobject* obj : objects) {
        QString name = obj->GetName();
        if (seen.contains(name)) {
            do
                name += QLatin1Char('.');
            while (seen.contains(name));
            obj->SetName(name);
        }
        seen.insert(name);
    }
}

void DocumentBase::AddObjectAndRefresh(std::unique_ptr<visibleobject> obj)
{
    obj->SetDocument(this);
    objects.Add(std::move(obj));
    Refresh();
}

std::unique_ptr<StringObMap> DocumentBase::GetObjectNames() const
{
    auto map = std::make_unique<StringObMap>();
    for (visibleobject* obj : objects)
        map->insert(obj->GetName(), obj);
    return map;
}

void DocumentBase::forgetObject(visibleobject* obj)
{
    for (const StringObMap::Entry& entry : linkGroups)
        static_cast<visiblelist*>(entry.value)->Remove(obj);
}

void DocumentBase::substituteObject(visibleobject* obj, visibleobject* next)
{
    for (const StringObMap::Entry& entry : linkGroups)
        static_cast<visiblelist*>(entry.value)->ReplaceMember(obj, next);
}

void DocumentBase::collectReplacements(visibleobject* obj)
{
    objects.CollectReplacements(obj);
}

bool DocumentBase::DeleteObject(visibleobject* obj)
{
    if (!obj || !objects.contains(obj))
        return false;
    const std::unique_ptr<StringObMap> dependents = objects.DependentsOf(obj);
    if (dependents->isEmpty()) {
        collectReplacements(obj);
        const std::unique_ptr<visibleobject> doomed = objects.Take(obj);
        forgetObject(obj);
        return true;
    }

    const QString text =
        loadString(Str::DependentsPrefix) + obj->GetName() + loadString(Str::DependentsSuffix);
    if (Prompter::instance().question(text, QString(), Prompter::Buttons::YesNo,
                                      Prompter::Icon::Information) != Prompter::Answer::Yes)
        return false;

    collectReplacements(obj);
    std::unique_ptr<visibleobject> doomed = objects.Take(obj);
    for (const StringObMap::Entry& entry : *dependents) {
        auto* dependent = static_cast<visibleobject*>(entry.value);
        // A dependent's dialog that is cancelled keeps the object; it is drawn last from now.
        if (objects.contains(dependent) && dependent->EditProperties() == 0) {
            objects.Add(std::move(doomed));
            return false;
        }
    }
    forgetObject(obj);
    return true;
}

void DocumentBase::CenterPage()
{
    DocumentView* view = FirstView();
    if (!view)
        return;
    const QSize page = view->pageSize();
    const float s = view->viewScale();
    const float ppiX = view->pixelsPerInchX();
    const float ppiY = view->pixelsPerInchY();
    if (s <= 0.0f || ppiX <= 0.0f || ppiY <= 0.0f)
        return;
    const Rect b = objects.Bounds().offsetBy(view->scrollX(), view->scrollY());
    const Rect r = view->clientRect();
    const float dx =
        ((float(page.width()) - float(b.width()) / s) / 2.0f - float(b.left) / s) / ppiX;
    const float dy = ((float(page.height()) - float(b.height()) / s) / 2.0f -
                      (float(r.bottom) / s - float(b.bottom) / s)) /
                     ppiY;
    objects.MoveAllBy(dx, dy);
    MarkChanged();
    Refresh();
}

void DocumentBase::RegisterLinkGroup(const QString& name, const visiblelist& members)
{
    if (auto* old = static_cast<visiblelist*>(linkGroups.value(name))) {
        linkGroups.remove(name);
        delete old;
    }
    auto copy = std::make_unique<visiblelist>(members);
    linkGroups.insert(name, copy.release());
    SetModifiedFlag(true);
}

QString DocumentBase::FindLinkGroup(const ObjectSequence& selection) const
{
    for (const StringObMap::Entry& entry : linkGroups) {
        if (static_cast<const visiblelist*>(entry.value)->SameMembers(selection))
            return entry.key;
    }
    return {};
}

visiblelist* DocumentBase::GetLinkGroup(const QString& name) const
{
    return static_cast<visiblelist*>(linkGroups.value(name));
}

void DocumentBase::PurgeLinkGroups()
{
    for (const StringObMap::Entry& entry : linkGroups) {
        auto* group = static_cast<visiblelist*>(entry.value);
        const QList<visibleobject*> members = group->objects();
        for (visibleobject* member : members) {
            if (!objects.contains(member))
                group->Remove(member);
        }
    }
}

void DocumentBase::DeleteLinkGroups()
{
    QList<visiblelist*> lists;
    for (const StringObMap::Entry& entry : linkGroups)
        lists.append(static_cast<visiblelist*>(entry.value));
    linkGroups.clear();
    qDeleteAll(lists);
}

bool DocumentBase::IsNameInUse(const QString& name, const visibleobject* ignore) const
{
    for (const visibleobject* obj : objects) {
        if (obj != ignore && obj->GetName() == name)
            return true;
    }
    return false;
}

void DocumentBase::AddObject(std::unique_ptr<visibleobject> obj)
{
    if (!obj)
        return;
    obj->SetDocument(this);
    objects.Add(std::move(obj));
    MarkChanged();
}

std::unique_ptr<visibleobject> DocumentBase::RemoveObject(visibleobject* obj)
{
    std::unique_ptr<visibleobject> taken = objects.Take(obj);
    // Off the page it has no place in a link group, and the caller may delete it.
    if (taken)
        forgetObject(obj);
    UpdateAllViews(UpdateHint::All, nullptr);
    return taken;
}

void DocumentBase::MarkChanged()
{
    SetModifiedFlag(true);
    UpdateAllItems();
    if (history_)
        history_->changed();
}

void DocumentBase::UpdateAllViews(UpdateHint hint, visibleobject* obj)
{
    for (DocumentView* view : QList<DocumentView*>(views))
        view->OnUpdate(hint, obj, nullptr);
}

void DocumentBase::UpdateAllViewsRect(const Rect& rect)
{
    for (DocumentView* view : QList<DocumentView*>(views))
        view->OnUpdate(UpdateHint::Area, nullptr, &rect);
}

PageView* DocumentBase::GetActiveView()
{
    DocumentView* active = DocumentView::active();
    if (active && views.contains(active))
        return active;
    return FirstView();
}
