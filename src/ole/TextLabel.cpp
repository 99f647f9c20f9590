#include "ole/TextLabel.h"

#include "platform/Archive.h"
#include "platform/Exceptions.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace {

// Text is measured and drawn in thousandths of an inch, the unit of the font's height.
constexpr double himetricPerUnit = 2.54;
constexpr double margin = 20.0; // thousandths of an inch around the text

QFont labelFont(const LogFont& font)
{
    return font.toQFont(font.lfHeight == 0 ? -250 : font.lfHeight);
}

QSizeF textSize(const TextLabel& label)
{
    if (label.text.isEmpty())
        return {};
    const QFontMetricsF metrics(labelFont(label.font));
    const QRectF box =
        metrics.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop, label.text);
    return {box.width() + 2 * margin, box.height() + 2 * margin};
}

} // namespace

QByteArray TextLabel::toBytes() const
{
    Archive ar;
    ar.writeString(text);
    font.write(ar);
    ar.writeDword(color);
    return ar.data();
}

std::optional<TextLabel> TextLabel::fromBytes(const QByteArray& bytes)
{
    try {
        Archive ar(bytes);
        TextLabel label;
        label.text = ar.readString();
        label.font.read(ar);
        label.color = ar.readDword() & 0xFFFFFF;
        return label;
    } catch (const ArchiveException&) {
        return std::nullopt;
    }
}

QSize TextLabel::naturalExtent() const
{
    const QSizeF size = textSize(*this);
    return {int(std::lround(size.width() * himetricPerUnit)),
            int(std::lround(size.height() * himetricPerUnit))};
}

QImage TextLabel::render(QSize pixels) const
{
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QSizeF size = textSize(*this);
    if (size.isEmpty() || pixels.isEmpty())
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(pixels.width() / size.width(), pixels.height() / size.height());
    painter.setFont(labelFont(font));
    painter.setPen(colorFromRef(color));
    painter.drawText(QRectF(margin, margin, size.width(), size.height()),
                     Qt::AlignLeft | Qt::AlignTop, text);
    return image;
}
