#include "traces/Trace.h"

#include "axes/XAxis.h"
#include "axes/YAxis.h"
#include "data/ColumnFile.h"
#include "data/DataColumn.h"
#include "page/DocumentServices.h"
#include "page/PageView.h"
#include "platform/Archive.h"
#include "platform/DeviceContext.h"
#include "platform/Exceptions.h"
#include "platform/HugePages.h"
#include "platform/NumberFormat.h"
#include "platform/OutputFile.h"
#include "platform/Settings.h"
#include "platform/ShowFileMessage.h"
#include "platform/Strings.h"
#include "traces/TraceEditors.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cmath>
#include <new>
#include <tuple>
#include <unordered_set>
#include <utility>

PV_IMPLEMENT_SERIAL(Trace, visibleobject, 0)

namespace {

// Program-wide and never reset: every default name tried uses up a number.
int nameCounter = 1;

// The readout marker's pen: dotted, one pixel, dark cyan.
const PenRecord markerPen(PS_DOT, 0, RGB(0, 128, 128));

// Mapped coordinates of the readout marker are not held to the point range, only kept where
// integer arithmetic after them cannot overflow.
constexpr double markerLimit = 1e9;

int clampPoint(double v)
{
    if (v > Trace::maxCoordinate)
        return Trace::maxCoordinate;
    if (v < Trace::minCoordinate)
        return Trace::minCoordinate;
    return int(v);
}

// a * b / c rounded half away from zero, in 64 bits; -1 for c = 0, as the platform's MulDiv.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long num = static_cast<long long>(a) * b;
    long long q = num / c;
    const long long r = num % c;
    if (2 * std::llabs(r) >= std::llabs(static_cast<long long>(c)))
        q += ((num < 0) != (c < 0)) ? -1 : 1;
    return int(std::clamp<long long>(q, INT32_MIN, INT32_MAX));
}

// Smallest finite minimum and largest finite maximum of a column, folded into [min, max].
void foldRange(const DataColumn* column, double& min, double& max)
{
    if (!column)
        return;
    const double lo = column->GetMin();
    const double hi = column->GetMax();
    if (std::isfinite(lo) && lo < min)
        min = lo;
    if (std::isfinite(hi) && hi > max)
        max = hi;
}

// A new named axis over the values' extremes (0 .. 1 when they have none) at the given origin.
template <class AxisType>
std::unique_ptr<AxisType> newAxisOver(const DataColumn* column, PageView* view, float length,
                                      float x, float y)
{
    double lo = 0.0;
    double hi = 1.0;
    if (column && std::isfinite(column->GetMin()) && std::isfinite(column->GetMax())) {
        lo = column->GetMin();
        hi = column->GetMax();
    }
    auto axis = std::make_unique<AxisType>(view, lo, hi, length, x, y);
    axis->SetDefaultName();
    return axis;
}

} // namespace

Trace::Trace()
{
    symbolChar = uint8_t(defaultSettings().symbolChar);
    linePen = PenRecord::stockBlack();
}

Trace::Trace(PageView* v, ColumnFile* f, DocumentServices* d) : Trace()
{
    view = v;
    doc = d;
    file = f;
    const DefaultSettings& s = defaultSettings();
    x = s.originX;
    y = s.originY;
    madeXAxis = std::make_unique<XAxis>(v);
    madeYAxis = std::make_unique<YAxis>(v);
    madeXAxis->x = madeYAxis->x = x;
    madeXAxis->y = madeYAxis->y = y;
    xAxis = madeXAxis.get();
    yAxis = madeYAxis.get();
    xAxis->SetDocument(d);
    yAxis->SetDocument(d);
    xAxis->SetDefaultName();
    yAxis->SetDefaultName();
    // A single column is plotted against the point number.
    const bool oneColumn = f && f->GetNumColumns() == 1;
    xColumn = oneColumn ? 0 : 1;
    yColumn = oneColumn ? 1 : 2;
    ReportLostColumns();
}

Trace::Trace(PageView* v, ColumnFile* f, const Rect& deviceRect) : Trace(v, f)
{
    if (!v)
        return;
    std::unique_ptr<DeviceContext> dc = v->clientDC();
    v->PrepareDC(*dc);
    // The plot box is the rectangle whichever way round its corners come.
    const QPoint a = dc->DPtoLP(QPoint(deviceRect.left, deviceRect.top));
    const QPoint b = dc->DPtoLP(QPoint(deviceRect.right, deviceRect.bottom));
    const float left = std::min(a.x(), b.x()) / 1000.0f;
    const float right = std::max(a.x(), b.x()) / 1000.0f;
    const float bottom = std::min(a.y(), b.y()) / 1000.0f;
    const float top = std::max(a.y(), b.y()) / 1000.0f;
    for (Axis* a : {xAxis, yAxis}) {
        a->x = left;
        a->y = bottom;
    }
    // A rectangle without width or height keeps the default lengths.
    if (right > left)
        xAxis->length = right - left;
    if (top > bottom)
        yAxis->length = top - bottom;
    xAxis->ComputeRect();
    yAxis->ComputeRect();
    takePositionFromAxes();
}

