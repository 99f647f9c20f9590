#pragma once

#include "axes/tickstruct.h"
#include "page/scaleableobject.h"

#include <QPoint>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <memory>

class AxisTitle;
class DocumentServices;

// A page object that maps data values onto a straight line: the origin is the page position
// (x, y), the line runs `length` inches in the direction (dirX, dirY), `start` lies at the
// origin and `end` at the far end, on a linear or base-10 logarithmic scale. It draws its line,
// tick marks and labels and may have one title. A value v lies (v - start) * scale inches
// (logarithmic: (log10 v - log10 start) * scale) from the origin along the line.
class Axis : public scaleableobject
{
    PV_DECLARE_SERIAL(Axis)

public:
    enum { MenuId = 103 };
    enum Command {
        SettingsCommand = 32774,
        TicksCommand = 32775,
        FontCommand = 32776,
        TitleCommand = 32800
    };
    // Upper bounds of one drawing: a spacing far below the range would otherwise ask for
    // millions of marks. Marks and labels past these are not drawn.
    static constexpr int maxTickMarks = 10000;
    static constexpr int maxLabels = 1000;
    // A label's text is cut to this many characters.
    static constexpr int maxLabelLength = 14;
    // The shortest axis a sizing drag leaves, inches.
    static constexpr float minDragLength = 0.01f;

    Axis() = default;
    // Copies everything but the title: zoom keeps such copies to undo.
    Axis(const Axis& other);
    Axis& operator=(const Axis&) = delete;
    ~Axis() override;

    void Serialize(Archive& ar) override;
    void Draw(DeviceContext& dc) override;
    void Print(DeviceContext& dc, PrintInfo& info) override;
    void ComputeRect() override;
    void Relayout() override;
    int EditProperties() override;
    visibleobject* ReleaseReference(visibleobject* other) override;
    Rect ScaleTo(int x, int y) override;
    int GetMenuId() const override { return MenuId; }
    int OnMenuCommand(int commandId) override;

    virtual void AutoTicks();
    virtual void AutoLogTicks();
    virtual void CopyAxis(const Axis& other);

    void Rescale();
    void SetLimits(double newStart, double newEnd);
    void SetLength(float newLength);
    void SetLog(bool on);
    // Derives the limits from the data of the traces plotted on this axis, when autoRange is set.
    void AutoRange();
    // Exact comparison of length, angle, origin, limits and scale type.
    bool IsSameAs(const Axis& other) const;
    // Exact comparison of what maps a value to a distance along the axis: length, direction,
    // limits and scale type, but not the origin. Points laid out from the origin stay valid
    // while this holds.
    bool HasSameScaleAs(const Axis& other) const;
    void SetLabelFont(const LogFont& font, int pointSizeTenths);

    // The line, then its ticks and labels; dc in the page mapping.
    void DrawAxis(DeviceContext& dc);
    // The text of the label of tick n.
    QString FormatLabel(int64_t n) const;
    // Draws one label beside its tick point (x, y); offsets and point in logical units.
    void PlaceLabel(DeviceContext& dc, int x, int y, int offsetX, int offsetY,
                    const QString& text) const;

    // Opens the title's dialog, first creating the title when the axis has none.
    int EditTitle();
    // Takes the title off the page list and deletes it; a title not on the page only forgets
    // the axis.
    void RemoveTitle();
    // The title (not owned by the axis: the page list holds it), or null.
    visibleobject* GetTitle() const { return title; }
    void SetTitle(visibleobject* t) { title = t; }

    // Makes the title of an axis that has none yet; the result is bound to the axis and owned
    // by the caller. An AxisTitle unless another factory is installed; with none (null)
    // EditTitle answers 0. Returns the factory installed before.
    using TitleFactory = std::unique_ptr<visibleobject> (*)(Axis& axis);
    static TitleFactory setTitleFactory(TitleFactory factory);

    // Data value to page position (inches), and to logical units (0.001 inch, y up).
    double distanceOf(double value) const;
    QPointF pagePoint(double value) const;
    QPoint logicalPoint(double value) const;

    float GetLength() const { return length; }
    int GetAngle() const { return angle; }
    double GetDirX() const { return dirX; }
    double GetDirY() const { return dirY; }
    double GetScale() const { return scale; }
    double GetStart() const { return start; }
    double GetEnd() const { return end; }
    bool GetAutoRange() const { return autoRange; }
    void SetAutoRange(bool on) { autoRange = on; }
    bool GetLogScale() const { return logScale; }
    tickstruct& GetTicks() { return ticks; }
    const tickstruct& GetTicks() const { return ticks; }

    // Page units to logical units: trunc(v * 1000), held inside +-1e9 (a million inches) so
    // that non-finite or huge values cannot overflow the integer arithmetic after it.
    static int toLogical(double inches);
    static int toLogical(float inches);

    float length = 1.0f; // inches
    int angle = 0;       // degrees counter-clockwise from the page's x direction
    double dirX = 1.0;
    double dirY = 0.0;
    double scale = 1.0; // inches per data unit (logarithmic: per decade); never stored
    double start = 0.0;
    double end = 1.0;
    bool autoRange = true;
    bool logScale = false;
    visibleobject* title = nullptr; // the axis's AxisTitle, held in the page list
    tickstruct ticks;

private:
    // What one drawing of the ticks and labels works with, checked and corrected once. Tick i
    // has the value firstTick + spacing * i (logarithmic: that exponent); only ticks within the
    // limits are visited, from the origin's end on.
    struct TickPlan
    {
        double origin;    // start, or log10 start
        double far;       // end, or log10 end
        double tolerance; // how far beyond a limit a tick still lies on the axis
        double low, high; // the limits, widened by the tolerance
        double spacing;   // tickSpacing, never 0 or non-finite
        int64_t interval; // labelInterval, at least 1
        int direction;    // +1 when rising indices lead away from the origin, else -1
    };
    // The indices from, from + direction, ..., to of the points firstTick + step * i that lie
    // within the plan's limits; with `cover`, of the steps that reach into them (one more at
    // each end). Empty when from and to are the wrong way round for the direction.
    struct IndexRun
    {
        int64_t from, to;
    };
    bool planTicks(TickPlan& plan) const;
    IndexRun indexRun(const TickPlan& plan, double step, bool cover) const;
    bool onAxis(const TickPlan& plan, double value) const;
    // The point of a tick of the given value computed as `p`, put exactly on the limit it
    // lies at within the tolerance.
    QPoint snapToLimits(const TickPlan& plan, double value, QPoint p) const;
    void drawTicks(DeviceContext& dc, const TickPlan& plan) const;
    void drawLogTicks(DeviceContext& dc, const TickPlan& plan) const;
    void drawLabels(DeviceContext& dc, const TickPlan& plan) const;
    void drawTickMark(DeviceContext& dc, QPoint p, float tickLength) const;
    QPoint tickPoint(double offsetFromOrigin) const;
    bool beforeOrigin(QPoint p) const;
    void drawWithBlackPen(DeviceContext& dc);
    // Tick lengths, label offsets and label format of automatic ticks, linear or logarithmic.
    void setAutomaticTickLook();
};
