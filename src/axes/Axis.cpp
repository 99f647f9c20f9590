#include "axes/Axis.h"

#include "axes/AxisEditors.h"
#include "axes/AxisTitle.h"
#include "page/DocumentServices.h"
#include "page/PageView.h"
#include "platform/Archive.h"
#include "platform/DeviceContext.h"
#include "platform/NumberFormat.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>
#include <utility>

PV_IMPLEMENT_SERIAL(Axis, scaleableobject, 0)

namespace {

Axis::TitleFactory titleFactory = &AxisTitle::createFor;

// Logical coordinates stay within 100,000 inches of the page origin, so that a point plus a
// tick length plus a label offset still fits an int.
constexpr double maxLogical = 1e8;

// Tick angles have always been converted with this single-precision pi; it keeps a 90 degree
// tick of 0.15 inch exactly 150 units long.
constexpr float pi = 3.1415926f;

// Tick values are sums of steps, and automatic steps are single-precision numbers that miss
// their decimal value (0.1f is a little above 0.1): a tick within this part of a spacing beyond
// a limit still belongs to the axis.
constexpr double tickTolerance = 1e-4;

// Tick indices stay far inside int64_t, whatever the spacing.
constexpr double maxTickIndex = 1e15;

int clampLogical(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::clamp(v, -maxLogical, maxLogical));
}

int floorLogical(double inches)
{
    return clampLogical(std::floor(inches * 1000.0));
}

// Whether index i has not yet gone past `to`, counting in `direction` (+1 or -1).
bool notPast(int64_t i, int64_t to, int direction)
{
    return direction > 0 ? i <= to : i >= to;
}

int readShort(Archive& ar)
{
    return int16_t(ar.readWord());
}

// The major step of automatic linear ticks for a range: a quarter of the range rounded up to
// 1, 2, 2.5, 5 or 10 times a power of ten. Ranges whose quarter is not a normal single-precision
// number (beyond about 3e38, or below about 1e-38) take the same steps in double precision.
template <class Real> bool niceStep(Real quarter, Real& step)
{
    static constexpr Real nice[] = {Real(1), Real(2), Real(2.5), Real(5), Real(10)};
    Real r = quarter;
    Real m = Real(std::pow(10.0, std::floor(std::log10(double(r)))));
    if (!std::isfinite(m) || m <= Real(0))
        return false;
    r = r / m;
    if (r < Real(1)) {
        r = r * Real(10);
        m = m / Real(10);
    }
    if (r >= Real(10)) {
        r = r / Real(10);
        m = m * Real(10);
    }
    Real chosen = Real(10);
    for (Real n : nice) {
        if (n >= r) {
            chosen = n;
            break;
        }
    }
    step = chosen * m;
    return std::isfinite(step) && step > Real(0);
}

// The signed range (end - start) to the major step; false when no step can be chosen (equal
// or non-finite limits).
bool autoStep(double range, double& step)
{
    const double quarter = std::fabs(range / 4.0);
    if (!std::isfinite(quarter) || quarter == 0.0)
        return false;
    if (quarter >= double(FLT_MIN) && quarter <= double(FLT_MAX)) {
        float stepF = 0.0f;
        if (niceStep<float>(float(quarter), stepF)) {
            step = stepF;
            return true;
        }
    }
    return niceStep<double>(quarter, step);
}

} // namespace

Axis::Axis(const Axis& other)
    : scaleableobject(other), length(other.length), angle(other.angle), dirX(other.dirX),
      dirY(other.dirY), scale(other.scale), start(other.start), end(other.end),
      autoRange(other.autoRange), logScale(other.logScale), ticks(other.ticks)
{}

Axis::~Axis()
{
    // The title stays in the page list; it only forgets its axis.
    if (title)
        title->ReleaseReference(this);
}

int Axis::toLogical(double inches)
{
    return clampLogical(std::trunc(inches * 1000.0));
}

int Axis::toLogical(float inches)
{
    // Page values are single precision and have always been scaled in single precision
    // (0.7 inch is 700, not 699).
    return clampLogical(std::trunc(double(inches * 1000.0f)));
}

Axis::TitleFactory Axis::setTitleFactory(TitleFactory factory)
{
    return std::exchange(titleFactory, factory);
}

