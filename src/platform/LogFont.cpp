#include "platform/LogFont.h"

#include "platform/Archive.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <cstring>

QString LogFont::faceName() const
{
    const auto end = std::find(lfFaceName.begin(), lfFaceName.end(), '\0');
    return QString::fromLatin1(lfFaceName.data(), qsizetype(end - lfFaceName.begin()));
}

void LogFont::setFaceName(const QString& face)
{
    lfFaceName.fill('\0');
    const QByteArray bytes = face.toLatin1();
    std::memcpy(lfFaceName.data(), bytes.constData(),
                std::min<size_t>(size_t(bytes.size()), lfFaceName.size() - 1));
}

void LogFont::write(Archive& ar) const
{
    for (int v : {lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight})
        ar.writeWord(uint16_t(v));
    for (uint8_t b : {lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision,
                      lfClipPrecision, lfQuality, lfPitchAndFamily})
        ar.writeByte(b);
    ar.write(lfFaceName.data(), lfFaceName.size());
}

void LogFont::read(Archive& ar)
{
    LogFont f;
    for (int* v : {&f.lfHeight, &f.lfWidth, &f.lfEscapement, &f.lfOrientation, &f.lfWeight})
        *v = int16_t(ar.readWord());
    for (uint8_t* b : {&f.lfItalic, &f.lfUnderline, &f.lfStrikeOut, &f.lfCharSet, &f.lfOutPrecision,
                       &f.lfClipPrecision, &f.lfQuality, &f.lfPitchAndFamily})
        *b = ar.readByte();
    if (ar.read(f.lfFaceName.data(), f.lfFaceName.size()) != f.lfFaceName.size())
        throw ArchiveException(ArchiveException::Cause::endOfFile, QStringLiteral("font record"));
    *this = f;
}

void LogFont::serialize(Archive& ar)
{
    if (ar.isStoring())
        write(ar);
    else
        read(ar);
}

QFont LogFont::toQFont(double pixelHeight) const
{
    QFont font;
    const QString face = faceName();
    if (!face.isEmpty())
        font.setFamily(face);
    if ((lfPitchAndFamily & 0x03) == 1 || (lfPitchAndFamily & 0xF0) == 0x30)
        font.setStyleHint(QFont::Monospace);
    font.setItalic(lfItalic != 0);
    font.setUnderline(lfUnderline != 0);
    font.setStrikeOut(lfStrikeOut != 0);
    font.setWeight(lfWeight <= 0 ? QFont::Normal : QFont::Weight(std::clamp(lfWeight, 1, 1000)));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferNoHinting);

    // Sizes are capped so that a hostile height cannot ask for a gigantic glyph cache.
    constexpr double maxPixels = 20000.0;
    double px = std::min(std::abs(pixelHeight), maxPixels);
    if (px < 0.5)
        px = (pixelHeight == 0.0) ? 12.0 : 1.0;
    font.setPixelSize(std::max(1, int(std::lround(px))));
    if (pixelHeight > 0.0) {
        // A positive height is the cell height: scale the em so that ascent + descent fits.
        const QFontMetricsF metrics(font);
        const double cell = metrics.ascent() + metrics.descent();
        if (cell > 0.0)
            font.setPixelSize(std::max(1, int(std::lround(px * px / cell))));
    }
    return font;
}

LogFont LogFont::fromFace(const QString& face, int height, int weight)
{
    LogFont f;
    f.lfHeight = height;
    f.lfWeight = weight;
    f.setFaceName(face);
    return f;
}
