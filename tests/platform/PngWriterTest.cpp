#include "platform/PngWriter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A page-like picture: white, thin anti-aliased lines, a block of colour, odd sizes.
QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkBlue, 1.3));
    for (int i = 0; i < 40; ++i)
        painter.drawLine(QPointF(i * 7.3, 0), QPointF(width - i * 3.1, height - 1));
    painter.fillRect(QRect(width / 3, height / 4, width / 5, height / 6), QColor(200, 30, 90));
    painter.end();
    image.setDotsPerMeterX(5906);
    image.setDotsPerMeterY(3937);
    return image;
}

// Reads back as the same pixels at the same resolution, however the rows fall into chunks.
TEST(PngWriter, ReadsBackAsTheSamePicture)
{
    for (const QSize size : {QSize(1, 1), QSize(333, 17), QSize(1350, 1050)}) {
        const QImage image = picture(size.width(), size.height());
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(writePng(image, buffer));
        QImage back;
        ASSERT_TRUE(back.loadFromData(buffer.data(), "PNG")) << size.width();
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image) << size.width();
        EXPECT_EQ(back.dotsPerMeterX(), 5906);
        EXPECT_EQ(back.dotsPerMeterY(), 3937);
    }
}

TEST(PngWriter, RefusedWriteIsReported)
{
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(writePng(picture(50, 40), readOnly));
}

} // namespace