void Axis::Serialize(Archive& ar)
{
    scaleableobject::Serialize(ar);
    if (ar.isStoring()) {
        ar.writeFloat(length);
        ar.writeWord(uint16_t(angle));
        ar.writeDouble(dirX);
        ar.writeDouble(dirY);
        ar.writeDouble(start);
        ar.writeDouble(end);
        ar.writeWord(uint16_t(autoRange));
        ar.writeWord(uint16_t(logScale));
        ar.writeWord(title ? 1 : 0);
        if (title)
            ar.writeObject(title);
    } else {
        length = ar.readFloat();
        angle = readShort(ar);
        dirX = ar.readDouble();
        dirY = ar.readDouble();
        start = ar.readDouble();
        end = ar.readDouble();
        autoRange = readShort(ar) != 0;
        logScale = readShort(ar) != 0;
        Rescale();
        title = nullptr;
        if (readShort(ar) != 0) {
            // The page list owns the title; the axis only refers to it. An axis can never be
            // a title: a file naming one (or this axis itself) would make the axis delete it.
            auto* t = ar.readObject<visibleobject>();
            if (t && t->isKindOf(&Axis::classRecord))
                throw ArchiveException(ArchiveException::Cause::badClass,
                                       QStringLiteral("axis title is an axis"));
            title = t;
        }
    }
    ticks.Serialize(ar);
}

void Axis::Draw(DeviceContext& dc)
{
    if (rect.isNull())
        ComputeRect();
    drawWithBlackPen(dc);
}

void Axis::Print(DeviceContext& dc, PrintInfo&)
{
    drawWithBlackPen(dc);
}

void Axis::drawWithBlackPen(DeviceContext& dc)
{
    dc.saveDC();
    const PenRecord previous = dc.pen();
    dc.selectStockPen(BLACK_PEN);
    DrawAxis(dc);
    dc.selectPen(previous);
    dc.restoreDC();
}

void Axis::ComputeRect()
{
    std::unique_ptr<DeviceContext> dc = view ? view->clientDC() : nullptr;
    if (!dc) {
        rect = Rect{};
        return;
    }
    view->PrepareDC(*dc);
    // A band 0.2 inch to each side of the line.
    const QPoint topLeft = dc->LPtoDP(
        QPoint(floorLogical(x - 0.2 * dirY), floorLogical(y + length * dirY + 0.2 * dirX)));
    const QPoint bottomRight = dc->LPtoDP(
        QPoint(floorLogical(x + length * dirX + 0.2 * dirY), floorLogical(y - 0.2 * dirX)));
    rect = {topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()};
}

void Axis::Relayout()
{
    scaleableobject::Relayout();
    AutoRange();
}

int Axis::EditProperties()
{
    AxisEditors* editors = AxisEditors::instance();
    const int result = editors ? editors->formatAxes(*this, document()) : 0;
    ComputeRect();
    return result;
}

visibleobject* Axis::ReleaseReference(visibleobject* other)
{
    if (other == this)
        RemoveTitle();
    else if (other && other == title)
        title = nullptr; // the title goes alone; the axis must not keep pointing at it
    return nullptr;
}

Rect Axis::ScaleTo(int px, int py)
{
    if (!view)
        return rect;
    // Device pixels per inch of the view's page mapping, so the grabbed side follows the mouse.
    const float ppiX = view->pixelsPerInchX() * view->viewScale();
    const float ppiY = view->pixelsPerInchY() * view->viewScale();
    if (!(ppiX > 0.0f) || !(ppiY > 0.0f) || !std::isfinite(ppiX) || !std::isfinite(ppiY))
        return rect;
    DocumentServices* doc = document();
    if (doc)
        doc->UpdateAllViews(DocumentServices::UpdateHint::Object, this);

    enum Edge { LeftEdge, RightEdge, TopEdge, BottomEdge } edge;
    double newLength;
    if (grabbed.x() == rect.right) {
        newLength = length + (px - grabbed.x()) * dirX / ppiX;
        edge = RightEdge;
    } else if (grabbed.x() == rect.left) {
        newLength = length + (grabbed.x() - px) * dirX / ppiX;
        edge = LeftEdge;
    } else if (grabbed.y() == rect.top) {
        newLength = length + (grabbed.y() - py) * dirY / ppiY;
        edge = TopEdge;
    } else {
        newLength = length + (py - grabbed.y()) * dirY / ppiY;
        edge = BottomEdge;
    }
    // Dragging past the origin would turn the axis over; it stops at a short axis instead.
    if (std::isfinite(newLength) && newLength <= double(FLT_MAX))
        SetLength(std::max(float(newLength), minDragLength));

    switch (edge) {
    case RightEdge:
        grabbed.setX(rect.right);
        break;
    case LeftEdge:
        grabbed.setX(rect.left);
        break;
    case TopEdge:
        grabbed.setY(rect.top);
        break;
    case BottomEdge:
        grabbed.setY(rect.bottom);
        break;
    }
    if (doc)
        doc->UpdateAllViews(DocumentServices::UpdateHint::Object, this);
    return rect;
}

