#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

class PlotDocument;
class visibleobject;

namespace PageExport {
constexpr int defaultDpi = 150;
constexpr int minDpi = 10;
constexpr int maxDpi = 2400;
// A picture larger than this (width x height in pixels) is refused rather than allocated.
constexpr long long maxPixels = 100'000'000;
} // namespace PageExport

enum class PageFormat { Pdf, Svg, Png };

// The format a name stands for ("pdf", "svg" or "png", in any case); none for another name.
std::optional<PageFormat> pageFormatNamed(const QString& name);

// Renders the page of a document to a file through the printing path, one page the size of
// the program's printer page (9 x 7 inches without a printer). PDF and SVG are vector pictures
// that keep every coordinate to a thousandth of an inch or finer whatever dpi says; an SVG's
// user unit is a thousandth of an inch and its size is the page's in real units. PNG has dpi
// pixels per inch and a white background; dpi 0 means defaultDpi.
// The output is written whole or not at all, as OutputFile writes it: a device or FIFO is
// written into, never replaced. Throws FileException naming the path when the resolution is
// outside PageExport::minDpi..maxDpi, the picture would be too large, or the file cannot be
// written (a write that fails half way included), and MemoryException when memory runs out;
// a failed export leaves an existing file as it was and no new file behind.
void exportPage(PlotDocument& doc, const QString& outPath, PageFormat format,
                int dpi = PageExport::defaultDpi);
// The same for some objects of the page only, cut to a region of the page in inches: its
// left and bottom edges from the page's bottom-left corner (as x and y), its width and height.
// The picture is the region's size.
void exportObjects(PlotDocument& doc, const QList<visibleobject*>& objects, const QRectF& region,
                   const QString& outPath, PageFormat format, int dpi = PageExport::defaultDpi);
// The same with the format chosen by the file name's extension; another extension throws
// FileException (badPath).
void exportPage(PlotDocument& doc, const QString& outPath, int dpi = PageExport::defaultDpi);
