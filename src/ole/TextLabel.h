#pragma once

#include "platform/LogFont.h"
#include "platform/PenRecord.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

// A text label embedded in a plot: its text, font (height in thousandths of an inch, negative
// for the character height) and colour. Its stored form is the content of its embedded object.
struct TextLabel
{
    QString text;
    LogFont font = LogFont::fromFace(QStringLiteral("Arial"), -250);
    ColorRef color = 0;

    bool operator==(const TextLabel&) const = default;

    // The stored bytes: the text as an archive string, the 50-byte font record, the colour.
    QByteArray toBytes() const;
    // Nothing for bytes that are not a label.
    static std::optional<TextLabel> fromBytes(const QByteArray& bytes);

    // Natural size in HIMETRIC (0.01 mm): the text's lines as the font sets them, with a small
    // margin; (0, 0) for an empty text.
    QSize naturalExtent() const;
    // The label drawn on white, stretched to the size (pixels).
    QImage render(QSize pixels) const;
};