int Axis::OnMenuCommand(int commandId)
{
    AxisEditors* editors = AxisEditors::instance();
    switch (commandId) {
    case SettingsCommand:
        return EditProperties();
    case TicksCommand:
        return editors ? editors->formatTicks(*this) : 0;
    case FontCommand:
        return editors ? editors->chooseLabelFont(*this) : 0;
    case TitleCommand:
        return EditTitle();
    default:
        return 0;
    }
}

void Axis::Rescale()
{
    if (end - start == 0.0)
        return;
    const double span = logScale ? std::log10(end) - std::log10(start) : end - start;
    const double s = length / span;
    // Limits a scale cannot be made of (a logarithmic axis reaching zero or below, an infinite
    // range) leave the last good scale in place, as equal limits do.
    if (!std::isfinite(s) || (s == 0.0 && length != 0.0f))
        return;
    scale = s;
}

void Axis::SetLimits(double newStart, double newEnd)
{
    start = newStart;
    end = newEnd;
    Rescale();
    AutoTicks();
}

void Axis::SetLength(float newLength)
{
    length = newLength;
    ComputeRect();
    Rescale();
}

void Axis::SetLog(bool on)
{
    if (on == logScale)
        return;
    logScale = on;
    ticks.autoTicks = true;
    AutoTicks();
    Rescale();
}

void Axis::AutoRange()
{
    if (!autoRange)
        return;
    double min = DBL_MAX;
    double max = -1e30;
    DocumentServices* doc = document();
    // Data may hold inf and nan, and a trace without points leaves the range as it started;
    // such a range keeps the present limits, as no data does.
    if (doc && doc->GetAxisDataRange(this, min, max) && std::isfinite(min) && std::isfinite(max) &&
        min <= max) {
        start = min;
        end = max;
        if (start == end) {
            end += 0.001;
            start -= 0.001;
        }
    }
    AutoTicks();
    Rescale();
}

void Axis::AutoTicks()
{
    if (logScale) {
        AutoLogTicks();
        return;
    }
    bool firstTickValid = true;
    if (ticks.autoTicks) {
        double step = 0.0;
        firstTickValid = autoStep(end - start, step);
        if (firstTickValid) {
            ticks.tickSpacing = (end < start ? -step : step) / 2.0;
            ticks.labelInterval = 2;
            ticks.firstTick = std::floor(start / step) * step;
        }
        setAutomaticTickLook();
        Rescale();
    }
    // With no step for these limits the first tick is stale and must not move the axis.
    if (autoRange && firstTickValid && std::isfinite(ticks.firstTick)) {
        start = ticks.firstTick;
        Rescale();
    }
}

void Axis::setAutomaticTickLook()
{
    ticks.majorTickLength = 0.15f;
    ticks.minorTickLength = 0.1f;
    ticks.labelOffsetX = 0.1f;
    ticks.labelOffsetY = 0.1f;
    ticks.autoDigits = true;
    ticks.labelFormat = tickstruct::Format::Auto;
    ticks.decimalDigits = 0;
}

void Axis::AutoLogTicks()
{
    // Zero or negative data have no logarithm; the axis then starts three decades below its end.
    if (start <= 0.0 && end > 0.0)
        start = end / 1000.0;
    ticks.tickSpacing = 0.1;
    ticks.labelInterval = 10;
    setAutomaticTickLook();
    // An axis that does not reach above zero has no decades: it keeps its limits and draws
    // only its line.
    if (!(start > 0.0) || !std::isfinite(start))
        return;
    const double k = std::floor(std::log10(start));
    ticks.firstTick = k;
    const double decade = std::pow(10.0, k);
    if (autoRange && decade > 0.0) {
        start = decade;
        Rescale();
    }
}