Trace::Trace(const Trace& other) : visibleobject(other)
{
    copyFields(other);
}

Trace& Trace::operator=(const Trace& other)
{
    if (this != &other) {
        visibleobject::operator=(other);
        copyFields(other);
    }
    return *this;
}

Trace::~Trace() = default;

void Trace::copyFields(const Trace& other)
{
    file = other.file;
    xAxis = other.xAxis;
    yAxis = other.yAxis;
    xColumn = other.xColumn;
    yColumn = other.yColumn;
    sortOnX = other.sortOnX;
    xHigh = other.xHigh;
    xLow = other.xLow;
    yHigh = other.yHigh;
    yLow = other.yLow;
    xFactor = other.xFactor;
    xOffset = other.xOffset;
    yFactor = other.yFactor;
    yOffset = other.yOffset;
    linePen = other.linePen;
    symbolFont = other.symbolFont;
    symbolColor = other.symbolColor;
    symbolSize = other.symbolSize;
    symbolChar = other.symbolChar;
    lineWidth = other.lineWidth;
    marker.reset();
    pointsValid = false;
}

void Trace::Serialize(Archive& ar)
{
    visibleobject::Serialize(ar);
    if (ar.isStoring()) {
        ar.writeObject(file);
        ar.writeObject(xAxis);
        ar.writeObject(yAxis);
        ar.writeWord(xColumn);
        ar.writeWord(yColumn);
        ar.writeDouble(xHigh);
        ar.writeDouble(xLow);
        ar.writeDouble(yHigh);
        ar.writeDouble(yLow);
        ar.writeWord(uint16_t(sortOnX));
        ar.writeWord(linePen ? 1 : 0);
        if (linePen)
            linePen->write(ar);
        ar.writeWord(symbolFont ? 1 : 0);
        if (symbolFont) {
            symbolFont->write(ar);
            ar.writeByte(symbolChar);
            ar.writeWord(uint16_t(symbolSize));
            ar.writeDword(symbolColor);
        }
        ar.writeFloat(lineWidth);
        return;
    }
    file = ar.readObject<ColumnFile>();
    xAxis = ar.readObject<Axis>();
    yAxis = ar.readObject<Axis>();
    xColumn = ar.readWord();
    yColumn = ar.readWord();
    xHigh = ar.readDouble();
    xLow = ar.readDouble();
    yHigh = ar.readDouble();
    yLow = ar.readDouble();
    sortOnX = ar.readWord() != 0;
    if (ar.readWord() != 0) {
        PenRecord pen;
        pen.read(ar);
        linePen = pen;
    } else {
        linePen.reset();
    }
    if (ar.readWord() != 0) {
        LogFont font;
        font.read(ar);
        symbolFont = font;
        symbolChar = ar.readByte();
        symbolSize = int16_t(ar.readWord());
        symbolColor = ar.readDword();
    } else {
        symbolFont.reset();
        symbolChar = uint8_t(defaultSettings().symbolChar);
        symbolSize = 0;
        symbolColor = 0;
    }
    lineWidth = ar.readFloat();
    pointsValid = false;
    marker.reset();
}

void Trace::SetDefaultName()
{
    DocumentServices* doc = document();
    // The file's name without its directory, split at the last '/' or '\'.
    const QString fileName = file ? file->GetFileName().GetFileName() : QString();
    do {
        name = QString::number(nameCounter++) + QLatin1Char('-') + fileName;
    } while (doc && doc->IsNameInUse(name, this));
}

int Trace::nextNameNumber()
{
    return nameCounter;
}

void Trace::takePositionFromAxes()
{
    if (xAxis)
        x = xAxis->x;
    if (yAxis)
        y = yAxis->y;
}

void Trace::BindColumns()
{
    takePositionFromAxes();
    if (!file)
        return;
    const int columns = file->GetNumColumns();
    // A file that is not read (missing, or emptied by a failed reread) says nothing about
    // which columns are gone.
    if (columns == 0)
        return;
    if (xColumn > columns) {
        xColumn = uint16_t(columns);
        pointsValid = false;
    }
    if (yColumn > columns) {
        yColumn = uint16_t(columns);
        pointsValid = false;
    }
}

void Trace::ReportLostColumns()
{
    const uint16_t oldX = xColumn;
    const uint16_t oldY = yColumn;
    // Only the column numbers change here: a document just read keeps the position it stored.
    const float keptX = x;
    const float keptY = y;
    BindColumns();
    x = keptX;
    y = keptY;
    if (!file)
        return;
    if (xColumn != oldX)
        ShowFileInformation(Str::ColumnDeleted, file->GetFullPath(), QString::number(oldX));
    if (yColumn != oldY)
        ShowFileInformation(Str::ColumnDeleted, file->GetFullPath(), QString::number(oldY));
}

