#include "view/PageScrollView.h"

#include "page/DocumentServices.h"
#include "platform/DeviceContext.h"
#include "platform/PainterDC.h"
#include "platform/Settings.h"
#include "traces/Trace.h"
#include "view/DataCursorDialog.h"
#include "view/ViewInteraction.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QtDebug>
#include <cmath>
#include <exception>

namespace {

// A context for measuring and converting outside painting: text is measured by pixel size,
// so a tiny image stands in for the screen; whatever is drawn on it is thrown away.
struct ScratchSurface
{
    ScratchSurface() : image(1, 1, QImage::Format_ARGB32_Premultiplied), scratch(&image) {}
    QImage image;
    QPainter scratch;
};

class ClientDC : private ScratchSurface, public PainterDC
{
public:
    ClientDC(int dpiX, int dpiY) : PainterDC(&scratch, dpiX, dpiY) {}
};

QRect toQRect(const Rect& r)
{
    const Rect n = r.normalized();
    return QRect(n.left, n.top, n.width(), n.height());
}

int roundDpi(float ppi)
{
    return std::isfinite(ppi) && ppi >= 1.0f ? int(std::lround(ppi)) : 96;
}

} // namespace

PageScrollView::PageScrollView(PlotDocument* doc, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), interaction_(std::make_unique<ViewInteraction>())
{
    setFrameShape(QFrame::NoFrame);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(pal);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    // The view moves when the thumb is released, not while it is dragged.
    for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
        QScrollBar* bar = o == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
        bar->setTracking(false);
        bar->setRange(0, 0);
        bar->setSingleStep(o == Qt::Horizontal ? lineStep_ : 10);
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, o](int action) { onBarAction(o, action); });
    }

    if (doc_)
        doc_->AddView(this);
    PageScrollView::OnInitialUpdate();
}

PageScrollView::~PageScrollView()
{
    if (DocumentView::active() == this)
        DocumentView::setActive(nullptr);
    if (!doc_)
        return;
    doc_->RemoveView(this);
    // Objects must not keep pointing at a view that is gone: another view adopts them, or none.
    DocumentView* other = doc_->FirstView();
    for (visibleobject* obj : doc_->GetObjects()) {
        if (obj->GetView() == this)
            obj->SetView(other);
    }
    if (other)
        doc_->GetObjects().RelayoutAll();
}

void PageScrollView::OnInitialUpdate()
{
    const float scale = defaultSettings().scale;
    viewScale_ = std::isfinite(scale) && scale > 0.0f ? scale : 1.0f;
    objects = doc_ ? &doc_->GetObjects() : nullptr;
    readResolution();
}

void PageScrollView::readResolution()
{
    pixelsPerInchX_ = float(logicalDpiX());
    pixelsPerInchY_ = float(logicalDpiY());
}

void PageScrollView::PrepareDC(DeviceContext& dc) const
{
    const Rect client = clientRect();
    dc.setPageMapping(pixelsPerInchX_, pixelsPerInchY_, viewScale_,
                      QPoint(client.left - scrollX_, client.bottom - scrollY_));
}

std::unique_ptr<DeviceContext> PageScrollView::clientDC() const
{
    return std::make_unique<ClientDC>(roundDpi(pixelsPerInchX_), roundDpi(pixelsPerInchY_));
}

Rect PageScrollView::clientRect() const
{
    const QWidget* vp = viewport();
    return Rect{0, 0, vp->width(), vp->height()};
}

void PageScrollView::OnUpdate(DocumentServices::UpdateHint hint, visibleobject* obj,
                              const Rect* rect)
{
    if (!objects)
        return;
    // Label and title glyphs overhang the boxes they are measured by: a fifth of an inch around
    // the rectangle takes them in, or a moved axis leaves bits of its labels behind.
    const int mx = int(std::ceil(0.2f * viewScale_ * pixelsPerInchX_));
    const int my = int(std::ceil(0.2f * viewScale_ * pixelsPerInchY_));
    if (hint == DocumentServices::UpdateHint::Object && obj) {
        objects->SetViewAll(this);
        viewport()->update(toQRect(obj->GetRect()).adjusted(-mx, -my, mx, my));
    } else if (hint == DocumentServices::UpdateHint::Area && rect) {
        objects->SetViewAll(this);
        viewport()->update(toQRect(*rect).adjusted(-mx, -my, mx, my));
    } else {
        viewport()->update();
    }
}

void PageScrollView::ResetView()
{
    if (!objects) {
        OnInitialUpdate();
        if (!objects)
            return;
    }
    objects->SetViewAll(this);
    ClearSelection();
    objects->RelayoutAll();
    const Rect content = contentRect();
    // A position past the content is taken back; the vertical range runs from -H up to 0.
    if (content.width() < scrollX_)
        scrollX_ = content.width();
    if (-content.height() > scrollY_)
        scrollY_ = -content.height();
    setScrollRanges(contentRect());
    objects->RelayoutAll();
    viewport()->update();
}

