#include "platform/PngWriter.h"

#include <QIODevice>
#include <QImage>
#include <algorithm>
#include <array>
#include <cstdint>
#include <new>
#include <vector>
#include <zlib.h>

namespace {

void putBigEndian(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

bool writeChunk(QIODevice& device, const char* type, const uint8_t* data, uint32_t size)
{
    std::array<uint8_t, 8> head;
    putBigEndian(head.data(), size);
    std::copy(type, type + 4, head.begin() + 4);
    uLong crc = crc32(0, head.data() + 4, 4);
    if (size > 0)
        crc = crc32(crc, data, size);
    std::array<uint8_t, 4> tail;
    putBigEndian(tail.data(), uint32_t(crc));
    return device.write(reinterpret_cast<const char*>(head.data()), 8) == 8 &&
           (size == 0 || device.write(reinterpret_cast<const char*>(data), size) == size) &&
           device.write(reinterpret_cast<const char*>(tail.data()), 4) == 4;
}

struct Deflater
{
    z_stream stream{};
    bool ready = false;
    ~Deflater()
    {
        if (ready)
            deflateEnd(&stream);
    }
};

} // namespace

bool writePng(const QImage& picture, QIODevice& device)
{
    const QImage image =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
            ? picture
            : picture.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return false;
    const int width = image.width(), height = image.height();
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    if (device.write(signature, 8) != 8)
        return false;
    std::array<uint8_t, 13> header{};
    putBigEndian(header.data(), uint32_t(width));
    putBigEndian(header.data() + 4, uint32_t(height));
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    if (!writeChunk(device, "IHDR", header.data(), 13))
        return false;
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        std::array<uint8_t, 9> physical{};
        putBigEndian(physical.data(), uint32_t(image.dotsPerMeterX()));
        putBigEndian(physical.data() + 4, uint32_t(image.dotsPerMeterY()));
        physical[8] = 1; // per metre
        if (!writeChunk(device, "pHYs", physical.data(), 9))
            return false;
    }

    Deflater z;
    if (deflateInit2(&z.stream, 6, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
        return false;
    z.ready = true;
    try {
        std::vector<uint8_t> row(1 + size_t(width) * 3);
        std::vector<uint8_t> out(size_t(1) << 16);
        for (int y = 0; y < height; ++y) {
            const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            row[0] = 0; // no filter
            uint8_t* p = row.data() + 1;
            for (int x = 0; x < width; ++x) {
                *p++ = uint8_t(qRed(pixels[x]));
                *p++ = uint8_t(qGreen(pixels[x]));
                *p++ = uint8_t(qBlue(pixels[x]));
            }
            z.stream.next_in = row.data();
            z.stream.avail_in = uInt(row.size());
            const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
            int result;
            do {
                z.stream.next_out = out.data();
                z.stream.avail_out = uInt(out.size());
                result = deflate(&z.stream, flush);
                if (result == Z_STREAM_ERROR)
                    return false;
                const uint32_t produced = uint32_t(out.size() - z.stream.avail_out);
                if (produced > 0 && !writeChunk(device, "IDAT", out.data(), produced))
                    return false;
            } while (z.stream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return writeChunk(device, "IEND", nullptr, 0);
}
