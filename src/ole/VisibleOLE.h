#pragma once

#include "ole/ClientItem.h"
#include "page/scaleableobject.h"

#include <QImage>
#include <QSize>
#include <memory>

// An embedded object on the page: a ClientItem drawn at its natural extent, turned by any angle
// and scaled separately across and up. The position is the top-left corner of the unturned
// box (inches, y up). The picture last drawn on screen is kept until the size or look changes.
//
// Record after the scaleableobject part: the client item as an object reference, then extent
// width, extent height, angle, horizontal scale and vertical scale as five 32-bit values
// (16-bit in files of the older layout, whose item follows directly as an OLE 1 stream).
class VisibleOLE : public scaleableobject
{
    PV_DECLARE_SERIAL(VisibleOLE)

public:
    static constexpr uint32_t minScale = 1;
    static constexpr uint32_t maxScale = 50000;

    VisibleOLE() = default;
    explicit VisibleOLE(std::unique_ptr<ClientItem> item);
    ~VisibleOLE() override;
    VisibleOLE(const VisibleOLE&) = delete;
    VisibleOLE& operator=(const VisibleOLE&) = delete;

    void Serialize(Archive& ar) override;
    void SetDefaultName() override;
    void ComputeRect() override;
    void Draw(DeviceContext& dc) override;
    void DrawMetafile(DeviceContext& dc) override;
    void Print(DeviceContext& dc, PrintInfo& info) override;
    int EditProperties() override;
    int Activate() override;
    void CopyToClipboard() override;
    Rect ScaleTo(int x, int y) override;
    void EndScale() override {}

    ClientItem* item() const { return item_.get(); }
    void setItem(std::unique_ptr<ClientItem> item);
    // HIMETRIC; a zero width or height is stored as 1.
    QSize extent() const { return extent_; }
    void setExtent(QSize himetric);
    int angle() const { return angle_; } // tenths of a degree, counter-clockwise
    void setAngle(int tenths);
    uint32_t horizontalScale() const { return hScale_; } // percent
    uint32_t verticalScale() const { return vScale_; }
    void setScales(uint32_t horizontal, uint32_t vertical);
    bool hasPictureCache() const { return !cache_.isNull(); }

    // The item changed: the cache goes, the extent is asked of the item again.
    void itemChanged();
    // The object takes a device rectangle of its view as its bounds: position at its top-left,
    // extent its size.
    void SetFromRect(const Rect& r);

    // The picture turned counter-clockwise by tenths of a degree about the centre into a white
    // bitmap of the given size; pixels that land outside are dropped.
    static QImage rotated(const QImage& source, int tenths, QSize size);

private:
    // The item's picture at `picture` pixels, centred in a white bitmap of `box` pixels and
    // turned by the angle.
    QImage compose(QSize box, QSize picture) const;
    // The picture drawn at the object's own place under the context's mapping, without cache.
    void drawUncached(DeviceContext& dc);
    QSize scaledPixels(const DeviceContext& dc) const;

    std::unique_ptr<ClientItem> item_;
    QSize extent_{1, 1};
    int angle_ = 0;
    uint32_t hScale_ = 100;
    uint32_t vScale_ = 100;
    QImage cache_; // the picture last drawn on screen, rect-sized; never stored
};

// Makes sure the embedded-object classes are linked into the program and registered.
void registerEmbeddedObjectClasses();