const DataColumn* Trace::GetXValues() const
{
    return file && xColumn <= file->GetNumColumns() ? file->GetColumn(int(xColumn) - 1) : nullptr;
}

const DataColumn* Trace::GetYValues() const
{
    return file && yColumn <= file->GetNumColumns() ? file->GetColumn(int(yColumn) - 1) : nullptr;
}

int Trace::GetNumPoints() const
{
    const DataColumn* xs = GetXValues();
    const DataColumn* ys = GetYValues();
    return xs && ys ? std::min(xs->GetSize(), ys->GetSize()) : 0;
}

bool Trace::GetAxisDataRange(const visibleobject* axis, double& min, double& max) const
{
    if (!axis || (axis != xAxis && axis != yAxis))
        return false;
    if (axis == xAxis)
        foldRange(GetXValues(), min, max);
    if (axis == yAxis)
        foldRange(GetYValues(), min, max);
    return true;
}

void Trace::GetWindow(double at, int count, std::vector<double>& xs, std::vector<double>& ys) const
{
    xs.clear();
    ys.clear();
    const DataColumn* xv = GetXValues();
    const DataColumn* yv = GetYValues();
    if (!xv || !yv || count <= 0 || GetNumPoints() == 0)
        return;
    DataColumn::Selection s = xv->GetWindow(at, count);
    xs = std::move(s.values);
    ys = yv->GetValuesAt(s.positions);
}

void Trace::GetRange(double x1, double x2, std::vector<double>& xs, std::vector<double>& ys) const
{
    xs.clear();
    ys.clear();
    const DataColumn* xv = GetXValues();
    const DataColumn* yv = GetYValues();
    if (!xv || !yv || GetNumPoints() == 0)
        return;
    DataColumn::Selection s = xv->GetRange(x1, x2);
    xs = std::move(s.values);
    ys = yv->GetValuesAt(s.positions);
}

void Trace::SetFile(ColumnFile* f)
{
    file = f;
    pointsValid = false;
}

void Trace::SetXAxis(Axis* axis)
{
    xAxis = axis;
    BindColumns();
}

void Trace::SetYAxis(Axis* axis)
{
    yAxis = axis;
    BindColumns();
}

void Trace::SetColumns(int xc, int yc)
{
    xColumn = uint16_t(std::clamp(xc, 0, 0xFFFF));
    yColumn = uint16_t(std::clamp(yc, 0, 0xFFFF));
    ReportLostColumns();
    pointsValid = false;
}

void Trace::SetSort(bool on)
{
    sortOnX = on;
    pointsValid = false;
}

void Trace::computeLimits()
{
    if (xAxis) {
        xHigh = std::max(xAxis->start, xAxis->end);
        xLow = std::min(xAxis->start, xAxis->end);
    }
    if (yAxis) {
        yHigh = std::max(yAxis->start, yAxis->end);
        yLow = std::min(yAxis->start, yAxis->end);
    }
}

int Trace::ComputePoints()
{
    pointsValid = false;
    if (!xAxis || !yAxis)
        return 0;
    xAxis->AutoRange();
    yAxis->AutoRange();
    computeLimits();

    const DataColumn* xs = GetXValues();
    const DataColumn* ys = GetYValues();
    const int n = xs && ys ? std::min(xs->GetSize(), ys->GetSize()) : 0;

    // Only the horizontal part of the x axis and the vertical part of the y axis count: the
    // points are laid out from the trace's position, x to the right and y upward.
    xFactor = xAxis->dirX * xAxis->scale * 1000.0;
    yFactor = yAxis->dirY * yAxis->scale * 1000.0;
    const bool xLog = xAxis->logScale != 0;
    const bool yLog = yAxis->logScale != 0;
    xOffset = xLog ? std::log10(xAxis->start) : xAxis->start;
    yOffset = yLog ? std::log10(yAxis->start) : yAxis->start;

    try {
        points.clear();
        runStarts.clear();
        points.reserve(size_t(n));
        adviseHugePages(points.data(), points.capacity() * sizeof(QPoint));
        const int32_t* order = sortOnX && n > 0 ? xs->GetSortIndex() : nullptr;
        bool gap = false;
        for (int i = 0; i < n; ++i) {
            const int j = order ? order[i] - 1 : i;
            double vx = xs->GetAt(j);
            double vy = ys->GetAt(j);
            if (xLog && !std::isnan(vx))
                vx = vx > 0.0 ? std::log10(vx) : xOffset;
            if (yLog && !std::isnan(vy))
                vy = vy > 0.0 ? std::log10(vy) : yOffset;
            const double px = (vx - xOffset) * xFactor;
            const double py = (vy - yOffset) * yFactor;
            // A nan has no place on the page: the point is left out and the line breaks there.
            if (std::isnan(px) || std::isnan(py)) {
                gap = true;
                continue;
            }
            if (gap && !points.empty())
                runStarts.push_back(int(points.size()));
            gap = false;
            points.emplace_back(clampPoint(px), clampPoint(py));
        }
    } catch (const std::bad_alloc&) {
        points = {};
        runStarts = {};
        return 0;
    }

    xSnapshot.CopyAxis(*xAxis);
    ySnapshot.CopyAxis(*yAxis);
    static std::atomic<uint64_t> generations{0};
    pointsGeneration = ++generations;
    pointsValid = true;
    return 1;
}

