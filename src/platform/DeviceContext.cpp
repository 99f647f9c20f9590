#include "platform/DeviceContext.h"

#include "platform/SymbolFont.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

// round(n / d) with halves away from zero; exact for any int operands.
int mapAxis(int value, int fromOrg, int fromExt, int toOrg, int toExt)
{
    if (fromExt == 0 || toExt == 0)
        return toOrg;
    // The usual case fits in 64 bits and takes a plain division.
    int64_t n64;
    if (!__builtin_mul_overflow(int64_t(value) - fromOrg, int64_t(toExt), &n64)) {
        const int64_t an = n64 < 0 ? -n64 : n64; // n64 > INT64_MIN: |operands| < 2^32 each
        const int64_t ad = fromExt < 0 ? -int64_t(fromExt) : int64_t(fromExt);
        if (an <= (INT64_MAX - ad) / 2) {
            int64_t q = (2 * an + ad) / (2 * ad);
            if ((n64 < 0) != (fromExt < 0))
                q = -q;
            return int(std::clamp<int64_t>(q + toOrg, INT_MIN, INT_MAX));
        }
    }
    const __int128 n = (__int128(value) - fromOrg) * toExt;
    const __int128 d = fromExt;
    const __int128 an = n < 0 ? -n : n;
    const __int128 ad = d < 0 ? -d : d;
    __int128 q = (2 * an + ad) / (2 * ad);
    if ((n < 0) != (d < 0))
        q = -q;
    const __int128 r = q + toOrg;
    return int(std::clamp<__int128>(r, INT_MIN, INT_MAX));
}

int clampedSum(int a, int b)
{
    return int(std::clamp<long long>((long long)a + b, INT_MIN, INT_MAX));
}

QPoint farCorner(const QRect& r)
{
    return QPoint(clampedSum(r.left(), r.width()), clampedSum(r.top(), r.height()));
}

} // namespace

DeviceContext::DeviceContext() = default;
DeviceContext::~DeviceContext() = default;

// --- mapping ---

void DeviceContext::setMapModeText()
{
    state_.textMode = true;
    state_.windowExt = QSize(1, 1);
    state_.viewportExt = QSize(1, 1);
    mappingChanged();
}

void DeviceContext::setMapModeAnisotropic()
{
    state_.textMode = false;
    mappingChanged();
}

void DeviceContext::setWindowExt(int cx, int cy)
{
    if (state_.textMode || cx == 0 || cy == 0)
        return;
    state_.windowExt = QSize(cx, cy);
    mappingChanged();
}

void DeviceContext::setViewportExt(int cx, int cy)
{
    if (state_.textMode || cx == 0 || cy == 0)
        return;
    state_.viewportExt = QSize(cx, cy);
    mappingChanged();
}

void DeviceContext::setViewportOrg(int x, int y)
{
    state_.viewportOrg = QPoint(x, y);
    mappingChanged();
}

void DeviceContext::setWindowOrg(int x, int y)
{
    state_.windowOrg = QPoint(x, y);
    mappingChanged();
}

void DeviceContext::offsetWindowOrg(int dx, int dy)
{
    setWindowOrg(state_.windowOrg.x() + dx, state_.windowOrg.y() + dy);
}

QPoint DeviceContext::windowOrg() const
{
    return state_.windowOrg;
}

QSize DeviceContext::windowExt() const
{
    return state_.windowExt;
}

QSize DeviceContext::viewportExt() const
{
    return state_.viewportExt;
}

void DeviceContext::setPageMapping(float ppiX, float ppiY, float scale, QPoint viewportOrg)
{
    setMapModeAnisotropic();
    setWindowExt(5000, -5000);
    // Formed in single precision on purpose: the screen has always been mapped this way, and
    // hit testing must agree with it to the pixel.
    const float ex = 5.0f * ppiX * scale;
    const float ey = 5.0f * ppiY * scale;
    auto toInt = [](float v) {
        if (!std::isfinite(v))
            return 0;
        return int(std::clamp(std::trunc(v), float(-(1 << 30)), float(1 << 30)));
    };
    setViewportExt(toInt(ex), toInt(ey));
    setViewportOrg(viewportOrg.x(), viewportOrg.y());
}

QPoint DeviceContext::LPtoDP(QPoint p) const
{
    const State& s = state_;
    return QPoint(mapAxis(p.x(), s.windowOrg.x(), s.windowExt.width(), s.viewportOrg.x(),
                          s.viewportExt.width()),
                  mapAxis(p.y(), s.windowOrg.y(), s.windowExt.height(), s.viewportOrg.y(),
                          s.viewportExt.height()));
}

