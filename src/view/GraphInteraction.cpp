#include "view/GraphInteraction.h"

#include "axes/Axis.h"
#include "doc/DocumentEditors.h"
#include "doc/PlotDocument.h"
#include "doc/UndoHistory.h"
#include "page/scaleableobject.h"
#include "platform/Strings.h"
#include "traces/Trace.h"
#include "view/PageScrollView.h"
#include "view/ViewClipboard.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <cstdint>
#include <limits>
#include <memory>

namespace {

int64_t area(const Rect& r)
{
    return int64_t(r.width()) * int64_t(r.height());
}

Rect spanned(QPoint a, QPoint b)
{
    return Rect{std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()),
                std::max(a.y(), b.y())};
}

QPoint pointOf(const QMouseEvent& event)
{
    return event.position().toPoint();
}

// What a press at p would do: resize through a handle, move the selection, or start a band.
Qt::CursorShape hoverCursor(const PageScrollView& view, QPoint p)
{
    const visiblelist* selection = view.selection();
    if (!selection)
        return Qt::ArrowCursor;
    for (const visibleobject* obj : *selection) {
        if (!dynamic_cast<const scaleableobject*>(obj) || obj->GetRect().isNull())
            continue;
        const auto handles = scaleableobject::handleRects(obj->GetRect());
        for (size_t i = 0; i < handles.size(); ++i) {
            if (handles[i].contains(p)) {
                const auto h = scaleableobject::Handle(i);
                return h == scaleableobject::Handle::Left || h == scaleableobject::Handle::Right
                           ? Qt::SizeHorCursor
                           : Qt::SizeVerCursor;
            }
        }
    }
    return view.focusRect().contains(p) ? Qt::SizeAllCursor : Qt::ArrowCursor;
}

// Repaints, where they lie now, the objects that are drawn from the selected ones (the traces
// on a selected axis and its title): called before and after the selection changes, it covers
// where they were and where they go.
void updateDependents(PageScrollView& view)
{
    PlotDocument* doc = view.document();
    const visiblelist* selection = view.selection();
    if (!doc || !selection)
        return;
    auto dependsOnSelection = [selection](const visibleobject* obj) {
        for (const visibleobject* selected : *selection) {
            if (obj == selected)
                return false;
            const auto* axis = dynamic_cast<const Axis*>(selected);
            if (!obj->IsIndependentOf(selected) || (axis && axis->GetTitle() == obj))
                return true;
        }
        return false;
    };
    for (visibleobject* obj : doc->GetObjects()) {
        if (dependsOnSelection(obj)) {
            obj->Relayout();
            doc->UpdateAllViewsRect(obj->GetRect());
        }
    }
}

} // namespace

QList<int> GraphInteraction::contextMenuCommands(int menuId)
{
    switch (menuId) {
    case Axis::MenuId:
        return {Axis::SettingsCommand, Axis::TicksCommand, Axis::FontCommand, Axis::TitleCommand};
    case Trace::MenuId:
        return {Trace::DataSettingsCommand, Trace::LineTypeCommand,    Trace::ColorCommand,
                Trace::SymbolFontCommand,   Trace::MirrorXAxisCommand, Trace::MirrorYAxisCommand,
                Trace::ErrorBarsCommand};
    default:
        return {};
    }
}

void GraphInteraction::mousePress(PageScrollView& view, QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton)
        return;
    event.accept();
    const QPoint p = pointOf(event);
    PageScrollView::InteractionState& state = view.interactionState();
    moved_ = false;
    if (visiblelist* selection = view.selection()) {
        for (visibleobject* obj : *selection) {
            if (obj->HitHandle(p.x(), p.y())) {
                // Only the grabbed object is resized.
                auto alone = std::make_unique<visiblelist>();
                alone->append(obj);
                view.SetSelection(std::move(alone));
                if (view.document())
                    view.document()->UpdateAllViews(DocumentServices::UpdateHint::All, nullptr);
                state.resizing = 1;
                return;
            }
        }
    }
    if (!view.selection() || !view.focusRect().contains(p)) {
        beginBand(view, p);
        return;
    }
    state.moving = 1;
    state.lastPoint = p;
    pressPoint_ = p;
}

void GraphInteraction::beginBand(PageScrollView& view, QPoint p)
{
    PageScrollView::InteractionState& state = view.interactionState();
    view.ClearSelection();
    state.banding = 1;
    state.anchor = p;
    view.setFocusRect(Rect{p.x(), p.y(), p.x(), p.y()});
    view.viewport()->setCursor(Qt::CrossCursor);
}

