#pragma once

#include "ole/TextLabel.h"
#include "platform/Persistent.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

class VisibleOLE;

// The embedded object held by a VisibleOLE: a whole file of another program kept byte for
// byte. Plotvane shows pictures of any format Qt reads and its own text labels; an object
// brought from an older file keeps its class name and native data and shows as a picture where
// Qt can decode that data, else as a labelled placeholder.
//
// Record (schema 1): DWORD storage number (the "Embedding N" storage whose stream CONTENTS
// holds the bytes; 0 when they follow in the record as DWORD size and bytes), WORD kind,
// class name as an archive string.
class ClientItem : public Persistent
{
    PV_DECLARE_SERIAL(ClientItem)

public:
    enum class Kind : uint16_t { None = 0, Picture = 1, Label = 2, Ole1 = 3 };

    ClientItem() = default;
    ClientItem(Kind kind, QString className, QByteArray content);
    static std::unique_ptr<ClientItem> fromPicture(const QByteArray& bytes,
                                                   const QString& format = {});
    static std::unique_ptr<ClientItem> fromLabel(const TextLabel& label);

    void Serialize(Archive& ar) override;
    // The item of an older file: a 16-bit word and a string, then an OLE 1 object stream.
    // Raises ArchiveException when the stream is malformed.
    void readOle1(Archive& ar);

    Kind kind() const { return kind_; }
    const QString& className() const { return className_; }
    const QByteArray& content() const { return content_; }
    // The label this item holds, if it holds one that reads.
    std::optional<TextLabel> label() const;
    void setLabel(const TextLabel& label);

    // Natural size in HIMETRIC; (0, 0) when the item has none to tell.
    QSize naturalExtent() const;
    // The item drawn on white at a size in pixels.
    QImage render(QSize pixels) const;
    // True when the bytes are a picture Qt reads (the placeholder is drawn otherwise).
    bool isPicture() const;

    VisibleOLE* owner = nullptr; // not owned

    // The stream inside an "Embedding N" storage that holds the bytes.
    static QString contentsStream() { return QStringLiteral("CONTENTS"); }
    static QString storagePrefix() { return QStringLiteral("Embedding"); }

private:
    void setContent(Kind kind, QString className, QByteArray content);
    const QImage& decoded() const;
    bool isSvg() const;

    Kind kind_ = Kind::None;
    QString className_;
    QByteArray content_;
    // Decoded raster picture; a cache of content_, never stored.
    mutable std::optional<QImage> image_;
};