QPoint DeviceContext::DPtoLP(QPoint p) const
{
    const State& s = state_;
    return QPoint(mapAxis(p.x(), s.viewportOrg.x(), s.viewportExt.width(), s.windowOrg.x(),
                          s.windowExt.width()),
                  mapAxis(p.y(), s.viewportOrg.y(), s.viewportExt.height(), s.windowOrg.y(),
                          s.windowExt.height()));
}

QRect DeviceContext::LPtoDP(const QRect& r) const
{
    const QPoint a = LPtoDP(QPoint(r.left(), r.top()));
    const QPoint b = LPtoDP(farCorner(r));
    return QRect(a, QSize(b.x() - a.x(), b.y() - a.y()));
}

QRect DeviceContext::DPtoLP(const QRect& r) const
{
    const QPoint a = DPtoLP(QPoint(r.left(), r.top()));
    const QPoint b = DPtoLP(farCorner(r));
    return QRect(a, QSize(b.x() - a.x(), b.y() - a.y()));
}

int DeviceContext::lengthToDeviceX(int logical) const
{
    return mapAxis(logical, 0, state_.windowExt.width(), 0, state_.viewportExt.width());
}

int DeviceContext::lengthToDeviceY(int logical) const
{
    return mapAxis(logical, 0, state_.windowExt.height(), 0, state_.viewportExt.height());
}

int DeviceContext::lengthToLogicalX(int device) const
{
    return mapAxis(device, 0, state_.viewportExt.width(), 0, state_.windowExt.width());
}

int DeviceContext::lengthToLogicalY(int device) const
{
    return mapAxis(device, 0, state_.viewportExt.height(), 0, state_.windowExt.height());
}

double DeviceContext::scaleX() const
{
    return std::abs(double(state_.viewportExt.width()) / double(state_.windowExt.width()));
}

double DeviceContext::scaleY() const
{
    return std::abs(double(state_.viewportExt.height()) / double(state_.windowExt.height()));
}

bool DeviceContext::mirrored() const
{
    const bool flipX = (state_.viewportExt.width() < 0) != (state_.windowExt.width() < 0);
    const bool flipY = (state_.viewportExt.height() < 0) != (state_.windowExt.height() < 0);
    return flipX != flipY;
}

double DeviceContext::fontPixelHeight() const
{
    return state_.font.lfHeight * scaleY();
}

QFont DeviceContext::deviceFont() const
{
    const double height = fontPixelHeight();
    FontCache& cache = fontCache_;
    if (cache.valid && cache.font == state_.font && cache.pixelHeight == height)
        return cache.device;
    QFont f = state_.font.toQFont(height);
    if (SymbolFont::kindOf(state_.font.faceName()) != SymbolFont::Kind::none)
        f.setFamily(SymbolFont::drawingFamily());
    cache = {true, state_.font, height, f};
    return f;
}

QString DeviceContext::deviceText(const QString& text) const
{
    TextCache& cache = textCache_;
    if (cache.valid && cache.face == state_.font.lfFaceName && cache.text == text)
        return cache.shown;
    const QString shown = SymbolFont::mapText(SymbolFont::kindOf(state_.font.faceName()), text);
    cache = {true, state_.font.lfFaceName, text, shown};
    return shown;
}

double DeviceContext::textAngle() const
{
    const double degrees = state_.font.lfEscapement / 10.0;
    return mirrored() ? -degrees : degrees;
}

// --- state ---

int DeviceContext::saveDC()
{
    saved_.push_back(state_);
    stateSaved();
    return int(saved_.size());
}

void DeviceContext::restoreDC(int saved)
{
    if (saved_.empty())
        return;
    size_t depth = saved_.size();
    if (saved < 0) {
        // -n: the n-th most recent
        if (size_t(-(long long)saved) > saved_.size())
            return;
        depth = saved_.size() + 1 - size_t(-(long long)saved);
    } else {
        if (saved == 0 || size_t(saved) > saved_.size())
            return;
        depth = size_t(saved);
    }
    state_ = saved_[depth - 1];
    saved_.resize(depth - 1);
    stateChanged();
}

PenRecord DeviceContext::selectPen(const PenRecord& pen)
{
    PenRecord old = state_.pen;
    state_.pen = pen;
    penSelected();
    return old;
}

void DeviceContext::selectStockPen(StockObject pen)
{
    switch (pen) {
    case WHITE_PEN:
        selectPen(PenRecord::stockWhite());
        break;
    case NULL_PEN:
        selectPen(PenRecord::stockNull());
        break;
    default:
        selectPen(PenRecord::stockBlack());
        break;
    }
}

void DeviceContext::selectStockBrush(StockObject brush)
{
    switch (brush) {
    case NULL_BRUSH:
        selectBrush(BrushRecord{true, 0});
        break;
    case BLACK_BRUSH:
        selectBrush(BrushRecord{false, 0x000000});
        break;
    default:
        selectBrush(BrushRecord{false, 0xFFFFFF});
        break;
    }
}