void GraphInteraction::mouseMove(PageScrollView& view, QMouseEvent& event)
{
    const QPoint p = pointOf(event);
    if (!(event.buttons() & Qt::LeftButton)) {
        view.viewport()->setCursor(hoverCursor(view, p));
        return;
    }
    PageScrollView::InteractionState& state = view.interactionState();
    if (state.resizing) {
        if (visiblelist* selection = view.selection()) {
            updateDependents(view);
            view.setFocusRect(selection->at(0)->ScaleTo(p.x(), p.y()));
            updateDependents(view);
            moved_ = true;
        }
    } else if (state.banding) {
        view.setFocusRect(spanned(state.anchor, p));
    } else if (state.moving) {
        if (!view.selection()) {
            state.moving = 0;
            view.ResetView();
            return;
        }
        if (!view.viewport()->rect().contains(p)) {
            startDrag(view);
            return;
        }
        if (moveSelection(view, p - state.lastPoint))
            moved_ = true;
        state.lastPoint = p;
    }
}

void GraphInteraction::startDrag(PageScrollView& view)
{
    PageScrollView::InteractionState& state = view.interactionState();
    // The selection goes back to where the button went down: a copy leaves it there and a drop
    // back onto this view moves it from there.
    moveSelection(view, pressPoint_ - state.lastPoint);
    state.lastPoint = pressPoint_;
    moved_ = false;
    std::unique_ptr<QMimeData> data = ViewClipboard::dragData(view);
    if (!data) {
        finishDrag(view, Qt::IgnoreAction);
        return;
    }
    auto* drag = new QDrag(view.viewport());
    QPixmap picture;
    if (picture.loadFromData(data->data(QStringLiteral("image/png")), "PNG")) {
        const Rect focus = view.focusRect();
        drag->setPixmap(picture);
        drag->setHotSpot(pressPoint_ - QPoint(focus.left, focus.top));
    }
    drag->setMimeData(data.release());
    dragging_ = true;
    droppedOnSelf_ = false;
    const QPointer<QWidget> alive(view.viewport());
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    Qt::DropAction result = Qt::IgnoreAction;
    if (runDrag) {
        result = runDrag(*drag, actions);
        drag->deleteLater();
    } else {
        // A finished drag deletes itself.
        result = drag->exec(actions, Qt::CopyAction);
    }
    if (alive)
        finishDrag(view, result);
}

void GraphInteraction::drop(PageScrollView& view, QDropEvent& event)
{
    PageScrollView::InteractionState& state = view.interactionState();
    if (!dragging_ || !state.moving)
        return;
    const QPoint p = event.position().toPoint();
    if (view.selection() && moveSelection(view, p - state.lastPoint))
        moved_ = true;
    state.lastPoint = p;
    endStates(view, p);
    droppedOnSelf_ = true;
    // Taken, but reported as nothing dropped, so that the source deletes nothing.
    event.setDropAction(Qt::IgnoreAction);
    event.accept();
}

void GraphInteraction::finishDrag(PageScrollView& view, Qt::DropAction result)
{
    PageScrollView::InteractionState& state = view.interactionState();
    const bool moveElsewhere = result == Qt::MoveAction && !droppedOnSelf_;
    dragging_ = false;
    droppedOnSelf_ = false;
    if (moveElsewhere)
        ViewClipboard::deleteMoved(view);
    state.moving = 0;
    moved_ = false;
    view.viewport()->setCursor(Qt::ArrowCursor);
    view.ResetView();
}

bool GraphInteraction::moveSelection(PageScrollView& view, QPoint d)
{
    visiblelist* selection = view.selection();
    PlotDocument* doc = view.document();
    if (!selection || d.isNull())
        return false;
    const float sx = view.viewScale() * view.pixelsPerInchX();
    const float sy = view.viewScale() * view.pixelsPerInchY();
    if (!(sx > 0.0f) || !(sy > 0.0f))
        return false;
    Rect focus = view.focusRect();
    if (doc)
        doc->UpdateAllViewsRect(focus);
    updateDependents(view);
    // Pixels grow downwards, page units upwards.
    selection->MoveAllBy(float(d.x()) / sx, -float(d.y()) / sy);
    focus.offset(d.x(), d.y());
    view.setFocusRect(focus);
    if (doc)
        doc->UpdateAllViewsRect(focus);
    updateDependents(view);
    return true;
}