bool Trace::pointsCurrent() const
{
    // The points lie relative to the trace's position, which follows the axes' origins: a
    // moved axis only shifts them.
    return pointsValid && xAxis->HasSameScaleAs(xSnapshot) && yAxis->HasSameScaleAs(ySnapshot);
}

void Trace::Draw(DeviceContext& dc)
{
    BindColumns();
    dc.saveDC();
    ComputeRect();
    dc.offsetWindowOrg(-Axis::toLogical(x), -Axis::toLogical(y));
    if (linePen)
        dc.selectPen(*linePen);
    DrawData(dc);
    dc.restoreDC();
}

void Trace::Print(DeviceContext& dc, PrintInfo&)
{
    BindColumns();
    dc.saveDC();
    if (linePen) {
        // The printed line has the trace's own width; 0 is one device pixel.
        const double w =
            lineWidth > 0.0f ? std::min(std::ceil(double(lineWidth * 1000.0f)), 32767.0) : 0.0;
        dc.selectPen(PenRecord(linePen->lopnStyle, int(w), linePen->lopnColor));
    }
    dc.setBkMode(TRANSPARENT_BK);
    dc.setWindowOrg(-Axis::toLogical(x), -Axis::toLogical(y));
    DrawData(dc);
    dc.restoreDC();
}

void Trace::DrawData(DeviceContext& dc)
{
    if (!xAxis || !yAxis)
        return;
    dc.intersectClipRect(0, Axis::toLogical(yAxis->length), Axis::toLogical(xAxis->length), 0);
    if (!pointsCurrent()) {
        if (!ComputePoints())
            return;
    }
    if (linePen)
        drawLine(dc);
    if (symbolFont)
        drawSymbols(dc);
}

namespace {

// Sends a line to the device in polylines of at most Trace::maxPolylinePoints points; each piece
// starts at the last point of the one before, so a pattern runs on without a gap.
void drawInPieces(DeviceContext& dc, const QPoint* points, int count)
{
    for (int s = 0;;) {
        const int n = std::min(Trace::maxPolylinePoints, count - s);
        dc.polyline(points + s, n);
        if (s + n >= count)
            break;
        s += n - 1;
    }
}

// The logical values around `from` that one axis of the mapping takes into [a, b]; `from` must
// map there. A mapping is monotonic, so they form one interval, found by galloping outward.
template <class Map> std::pair<int64_t, int64_t> preimage(const Map& map, int from, int a, int b)
{
    auto inside = [&](int64_t l) {
        if (l < INT_MIN || l > INT_MAX)
            return false;
        const int d = map(int(l));
        return d >= a && d <= b;
    };
    auto edge = [&](int64_t dir) {
        int64_t good = from, step = 1;
        while (inside(from + dir * step)) {
            good = from + dir * step;
            step *= 2;
        }
        int64_t bad = from + dir * step;
        while (bad - good > 1 || good - bad > 1) {
            const int64_t mid = good + (bad - good) / 2;
            (inside(mid) ? good : bad) = mid;
        }
        return good;
    };
    return {edge(-1), edge(1)};
}

// The points of a solid line worth drawing: in each device column the point where the line
// enters it, its lowest and highest points there and the point where it leaves, in their order
// along the line, and no point on the same pixel as the one kept before it. A line a pixel or
// two wide covers the same pixels through these as through every point, and millions of points
// draw in a moment.
void keepColumnExtremes(const DeviceContext& dc, const QPoint* points, int count,
                        std::vector<QPoint>& kept)
{
    kept.clear();
    QPoint keptDevice;
    auto keep = [&](int i) {
        const QPoint device = dc.LPtoDP(points[i]);
        if (!kept.empty() && device == keptDevice)
            return;
        kept.push_back(points[i]);
        keptDevice = device;
    };
    auto mapX = [&](int l) { return dc.LPtoDP(QPoint(l, 0)).x(); };
    auto mapY = [&](int l) { return dc.LPtoDP(QPoint(0, l)).y(); };
    // A column of many points maps only those that leave the logical ranges known to land in
    // the column and between its lowest and highest pixels; a few points per column map
    // plainly, as finding the ranges would cost more.
    constexpr int plainPoints = 16;
    QPoint device = dc.LPtoDP(points[0]);
    for (int i = 0; i < count;) {
        const int column = device.x();
        int low = i, high = i, last = i;
        int lowY = device.y(), highY = device.y();
        const int first = i;
        for (++i; i < count && i - first < plainPoints; ++i) {
            device = dc.LPtoDP(points[i]);
            if (device.x() != column)
                break;
            if (device.y() < lowY) {
                lowY = device.y();
                low = i;
            } else if (device.y() > highY) {
                highY = device.y();
                high = i;
            }
            last = i;
        }
        if (i < count && i - first == plainPoints) {
            const auto [xFrom, xTo] = preimage(mapX, points[last].x(), column, column);
            auto [yFrom, yTo] = preimage(mapY, points[last].y(), lowY, highY);
            int misses = 0;
            for (; i < count; ++i) {
                const QPoint p = points[i];
                if (p.x() < xFrom || p.x() > xTo) {
                    device = dc.LPtoDP(p);
                    break;
                }
                // The range stays a safe part of the pixels' preimage as they widen, so it is
                // widened only now and then: a line that keeps climbing would otherwise pay for
                // a search at every point.
                if (p.y() < yFrom || p.y() > yTo) {
                    const int y = mapY(p.y());
                    if (y < lowY) {
                        lowY = y;
                        low = i;
                    } else if (y > highY) {
                        highY = y;
                        high = i;
                    }
                    if (++misses == plainPoints) {
                        misses = 0;
                        std::tie(yFrom, yTo) = preimage(mapY, p.y(), lowY, highY);
                    }
                }
                last = i;
            }
        }
        std::array<int, 4> order{first, low, high, last};
        std::sort(order.begin(), order.end());
        for (size_t k = 0; k < order.size(); ++k) {
            if (k == 0 || order[k] != order[k - 1])
                keep(order[k]);
        }
    }
    // A line whose points all fall on one pixel still marks it.
    if (kept.size() == 1 && count > 1)
        kept.push_back(points[count - 1]);
}

// The device pixels on which a symbol has been drawn. A symbol drawn again on its pixel puts the
// same glyph on the same place and would only darken its anti-aliased rim, so each pixel takes
// its symbol once. Symbols are looked at only within `reach` pixels of the clip box: from
// further away none can show inside it.
class SymbolPixels
{
public:
    SymbolPixels(const std::optional<QRect>& clip, long long reach)
    {
        if (!clip)
            return;
        bounded_ = true;
        if (clip->isEmpty())
            return;
        left_ = clip->left() - reach;
        top_ = clip->top() - reach;
        width_ = clip->right() + reach - left_ + 1;
        height_ = clip->bottom() + reach - top_ + 1;
        // A box too large for a bitmap (a page zoomed far in) keeps its pixels in a set.
        if (width_ <= maxBitmapPixels / height_)
            bitmap_.assign(size_t(width_ * height_), false);
    }

