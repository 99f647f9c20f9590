#include "common/FakeView.h"
#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "ole/OleTestSupport.h"
#include "ole/VisibleOLE.h"
#include "platform/Archive.h"
#include "platform/CompoundFile.h"
#include "platform/PainterDC.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeOle1String(Archive& ar, const QByteArray& s)
{
    ar.writeDword(uint32_t(s.size() + 1));
    ar.write(s.constData(), size_t(s.size()));
    ar.writeByte(0);
}

// A VisibleOLE record of the older layout: schema word 0, the item as an OLE 1 stream, then
// the five values as 16-bit words.
QByteArray olderRecord(const QByteArray& native)
{
    Archive ar;
    ar.writeWord(0xFFFF);
    ar.writeWord(0);
    ar.writeWord(10);
    ar.write("VisibleOLE", 10);
    const float pos[2] = {1.5f, 2.5f};
    ar.write(pos, sizeof pos);
    ar.writeString(QStringLiteral("Old"));
    ar.writeWord(1);
    ar.writeString(QStringLiteral("item"));
    ar.writeDword(0x0501);
    ar.writeDword(2); // embedded
    writeOle1String(ar, "Paint.Picture");
    writeOle1String(ar, "");
    writeOle1String(ar, "");
    ar.writeDword(uint32_t(native.size()));
    ar.write(native.constData(), size_t(native.size()));
    ar.writeDword(0x0501);
    ar.writeDword(0); // no presentation
    for (int16_t v : {int16_t(5000), int16_t(2500), int16_t(-300), int16_t(150), int16_t(75)})
        ar.writeWord(uint16_t(v));
    return ar.data();
}

TEST(ClientItemTest, OlderLayoutWithSixteenBitValuesLoads)
{
    const QByteArray native = pngBytes(10, 10);
    Archive ar(olderRecord(native));
    std::unique_ptr<VisibleOLE> obj = ar.readOwnedObject<VisibleOLE>();
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->GetName(), QStringLiteral("Old"));
    EXPECT_EQ(obj->extent(), QSize(5000, 2500));
    EXPECT_EQ(obj->angle(), -300);
    EXPECT_EQ(obj->horizontalScale(), 150u);
    EXPECT_EQ(obj->verticalScale(), 75u);
    ASSERT_TRUE(obj->item());
    EXPECT_EQ(obj->item()->kind(), ClientItem::Kind::Ole1);
    EXPECT_EQ(obj->item()->className(), QStringLiteral("Paint.Picture"));
    EXPECT_EQ(obj->item()->content(), native);
    EXPECT_TRUE(obj->item()->isPicture());
    EXPECT_EQ(ar.bytesLeft(), 0u);
}

TEST(ClientItemTest, TruncatedOlderStreamEndsInAnArchiveError)
{
    const QByteArray record = olderRecord(pngBytes(10, 10));
    for (qsizetype cut : {qsizetype(40), qsizetype(70), record.size() - 12}) {
        Archive ar(record.left(cut));
        EXPECT_THROW(ar.readObject<VisibleOLE>(), ArchiveException) << cut;
    }
}

class EmbeddedDocumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerEmbeddedObjectClasses();
        ASSERT_TRUE(dir.isValid());
        path = QDir(dir.path()).filePath(QStringLiteral("plot.pvn"));
        label.text = QStringLiteral("Peak A");
        label.color = RGB(200, 0, 0);
        auto picture = std::make_unique<VisibleOLE>(ClientItem::fromPicture(png));
        picture->SetName(QStringLiteral("picture"));
        auto text = std::make_unique<VisibleOLE>(ClientItem::fromLabel(label));
        text->SetName(QStringLiteral("label"));
        text->setAngle(300);
        doc.AddObject(std::move(picture));
        doc.AddObject(std::move(text));
    }

    QTemporaryDir dir;
    QString path;
    PlotDocument doc;
    QByteArray png = pngBytes(40, 20);
    TextLabel label;
};

TEST_F(EmbeddedDocumentTest, PictureAndLabelKeepTheirBytesThroughSaveAndLoad)
{
    saveDocument(doc, path);
    const CompoundFileReader file(path);
    const QString contents = ClientItem::contentsStream();
    ASSERT_TRUE(file.hasStream({QStringLiteral("Embedding 1")}, contents));
    EXPECT_EQ(file.readStream({QStringLiteral("Embedding 1")}, contents), png);
    EXPECT_EQ(file.readStream({QStringLiteral("Embedding 2")}, contents), label.toBytes());

    std::unique_ptr<PlotDocument> loaded = loadDocument(path);
    ASSERT_EQ(loaded->GetObjects().count(), 2);
    auto* picture = dynamic_cast<VisibleOLE*>(loaded->GetObjects().GetAt(1));
    auto* text = dynamic_cast<VisibleOLE*>(loaded->GetObjects().GetAt(2));
    ASSERT_TRUE(picture && text);
    EXPECT_EQ(picture->item()->content(), png);
    EXPECT_EQ(picture->extent(), QSize(1058, 529)); // 40 x 20 pixels at 96 per inch
    EXPECT_EQ(text->item()->label(), label);
    EXPECT_EQ(text->angle(), 300);

    // Saved again, the streams are what they were.
    const QString again = QDir(dir.path()).filePath(QStringLiteral("again.pvn"));
    saveDocument(*loaded, again);
    const CompoundFileReader second(again);
    EXPECT_EQ(second.readStream({QStringLiteral("Embedding 1")}, contents), png);
    EXPECT_EQ(second.readStream({QStringLiteral("Embedding 2")}, contents), label.toBytes());
    EXPECT_EQ(second.readStream(contentsStreamName()), file.readStream(contentsStreamName()));
}

class GarbageEmbeddingTest : public EmbeddedDocumentTest,
                             public ::testing::WithParamInterface<QByteArray>
{};

TEST_P(GarbageEmbeddingTest, LoadsAndDrawsAPlaceholder)
{
    saveDocument(doc, path);
    const CompoundFileReader file(path);
    CompoundFileWriter writer(path);
    writer.writeStream(contentsStreamName(), file.readStream(contentsStreamName()));
    for (const QString& storage : {QStringLiteral("Embedding 1"), QStringLiteral("Embedding 2")})
        writer.writeStream({storage}, ClientItem::contentsStream(), GetParam());
    writer.commit();

    std::unique_ptr<PlotDocument> loaded = loadDocument(path);
    ASSERT_EQ(loaded->GetObjects().count(), 2);
    FakeView view;
    QImage page(800, 600, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    PainterDC dc(&painter, 96, 96);
    view.PrepareDC(dc);
    for (visibleobject* obj : loaded->GetObjects()) {
        auto* ole = dynamic_cast<VisibleOLE*>(obj);
        ASSERT_TRUE(ole);
        EXPECT_EQ(ole->item()->content(), GetParam());
        EXPECT_FALSE(ole->item()->isPicture());
        ole->SetView(&view);
        ole->ComputeRect();
        ole->Draw(dc);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, GarbageEmbeddingTest,
    ::testing::Values(QByteArray(), QByteArray("not a picture at all"), pngBytes(40, 20).left(60),
                      // a PNG header claiming a picture of 2^31 - 1 pixels square
                      QByteArray::fromHex("89504e470d0a1a0a0000000d494844527fffffff7fffffff0806"
                                          "000000"),
                      QByteArray("\xff\xff\xff\xff\xff", 5), QByteArray("<svg <svg <<<")));

} // namespace
