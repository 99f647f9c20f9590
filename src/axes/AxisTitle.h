#pragma once

#include "page/visibleobject.h"
#include "platform/LogFont.h"
#include "platform/PenRecord.h"

#include <QString>
#include <memory>
#include <span>

class Axis;
class Persistent;

// A line of text that belongs to one axis: centred beside the middle of the axis line, at
// `distance` inches from it on the side away from the plot (below a horizontal axis, left of a
// vertical one), with its font turned along the axis. Its position (the anchor) is derived from
// the axis at every draw, so only the distance moves it. The page list owns it; the axis and
// its title only refer to each other.
class AxisTitle : public visibleobject
{
    PV_DECLARE_SERIAL(AxisTitle)

public:
    // For loading: no axis, anchor (1, 1), font and distance from the settings.
    AxisTitle();
    // A title of the axis, shown in the view.
    AxisTitle(PageView* view, Axis* axis);
    AxisTitle(const AxisTitle&) = delete;
    AxisTitle& operator=(const AxisTitle&) = delete;
    // The axis forgets its title.
    ~AxisTitle() override;

    // The axis reference (full object the first time, back-reference after), the text, the
    // distance as the float's bits, the 50-byte font record and the colour.
    void Serialize(Archive& ar) override;
    // The axis's name followed by " Title".
    void SetDefaultName() override;
    void Draw(DeviceContext& dc) override;
    void Print(DeviceContext& dc, PrintInfo& info) override;
    void ComputeRect() override;
    int EditProperties() override;
    visibleobject* ReleaseReference(visibleobject* other) override;
    // Copies position, name, font, text, distance and colour; the axis is not copied.
    virtual void CopyTitle(const AxisTitle& other);

    // Binds the title to the axis (the axis's side of the link is the caller's) and turns the
    // font along it.
    void AttachTo(Axis* axis);
    // The anchor from the axis: the middle of the line, `distance` away from it.
    void Reposition();

    // The axis (not owned), or null.
    Axis* GetAxis() const { return axis; }
    QString GetText() const { return text; }
    void SetText(const QString& t) { text = t; }
    float GetDistance() const { return distance; }
    void SetDistance(float d) { distance = d; }
    ColorRef GetColor() const { return color; }
    void SetColor(ColorRef c) { color = c; }
    // Heights in thousandths of an inch, as stored.
    LogFont GetFontDescription() const { return font; }
    void SetFontDescription(const LogFont& f) { font = f; }

    // The font a new title takes from the settings.
    static LogFont defaultFont();
    // The factory the axes use to make a title when the user first asks for one.
    static std::unique_ptr<visibleobject> createFor(Axis& axis);
    // After a document was read: a title and an axis that do not name each other forget each
    // other, so that neither follows the other after it is deleted.
    static void unlinkOneSided(std::span<Persistent* const> objects);

private:
    // The anchor in logical units and the text extent with the font selected into dc.
    void measure(DeviceContext& dc, int& x0, int& y0, int& w, int& h) const;
    void drawText(DeviceContext& dc) const;

    Axis* axis = nullptr; // not owned
    QString text;
    LogFont font; // height in thousandths of an inch
    ColorRef color = 0;
    float distance = 0.0f; // inches
};
