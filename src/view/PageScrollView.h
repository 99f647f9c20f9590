#pragma once

#include "doc/DocumentView.h"
#include "doc/PlotDocument.h"
#include "page/visiblelist.h"
#include "platform/Rect.h"
#include "platform/StringObMap.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <memory>

class DeviceContext;
class ViewInteraction;

// The graph view: shows the page of one plot document, maps page positions to client pixels
// and back, paints the page objects in list order, scrolls and keeps the selection.
//
// A QAbstractScrollArea: the viewport is the client area, and its two scroll bars hold the
// scroll ranges. The view does its own scrolling (scrollContentsBy does nothing): every bar
// action comes to OnScroll with the code of the bar's step, which moves by the view's own
// steps and scrolls only when the thumb is released, never while it is dragged.
//
// Scroll positions are pixels: scrollX 0 is the left edge and grows to the right; scrollY 0
// is the bottom and negative values show content further up. The vertical bar therefore runs
// from -H (top) to 0 (bottom).
class PageScrollView : public QAbstractScrollArea, public DocumentView
{
    Q_OBJECT

public:
    // The scroll codes of a bar action.
    enum class ScrollCode {
        LineUp,
        LineDown,
        PageUp,
        PageDown,
        ThumbPosition, // the thumb was released at nPos
        ThumbTrack,    // the thumb is being dragged; the view does not move
        Top,
        Bottom,
        EndScroll
    };

    // The interaction state the mouse protocol works on; the view only keeps it.
    struct InteractionState
    {
        QPoint anchor; // fixed corner of a rubber band, client pixels
        int resizing = 0;
        int moving = 0;
        int banding = 0;
        QPoint lastPoint; // last mouse position during a move, client pixels
        // The objects under the last right click; owns the map, not the objects.
        std::unique_ptr<StringObMap> menuCandidates;
    };

    // Registers with the document (not owned; it must outlive the view) and takes the initial
    // state: the document's page list, the default view scale and the screen resolution.
    explicit PageScrollView(PlotDocument* doc, QWidget* parent = nullptr);
    ~PageScrollView() override;
    PageScrollView(const PageScrollView&) = delete;
    PageScrollView& operator=(const PageScrollView&) = delete;

    // Takes the page list, the default view scale (the Scale setting) and the resolution of the
    // screen the view is on.
    virtual void OnInitialUpdate();
    // Paints the page on a context whose device is this view's viewport.
    virtual void OnDraw(DeviceContext& dc);

    // PageView
    void PrepareDC(DeviceContext& dc) const override;
    std::unique_ptr<DeviceContext> clientDC() const override;
    Rect clientRect() const override;
    int scrollX() const override { return scrollX_; }
    int scrollY() const override { return scrollY_; }
    float pixelsPerInchX() const override { return pixelsPerInchX_; }
    float pixelsPerInchY() const override { return pixelsPerInchY_; }
    float viewScale() const override { return viewScale_; }
    Rect focusRect() const override { return focusRect_; }
    bool hasSelection() const override { return selection_ != nullptr; }
    PlotDocument* document() const override { return doc_; }

    // DocumentView
    void OnUpdate(DocumentServices::UpdateHint hint, visibleobject* obj, const Rect* rect) override;
    void ResetView() override;
    // Drops the selection and the right-clicked objects, and closes the readouts.
    void pageReplaced() override;
    // The plain view has no printer page.
    QSize pageSize() const override { return {}; }

    // One step of a scroll bar, as its messages carry it: the code and, for the thumb codes,
    // the thumb's position.
    void OnScroll(Qt::Orientation bar, ScrollCode code, int nPos = 0);
    // The lower-left corner of the focus rectangle as a page position (inches); 0, 0 when the
    // focus rectangle is empty.
    void FocusOriginInches(float& x, float& y) const;
    // The content rectangle in client pixels: the page origin pixel and every object.
    virtual Rect contentRect() const;

    // The view scale changes only through this; a ResetView follows. A scale that is not a
    // positive finite number is refused (false).
    bool setViewScale(float scale);
    // Client pixels; no repaint of its own beyond the old and new outlines.
    void setFocusRect(const Rect& rect);
    // The selected objects (not owned), or null when nothing is selected.
    visiblelist* selection() const { return selection_.get(); }
    // Replaces the selection; an empty list is stored as none. With exactly one object the
    // focus rectangle becomes that object's rectangle, otherwise it is emptied.
    void SetSelection(std::unique_ptr<visiblelist> list);
    void ClearSelection() { SetSelection(nullptr); }
    InteractionState& interactionState() { return state_; }
    // The view owns its interaction; null restores the default (no interaction).
    void setInteraction(std::unique_ptr<ViewInteraction> interaction);
    ViewInteraction& interaction() const { return *interaction_; }
    int lineStep() const { return lineStep_; }

protected:
    // Sets both scroll ranges for the current client size from a content rectangle; a scroll
    // position the ranges no longer hold is taken back and the page laid out again.
    void setScrollRanges(const Rect& content);
    // The size handling without the in-place step: lays out and sets the scroll ranges.
    virtual void OnSize();
    // Marks of the selected objects and the focus rectangle, in plain device pixels.
    void drawSelectionMarks(DeviceContext& dc);
    // True when this view or a window that holds it is minimized.
    bool isMinimizedNow() const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    PlotDocument* doc_;                // not owned
    const PageList* objects = nullptr; // the document's page list, not owned
    Rect focusRect_;
    InteractionState state_;
    float pixelsPerInchX_ = 96.0f;
    float pixelsPerInchY_ = 96.0f;
    float viewScale_ = 1.0f;

private:
    void onBarAction(Qt::Orientation bar, int action);
    void readResolution();

    int lineStep_ = 10;
    int scrollX_ = 0;
    int scrollY_ = 0;
    std::unique_ptr<visiblelist> selection_; // owns the list, not the objects
    std::unique_ptr<ViewInteraction> interaction_;
};
