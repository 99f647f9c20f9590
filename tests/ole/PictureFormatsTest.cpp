#include "ole/PictureFormats.h"
#include "ole/OleTestSupport.h"
#include "ole/VisibleOLE.h"
#include "platform/ScriptedPrompter.h"
#include "view/ViewTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

class PictureFormatsTest : public ::testing::Test
{
protected:
    QList<VisibleOLE*> embedded() const
    {
        QList<VisibleOLE*> found;
        for (visibleobject* obj : doc.GetObjects()) {
            if (auto* ole = dynamic_cast<VisibleOLE*>(obj))
                found.append(ole);
        }
        return found;
    }

    ScriptedPrompter prompter;
    PrompterScope prompterScope{&prompter};
    PlotDocument doc;
    TestWindow view{&doc};
    PictureFormats formats;
    ClipboardFormats::Registration registration{&formats};
};

TEST_F(PictureFormatsTest, PastedPngBecomesAnEmbeddedObjectOverTheFocusRectangle)
{
    const QByteArray png = pngBytes(30, 20);
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/png"), png);
    QApplication::clipboard()->setMimeData(data);
    const QMimeData* held = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(formats.canPaste(held));

    view.setFocusRect(Rect{50, 40, 150, 90});
    ASSERT_TRUE(formats.paste(view, *held, std::nullopt));
    ASSERT_EQ(embedded().size(), 1);
    VisibleOLE* obj = embedded().first();
    EXPECT_EQ(obj->item()->content(), png);
    EXPECT_EQ(obj->GetName(), QStringLiteral("Untitled"));
    EXPECT_NEAR(obj->GetRect().left, 50, 1);
    EXPECT_NEAR(obj->GetRect().top, 40, 1);
    EXPECT_NEAR(obj->GetRect().width(), 100, 1);
    EXPECT_NEAR(obj->GetRect().height(), 50, 1);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(PictureFormatsTest, DropPutsTheTopLeftAtThePointWithTheNaturalSize)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("image/png"), pngBytes(30, 20));
    ASSERT_TRUE(formats.paste(view, *data, QPoint(70, 60)));
    ASSERT_EQ(embedded().size(), 1);
    const Rect r = embedded().first()->GetRect();
    EXPECT_NEAR(r.left, 70, 1);
    EXPECT_NEAR(r.top, 60, 1);
    EXPECT_NEAR(r.width(), 30, 1);
    EXPECT_NEAR(r.height(), 20, 1);
}

TEST_F(PictureFormatsTest, PictureFilesArePastedAndDataFilesLeftToTheView)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("a.png"));
    const QString dataFile = dir.filePath(QStringLiteral("a.dat"));
    {
        QFile f(picture);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(pngBytes(8, 8));
        QFile d(dataFile);
        ASSERT_TRUE(d.open(QIODevice::WriteOnly));
        d.write("1 2\n3 4\n");
    }
    QMimeData dataOnly;
    dataOnly.setUrls({QUrl::fromLocalFile(dataFile)});
    EXPECT_FALSE(formats.canPaste(&dataOnly));
    QMimeData both;
    both.setUrls({QUrl::fromLocalFile(dataFile), QUrl::fromLocalFile(picture)});
    ASSERT_TRUE(formats.canPaste(&both));
    ASSERT_TRUE(formats.paste(view, both, QPoint(10, 10)));
    EXPECT_EQ(embedded().size(), 1);
}

TEST_F(PictureFormatsTest, BrokenPictureShowsThePasteFailureAndAddsNothing)
{
    QMimeData data;
    data.setData(QStringLiteral("image/png"), QByteArray("\x89PNG broken"));
    EXPECT_FALSE(formats.paste(view, data, std::nullopt));
    EXPECT_TRUE(embedded().isEmpty());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Error pasteing from clipboard!")});
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