    // True the first time a symbol lands on this pixel (device units).
    bool firstAt(QPoint p)
    {
        if (bounded_) {
            const long long col = p.x() - left_;
            const long long row = p.y() - top_;
            if (col < 0 || row < 0 || col >= width_ || row >= height_)
                return false;
            if (!bitmap_.empty()) {
                const size_t at = size_t(row * width_ + col);
                if (bitmap_[at])
                    return false;
                bitmap_[at] = true;
                return true;
            }
        }
        return set_.insert((uint64_t(uint32_t(p.x())) << 32) | uint32_t(p.y())).second;
    }

private:
    static constexpr long long maxBitmapPixels = 1LL << 27;
    bool bounded_ = false;
    long long left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::vector<bool> bitmap_;
    std::unordered_set<uint64_t> set_;
};

} // namespace

void Trace::drawLine(DeviceContext& dc) const
{
    const int total = int(points.size());
    if (linePen->lopnStyle != PS_SOLID) {
        // A pattern is laid along every segment, so styled lines keep all their points.
        for (size_t run = 0; run <= runStarts.size(); ++run) {
            const int begin = run == 0 ? 0 : runStarts[run - 1];
            const int end = run < runStarts.size() ? runStarts[run] : total;
            if (end - begin >= 2)
                drawInPieces(dc, points.data() + begin, end - begin);
        }
        return;
    }
    ReducedLine& line = reducedLine;
    if (line.generation != pointsGeneration || line.windowOrg != dc.windowOrg() ||
        line.windowExt != dc.windowExt() || line.viewportExt != dc.viewportExt()) {
        line.generation = 0;
        line.points.clear();
        line.runEnds.clear();
        std::vector<QPoint> kept;
        for (size_t run = 0; run <= runStarts.size(); ++run) {
            const int begin = run == 0 ? 0 : runStarts[run - 1];
            const int end = run < runStarts.size() ? runStarts[run] : total;
            if (end - begin < 2)
                continue;
            keepColumnExtremes(dc, points.data() + begin, end - begin, kept);
            line.points.insert(line.points.end(), kept.begin(), kept.end());
            line.runEnds.push_back(int(line.points.size()));
        }
        line.windowOrg = dc.windowOrg();
        line.windowExt = dc.windowExt();
        line.viewportExt = dc.viewportExt();
        line.generation = pointsGeneration;
    }
    int begin = 0;
    for (const int end : line.runEnds) {
        drawInPieces(dc, line.points.data() + begin, end - begin);
        begin = end;
    }
}

