#include "app/ExportDialog.h"
#include "app/CommandTable.h"
#include "app/MainWindow.h"
#include "app/PlotChild.h"
#include "doc/PlotDocument.h"
#include "platform/Profile.h"
#include "platform/ScriptedPrompter.h"
#include "traces/Trace.h"
#include "view/GraphView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

class ExportDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(Profile::path());
        frame.show();
        child = frame.openFile(QStringLiteral(PLOTVANE_EXAMPLES "/damped-oscillation.dat"));
        ASSERT_NE(child, nullptr);
        child->view()->viewport()->repaint();
    }
    void TearDown() override { QFile::remove(Profile::path()); }

    // File Export with the dialog answered: `look` sees it as it opens, then the format, the
    // file and the resolution are chosen and Save pressed (again until it closes: the dialog
    // may still be reading its folder); an overwrite question is answered Yes.
    void exportAs(const QString& filter, const QString& file, int dpi,
                  const std::function<void(ExportDialog&)>& look = {})
    {
        int seen = 0;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                box->button(QMessageBox::Yes)->click();
            } else if (auto* dialog = qobject_cast<ExportDialog*>(modal)) {
                if (seen++ == 0 && look)
                    look(*dialog);
                dialog->selectNameFilter(filter);
                dialog->dpiBox()->setValue(dpi);
                // Typed, as the user types it (selectFile leaves a focused name field alone).
                dialog->setDirectory(QFileInfo(file).absolutePath());
                if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    name->setText(QFileInfo(file).fileName());
                // Save, as the user presses it: from the event loop, so that this timer can
                // answer the question it may ask.
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        timer.start();
        frame.onCommand(FrameCmd::FileExport);
        EXPECT_GT(seen, 0);
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    PrompterScope scope{&prompter};
    MainWindow frame;
    PlotChild* child = nullptr;
};

TEST_F(ExportDialogTest, PageOrSelectionAndTheChoicesAreRemembered)
{
    const QString page = dir.filePath(QStringLiteral("page"));
    exportAs(QStringLiteral("PNG Files (*.png)"), page, 72);
    QImage picture(page + QStringLiteral(".png"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(9 * 72, 7 * 72));

    // The next export starts where this one ended; a selection is exported alone.
    GraphView* view = child->view();
    const Rect trace = child->document().FirstTrace()->GetRect();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(trace.left + trace.width() / 2, trace.top + trace.height() / 2));
    ASSERT_TRUE(view->hasSelection());
    const QRectF region = ExportDialog::selectionRegion(*view);
    const QString part = dir.filePath(QStringLiteral("part.png"));
    exportAs(QStringLiteral("PNG Files (*.png)"), part, 100, [&](ExportDialog& d) {
        EXPECT_EQ(QDir(d.directory()).absolutePath(), QDir(dir.path()).absolutePath());
        EXPECT_EQ(d.format(), PageFormat::Png);
        EXPECT_EQ(d.dpi(), 72);
        EXPECT_TRUE(d.dpiBox()->isEnabled());
    });
    picture.load(part);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.width(), std::lround(region.width() * 100));
    EXPECT_EQ(picture.height(), std::lround(region.height() * 100));
    EXPECT_LT(picture.width(), 9 * 100);
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(ExportDialogTest, AFailedExportSaysWhyAndLeavesTheFileAsItWas)
{
    const QString file = dir.filePath(QStringLiteral("old.png"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    // The whole page at the highest resolution is more pixels than a picture may have.
    exportAs(QStringLiteral("PNG Files (*.png)"), file, 2400);
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_TRUE(prompter.texts().front().startsWith(QStringLiteral("Could not export to ") + file))
        << prompter.texts().front().toStdString();
    EXPECT_TRUE(prompter.texts().front().contains(QStringLiteral("too large")));
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
}

} // namespace