void PageScrollView::pageReplaced()
{
    ClearSelection();
    state_.menuCandidates.reset();
    // The traces they read are gone; those of the new page are other objects.
    DataCursorDialog::closeAll(*this);
}

Rect PageScrollView::contentRect() const
{
    const Rect client = clientRect();
    const int ox = client.left - scrollX_;
    const int oy = client.bottom - scrollY_;
    Rect r{ox, oy - 1, ox + 1, oy};
    if (objects)
        r = r.united(objects->Bounds());
    return r;
}

void PageScrollView::setScrollRanges(const Rect& content)
{
    const int w = content.width();
    const int h = content.height();
    const Rect client = clientRect();
    const int oldX = scrollX_;
    const int oldY = scrollY_;

    // The ranges run to the full content size, not the content less the window.
    QScrollBar* hbar = horizontalScrollBar();
    if (client.width() < w) {
        hbar->setRange(0, w);
        hbar->setPageStep(std::max(1, client.width()));
        hbar->setValue(scrollX_);
        scrollX_ = hbar->value();
    } else {
        hbar->setRange(0, 0);
        scrollX_ = 0;
        hbar->setValue(0);
    }
    QScrollBar* vbar = verticalScrollBar();
    if (client.height() < h) {
        vbar->setRange(-h, 0);
        vbar->setPageStep(std::max(1, client.height()));
        vbar->setValue(scrollY_);
        scrollY_ = vbar->value();
    } else {
        vbar->setRange(0, 0);
        scrollY_ = 0;
        vbar->setValue(0);
    }
    // Rectangles hold the scroll position they were computed for.
    if ((scrollX_ != oldX || scrollY_ != oldY) && objects)
        objects->RelayoutAll();
}

void PageScrollView::OnSize()
{
    if (!objects)
        return;
    objects->SetViewAll(this);
    objects->RelayoutAll();
    setScrollRanges(contentRect());
}

void PageScrollView::OnScroll(Qt::Orientation bar, ScrollCode code, int nPos)
{
    ClearSelection();
    const bool horizontal = bar == Qt::Horizontal;
    QScrollBar* sb = horizontal ? horizontalScrollBar() : verticalScrollBar();
    const int min = sb->minimum();
    const int max = sb->maximum();
    const Rect client = clientRect();
    const int extent = horizontal ? client.width() : client.height();
    const int step = horizontal ? lineStep_ : 10;
    int& pos = horizontal ? scrollX_ : scrollY_;

    int d = 0;
    switch (code) {
    case ScrollCode::LineUp:
        d = -step;
        break;
    case ScrollCode::LineDown:
        d = step;
        break;
    case ScrollCode::PageUp:
        d = extent < step ? -step : -extent;
        break;
    case ScrollCode::PageDown:
        d = extent < step ? step : extent;
        break;
    case ScrollCode::ThumbPosition:
        d = nPos - pos;
        break;
    case ScrollCode::Top:
        d = min - pos;
        break;
    case ScrollCode::Bottom:
        d = max - pos;
        break;
    case ScrollCode::ThumbTrack:
    case ScrollCode::EndScroll:
        break;
    }
    if (d == 0)
        return;
    if (pos + d < min)
        d = min - pos;
    if (pos + d > max)
        d = max - pos;
    if (d == 0)
        return;
    pos += d;
    sb->setValue(pos);
    if (objects)
        objects->RelayoutAll();
    if (horizontal)
        viewport()->scroll(-d, 0);
    else
        viewport()->scroll(0, -d);
}

void PageScrollView::onBarAction(Qt::Orientation bar, int action)
{
    QScrollBar* sb = bar == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    ScrollCode code = ScrollCode::EndScroll;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = ScrollCode::LineUp;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = ScrollCode::LineDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = ScrollCode::PageUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = ScrollCode::PageDown;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = ScrollCode::Top;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = ScrollCode::Bottom;
        break;
    case QAbstractSlider::SliderMove:
        code = sb->isSliderDown() ? ScrollCode::ThumbTrack : ScrollCode::ThumbPosition;
        break;
    default:
        break;
    }
    OnScroll(bar, code, sb->sliderPosition());
    // The bar applies its slider position when the action ends; it must be the view's.
    if (code != ScrollCode::ThumbTrack)
        sb->setSliderPosition(bar == Qt::Horizontal ? scrollX_ : scrollY_);
}

void PageScrollView::scrollContentsBy(int, int)
{
    // Scrolling is done in OnScroll; value changes made by the view itself move nothing.
}

void PageScrollView::FocusOriginInches(float& x, float& y) const
{
    if (focusRect_.isEmpty()) {
        x = 0.0f;
        y = 0.0f;
        return;
    }
    const float sx = pixelsPerInchX_ * viewScale_;
    const float sy = pixelsPerInchY_ * viewScale_;
    x = float(focusRect_.left + scrollX_) / sx;
    y = float(clientRect().height() - focusRect_.bottom - scrollY_) / sy;
}