void GraphInteraction::mouseRelease(PageScrollView& view, QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton)
        return;
    event.accept();
    endStates(view, pointOf(event));
}

void GraphInteraction::endStates(PageScrollView& view, QPoint p)
{
    PageScrollView::InteractionState& state = view.interactionState();
    PlotDocument* doc = view.document();
    if (state.resizing) {
        state.resizing = 0;
        if (visiblelist* selection = view.selection()) {
            visibleobject* obj = selection->at(0);
            obj->EndScale();
            view.setFocusRect(obj->GetRect());
        }
        if (doc) {
            doc->UpdateAllViews(DocumentServices::UpdateHint::All, nullptr);
            // A click on a handle that did not drag leaves the document as it was.
            if (moved_) {
                const UndoAction action(doc, loadString(Str::StepResize));
                doc->MarkChanged();
            }
        }
    } else if (state.moving) {
        state.moving = 0;
        if (doc) {
            doc->UpdateAllViews(DocumentServices::UpdateHint::All, nullptr);
            if (moved_) {
                const UndoAction action(doc, loadString(Str::StepMove));
                doc->MarkChanged();
            }
        }
    } else if (state.banding) {
        state.banding = 0;
        const Rect band = spanned(state.anchor, p);
        view.setFocusRect(band);
        if (band.isEmpty())
            pick(view, p);
        else
            selectEnclosed(view, band);
    }
    moved_ = false;
    view.viewport()->setCursor(Qt::ArrowCursor);
}

void GraphInteraction::pick(PageScrollView& view, QPoint p)
{
    view.ClearSelection();
    PlotDocument* doc = view.document();
    if (!doc)
        return;
    const visibleobject* smallest = nullptr;
    int64_t smallestArea = std::numeric_limits<int64_t>::max();
    for (visibleobject* obj : doc->GetObjects()) {
        if (obj->GetRect().contains(p) && area(obj->GetRect()) < smallestArea) {
            smallest = obj;
            smallestArea = area(obj->GetRect());
        }
    }
    if (!smallest)
        return;
    const Rect target = smallest->GetRect();
    auto list = std::make_unique<visiblelist>();
    for (visibleobject* obj : doc->GetObjects()) {
        if (obj->GetRect() == target)
            list->append(obj);
    }
    view.SetSelection(std::move(list));
    view.setFocusRect(target);
}

void GraphInteraction::selectEnclosed(PageScrollView& view, const Rect& band)
{
    PlotDocument* doc = view.document();
    auto list = std::make_unique<visiblelist>();
    if (doc) {
        for (visibleobject* obj : doc->GetObjects()) {
            const Rect r = obj->GetRect();
            if (!r.isEmpty() && band.intersected(r) == r)
                list->append(obj);
        }
    }
    view.SetSelection(std::move(list));
    // The band stays as the focus rectangle unless one object took its own rectangle.
    if (!view.selection() || view.selection()->count() > 1)
        view.setFocusRect(band);
}

void GraphInteraction::mouseDoubleClick(PageScrollView& view, QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton)
        return;
    event.accept();
    const QPoint p = pointOf(event);
    // A press the double click followed without its release ends as a click.
    if (view.interactionState().banding)
        endStates(view, p);
    auto selectedAt = [&view, p]() -> visibleobject* {
        if (const visiblelist* selection = view.selection()) {
            for (visibleobject* obj : *selection) {
                if (obj->GetRect().contains(p))
                    return obj;
            }
        }
        return nullptr;
    };
    visibleobject* obj = selectedAt();
    // A double click that arrives without the first click's selection picks for itself.
    if (!obj) {
        pick(view, p);
        obj = selectedAt();
    }
    PlotDocument* doc = view.document();
    if (obj && obj->Activate() && doc) {
        doc->Refresh();
        doc->MarkChanged();
    }
}

void GraphInteraction::editObject(PageScrollView& view, visibleobject* obj)
{
    PlotDocument* doc = view.document();
    const UndoAction action(doc, loadString(Str::StepFormatObject));
    if (obj && obj->EditProperties() && doc) {
        doc->Refresh();
        doc->MarkChanged();
    }
}

