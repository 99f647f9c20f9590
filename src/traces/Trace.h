#pragma once

#include "axes/Axis.h"
#include "page/visibleobject.h"
#include "platform/LogFont.h"
#include "platform/PenRecord.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class ColumnFile;
class DataColumn;
class DocumentServices;
class PageView;
class Trace;
class XAxis;
class YAxis;

// The page objects of a document in page order. A trace whose axis is deleted looks for
// another axis on the page through it; the plot document implements it beside
// DocumentServices (a trace finds it with a cast of its document).
class PageObjectSource
{
public:
    virtual ~PageObjectSource() = default;
    virtual QList<visibleobject*> pageObjects() const = 0;
};

// The document's error-bar operation, which the trace's "Error Bars" command hands the trace
// to. The operation may replace the trace on the page by a trace of another kind and delete it;
// it marks and refreshes the document itself. The plot document implements it (a trace finds
// it with a cast of its document).
class ErrorBarOperation
{
public:
    virtual ~ErrorBarOperation() = default;
    // True when the document changed.
    virtual bool EditErrorBars(Trace& trace) = 0;
};

// One plotted data set: an x and a y column of a data file, mapped through a horizontal and a
// vertical axis and drawn as a line, as a symbol at every point, or both. The trace refers to
// its data file and its axes and owns neither; its position is always the x axis's origin x and
// the y axis's origin y. Column numbers are 1-based, 0 meaning the point numbers 1, 2, ..., n.
class Trace : public visibleobject
{
    PV_DECLARE_SERIAL(Trace)

public:
    enum { MenuId = 104 };
    enum Command {
        DataSettingsCommand = 32777,
        LineTypeCommand = 32778,
        SymbolFontCommand = 32779,
        ColorCommand = 32780,
        MirrorXAxisCommand = 32793,
        MirrorYAxisCommand = 32794,
        ErrorBarsCommand = 32803
    };
    // Mapped points are held inside these logical coordinates, relative to the trace's position.
    static constexpr int maxCoordinate = 32757;
    static constexpr int minCoordinate = -32758;
    // Styled (non-solid) lines go to the device in polylines of at most this many points.
    static constexpr int maxPolylinePoints = 4096;

    // For loading: no file, no axes, column numbers 0.
    Trace();
    // A new trace on a data file with two new axes at the default origin (OriginX, OriginY),
    // x column 1 and y column 2. The trace holds the axes it made until the caller takes them
    // for the page (TakeMadeXAxis, TakeMadeYAxis); those never taken go with the trace. The trace
    // and its axes belong to `doc` (not owned; may be null), which their default names must not
    // clash with when there is no view.
    Trace(PageView* view, ColumnFile* file, DocumentServices* doc = nullptr);
    // The same, placed in a rectangle of the view in client pixels: the axes cross at its
    // bottom-left corner and run along its width and height.
    Trace(PageView* view, ColumnFile* file, const Rect& deviceRect);
    // Same file, axes and columns; the pen and symbol font are copied; no points, no zoom state,
    // no marker.
    Trace(const Trace& other);
    // As the copy, keeping this trace's own zoom state.
    Trace& operator=(const Trace& other);
    ~Trace() override;

    void Serialize(Archive& ar) override;
    void SetDefaultName() override;
    void Draw(DeviceContext& dc) override;
    void Print(DeviceContext& dc, PrintInfo& info) override;
    void ComputeRect() override;
    void Relayout() override;
    int EditProperties() override;
    bool IsIndependentOf(const visibleobject* other) const override;
    visibleobject* ReleaseReference(visibleobject* other) override;
    int EraseSelection(DeviceContext& dc) override;
    int GetMenuId() const override { return MenuId; }
    int OnMenuCommand(int commandId) override;

    // Line and symbols; dc in the page mapping with the window origin at the trace's position.
    virtual void DrawData(DeviceContext& dc);
    // Takes the position from the axes and checks the column numbers against the data file: a
    // column the file no longer has is replaced by its last. Tells the user nothing, since
    // drawing calls it.
    virtual void BindColumns();
    // The column check of BindColumns for the commands that change the columns or the file
    // (creation, choosing columns, rereading, loading): tells the user of every column number
    // it had to replace. The position is left as it is.
    void ReportLostColumns();
    // Reads the data file again; nonzero when it was read. Exceptions of the read pass through.
    virtual int Reread();
    // The file of the error bars, for traces that have them (not owned).
    virtual ColumnFile* GetErrorFile() const { return nullptr; }

