#pragma once

class QImage;
class QIODevice;

// Writes an opaque picture as a PNG file of 8-bit RGB with the image's resolution. The rows are
// deflated with run-length matching only, which suits pages of flat colour crossed by thin
// lines: about as small as the general encoder makes them, several times faster. Returns false
// when the device refused a write or memory ran out; what was written is then incomplete.
bool writePng(const QImage& image, QIODevice& device);
