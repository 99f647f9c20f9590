#pragma once

#include <QString>

class VaneDoc;

namespace PageExport {
constexpr int defaultDpi = 150;
constexpr int minDpi = 10;
constexpr int maxDpi = 2400;
// A picture larger than this (width x height in pixels) is refused rather than allocated.
constexpr long long maxPixels = 100'000'000;
} // namespace PageExport

// Renders the page of a document to a file through the printing path, one page the size of
// the program's printer page (9 x 7 inches without a printer). The file's extension chooses
// the format: .pdf (vector, laid out at 1200 dpi whatever dpi says), .svg (vector, user units
// are pixels at dpi) or .png (dpi pixels per inch, white background); dpi 0 means defaultDpi.
// Throws FileException naming the path when the extension is unknown, the resolution is
// outside PageExport::minDpi..maxDpi, the picture would be too large, or the file cannot be
// written; a failed export leaves no file behind.
void exportPage(VaneDoc& doc, const QString& outPath, int dpi = PageExport::defaultDpi);