    // The values plotted along x and y (not owned; null when there are none). A data file's
    // columns are fetched anew on every call, since a reread replaces them.
    virtual const DataColumn* GetXValues() const;
    virtual const DataColumn* GetYValues() const;
    // The smaller of the two value counts.
    int GetNumPoints() const;
    // Widens [min, max] by the finite values this trace plots along the axis; false when the
    // trace does not plot against it. The document's GetAxisDataRange folds all traces in.
    bool GetAxisDataRange(const visibleobject* axis, double& min, double& max) const;
    // Neighbouring points around x in ascending x, with the y values of the same rows (the data
    // readout and interpolation). Empty when the trace has no points.
    void GetWindow(double x, int count, std::vector<double>& xs, std::vector<double>& ys) const;
    // The points from LocateRank(x1) to LocateRank(x2) in ascending x, with their y values.
    void GetRange(double x1, double x2, std::vector<double>& xs, std::vector<double>& ys) const;

    // The data file (not owned). Set to null when the file is deleted: the trace then has no
    // values and draws nothing.
    ColumnFile* GetFile() const { return file; }
    void SetFile(ColumnFile* f);
    // The axes the constructor made, handed over once; null afterwards or when there were none.
    std::unique_ptr<Axis> TakeMadeXAxis() { return std::move(madeXAxis); }
    std::unique_ptr<Axis> TakeMadeYAxis() { return std::move(madeYAxis); }
    Axis* GetXAxis() const { return xAxis; }
    Axis* GetYAxis() const { return yAxis; }
    // Not owned; the points are recomputed at the next draw.
    void SetXAxis(Axis* axis);
    void SetYAxis(Axis* axis);
    int GetXColumn() const { return xColumn; }
    int GetYColumn() const { return yColumn; }
    void SetColumns(int x, int y);
    bool GetSort() const { return sortOnX; }
    void SetSort(bool on);

    // New axes over the range of the trace's x (or y) values, with the default length, at the
    // trace's position and with a name no object of the document has. Not yet on the page.
    std::unique_ptr<XAxis> CreateXAxis() const;
    std::unique_ptr<YAxis> CreateYAxis() const;
    // A copy of the x axis at the top of the plot box (of the y axis at its right side) with
    // ticks pointing the other way and no labels, added to the document's page list. Null when
    // there is no axis to copy or no document to add it to.
    Axis* MirrorXAxis();
    Axis* MirrorYAxis();
    // Moves both axes so that they cross at (px, py), inches.
    void MoveOrigin(float px, float py);
    // The x and y values as two columns of text, in stored order. Raises FileException when
    // the path is empty or the file cannot be written.
    void WriteData(const QString& path) const;

    // Maps the values through the axes into the point cache; 0 when there is no memory for it.
    int ComputePoints();
    // The cached points (logical units relative to the trace's position) and where the line
    // breaks: a point whose value is nan is left out and a new run starts after it.
    const std::vector<QPoint>& GetPoints() const { return points; }
    const std::vector<int>& GetRunStarts() const { return runStarts; }
    bool HasPoints() const { return pointsValid; }
    void DropPoints() { pointsValid = false; }
    double GetXFactor() const { return xFactor; }
    double GetYFactor() const { return yFactor; }
    double GetXOffset() const { return xOffset; }
    double GetYOffset() const { return yOffset; }
    double GetXHigh() const { return xHigh; }
    double GetXLow() const { return xLow; }
    double GetYHigh() const { return yHigh; }
    double GetYLow() const { return yLow; }

    // A point of the view (client pixels) as data values, through the mapping of the last point
    // computation.
    QPointF DeviceToData(QPoint devicePoint);
    // Moves the readout marker to the data point (x, y) and repaints where it was and where it
    // goes; called with the point already marked, it removes the marker.
    void DataToDevice(double dataX, double dataY);
    // The marker's point, logical units relative to the trace's position.
    std::optional<QPoint> GetMarker() const { return marker; }
    void ClearMarker() { marker.reset(); }
    // The marker as the view paints it over the page: a dotted line from the top of the plot
    // box down to the point. dc in the page mapping.
    void DrawMarker(DeviceContext& dc) const;

