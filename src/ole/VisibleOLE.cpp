#include "ole/VisibleOLE.h"

#include "ole/OleEditors.h"
#include "page/DocumentServices.h"
#include "page/PageView.h"
#include "platform/Archive.h"
#include "platform/DeviceContext.h"
#include "platform/PainterDC.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>

PV_IMPLEMENT_SERIAL(VisibleOLE, scaleableobject, versionableSchema | 1)

namespace {

constexpr double himetricPerLogical = 2.54; // logical units are thousandths of an inch
constexpr double pi = 3.14159265358979323846;
// Logical lengths are kept well inside the int range whatever a file says.
constexpr int64_t maxLogical = 100'000'000;

int64_t clampLogical(int64_t v)
{
    return std::clamp<int64_t>(v, 0, maxLogical);
}

// Integer multiply-divide rounding to nearest.
int64_t mulDiv(int64_t a, int64_t b, int64_t c)
{
    return c == 0 ? 0 : (a * b + c / 2) / c;
}

int logicalOf(float inches)
{
    return int(std::clamp(double(inches) * 1000.0, -2e9, 2e9));
}

double radians(int tenths)
{
    return tenths * pi / 1800.0;
}

// Size of the box that holds a w x h rectangle turned by the angle.
QSizeF turnedBox(double w, double h, int tenths)
{
    if (tenths == 0)
        return {w, h};
    const double c = std::abs(std::cos(radians(tenths)));
    const double s = std::abs(std::sin(radians(tenths)));
    return {w * c + h * s, w * s + h * c};
}

// Copies the bitmap onto the device with white letting through what is already there: a
// bitwise AND where the painter can do it, else white made transparent.
void drawAnded(QPainter& painter, const QRect& target, const QImage& image)
{
    if (image.isNull() || target.isEmpty())
        return;
    painter.save();
    if (painter.paintEngine() && painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) {
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter.drawImage(target, image);
    } else {
        QImage masked = image.convertToFormat(QImage::Format_ARGB32);
        for (int row = 0; row < masked.height(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(masked.scanLine(row));
            for (int col = 0; col < masked.width(); ++col) {
                if ((line[col] & 0xFFFFFF) == 0xFFFFFF)
                    line[col] = 0;
            }
        }
        painter.drawImage(target, masked);
    }
    painter.restore();
}

QPainter* painterOf(DeviceContext& dc)
{
    auto* painterDC = dynamic_cast<PainterDC*>(&dc);
    return painterDC ? painterDC->painter() : nullptr;
}

} // namespace

VisibleOLE::VisibleOLE(std::unique_ptr<ClientItem> item)
{
    setItem(std::move(item));
    itemChanged();
}

VisibleOLE::~VisibleOLE() = default;

void VisibleOLE::setItem(std::unique_ptr<ClientItem> item)
{
    item_ = std::move(item);
    if (item_)
        item_->owner = this;
    cache_ = QImage();
}

void VisibleOLE::setExtent(QSize himetric)
{
    extent_ = QSize(himetric.width() <= 0 ? 1 : himetric.width(),
                    himetric.height() <= 0 ? 1 : himetric.height());
    cache_ = QImage();
}

void VisibleOLE::setAngle(int tenths)
{
    angle_ = tenths;
    cache_ = QImage();
}

void VisibleOLE::setScales(uint32_t horizontal, uint32_t vertical)
{
    hScale_ = horizontal;
    vScale_ = vertical;
    cache_ = QImage();
}

void VisibleOLE::itemChanged()
{
    cache_ = QImage();
    setExtent(item_ ? item_->naturalExtent() : QSize());
    ComputeRect();
}

void VisibleOLE::Serialize(Archive& ar)
{
    if (ar.isStoring()) {
        scaleableobject::Serialize(ar);
        ar.writeObject(item_.get());
        const int32_t values[5] = {extent_.width(), extent_.height(), angle_, int32_t(hScale_),
                                   int32_t(vScale_)};
        for (int32_t v : values)
            ar.writeLong(v);
        return;
    }
    const uint16_t stored = uint16_t(ar.objectSchema());
    scaleableobject::Serialize(ar);
    if (ar.embeddedVersion() == Archive::noEmbeddedVersion)
        ar.setEmbeddedVersion(stored);
    int32_t values[5] = {};
    if (ar.embeddedVersion() == 1) {
        setItem(ar.readOwnedObject<ClientItem>());
        for (int32_t& v : values)
            v = ar.readLong();
    } else {
        auto item = std::make_unique<ClientItem>();
        item->readOle1(ar);
        setItem(std::move(item));
        for (int32_t& v : values)
            v = int16_t(ar.readWord());
    }
    if (!item_)
        setItem(std::make_unique<ClientItem>());
    extent_ = {values[0], values[1]};
    angle_ = values[2];
    hScale_ = uint32_t(values[3]);
    vScale_ = uint32_t(values[4]);
    // A file cannot make the object vanish or grow without bound.
    setExtent(extent_);
    hScale_ = std::clamp(hScale_, minScale, maxScale);
    vScale_ = std::clamp(vScale_, minScale, maxScale);
    SetDocument(ar.document());
    cache_ = QImage();
}

void VisibleOLE::SetDefaultName()
{
    name = QStringLiteral("Untitled");
}

void VisibleOLE::ComputeRect()
{
    std::unique_ptr<DeviceContext> dc = view ? view->clientDC() : nullptr;
    if (!dc) {
        rect = Rect{};
        return;
    }
    view->PrepareDC(*dc);
    const QSizeF box = turnedBox(extent_.width() / himetricPerLogical,
                                 extent_.height() / himetricPerLogical, angle_);
    const int64_t w = clampLogical(mulDiv(std::llround(box.width()), hScale_, 100));
    const int64_t h = clampLogical(mulDiv(std::llround(box.height()), vScale_, 100));
    const int lx = logicalOf(x);
    const int ly = logicalOf(y);
    const QPoint topLeft = dc->LPtoDP(QPoint(lx, ly));
    const QPoint bottomRight =
        dc->LPtoDP(QPoint(int(std::clamp<int64_t>(lx + w, INT32_MIN, INT32_MAX)),
                          int(std::clamp<int64_t>(ly - h, INT32_MIN, INT32_MAX))));
    // However small the picture, the object keeps a pixel to be picked by.
    const Rect bounds{topLeft.x(), topLeft.y(), std::max(bottomRight.x(), topLeft.x() + 1),
                      std::max(bottomRight.y(), topLeft.y() + 1)};
    if (bounds.width() != rect.width() || bounds.height() != rect.height())
        cache_ = QImage();
    rect = bounds;
}

QSize VisibleOLE::scaledPixels(const DeviceContext& dc) const
{
    const int w =
        std::abs(dc.lengthToDeviceX(int(std::lround(extent_.width() / himetricPerLogical))));
    const int h =
        std::abs(dc.lengthToDeviceY(int(std::lround(extent_.height() / himetricPerLogical))));
    return {int(clampLogical(mulDiv(w, hScale_, 100))), int(clampLogical(mulDiv(h, vScale_, 100)))};
}

QImage VisibleOLE::compose(QSize box, QSize picture) const
{
    if (!item_ || box.isEmpty())
        return {};
    // A huge box is drawn from a smaller bitmap stretched over it.
    constexpr double maxPixels = 4096.0 * 4096.0;
    const double area = double(box.width()) * box.height();
    const double f = area > maxPixels ? std::sqrt(maxPixels / area) : 1.0;
    const QSize bitmapSize(std::max(1, int(box.width() * f)), std::max(1, int(box.height() * f)));
    const QSize pictureSize(std::max(1, int(picture.width() * f)),
                            std::max(1, int(picture.height() * f)));
    QImage bitmap(bitmapSize, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    {
        QPainter painter(&bitmap);
        const QImage drawn = item_->render(pictureSize);
        painter.drawImage(QRect(QPoint((bitmapSize.width() - pictureSize.width()) / 2,
                                       (bitmapSize.height() - pictureSize.height()) / 2),
                                pictureSize),
                          drawn);
    }
    return angle_ == 0 ? bitmap : rotated(bitmap, angle_, bitmapSize);
}

QImage VisibleOLE::rotated(const QImage& source, int tenths, QSize size)
{
    QImage dest(size, QImage::Format_RGB32);
    dest.fill(Qt::white);
    if (source.isNull())
        return dest;
    const QImage src = source.convertToFormat(QImage::Format_RGB32);
    const double s = std::sin(radians(tenths));
    const double c = std::cos(radians(tenths));
    const double w = src.width();
    const double h = src.height();
    // Each destination pixel takes the source pixel the turn brings onto its centre, so the
    // turned picture has no holes. Coordinates about the centres, y up.
    for (int row = 0; row < size.height(); ++row) {
        auto* out = reinterpret_cast<QRgb*>(dest.scanLine(row));
        const double yd = size.height() / 2.0 - (row + 0.5);
        for (int col = 0; col < size.width(); ++col) {
            const double xd = col + 0.5 - size.width() / 2.0;
            const double xs = xd * c + yd * s;
            const double ys = -xd * s + yd * c;
            const double i = std::floor(xs + w / 2.0);
            const double j = std::floor(h / 2.0 - ys);
            if (i >= 0 && i < w && j >= 0 && j < h)
                out[col] = reinterpret_cast<const QRgb*>(src.constScanLine(int(j)))[int(i)];
        }
    }
    return dest;
}

void VisibleOLE::Draw(DeviceContext& dc)
{
    if (rect.isEmpty())
        ComputeRect();
    QPainter* painter = painterOf(dc);
    if (!painter || !item_ || rect.isEmpty())
        return;
    const QRect target(rect.left, rect.top, rect.width(), rect.height());
    if (extent_.width() == 1) {
        // An item that told no width draws straight into its box.
        drawAnded(*painter, target, item_->render(target.size()));
        return;
    }
    if (cache_.isNull())
        cache_ = compose(target.size(), scaledPixels(dc));
    drawAnded(*painter, target, cache_);
}

void VisibleOLE::drawUncached(DeviceContext& dc)
{
    QPainter* painter = painterOf(dc);
    if (!painter || !item_)
        return;
    const QPoint at = dc.LPtoDP(QPoint(logicalOf(x), logicalOf(y)));
    const QSize picture = scaledPixels(dc);
    if (angle_ == 0) {
        drawAnded(*painter, QRect(at, picture), item_->render(picture));
        return;
    }
    const QSizeF box = turnedBox(picture.width(), picture.height(), angle_);
    const QSize boxSize(int(std::lround(box.width())), int(std::lround(box.height())));
    drawAnded(*painter, QRect(at, boxSize), compose(boxSize, picture));
}

void VisibleOLE::DrawMetafile(DeviceContext& dc)
{
    drawUncached(dc);
}

void VisibleOLE::Print(DeviceContext& dc, PrintInfo&)
{
    drawUncached(dc);
}

int VisibleOLE::EditProperties()
{
    OleEditors* editors = OleEditors::instance();
    if (!editors || !editors->formatObject(*this))
        return 0;
    cache_ = QImage();
    ComputeRect();
    return 1;
}

int VisibleOLE::Activate()
{
    std::optional<TextLabel> label = item_ ? item_->label() : std::nullopt;
    if (!label)
        return EditProperties();
    OleEditors* editors = OleEditors::instance();
    if (!editors || !editors->editLabel(*label))
        return 0;
    if (DocumentServices* doc = document())
        doc->UpdateAllViews(DocumentServices::UpdateHint::Object, this);
    item_->setLabel(*label);
    itemChanged();
    return 1;
}

void VisibleOLE::CopyToClipboard()
{
    if (!item_)
        return;
    auto data = std::make_unique<QMimeData>();
    if (item_->kind() == ClientItem::Kind::Picture && !item_->className().isEmpty())
        data->setData(QStringLiteral("image/") + (item_->className() == QLatin1String("svg")
                                                      ? QStringLiteral("svg+xml")
                                                      : item_->className()),
                      item_->content());
    // At the screen's 96 pixels per inch.
    const QSize pixels(int(std::lround(extent_.width() * 96.0 / 2540.0)),
                       int(std::lround(extent_.height() * 96.0 / 2540.0)));
    const QImage picture = item_->render(pixels);
    if (!picture.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        data->setData(QStringLiteral("image/png"), png);
    }
    QGuiApplication::clipboard()->setMimeData(data.release());
}

Rect VisibleOLE::ScaleTo(int px, int py)
{
    if (DocumentServices* doc = document())
        doc->UpdateAllViews(DocumentServices::UpdateHint::Object, this);
    const Rect old = rect;
    Handle side = Handle::Right;
    if (grabbed.y() == old.top && grabbed.x() != old.left && grabbed.x() != old.right)
        side = Handle::Top;
    else if (grabbed.y() == old.bottom && grabbed.x() != old.left && grabbed.x() != old.right)
        side = Handle::Bottom;
    else if (grabbed.x() == old.left)
        side = Handle::Left;
    const bool across = side == Handle::Left || side == Handle::Right;
    int distance = 0;
    switch (side) {
    case Handle::Right:
        distance = px - old.left;
        break;
    case Handle::Left:
        distance = old.right - px;
        break;
    case Handle::Bottom:
        distance = py - old.top;
        break;
    case Handle::Top:
        distance = old.bottom - py;
        break;
    }
    const int64_t size = across ? old.width() : old.height();
    const int64_t scale = across ? hScale_ : vScale_;
    int64_t divisor = scale == 0 ? 0 : size * 100 / scale;
    if (divisor == 0)
        divisor = 1;
    const auto next =
        uint32_t(std::clamp<int64_t>(int64_t(distance) * 100 / divisor, minScale, maxScale));
    setScales(next, next);
    ComputeRect();
    // The side opposite the handle stays where it was.
    if (view && (side == Handle::Left || side == Handle::Top)) {
        std::unique_ptr<DeviceContext> dc = view->clientDC();
        view->PrepareDC(*dc);
        const QPoint corner(side == Handle::Left ? old.right - rect.width() : rect.left,
                            side == Handle::Top ? old.bottom - rect.height() : rect.top);
        const QPoint logical = dc->DPtoLP(corner);
        x = logical.x() / 1000.0f;
        y = logical.y() / 1000.0f;
        ComputeRect();
    }
    grabbed = handlePoint(rect, side);
    if (DocumentServices* doc = document())
        doc->UpdateAllViews(DocumentServices::UpdateHint::Object, this);
    return rect;
}

void VisibleOLE::SetFromRect(const Rect& r)
{
    const Rect box = r.normalized();
    rect = box;
    cache_ = QImage();
    if (!view)
        return;
    std::unique_ptr<DeviceContext> dc = view->clientDC();
    view->PrepareDC(*dc);
    const QPoint topLeft = dc->DPtoLP(QPoint(box.left, box.top));
    const QPoint bottomRight = dc->DPtoLP(QPoint(box.right, box.bottom));
    x = topLeft.x() / 1000.0f;
    y = topLeft.y() / 1000.0f;
    setExtent(
        QSize(int(std::lround(std::abs(bottomRight.x() - topLeft.x()) * himetricPerLogical)),
              int(std::lround(std::abs(topLeft.y() - bottomRight.y()) * himetricPerLogical))));
}

void registerEmbeddedObjectClasses()
{
    static const RuntimeClass* const classes[] = {&VisibleOLE::classRecord,
                                                  &ClientItem::classRecord};
    for (const RuntimeClass* cls : classes) {
        if (RuntimeClass::find(cls->name) != cls)
            RuntimeClass::add(cls);
    }
}