visibleobject* GraphInteraction::chooseCandidate(PageScrollView& view,
                                                 const StringObMap& candidates)
{
    PlotDocument* doc = view.document();
    if (!doc || candidates.isEmpty())
        return nullptr;
    visibleobject* chosen = nullptr;
    if (candidates.count() == 1) {
        chosen = dynamic_cast<visibleobject*>(candidates.begin()->value);
    } else if (DocumentEditors* editors = DocumentEditors::instance()) {
        chosen = editors->chooseObject(candidates);
    }
    return chosen && doc->GetObjects().contains(chosen) ? chosen : nullptr;
}

void GraphInteraction::contextMenu(PageScrollView& view, QContextMenuEvent& event)
{
    event.accept();
    PageScrollView::InteractionState& state = view.interactionState();
    view.ClearSelection();
    state.menuCandidates.reset();
    PlotDocument* doc = view.document();
    if (!doc)
        return;
    const QPoint p = event.pos();
    int64_t smallestArea = std::numeric_limits<int64_t>::max();
    for (visibleobject* obj : doc->GetObjects()) {
        if (obj->GetRect().contains(p))
            smallestArea = std::min(smallestArea, area(obj->GetRect()));
    }
    auto candidates = std::make_unique<StringObMap>();
    for (visibleobject* obj : doc->GetObjects()) {
        if (obj->GetRect().contains(p) && area(obj->GetRect()) == smallestArea)
            candidates->insert(obj->GetName(), obj);
    }
    if (candidates->isEmpty())
        return;

    const auto* first = dynamic_cast<const visibleobject*>(candidates->begin()->value);
    const QList<int> commands = contextMenuCommands(first ? first->GetMenuId() : 0);
    if (commands.isEmpty()) {
        editObject(view, chooseCandidate(view, *candidates));
        return;
    }

    QMenu menu(&view);
    for (int id : commands)
        menu.addAction(menuText(id))->setData(id);
    // The menu opens centred on the point.
    const QPoint global = view.viewport()->mapToGlobal(p) - QPoint(menu.sizeHint().width() / 2, 0);
    state.menuCandidates = std::move(candidates);
    int command = 0;
    if (runMenu) {
        command = runMenu(menu, global);
    } else if (QAction* chosen = menu.exec(global)) {
        command = chosen->data().toInt();
    }
    std::unique_ptr<StringObMap> held = std::move(state.menuCandidates);
    if (!command || !held)
        return;
    const UndoAction action(doc, UndoHistory::commandStepName(command));
    visibleobject* target = chooseCandidate(view, *held);
    if (target && target->OnMenuCommand(command)) {
        doc->Refresh();
        doc->MarkChanged();
    }
}

void GraphInteraction::keyPress(PageScrollView& view, QKeyEvent& event)
{
    PageScrollView::InteractionState& state = view.interactionState();
    if (event.key() == Qt::Key_Escape) {
        event.accept();
        if (state.banding) {
            state.banding = 0;
            view.setFocusRect(Rect{});
            view.viewport()->setCursor(Qt::ArrowCursor);
        } else if (state.moving || state.resizing) {
            endStates(view, state.lastPoint);
        }
        view.ClearSelection();
        return;
    }
    if (event.matches(QKeySequence::SelectAll)) {
        event.accept();
        PlotDocument* doc = view.document();
        if (!doc || state.banding || state.moving || state.resizing)
            return;
        auto all = std::make_unique<visiblelist>();
        for (visibleobject* obj : doc->GetObjects())
            all->append(obj);
        view.SetSelection(std::move(all));
        if (view.selection() && view.selection()->count() > 1)
            view.setFocusRect(view.selection()->Bounds());
        return;
    }
    QPoint d;
    switch (event.key()) {
    case Qt::Key_Left:
        d = {-1, 0};
        break;
    case Qt::Key_Right:
        d = {1, 0};
        break;
    case Qt::Key_Up:
        d = {0, -1};
        break;
    case Qt::Key_Down:
        d = {0, 1};
        break;
    default:
        return;
    }
    // Without a selection the arrows scroll the view.
    if (!view.selection() || state.banding || state.moving || state.resizing)
        return;
    event.accept();
    if (event.modifiers() & Qt::ShiftModifier)
        d *= 10;
    // Repeated presses are one step.
    const UndoAction action(view.document(), loadString(Str::StepMove),
                            UndoAction::Merge::WithPrevious);
    if (moveSelection(view, d) && view.document())
        view.document()->MarkChanged();
}