void DeviceContext::selectSolidBrush(ColorRef color)
{
    selectBrush(BrushRecord{false, color & 0xFFFFFF});
}

BrushRecord DeviceContext::selectBrush(const BrushRecord& brush)
{
    BrushRecord old = state_.brush;
    state_.brush = brush;
    brushSelected();
    return old;
}

LogFont DeviceContext::selectFont(const LogFont& font)
{
    LogFont old = state_.font;
    state_.font = font;
    fontSelected();
    return old;
}

void DeviceContext::selectStockFont(StockObject font)
{
    LogFont f;
    f.lfWeight = font == SYSTEM_FONT ? LogFont::FW_BOLD : LogFont::FW_NORMAL;
    // Fixed-pitch font (pitch 1, modern family); the others are variable pitch.
    f.lfPitchAndFamily = font == ANSI_FIXED_FONT ? 0x31 : 0x22;
    f.setFaceName(font == ANSI_FIXED_FONT ? QStringLiteral("Liberation Mono")
                                          : QStringLiteral("Liberation Sans"));
    // 12 device pixels in whatever mapping is selected.
    f.lfHeight = -std::max(1, std::abs(lengthToLogicalY(12)));
    selectFont(f);
}

ColorRef DeviceContext::setTextColor(ColorRef color)
{
    ColorRef old = state_.textColor;
    state_.textColor = color & 0xFFFFFF;
    textColorChanged();
    return old;
}

ColorRef DeviceContext::setBkColor(ColorRef color)
{
    ColorRef old = state_.bkColor;
    state_.bkColor = color & 0xFFFFFF;
    bkColorChanged();
    return old;
}

int DeviceContext::setBkMode(int mode)
{
    int old = state_.bkMode;
    if (mode == TRANSPARENT_BK || mode == OPAQUE_BK) {
        state_.bkMode = mode;
        bkModeChanged();
    }
    return old;
}

int DeviceContext::setROP2(int mode)
{
    int old = state_.rop2;
    if (mode >= R2_BLACK && mode <= R2_WHITE) {
        state_.rop2 = mode;
        rop2Changed();
    }
    return old;
}

// --- drawing ---

void DeviceContext::moveTo(int x, int y)
{
    setPosition(QPoint(x, y));
}

void DeviceContext::lineTo(int x, int y)
{
    const QPoint from = state_.position;
    setPosition(QPoint(x, y));
    drawLine(from, QPoint(x, y));
}

void DeviceContext::polyline(const QPoint* points, int count)
{
    if (!points || count < 2)
        return;
    drawPolyline(points, count);
}

void DeviceContext::rectangle(int left, int top, int right, int bottom)
{
    drawRectangle(QPoint(left, top), QPoint(right, bottom));
}

void DeviceContext::patBlt(int x, int y, int width, int height, uint32_t rop)
{
    drawPatBlt(QPoint(x, y), QPoint(clampedSum(x, width), clampedSum(y, height)), rop);
}

void DeviceContext::invertRect(const QRect& r)
{
    drawInvertRect(r.topLeft(), farCorner(r));
}

void DeviceContext::drawFocusRect(const QRect& r)
{
    drawFocusRectangle(r.topLeft(), farCorner(r));
}

void DeviceContext::textOut(int x, int y, const QString& text)
{
    if (text.isEmpty())
        return;
    drawText(QPoint(x, y), text);
}

void DeviceContext::textOutAt(std::span<const QPoint> points, const QString& text)
{
    if (text.isEmpty() || points.empty())
        return;
    drawTextAt(points, text);
}

void DeviceContext::drawTextAt(std::span<const QPoint> logical, const QString& text)
{
    for (const QPoint& p : logical)
        drawText(p, text);
}

QSize DeviceContext::getTextExtent(const QString& text)
{
    const QSizeF device = measureText(text);
    const int w = int(std::lround(std::min(device.width(), double(INT_MAX / 2))));
    const int h = int(std::lround(std::min(device.height(), double(INT_MAX / 2))));
    return QSize(std::abs(lengthToLogicalX(w)), std::abs(lengthToLogicalY(h)));
}

void DeviceContext::intersectClipRect(int left, int top, int right, int bottom)
{
    const QPoint a = LPtoDP(QPoint(left, top));
    const QPoint b = LPtoDP(QPoint(right, bottom));
    // Device rectangles exclude their right and bottom edges.
    const QRect device(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                       QPoint(std::max(a.x(), b.x()) - 1, std::max(a.y(), b.y()) - 1));
    state_.clip = state_.clip ? state_.clip->intersected(device) : device;
    if (!state_.clip->isValid())
        state_.clip = QRect();
    clipChanged(left, top, right, bottom);
}
