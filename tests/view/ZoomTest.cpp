#include "ViewTestSupport.h"

#include "data/ColumnFile.h"
#include "doc/DocumentCommands.h"
#include "platform/ScriptedPrompter.h"
#include "traces/Trace.h"
#include "view/DataCursorDialog.h"
#include "view/ViewScaleDialog.h"
#include "view/ZoomCommands.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Limits
{
    double xStart, xEnd, yStart, yEnd;
    bool operator==(const Limits&) const = default;
};

Limits limitsOf(const Trace& t)
{
    return {t.GetXAxis()->start, t.GetXAxis()->end, t.GetYAxis()->start, t.GetYAxis()->end};
}

// A plot window over traces of small data files; the zoom commands installed.
class ZoomTest : public ::testing::Test
{
protected:
    ZoomTest() { installZoomCommands(); }

    // A trace on a new file of x y rows; placed in `where` (client pixels) on axes of its own,
    // otherwise on the axes of the first trace.
    Trace* addTrace(const char* rows, const Rect& where = Rect{})
    {
        const QString path = QDir(dir.path()).filePath(QStringLiteral("d%1.dat").arg(++files));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(rows);
        f.close();
        auto* file = new ColumnFile(path);
        EXPECT_NE(file->ReadFile(), 0);
        doc.GetFiles().AddUnique(file);
        view.setFocusRect(where);
        Trace* trace = doc.NewTrace(file);
        view.setFocusRect(Rect{});
        return trace;
    }
    bool enabled(int id) { return isCommandEnabled(id, doc, &view); }
    void zoomTo(const Rect& band)
    {
        view.setFocusRect(band);
        ASSERT_TRUE(enabled(Cmd::DataZoom));
        ASSERT_TRUE(onCommand(Cmd::DataZoom, doc));
    }

    QTemporaryDir dir;
    int files = 0;
    PlotDocument doc;
    TestWindow view{&doc, 900, 700};
};

// A band well inside a plot box, client pixels.
Rect inner(const Rect& box, int margin)
{
    return Rect{box.left + margin, box.top + margin, box.right - margin, box.bottom - margin};
}

TEST_F(ZoomTest, ZoomTwiceThenUnzoomRestoresTheLimitsBeforeTheSecondZoom)
{
    Trace* t = addTrace("0 0\n1 1\n2 4\n3 9\n4 16\n");
    const Limits original = limitsOf(*t);
    EXPECT_FALSE(enabled(Cmd::DataZoom)) << "no band";
    EXPECT_FALSE(enabled(Cmd::DataUnzoom));

    const Rect band = inner(t->GetRect(), 40);
    const QPointF topLeft = t->DeviceToData(QPoint(band.left, band.top));
    const QPointF bottomRight = t->DeviceToData(QPoint(band.right, band.bottom));
    zoomTo(band);
    const Limits once = limitsOf(*t);
    EXPECT_EQ(once, (Limits{topLeft.x(), bottomRight.x(), bottomRight.y(), topLeft.y()}));
    EXPECT_FALSE(t->GetXAxis()->GetAutoRange());
    EXPECT_FALSE(t->GetYAxis()->GetAutoRange());
    EXPECT_TRUE(enabled(Cmd::DataUnzoom));

    zoomTo(inner(t->GetRect(), 60));
    EXPECT_NE(limitsOf(*t), once);
    ASSERT_TRUE(onCommand(Cmd::DataUnzoom, doc));
    EXPECT_EQ(limitsOf(*t), once);
    EXPECT_NE(limitsOf(*t), original);
    EXPECT_FALSE(enabled(Cmd::DataUnzoom)) << "one level of undo";
}

TEST_F(ZoomTest, DataZoomNeedsABandAndNoSelection)
{
    Trace* t = addTrace("0 0\n1 1\n2 4\n");
    view.setFocusRect(inner(t->GetRect(), 20));
    EXPECT_TRUE(enabled(Cmd::DataZoom));
    auto list = std::make_unique<visiblelist>();
    list->AddUnique(t);
    view.SetSelection(std::move(list));
    EXPECT_FALSE(enabled(Cmd::DataZoom));
}