bool PageScrollView::setViewScale(float scale)
{
    if (!std::isfinite(scale) || scale <= 0.0f)
        return false;
    viewScale_ = scale;
    ResetView();
    return true;
}

void PageScrollView::setFocusRect(const Rect& rect)
{
    // The outline and the handles lie on and just inside the rectangle; a margin takes in the
    // pen's width either side of its edges.
    auto repaint = [this](const Rect& r) {
        if (!r.isEmpty())
            viewport()->update(toQRect(r).adjusted(-2, -2, 2, 2));
    };
    repaint(focusRect_);
    focusRect_ = rect;
    repaint(focusRect_);
}

void PageScrollView::SetSelection(std::unique_ptr<visiblelist> list)
{
    if (list && list->isEmpty())
        list.reset();
    selection_ = std::move(list);
    focusRect_ = Rect{};
    if (selection_ && selection_->count() == 1)
        focusRect_ = selection_->at(0)->GetRect();
    interaction_->selectionChanged(*this);
    viewport()->update();
}

void PageScrollView::setInteraction(std::unique_ptr<ViewInteraction> interaction)
{
    interaction_ = interaction ? std::move(interaction) : std::make_unique<ViewInteraction>();
}

void PageScrollView::OnDraw(DeviceContext& dc)
{
    if (!objects)
        return;
    objects->SetViewAll(this);
    dc.saveDC();
    PrepareDC(dc);
    objects->DrawAll(dc);
    // Readout markers lie over every object.
    for (visibleobject* obj : *objects) {
        if (const auto* trace = dynamic_cast<const Trace*>(obj))
            trace->DrawMarker(dc);
    }
    dc.restoreDC();

    dc.saveDC();
    dc.setMapModeText();
    dc.setViewportOrg(0, 0);
    dc.setWindowOrg(0, 0);
    drawSelectionMarks(dc);
    interaction_->paintOverlay(*this, dc);
    dc.restoreDC();
}

void PageScrollView::drawSelectionMarks(DeviceContext& dc)
{
    // Marks are painted from the selection state on every repaint, so they are drawn plainly
    // in black rather than inverted.
    dc.saveDC();
    dc.selectStockBrush(NULL_BRUSH);
    dc.selectPen(PenRecord(PS_DASHDOT, 0, RGB(0, 0, 0)));
    dc.setROP2(R2_COPYPEN);
    if (selection_) {
        for (visibleobject* obj : *selection_) {
            Rect r;
            if (!obj->DrawSelection(dc, r)) {
                const Rect g = obj->GetRect();
                dc.rectangle(g.left, g.top, g.right, g.bottom);
            }
        }
    }
    // One selected object shows its own marks; the band of several, or of none, is drawn.
    if (!focusRect_.isEmpty() && (!selection_ || selection_->count() > 1)) {
        dc.selectPen(PenRecord(PS_DASHDOT, 1, RGB(0, 0, 0)));
        dc.rectangle(focusRect_.left, focusRect_.top, focusRect_.right, focusRect_.bottom);
    }
    dc.restoreDC();
}

bool PageScrollView::isMinimizedNow() const
{
    for (const QWidget* w = this; w; w = w->parentWidget()) {
        if (w->isMinimized())
            return true;
    }
    return false;
}

void PageScrollView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    PainterDC dc(&painter, roundDpi(pixelsPerInchX_), roundDpi(pixelsPerInchY_));
    dc.setSmoothLines(true);
    // An exception must not cross the event loop; what was drawn stays.
    try {
        OnDraw(dc);
    } catch (const std::exception& e) {
        qWarning("plotvane: painting stopped: %s", e.what());
    }
}

void PageScrollView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    focusRect_ = Rect{};
    if (!isMinimizedNow())
        OnSize();
}

void PageScrollView::mousePressEvent(QMouseEvent* event)
{
    interaction_->mousePress(*this, *event);
}

void PageScrollView::mouseMoveEvent(QMouseEvent* event)
{
    interaction_->mouseMove(*this, *event);
}

void PageScrollView::mouseReleaseEvent(QMouseEvent* event)
{
    interaction_->mouseRelease(*this, *event);
}

void PageScrollView::mouseDoubleClickEvent(QMouseEvent* event)
{
    interaction_->mouseDoubleClick(*this, *event);
}

void PageScrollView::contextMenuEvent(QContextMenuEvent* event)
{
    interaction_->contextMenu(*this, *event);
}

void PageScrollView::keyPressEvent(QKeyEvent* event)
{
    // Keys the interaction leaves alone scroll the view.
    event->ignore();
    interaction_->keyPress(*this, *event);
    if (!event->isAccepted())
        QAbstractScrollArea::keyPressEvent(event);
}