void Axis::CopyAxis(const Axis& other)
{
    if (&other == this)
        return;
    CopyScaleable(other);
    length = other.length;
    angle = other.angle;
    dirX = other.dirX;
    dirY = other.dirY;
    scale = other.scale;
    start = other.start;
    end = other.end;
    autoRange = other.autoRange;
    ticks.CopyTicks(other.ticks);
    name = other.name;
    logScale = other.logScale;
}

bool Axis::IsSameAs(const Axis& other) const
{
    return length == other.length && angle == other.angle && x == other.x && start == other.start &&
           end == other.end && y == other.y && logScale == other.logScale;
}

bool Axis::HasSameScaleAs(const Axis& other) const
{
    return length == other.length && angle == other.angle && dirX == other.dirX &&
           dirY == other.dirY && scale == other.scale && start == other.start && end == other.end &&
           logScale == other.logScale;
}

void Axis::SetLabelFont(const LogFont& font, int pointSizeTenths)
{
    ticks.labelFont = font;
    ticks.labelPointSize = pointSizeTenths;
}

int Axis::EditTitle()
{
    if (!title) {
        DocumentServices* doc = document();
        // A title belongs to the page list; without a document nobody would own it.
        if (!doc || !titleFactory)
            return 0;
        std::unique_ptr<visibleobject> created = titleFactory(*this);
        if (!created)
            return 0;
        title = created.get();
        doc->AddObject(std::move(created));
    }
    title->SetView(view);
    return title->EditProperties();
}

void Axis::RemoveTitle()
{
    if (!title)
        return;
    visibleobject* t = title;
    title = nullptr;
    DocumentServices* doc = document();
    if (!doc) {
        // Still in a page list we cannot reach: deleting it would leave that list dangling.
        t->ReleaseReference(this);
        return;
    }
    if (!doc->RemoveObject(t))
        t->ReleaseReference(this);
}

double Axis::distanceOf(double value) const
{
    if (logScale)
        return (std::log10(value) - std::log10(start)) * scale;
    return (value - start) * scale;
}

QPointF Axis::pagePoint(double value) const
{
    const double d = distanceOf(value);
    return {x + d * dirX, y + d * dirY};
}

QPoint Axis::logicalPoint(double value) const
{
    const double d = distanceOf(value);
    return {toLogical(x + d * dirX), toLogical(y + d * dirY)};
}

// --- ticks and labels ---

void Axis::DrawAxis(DeviceContext& dc)
{
    AutoRange();
    Rescale();
    dc.moveTo(toLogical(x), toLogical(y));
    dc.lineTo(toLogical(x + length * dirX), toLogical(y + length * dirY));
    TickPlan plan;
    if (!planTicks(plan))
        return;
    if (logScale)
        drawLogTicks(dc, plan);
    else
        drawTicks(dc, plan);
    drawLabels(dc, plan);
}

bool Axis::planTicks(TickPlan& plan) const
{
    // Everything the loops rely on is checked here. Limits or a scale that are not finite, a
    // zero spacing, or a logarithmic axis not wholly above zero draw the line alone; an
    // interval below 1 is drawn as 1 (every tick major and labelled).
    if (!std::isfinite(end - start) || end == start || !std::isfinite(scale) || scale == 0.0)
        return false;
    if (!std::isfinite(ticks.firstTick) || !std::isfinite(ticks.tickSpacing) ||
        ticks.tickSpacing == 0.0)
        return false;
    plan.spacing = ticks.tickSpacing;
    plan.interval = std::max(1, ticks.labelInterval);
    double& far = plan.far;
    if (logScale) {
        if (!(start > 0.0) || !(end > 0.0) || !std::isfinite(double(plan.interval) * plan.spacing))
            return false;
        plan.origin = std::log10(start);
        far = std::log10(end);
    } else {
        plan.origin = start;
        far = end;
    }
    if (plan.origin == far)
        return false;
    plan.tolerance = std::fabs(plan.spacing) * tickTolerance;
    plan.low = std::min(plan.origin, far) - plan.tolerance;
    plan.high = std::max(plan.origin, far) + plan.tolerance;
    plan.direction = (plan.spacing > 0.0) == (far > plan.origin) ? 1 : -1;
    return true;
}

