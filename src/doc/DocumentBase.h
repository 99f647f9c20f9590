#pragma once

#include "page/DocumentServices.h"
#include "page/PageList.h"
#include "page/visiblelist.h"
#include "platform/StringObMap.h"

#include <QList>
#include <QString>
#include <memory>

class DocumentView;
class UndoHistory;
class visibleobject;

// The page side of a plot document: the page list in drawing order, the groups of objects that
// other programs link to by name, the views that show the page and the change notification.
// It knows nothing about plotting. The page list owns its objects; removing an object from the
// page and deleting it are separate steps. The link groups own their lists, not the objects.
class DocumentBase : public DocumentServices
{
public:
    DocumentBase() = default;
    ~DocumentBase() override;
    DocumentBase(const DocumentBase&) = delete;
    DocumentBase& operator=(const DocumentBase&) = delete;

    PageList& GetObjects() { return objects; }
    const PageList& GetObjects() const { return objects; }

    // Views register themselves; the document only refers to them.
    void AddView(DocumentView* view);
    void RemoveView(DocumentView* view);
    const QList<DocumentView*>& GetViews() const { return views; }
    // The first registered view, or null.
    DocumentView* FirstView() const;

    bool IsModified() const { return modified; }
    void SetModifiedFlag(bool changed = true) { modified = changed; }
    // The document file's full path; empty until saved or opened.
    const QString& GetPathName() const { return pathName; }
    void SetPathName(const QString& path) { pathName = path; }
    // The directory of the document file; empty while the document has no file.
    QString GetDirectory() const;

    // Deletes every page object and every link group.
    virtual void DeleteContents();
    // Repairs duplicate names and resets every view.
    virtual void Refresh();

    // The undo history; null for a document that keeps none.
    UndoHistory* undoHistory() const { return history_.get(); }
    // Takes back (puts again) the last step: the views let go of the page first, and the
    // modified mark says whether the document is back at its saved state. False when there was
    // nothing to do; a restore that fails raises and leaves the document as it was.
    bool Undo();
    bool Redo();
    // Walks the page in order; a name met before gets "." appended until it is new, so the
    // first holder of a name keeps it.
    void MakeNamesUnique();
    void AddObjectAndRefresh(std::unique_ptr<visibleobject> obj);
    // Name -> object for every page object.
    std::unique_ptr<StringObMap> GetObjectNames() const;

    // The deletion protocol: an object others depend on is deleted only when the user agrees
    // and every dependent's dialog is confirmed; otherwise it goes back to the end of the page.
    // True when the object was deleted. The caller ends with Refresh.
    virtual bool DeleteObject(visibleobject* obj);

    // Moves every object so that their union sits in the middle of the printer page of the
    // first view; nothing without a view.
    void CenterPage();

    // Link groups: a copy of the members is kept under the name, replacing an older group of
    // that name.
    void RegisterLinkGroup(const QString& name, const visiblelist& members);
    // The name of a group with the same members as the selection; null when there is none.
    QString FindLinkGroup(const ObjectSequence& selection) const;
    // Not owned by the caller; null when absent.
    visiblelist* GetLinkGroup(const QString& name) const;
    // Name -> visiblelist, in the order the groups are written.
    const StringObMap& GetLinkGroups() const { return linkGroups; }
    // Drops objects that are no longer on the page from every group (before saving).
    void PurgeLinkGroups();
    void DeleteLinkGroups();

    // DocumentServices
    bool IsNameInUse(const QString& name, const visibleobject* ignore) const override;
    void AddObject(std::unique_ptr<visibleobject> obj) override;
    std::unique_ptr<visibleobject> RemoveObject(visibleobject* obj) override;
    void MarkChanged() override;
    void UpdateAllViews(UpdateHint hint, visibleobject* obj) override;
    void UpdateAllViewsRect(const Rect& rect) override;
    // The program's active view when it shows this document, else the first view, else null.
    PageView* GetActiveView() override;

protected:
    // Installs the history, which takes the document as it is now as its starting point.
    void setUndoHistory(std::unique_ptr<UndoHistory> history);
    // Containers that show this document redraw; served documents implement it.
    virtual void UpdateAllItems() {}
    // The object is about to be deleted: no list of the document may keep it.
    void forgetObject(visibleobject* obj);
    // `next` takes obj's place in every link group.
    void substituteObject(visibleobject* obj, visibleobject* next);
    // Every object drops or replaces its references to obj; replacements go to the end of the
    // page and are asked too.
    void collectReplacements(visibleobject* obj);

    PageList objects;
    StringObMap linkGroups; // name -> owned visiblelist

private:
    QList<DocumentView*> views; // not owned
    bool modified = false;
    QString pathName;
    std::unique_ptr<UndoHistory> history_;
    bool stepHistory(bool back);
};