QString Trace::symbolText() const
{
    return QString(QChar(char16_t(symbolChar)));
}

void Trace::drawSymbols(DeviceContext& dc) const
{
    const LogFont previousFont = dc.selectFont(*symbolFont);
    dc.setTextColor(symbolColor);
    const QString text = symbolText();
    const QSize extent = dc.getTextExtent(text);
    const int halfWidth = extent.width() / 2;
    const int halfHeight = extent.height() / 2;
    const int previousMode = dc.setBkMode(TRANSPARENT_BK);
    // Turned by an escapement a symbol still stays within its width plus its height of its
    // reference point.
    const long long reach = std::llabs(dc.lengthToDeviceX(extent.width())) +
                            std::llabs(dc.lengthToDeviceY(extent.height())) + 2;
    SymbolPixels drawn(dc.clipBox(), reach);
    std::vector<QPoint> places;
    for (const QPoint& p : points) {
        // The text's reference point is the top-left of its cell, which hangs down from it.
        const QPoint at(p.x() - halfWidth, p.y() + halfHeight);
        if (drawn.firstAt(dc.LPtoDP(at)))
            places.push_back(at);
    }
    dc.textOutAt(places, text);
    dc.selectFont(previousFont);
    dc.setBkMode(previousMode);
}

void Trace::ComputeRect()
{
    std::unique_ptr<DeviceContext> dc = preparedClientDC();
    if (!dc || !xAxis || !yAxis) {
        rect = Rect{};
        return;
    }
    const int left = Axis::toLogical(x);
    const int bottom = Axis::toLogical(y);
    const int right = Axis::toLogical(x + xAxis->length);
    const int top = Axis::toLogical(y + yAxis->length);
    const QPoint topLeft = dc->LPtoDP(QPoint(left, top));
    const QPoint bottomRight = dc->LPtoDP(QPoint(right, bottom));
    rect = Rect{topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()}.normalized();
}

std::unique_ptr<DeviceContext> Trace::preparedClientDC() const
{
    if (!view)
        return nullptr;
    std::unique_ptr<DeviceContext> dc = view->clientDC();
    if (dc)
        view->PrepareDC(*dc);
    return dc;
}

void Trace::Relayout()
{
    // The position follows the axes, which may have moved since the last draw.
    takePositionFromAxes();
    ComputeRect();
    computeLimits();
}

int Trace::EditProperties()
{
    if (!file)
        return 0;
    TraceEditors* editors = TraceEditors::instance();
    const int result = editors ? editors->fileSettings(*this, document()) : 0;
    ComputeRect();
    return result;
}

bool Trace::IsIndependentOf(const visibleobject* other) const
{
    return !other || (other != xAxis && other != yAxis);
}

Axis* Trace::adoptAxis(const visibleobject* departing, Axis* sameKind, Axis* created) const
{
    // In page order: the first other axis of the departing one's angle, else the first other
    // axis of any angle; the axis just made for the other direction counts as one more.
    Axis* first = nullptr;
    if (auto* source = dynamic_cast<PageObjectSource*>(document())) {
        for (visibleobject* obj : source->pageObjects()) {
            if (obj == departing || !obj || !obj->isKindOf(&Axis::classRecord))
                continue;
            auto* axis = static_cast<Axis*>(obj);
            if (!first)
                first = axis;
            if (axis->angle == sameKind->angle)
                return axis;
        }
    }
    if (!first && created)
        first = created;
    return first;
}

visibleobject* Trace::ReleaseReference(visibleobject* other)
{
    if (!other || (other != xAxis && other != yAxis))
        return nullptr;
    std::unique_ptr<Axis> created;
    if (other == xAxis) {
        Axis* found = adoptAxis(other, xAxis, nullptr);
        if (!found) {
            created = CreateXAxis();
            found = created.get();
        }
        xAxis = found;
    }
    if (other == yAxis) {
        Axis* found = adoptAxis(other, yAxis, created.get());
        if (!found) {
            created = CreateYAxis();
            found = created.get();
        }
        yAxis = found;
    }
    BindColumns();
    pointsValid = false;
    return created.release();
}

std::unique_ptr<XAxis> Trace::CreateXAxis() const
{
    return newAxisOver<XAxis>(GetXValues(), view, defaultSettings().xAxisLength, x, y);
}

std::unique_ptr<YAxis> Trace::CreateYAxis() const
{
    return newAxisOver<YAxis>(GetYValues(), view, defaultSettings().yAxisLength, x, y);
}