Axis::IndexRun Axis::indexRun(const TickPlan& plan, double step, bool cover) const
{
    const double a = (plan.low - ticks.firstTick) / step;
    const double b = (plan.high - ticks.firstTick) / step;
    double lo = cover ? std::floor(std::min(a, b)) : std::ceil(std::min(a, b));
    double hi = cover ? std::ceil(std::max(a, b)) : std::floor(std::max(a, b));
    if (std::isnan(lo) || std::isnan(hi))
        return {1, 0};
    // A spacing far below the range asks for more ticks than any drawing visits.
    lo = std::clamp(lo, -maxTickIndex, maxTickIndex);
    hi = std::clamp(hi, -maxTickIndex, maxTickIndex);
    return plan.direction > 0 ? IndexRun{int64_t(lo), int64_t(hi)}
                              : IndexRun{int64_t(hi), int64_t(lo)};
}

bool Axis::onAxis(const TickPlan& plan, double value) const
{
    return value >= plan.low && value <= plan.high;
}

QPoint Axis::snapToLimits(const TickPlan& plan, double value, QPoint p) const
{
    // Rounded a hair before the origin, the tick at the start would count as lying before it.
    if (std::fabs(value - plan.origin) <= plan.tolerance)
        return tickPoint(0.0);
    if (std::fabs(value - plan.far) <= plan.tolerance)
        return tickPoint(plan.far - plan.origin);
    return p;
}

QPoint Axis::tickPoint(double offsetFromOrigin) const
{
    const double d = offsetFromOrigin * scale;
    return {toLogical(x + d * dirX), toLogical(y + d * dirY)};
}

bool Axis::beforeOrigin(QPoint p) const
{
    return !(toLogical(x) <= p.x() && toLogical(y) <= p.y());
}

void Axis::drawTickMark(DeviceContext& dc, QPoint p, float tickLength) const
{
    const double a = double(float(ticks.tickAngle) * pi / 180.0f);
    dc.moveTo(p.x(), p.y());
    dc.lineTo(p.x() + toLogical(std::cos(a) * tickLength),
              p.y() + toLogical(std::sin(a) * tickLength));
}

void Axis::drawTicks(DeviceContext& dc, const TickPlan& plan) const
{
    const IndexRun run = indexRun(plan, plan.spacing, false);
    int budget = maxTickMarks;
    for (int64_t i = run.from; notPast(i, run.to, plan.direction) && budget > 0;
         i += plan.direction, --budget) {
        const double along = plan.spacing * double(i);
        const double value = ticks.firstTick + along;
        if (!onAxis(plan, value))
            continue;
        const QPoint p =
            snapToLimits(plan, value, tickPoint(ticks.firstTick - plan.origin + along));
        dc.moveTo(p.x(), p.y());
        if (!beforeOrigin(p))
            drawTickMark(dc, p,
                         i % plan.interval == 0 ? ticks.majorTickLength : ticks.minorTickLength);
    }
}

void Axis::drawLogTicks(DeviceContext& dc, const TickPlan& plan) const
{
    const int64_t n = plan.interval;
    const double major = double(n) * plan.spacing; // decades, signed like the spacing
    const double step = std::fabs(major);
    const double logN = std::log10(double(n));
    // Every major step that overlaps the axis, so that the subdivisions of a step whose major
    // ticks lie beyond the limits are drawn too.
    const IndexRun run = indexRun(plan, major, true);
    int64_t budget = maxTickMarks;
    for (int64_t j = run.from; notPast(j, run.to, plan.direction) && budget > 0;
         j += plan.direction) {
        const double along = major * double(j);
        const double value = ticks.firstTick + along;
        const QPoint p = tickPoint(ticks.firstTick - plan.origin + along);
        --budget;
        const QPoint majorPoint = snapToLimits(plan, value, p);
        if (onAxis(plan, value) && !beforeOrigin(majorPoint))
            drawTickMark(dc, majorPoint, ticks.majorTickLength);
        if (n < 3)
            continue;
        // The subdivisions of the step on the far side of this major tick, at 2, 3, ... 9 of a
        // decade counted from the lower end of the step, whichever way the axis runs.
        const double next = major * double(j + plan.direction);
        const bool fromHere = along < next;
        const double lowerAlong = fromHere ? along : next;
        const QPoint base = fromHere ? p : tickPoint(ticks.firstTick - plan.origin + lowerAlong);
        const double lower = ticks.firstTick + lowerAlong;
        // Subdivisions below the axis's low end are not visited.
        const double skip = (plan.low - lower) / step * logN;
        int64_t k = 2;
        if (skip > 0.0)
            k = std::max<int64_t>(2, int64_t(std::min(std::pow(10.0, skip), double(n))));
        for (; k <= n - 1 && budget > 0; ++k, --budget) {
            const double f = std::log10(double(k)) / logN * step;
            if (lower + f > plan.high)
                break;
            const QPoint minor = snapToLimits(plan, lower + f,
                                              QPoint(base.x() + toLogical(f * scale * dirX),
                                                     base.y() + toLogical(f * scale * dirY)));
            if (lower + f >= plan.low && !beforeOrigin(minor))
                drawTickMark(dc, minor, ticks.minorTickLength);
        }
    }
}

