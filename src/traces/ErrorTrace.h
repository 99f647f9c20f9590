#pragma once

#include "traces/Trace.h"

#include <cstdint>

class ColumnFile;
class DataColumn;

// A trace with error bars: besides its own line and symbols it draws, at every point, a thin
// black vertical bar from y - e to y + e with short caps, e read from one column of an error
// file (the trace's own data file or another one of the document's data file list).
class ErrorTrace : public Trace
{
    PV_DECLARE_SERIAL(ErrorTrace)

public:
    // Caps are this many logical units wide (0.15 inch), centred on the point.
    static constexpr int capWidth = 150;

    // For loading: no error file, error column 0.
    ErrorTrace() = default;
    // A copy of the trace whose errors come from its own data file: the column after the y
    // column when the file has one, else the file's last column.
    explicit ErrorTrace(const Trace& trace);
    ErrorTrace& operator=(const ErrorTrace&) = delete;

    // The Trace record, then the error file as an object reference (null allowed) and the
    // error column as a word.
    void Serialize(Archive& ar) override;
    // The Trace binding; an error column the error file no longer has becomes its last.
    void BindColumns() override;
    // Line and symbols, then the bars.
    void DrawData(DeviceContext& dc) override;
    ColumnFile* GetErrorFile() const override { return errorFile; }

    // Not owned; null removes the bars. The values are taken anew at every use.
    void SetErrorFile(ColumnFile* file);
    // 1-based column of the error file.
    int GetErrorColumn() const { return errorColumn; }
    void SetErrorColumn(int column);
    // The error values (not owned), or null when there are none: no error file, or a column
    // it does not have.
    const DataColumn* GetErrorValues() const;

private:
    void drawBars(DeviceContext& dc) const;

    ColumnFile* errorFile = nullptr; // not owned: the document's data file list holds it
    uint16_t errorColumn = 0;
};