// Both traces read the band through the axes as they were before either zoomed them.
TEST_F(ZoomTest, TracesOnSharedAxesZoomToTheBandAndUnzoomBack)
{
    Trace* a = addTrace("0 0\n1 1\n2 4\n3 9\n4 16\n");
    Trace* b = addTrace("0 16\n2 8\n4 0\n");
    ASSERT_EQ(a->GetXAxis(), b->GetXAxis());
    ASSERT_EQ(a->GetYAxis(), b->GetYAxis());
    const Limits original = limitsOf(*a);
    const Rect band = inner(a->GetRect(), 50);
    const QPointF topLeft = a->DeviceToData(QPoint(band.left, band.top));
    const QPointF bottomRight = a->DeviceToData(QPoint(band.right, band.bottom));

    zoomTo(band);
    EXPECT_EQ(limitsOf(*a), (Limits{topLeft.x(), bottomRight.x(), bottomRight.y(), topLeft.y()}));
    ASSERT_TRUE(onCommand(Cmd::DataUnzoom, doc));
    EXPECT_EQ(limitsOf(*a), original);
}

TEST_F(ZoomTest, ATracePartlyOutsideTheBandIsUntouched)
{
    Trace* a = addTrace("0 0\n1 1\n2 4\n", Rect{100, 100, 400, 400});
    Trace* b = addTrace("0 5\n1 6\n2 7\n", Rect{300, 150, 700, 500});
    ASSERT_NE(a->GetXAxis(), b->GetXAxis());
    const Limits before = limitsOf(*b);
    const Rect band{150, 200, 350, 350}; // inside a, crossing b's left edge
    ASSERT_EQ(band.intersected(a->GetRect()), band);

    zoomTo(band);
    EXPECT_TRUE(a->CanUnzoom());
    EXPECT_FALSE(b->CanUnzoom());
    EXPECT_EQ(limitsOf(*b), before);
    EXPECT_TRUE(b->GetXAxis()->GetAutoRange());
}

struct ScaleCase
{
    const char* typed;
    float scale; // the view scale afterwards
    const char* message;
};

class ViewScaleTest : public ZoomTest, public ::testing::WithParamInterface<ScaleCase>
{};

TEST_P(ViewScaleTest, OnlyScalesFromATenthToTenAreTaken)
{
    ScriptedPrompter prompter;
    PrompterScope scope(&prompter);
    ViewScaleDialog dialog(view);
    EXPECT_EQ(dialog.scaleEdit()->text(), QStringLiteral("1"));
    dialog.scaleEdit()->setText(QLatin1String(GetParam().typed));
    dialog.accept();
    EXPECT_EQ(view.viewScale(), GetParam().scale);
    EXPECT_EQ(prompter.texts().join(QLatin1Char('|')), QLatin1String(GetParam().message));
    EXPECT_EQ(dialog.result(), *GetParam().message ? QDialog::Rejected : QDialog::Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewScaleTest,
    ::testing::Values(ScaleCase{"0.05", 1.0f, "Please enter a number between 0.1 and 10."},
                      ScaleCase{"20", 1.0f, "Please enter a number between 0.1 and 10."},
                      ScaleCase{"0.1", 0.1f, ""}, ScaleCase{"2.5", 2.5f, ""}));

// A trace whose x axis runs from 0 to 6 over 6 inches, so that every 96 pixels from its origin
// are one data unit exactly.
class ReadoutTest : public ZoomTest
{
protected:
    ReadoutTest()
    {
        trace = addTrace("3 30\n1 10\n4 40\n2 20\n");
        Axis* x = trace->GetXAxis();
        x->SetLength(6.0f);
        x->SetAutoRange(false);
        x->SetLimits(0.0, 6.0);
        doc.Refresh();
        origin = trace->GetRect().left;
    }
    Trace* trace = nullptr;
    int origin = 0;
};

struct ReadoutCase
{
    int pixels; // right of the origin
    const char* cursorX;
    const char* dataX;
    const char* dataY;
};

class ReadoutPointTest : public ReadoutTest, public ::testing::WithParamInterface<ReadoutCase>
{};

TEST_P(ReadoutPointTest, ShowsThePointBeforeTheCursor)
{
    DataCursorDialog* d = DataCursorDialog::open(view);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->trace(), trace);
    d->readout(QPoint(origin + GetParam().pixels, trace->GetRect().top + 10));
    EXPECT_EQ(d->cursorXEdit()->text(), QLatin1String(GetParam().cursorX));
    EXPECT_EQ(d->dataXEdit()->text(), QLatin1String(GetParam().dataX));
    EXPECT_EQ(d->dataYEdit()->text(), QLatin1String(GetParam().dataY));
    EXPECT_TRUE(trace->GetMarker().has_value());
    d->reject();
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadoutPointTest,
                         ::testing::Values(ReadoutCase{48, "0.5", "1", "10"},  // left of all data
                                           ReadoutCase{96, "1", "1", "10"},    // on the first
                                           ReadoutCase{192, "2", "1", "10"},   // on a data x
                                           ReadoutCase{240, "2.5", "2", "20"}, // between
                                           ReadoutCase{528, "5.5", "4", "40"}));