    // Data zoom to a rectangle of client pixels: when it lies wholly inside the plot box, keeps
    // copies of both axes for Unzoom, sets the axes' limits to the rectangle and switches their
    // automatic range off. False when the rectangle is not inside the plot box.
    bool ZoomTo(const Rect& focus);
    // The two halves of ZoomTo, for a zoom of several traces: every trace reads its corners
    // before any of them changes an axis, since traces may share one. Null when the rectangle
    // is not wholly inside the plot box; otherwise the data values at its top-left and
    // bottom-right corners.
    std::optional<std::pair<QPointF, QPointF>> ZoomCorners(const Rect& focus);
    void ZoomToData(const QPointF& topLeft, const QPointF& bottomRight);
    // Puts the axes back as they were before the last zoom.
    void Unzoom();
    bool CanUnzoom() const { return savedXAxis != nullptr; }

    // The look. No pen: no line; no symbol font: no symbols.
    const std::optional<PenRecord>& GetPen() const { return linePen; }
    void SetPen(const std::optional<PenRecord>& pen) { linePen = pen; }
    const std::optional<LogFont>& GetSymbolFont() const { return symbolFont; }
    void SetSymbolFont(const std::optional<LogFont>& font) { symbolFont = font; }
    ColorRef GetSymbolColor() const { return symbolColor; }
    void SetSymbolColor(ColorRef color) { symbolColor = color; }
    // Tenths of a point, as the font chooser reports it; 0 when not chosen.
    int GetSymbolSize() const { return symbolSize; }
    void SetSymbolSize(int tenths) { symbolSize = tenths; }
    uint8_t GetSymbolChar() const { return symbolChar; }
    void SetSymbolChar(uint8_t c) { symbolChar = c; }
    // Inches; the width of the printed line, 0 for thin.
    float GetLineWidth() const { return lineWidth; }
    void SetLineWidth(float w) { lineWidth = w; }

    // The symbol font and line colour commands; 1 when the user confirmed the chooser.
    int ChooseSymbolFont();
    int ChooseLineColor();

    // The number the next default name tries.
    static int nextNameNumber();

protected:
    void takePositionFromAxes();
    void copyFields(const Trace& other);
    // The symbol character as the text drawn.
    QString symbolText() const;

    ColumnFile* file = nullptr; // not owned
    Axis* xAxis = nullptr;      // not owned
    Axis* yAxis = nullptr;      // not owned
    Axis xSnapshot;             // the x axis as the points were last computed
    Axis ySnapshot;
    std::unique_ptr<Axis> madeXAxis; // made by the constructor, until taken
    std::unique_ptr<Axis> madeYAxis;
    std::unique_ptr<Axis> savedXAxis; // taken by ZoomTo
    std::unique_ptr<Axis> savedYAxis;
    uint16_t xColumn = 0;
    uint16_t yColumn = 0;
    bool sortOnX = false;
    double xHigh = 0.0;
    double xLow = 0.0;
    double yHigh = 0.0;
    double yLow = 0.0;
    double xFactor = 0.0; // logical units per data unit (per decade on a logarithmic axis)
    double xOffset = 0.0; // the x axis's start (its log10 on a logarithmic axis)
    double yFactor = 0.0;
    double yOffset = 0.0;
    std::optional<QPoint> marker;
    std::optional<PenRecord> linePen;
    std::optional<LogFont> symbolFont; // height in logical units
    ColorRef symbolColor = 0;
    int symbolSize = 0;
    uint8_t symbolChar = 0;
    float lineWidth = 0.0f;

    // The point cache: reused from one computation to the next, so a redraw allocates nothing.
    std::vector<QPoint> points;
    std::vector<int> runStarts; // indices into points where the line starts again after a gap
    bool pointsValid = false;
    uint64_t pointsGeneration = 0; // new with every computation of the points

private:
    // A solid line as last sent to a device: the points of each run that reach it. They hold
    // while the points and the scale of the device mapping stay; scrolling moves the device
    // origin by whole pixels, which moves every pixel alike. A copied trace makes its own.
    struct ReducedLine
    {
        ReducedLine() = default;
        ReducedLine(const ReducedLine&) {}
        ReducedLine& operator=(const ReducedLine&)
        {
            generation = 0;
            return *this;
        }
        uint64_t generation = 0; // of the points reduced; 0 for none
        QPoint windowOrg;
        QSize windowExt;
        QSize viewportExt;
        std::vector<QPoint> points;
        std::vector<int> runEnds; // indices into points
    };

    void computeLimits();
    // The cached points still hold for the axes as they are now. Both axes must be set.
    bool pointsCurrent() const;
    void drawLine(DeviceContext& dc) const;
    void drawSymbols(DeviceContext& dc) const;
    std::unique_ptr<DeviceContext> preparedClientDC() const;
    Axis* adoptAxis(const visibleobject* departing, Axis* sameKind, Axis* created) const;

    mutable ReducedLine reducedLine;
};
