#include "ole/ClientItem.h"

#include "platform/Archive.h"
#include "platform/Exceptions.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

PV_IMPLEMENT_SERIAL(ClientItem, Persistent, versionableSchema | 1)

namespace {

constexpr double himetricPerInch = 2540.0;
constexpr double himetricPerMetre = 100000.0;
constexpr int screenDpi = 96;

[[noreturn]] void malformed(const char* what)
{
    throw ArchiveException(ArchiveException::Cause::endOfFile, QString::fromLatin1(what));
}

QByteArray readBytes(Archive& ar, uint32_t size)
{
    if (size > ar.bytesLeft())
        malformed("embedded object data runs past the end");
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    ar.read(bytes.data(), size);
    return bytes;
}

// An OLE 1 length-prefixed string: DWORD length with the terminating NUL, then the characters.
QByteArray readOle1String(Archive& ar)
{
    QByteArray bytes = readBytes(ar, ar.readDword());
    const qsizetype nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.left(nul);
}

// The presentation that follows an OLE 1 object; Plotvane keeps only the native data, but the
// stream has to be read to its end.
void skipOle1Presentation(Archive& ar)
{
    ar.readDword(); // version
    const uint32_t format = ar.readDword();
    if (format == 0)
        return;
    if (format != 5)
        malformed("unknown OLE 1 presentation");
    const QByteArray name = readOle1String(ar);
    if (name == "METAFILEPICT" || name == "BITMAP" || name == "DIB") {
        ar.readDword(); // width
        ar.readDword(); // height
        readBytes(ar, ar.readDword());
        return;
    }
    if (ar.readDword() == 0) // a registered clipboard format names itself
        readOle1String(ar);
    readBytes(ar, ar.readDword());
}

// Pictures are kept small enough to draw: the cache of a hugely scaled object is drawn
// stretched rather than allocated whole.
QSize boundedSize(QSize pixels)
{
    constexpr double maxPixels = 4096.0 * 4096.0;
    const double area = double(pixels.width()) * double(pixels.height());
    if (area <= maxPixels)
        return pixels;
    const double f = std::sqrt(maxPixels / area);
    return {std::max(1, int(pixels.width() * f)), std::max(1, int(pixels.height() * f))};
}

QImage whiteImage(QSize pixels)
{
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

ClientItem::ClientItem(Kind kind, QString className, QByteArray content)
{
    setContent(kind, std::move(className), std::move(content));
}

std::unique_ptr<ClientItem> ClientItem::fromPicture(const QByteArray& bytes, const QString& format)
{
    QString name = format.toLower();
    if (name.isEmpty()) {
        QBuffer buffer;
        buffer.setData(bytes);
        name = QString::fromLatin1(QImageReader::imageFormat(&buffer));
    }
    return std::make_unique<ClientItem>(Kind::Picture, name, bytes);
}

std::unique_ptr<ClientItem> ClientItem::fromLabel(const TextLabel& label)
{
    return std::make_unique<ClientItem>(Kind::Label, QStringLiteral("Label"), label.toBytes());
}

void ClientItem::setContent(Kind kind, QString className, QByteArray content)
{
    kind_ = kind;
    className_ = std::move(className);
    content_ = std::move(content);
    image_.reset();
}

void ClientItem::Serialize(Archive& ar)
{
    if (ar.isStoring()) {
        const bool side = ar.carriesSideStorages();
        ar.writeDword(side ? ar.addSideStorage(storagePrefix(), {{contentsStream(), content_}})
                           : 0);
        ar.writeWord(uint16_t(kind_));
        ar.writeString(className_);
        if (!side) {
            ar.writeDword(uint32_t(content_.size()));
            ar.write(content_.constData(), size_t(content_.size()));
        }
        return;
    }
    const uint16_t stored = uint16_t(ar.objectSchema());
    if (ar.embeddedVersion() == Archive::noEmbeddedVersion)
        ar.setEmbeddedVersion(stored);
    if (ar.embeddedVersion() != 1) {
        readOle1(ar);
        return;
    }
    const uint32_t storage = ar.readDword();
    const auto kind = Kind(ar.readWord());
    QString className = ar.readString();
    QByteArray content;
    if (storage == 0) {
        content = readBytes(ar, ar.readDword());
    } else if (const Archive::Streams* streams =
                   ar.sideStorage(storagePrefix() + QLatin1Char(' ') + QString::number(storage))) {
        // A storage whose bytes went missing shows the placeholder.
        content = streams->value(contentsStream());
    }
    setContent(kind, std::move(className), std::move(content));
}

void ClientItem::readOle1(Archive& ar)
{
    ar.readWord();
    ar.readString();
    ar.readDword(); // OLE version
    const uint32_t format = ar.readDword();
    if (format != 1 && format != 2)
        malformed("not an OLE 1 object");
    const QByteArray className = readOle1String(ar);
    readOle1String(ar); // topic
    readOle1String(ar); // item
    QByteArray native;
    if (format == 2) {
        native = readBytes(ar, ar.readDword());
    } else {
        readOle1String(ar); // network name
        ar.readDword();     // reserved
        ar.readDword();     // link update option
    }
    skipOle1Presentation(ar);
    setContent(Kind::Ole1, QString::fromLatin1(className), std::move(native));
}

std::optional<TextLabel> ClientItem::label() const
{
    return kind_ == Kind::Label ? TextLabel::fromBytes(content_) : std::nullopt;
}

void ClientItem::setLabel(const TextLabel& label)
{
    setContent(Kind::Label, QStringLiteral("Label"), label.toBytes());
}

bool ClientItem::isSvg() const
{
    if (className_.compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0 ||
        className_.compare(QLatin1String("svgz"), Qt::CaseInsensitive) == 0)
        return true;
    return content_.left(1024).contains("<svg");
}

const QImage& ClientItem::decoded() const
{
    if (!image_) {
        QImage image;
        if (kind_ == Kind::Picture || kind_ == Kind::Ole1) {
            QBuffer buffer;
            buffer.setData(content_);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer);
            image = reader.read();
        }
        image_ = image;
    }
    return *image_;
}

bool ClientItem::isPicture() const
{
    if (kind_ != Kind::Picture && kind_ != Kind::Ole1)
        return false;
    if (isSvg())
        return QSvgRenderer(content_).isValid();
    return !decoded().isNull();
}

QSize ClientItem::naturalExtent() const
{
    if (kind_ == Kind::Label) {
        const std::optional<TextLabel> l = label();
        return l ? l->naturalExtent() : QSize();
    }
    if (isSvg()) {
        const QSvgRenderer svg(content_);
        if (!svg.isValid())
            return {};
        const QSize size = svg.defaultSize();
        return {int(std::lround(size.width() * himetricPerInch / screenDpi)),
                int(std::lround(size.height() * himetricPerInch / screenDpi))};
    }
    const QImage& image = decoded();
    if (image.isNull())
        return {};
    const double dpmX = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() : 3780.0;
    const double dpmY = image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() : 3780.0;
    return {int(std::lround(image.width() / dpmX * himetricPerMetre)),
            int(std::lround(image.height() / dpmY * himetricPerMetre))};
}

QImage ClientItem::render(QSize pixels) const
{
    pixels = boundedSize(pixels);
    if (pixels.isEmpty())
        return {};
    if (kind_ == Kind::Label) {
        if (const std::optional<TextLabel> l = label())
            return l->render(pixels);
    }
    QImage image = whiteImage(pixels);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect target(QPoint(0, 0), pixels);
    if (isSvg()) {
        QSvgRenderer svg(content_);
        if (svg.isValid()) {
            svg.render(&painter, target);
            return image;
        }
    } else if (const QImage& picture = decoded(); !picture.isNull()) {
        painter.drawImage(target, picture);
        return image;
    }
    // The placeholder: a frame with the object's class name.
    painter.setPen(Qt::gray);
    painter.drawRect(target.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.drawText(target, Qt::AlignCenter | Qt::TextWordWrap,
                     className_.isEmpty() ? QStringLiteral("?") : className_);
    return image;
}