TEST_F(ReadoutTest, SeveralReadoutsFollowThePointerAndTakeTheirMarkersAlongWhenClosed)
{
    ASSERT_TRUE(enabled(Cmd::DataReadout));
    ASSERT_TRUE(onCommand(Cmd::DataReadout, doc));
    DataCursorDialog* second = DataCursorDialog::open(view);
    ASSERT_EQ(DataCursorDialog::readouts(view).size(), 2);
    DataCursorDialog* first = DataCursorDialog::readouts(view).first();
    EXPECT_EQ(DataCursorDialog::readouts(view), (QList<DataCursorDialog*>{first, second}));
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(first->dataSetBox()->currentText(), trace->GetName());

    const QImage before = view.picture();
    const QPoint at(origin + 240, trace->GetRect().top + 10);
    QMouseEvent move(QEvent::MouseMove, at, view.viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
    EXPECT_EQ(first->dataXEdit()->text(), QStringLiteral("2"));
    EXPECT_EQ(second->dataXEdit()->text(), QStringLiteral("2"));
    ASSERT_TRUE(trace->GetMarker().has_value());

    // The marker line stands in the point's column above the point.
    const QImage marked = view.picture();
    const int column = origin + 192;
    int changed = 0;
    for (int y = trace->GetRect().top; y < trace->GetRect().bottom; ++y)
        changed += before.pixel(column, y) != marked.pixel(column, y);
    EXPECT_GT(changed, 10);

    DataCursorDialog::closeAll(view);
    EXPECT_TRUE(DataCursorDialog::readouts(view).isEmpty());
    EXPECT_FALSE(trace->GetMarker().has_value());
}

// Another data set moves the readout to its trace and takes the marker off the first.
TEST_F(ReadoutTest, ChangingTheDataSetTakesTheMarkerAlong)
{
    Trace* other = addTrace("1 5\n2 6\n");
    DataCursorDialog* d = DataCursorDialog::open(view);
    const int index = d->dataSetBox()->findText(trace->GetName());
    ASSERT_GE(index, 0);
    d->dataSetBox()->setCurrentIndex(index);
    d->readout(QPoint(origin + 240, trace->GetRect().top + 10));
    ASSERT_TRUE(trace->GetMarker().has_value());

    d->dataSetBox()->setCurrentIndex(d->dataSetBox()->findText(other->GetName()));
    EXPECT_EQ(d->trace(), other);
    EXPECT_FALSE(trace->GetMarker().has_value());
    d->readout(QPoint(origin + 240, trace->GetRect().top + 10));
    EXPECT_EQ(d->dataXEdit()->text(), QStringLiteral("2"));
    EXPECT_EQ(d->dataYEdit()->text(), QStringLiteral("6"));
    EXPECT_TRUE(other->GetMarker().has_value());
    d->reject();
    EXPECT_FALSE(other->GetMarker().has_value());
}

// The readout of a trace deleted under it reads nothing more, and closing it touches nothing.
TEST_F(ReadoutTest, AReadoutOutlivesItsTrace)
{
    ScriptedPrompter prompter;
    PrompterScope scope(&prompter);
    prompter.setDefaultAnswer(Prompter::Answer::Yes);
    DataCursorDialog* d = DataCursorDialog::open(view);
    const QPoint at(origin + 240, trace->GetRect().top + 10);
    d->readout(at);
    ASSERT_TRUE(doc.DeleteObject(trace));
    EXPECT_EQ(d->trace(), nullptr);
    d->readout(at);
    d->reject();
    EXPECT_TRUE(DataCursorDialog::readouts(view).isEmpty());
}

} // namespace