namespace {

// A copy of an axis with its ticks turned to the other side and no labels, not following the
// original, under a name of its own.
std::unique_ptr<Axis> mirroredCopy(const Axis& source, visibleobject& namer)
{
    auto copy = std::make_unique<Axis>(source);
    tickstruct ticks = copy->GetTicks();
    ticks.tickAngle = (ticks.tickAngle % 360 + 180) % 360;
    ticks.showLabels = false;
    copy->GetTicks().CopyTicks(ticks);
    namer.SetDefaultName();
    copy->name = namer.name;
    return copy;
}

} // namespace

Axis* Trace::MirrorXAxis()
{
    DocumentServices* doc = document();
    if (!xAxis || !yAxis || !doc)
        return nullptr;
    XAxis namer;
    namer.view = view;
    std::unique_ptr<Axis> copy = mirroredCopy(*xAxis, namer);
    copy->MoveBy(0.0f, yAxis->length);
    copy->Relayout();
    copy->SetAutoRange(false);
    Axis* added = copy.get();
    doc->AddObject(std::move(copy));
    return added;
}

Axis* Trace::MirrorYAxis()
{
    DocumentServices* doc = document();
    if (!xAxis || !yAxis || !doc)
        return nullptr;
    YAxis namer;
    namer.view = view;
    std::unique_ptr<Axis> copy = mirroredCopy(*yAxis, namer);
    copy->MoveBy(xAxis->length, 0.0f);
    copy->Relayout();
    copy->SetAutoRange(false);
    Axis* added = copy.get();
    doc->AddObject(std::move(copy));
    return added;
}

void Trace::MoveOrigin(float px, float py)
{
    const float dx = px - x;
    const float dy = py - y;
    if (xAxis)
        xAxis->MoveBy(dx, dy);
    if (yAxis && yAxis != xAxis)
        yAxis->MoveBy(dx, dy);
    takePositionFromAxes();
    ComputeRect();
}

void Trace::WriteData(const QString& path) const
{
    if (path.isEmpty())
        throw FileException(FileException::Cause::generic);
    // Written whole or not at all: a failed write leaves a file of that name as it was.
    OutputFile out(path);
    out.create();
    const DataColumn* xs = GetXValues();
    const DataColumn* ys = GetYValues();
    const int n = GetNumPoints();
    QByteArray line;
    for (int i = 0; i < n; ++i) {
        line = NumberFormat::g(xs->GetAt(i)).toLatin1();
        line += "  ";
        line += NumberFormat::g(ys->GetAt(i)).toLatin1();
        line += '\n';
        out.write(line);
    }
    out.commit();
}

int Trace::Reread()
{
    if (!file)
        return 1;
    const int result = file->Reread();
    if (result) {
        ReportLostColumns();
        ComputePoints();
    }
    return result;
}

int Trace::EraseSelection(DeviceContext&)
{
    if (DocumentServices* doc = document())
        doc->UpdateAllViews(DocumentServices::UpdateHint::Object, this);
    return 1;
}

int Trace::OnMenuCommand(int commandId)
{
    TraceEditors* editors = TraceEditors::instance();
    switch (commandId) {
    case DataSettingsCommand:
        return EditProperties();
    case LineTypeCommand:
        return editors ? editors->lineSettings(*this) : 0;
    case SymbolFontCommand:
        return ChooseSymbolFont();
    case ColorCommand:
        return ChooseLineColor();
    case MirrorXAxisCommand:
        return MirrorXAxis() ? 1 : 0;
    case MirrorYAxisCommand:
        return MirrorYAxis() ? 1 : 0;
    case ErrorBarsCommand:
        // The trace may be gone when the operation returns, and the document has been marked
        // already: 0 keeps the caller from touching it.
        if (auto* operation = dynamic_cast<ErrorBarOperation*>(document()))
            operation->EditErrorBars(*this);
        return 0;
    default:
        return 0;
    }
}

int Trace::ChooseSymbolFont()
{
    TraceEditors* editors = TraceEditors::instance();
    if (!editors)
        return 0;
    // The chooser works in screen pixels, the trace in thousandths of an inch.
    int ppi = view ? int(view->pixelsPerInchY()) : 0;
    if (ppi <= 0)
        ppi = 96;
    LogFont font;
    if (symbolFont) {
        font = *symbolFont;
    } else {
        const DefaultSettings& s = defaultSettings();
        font.lfHeight = s.symbolSize * 1000 / -72;
        font.setFaceName(s.symbolFace);
    }
    font.lfHeight = mulDiv(font.lfHeight, ppi, 1000);
    ColorRef color = symbolColor;
    int size = symbolSize;
    if (!editors->chooseFont(font, color, size, view))
        return 0;
    font.lfHeight = mulDiv(font.lfHeight, 1000, ppi);
    symbolFont = font;
    symbolColor = color;
    symbolSize = size;
    return 1;
}

int Trace::ChooseLineColor()
{
    TraceEditors* editors = TraceEditors::instance();
    if (!editors)
        return 0;
    PenRecord pen = linePen ? *linePen : PenRecord::stockBlack();
    ColorRef color = pen.lopnColor;
    if (!editors->chooseColor(color, view))
        return 0;
    pen.lopnColor = color;
    linePen = pen;
    return 1;
}