void Axis::drawLabels(DeviceContext& dc, const TickPlan& plan) const
{
    if (!ticks.showLabels)
        return;
    const LogFont previous = dc.selectFont(ticks.labelFont);
    dc.setTextColor(ticks.labelColor);
    // Outward ticks reach into the labels' cells; an opaque cell would cut them short.
    dc.setBkMode(TRANSPARENT_BK);
    const int ox = toLogical(ticks.labelOffsetX);
    const int oy = toLogical(ticks.labelOffsetY);
    const IndexRun run = indexRun(plan, plan.spacing, false);
    // The first major tick at or after the run's start, going the run's way.
    const int64_t interval = plan.interval;
    const int64_t rest = ((run.from % interval) + interval) % interval;
    int64_t n = run.from - rest;
    if (plan.direction > 0 && rest != 0)
        n += interval;
    for (int budget = maxLabels; notPast(n, run.to, plan.direction) && budget > 0;
         n += plan.direction * interval, --budget) {
        const double along = plan.spacing * double(n);
        const double value = ticks.firstTick + along;
        if (!onAxis(plan, value))
            continue;
        const QPoint p =
            snapToLimits(plan, value, tickPoint(ticks.firstTick - plan.origin + along));
        PlaceLabel(dc, p.x(), p.y(), ox, oy, FormatLabel(n));
    }
    dc.selectFont(previous);
}

QString Axis::FormatLabel(int64_t n) const
{
    double v = ticks.tickSpacing * double(n) + ticks.firstTick;
    // Sums of steps leave dust where zero is meant (0.3 - 3 * 0.1 is not 0), on reversed axes
    // with their negative spacing as well.
    if (std::fabs(v) < std::fabs(ticks.tickSpacing) * 0.0001)
        v = 0.0;
    const double number = logScale ? std::pow(10.0, v) : v;
    int precision = 6;
    if (!ticks.autoDigits && ticks.labelFormat != tickstruct::Format::Auto)
        precision = ticks.decimalDigits < 0 ? 6 : std::min(ticks.decimalDigits, 15);
    QString text;
    switch (ticks.labelFormat) {
    case tickstruct::Format::Decimal:
        text = NumberFormat::f(number, precision);
        break;
    case tickstruct::Format::Exponential:
        text = NumberFormat::e(number, precision);
        break;
    default:
        text = NumberFormat::g(number, precision);
        break;
    }
    return text.left(maxLabelLength);
}

void Axis::PlaceLabel(DeviceContext& dc, int px, int py, int offsetX, int offsetY,
                      const QString& text) const
{
    const QSize extent = dc.getTextExtent(text);
    const int w = extent.width();
    const int h = extent.height();
    px += offsetX;
    py += offsetY;
    if (std::fabs(std::trunc(dirX)) < std::fabs(std::trunc(dirY))) {
        // Vertical axes: centred on the tick; on the left side the label ends at the point.
        py += h / 2;
        if (offsetX < 0)
            px -= w;
    } else {
        px -= w / 2;
        if (offsetY > 0)
            py += h; // above the axis the label stands on the point
    }
    dc.textOut(px, py, text);
}