QPointF Trace::DeviceToData(QPoint devicePoint)
{
    if (!xAxis || !yAxis)
        return {};
    if (!pointsCurrent())
        ComputePoints();
    std::unique_ptr<DeviceContext> dc = preparedClientDC();
    if (!dc)
        return {};
    dc->offsetWindowOrg(-Axis::toLogical(x), -Axis::toLogical(y));
    const QPoint p = dc->DPtoLP(devicePoint);
    // An axis without extent has no inverse: every point reads as its start.
    double vx = xFactor != 0.0 ? p.x() / xFactor + xOffset : xOffset;
    double vy = yFactor != 0.0 ? p.y() / yFactor + yOffset : yOffset;
    if (xAxis->logScale)
        vx = std::pow(10.0, vx);
    if (yAxis->logScale)
        vy = std::pow(10.0, vy);
    return {vx, vy};
}

void Trace::DataToDevice(double dataX, double dataY)
{
    if (!xAxis || !yAxis)
        return;
    if (!pointsCurrent())
        ComputePoints();
    double vx = dataX;
    double vy = dataY;
    // As for the points, a value at or below zero on a logarithmic axis sits at the origin.
    if (xAxis->logScale && !std::isnan(vx))
        vx = vx > 0.0 ? std::log10(vx) : xOffset;
    if (yAxis->logScale && !std::isnan(vy))
        vy = vy > 0.0 ? std::log10(vy) : yOffset;
    const double px = (vx - xOffset) * xFactor;
    const double py = (vy - yOffset) * yFactor;

    std::optional<QPoint> next;
    if (!std::isnan(px) && !std::isnan(py))
        next = QPoint(int(std::clamp(px, -markerLimit, markerLimit)),
                      int(std::clamp(py, -markerLimit, markerLimit)));
    if (next && marker && *next == *marker)
        next.reset();

    DocumentServices* doc = document();
    std::unique_ptr<DeviceContext> dc = preparedClientDC();
    auto repaint = [&](QPoint m) {
        if (!doc || !dc)
            return;
        const QPoint a = dc->LPtoDP(QPoint(m.x(), Axis::toLogical(yAxis->length)));
        const QPoint b = dc->LPtoDP(m);
        // One pixel around the line, for the pen's rounding.
        Rect r = Rect{a.x(), a.y(), b.x() + 1, b.y() + 1}.normalized();
        r.left -= 1;
        r.top -= 1;
        r.right += 1;
        r.bottom += 1;
        doc->UpdateAllViewsRect(r);
    };
    if (dc)
        dc->offsetWindowOrg(-Axis::toLogical(x), -Axis::toLogical(y));
    if (marker)
        repaint(*marker);
    marker = next;
    if (marker)
        repaint(*marker);
}

void Trace::DrawMarker(DeviceContext& dc) const
{
    if (!marker || !yAxis)
        return;
    dc.saveDC();
    dc.offsetWindowOrg(-Axis::toLogical(x), -Axis::toLogical(y));
    dc.setROP2(R2_NOTXORPEN);
    dc.selectPen(markerPen);
    dc.moveTo(marker->x(), Axis::toLogical(yAxis->length));
    dc.lineTo(marker->x(), marker->y());
    dc.restoreDC();
}

bool Trace::ZoomTo(const Rect& focus)
{
    const auto corners = ZoomCorners(focus);
    if (!corners)
        return false;
    ZoomToData(corners->first, corners->second);
    return true;
}

std::optional<std::pair<QPointF, QPointF>> Trace::ZoomCorners(const Rect& focus)
{
    if (!xAxis || !yAxis || focus.isEmpty())
        return std::nullopt;
    ComputeRect();
    if (focus.intersected(rect) != focus)
        return std::nullopt;
    // The corners are read through the mapping the user sees before anything changes.
    return std::make_pair(DeviceToData(QPoint(focus.left, focus.top)),
                          DeviceToData(QPoint(focus.right, focus.bottom)));
}

void Trace::ZoomToData(const QPointF& topLeft, const QPointF& bottomRight)
{
    if (!xAxis || !yAxis)
        return;
    savedXAxis = std::make_unique<Axis>(*xAxis);
    savedYAxis = std::make_unique<Axis>(*yAxis);
    // Automatic limits go off first: with them on, the axis would pull its start back to a tick.
    xAxis->SetAutoRange(false);
    yAxis->SetAutoRange(false);
    xAxis->SetLimits(topLeft.x(), bottomRight.x());
    yAxis->SetLimits(bottomRight.y(), topLeft.y());
    BindColumns();
    pointsValid = false;
}

void Trace::Unzoom()
{
    if (savedXAxis && xAxis)
        xAxis->CopyAxis(*savedXAxis);
    if (savedYAxis && yAxis)
        yAxis->CopyAxis(*savedYAxis);
    savedXAxis.reset();
    savedYAxis.reset();
    pointsValid = false;
}
