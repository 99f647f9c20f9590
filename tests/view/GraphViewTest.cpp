#include "ViewTestSupport.h"

#include "data/ColumnFile.h"
#include "platform/RecordingDC.h"
#include "view/PagePrinter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

class GraphViewTest : public ::testing::Test
{
protected:
    // The page owns the box; the view lays it out.
    Box* addBox(float x, float y, float w, float h, ColorRef color = RGB(255, 0, 0))
    {
        auto box = std::make_unique<Box>(x, y, w, h, color);
        return static_cast<Box*>(doc.GetObjects().Add(std::move(box)));
    }

    PlotDocument doc; // outlives the views below
};

// --- the page mapping ---

struct MappingCase
{
    float ppi;
    float scale;
    int scrollX;
    int scrollY;
    QPoint inchPoint; // (1 in, 1 in) lands here, client pixels of a 400 x 300 client area
};

class PageMappingTest : public GraphViewTest, public ::testing::WithParamInterface<MappingCase>
{};

TEST_P(PageMappingTest, OneInchFromTheOriginInBothDirections)
{
    const MappingCase c = GetParam();
    addBox(0, 0, 20, 20); // room to scroll anywhere
    TestWindow view(&doc);
    view.setResolution(c.ppi, c.ppi);
    view.setViewScale(c.scale);
    if (c.scrollX)
        view.OnScroll(Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition, c.scrollX);
    if (c.scrollY)
        view.OnScroll(Qt::Vertical, PageScrollView::ScrollCode::ThumbPosition, c.scrollY);
    ASSERT_EQ(view.scrollX(), c.scrollX);
    ASSERT_EQ(view.scrollY(), c.scrollY);

    RecordingDC dc;
    view.PrepareDC(dc);
    EXPECT_EQ(dc.LPtoDP(QPoint(1000, 1000)), c.inchPoint);
    EXPECT_EQ(dc.LPtoDP(QPoint(0, 0)), QPoint(-c.scrollX, 300 - c.scrollY));
    EXPECT_EQ(dc.DPtoLP(c.inchPoint), QPoint(1000, 1000));
}

INSTANTIATE_TEST_SUITE_P(Cases, PageMappingTest,
                         ::testing::Values(MappingCase{96, 1, 0, 0, {96, 204}},
                                           MappingCase{96, 2, 0, 0, {192, 108}},
                                           MappingCase{96, 1, 50, -30, {46, 234}},
                                           MappingCase{96, 2, 100, -200, {92, 308}},
                                           MappingCase{120, 1.25f, 0, 0, {150, 150}}));

TEST_F(GraphViewTest, ObjectRectanglesFollowTheMappingAndTheScroll)
{
    Box* box = addBox(1, 1, 0.5f, 0.25f);
    addBox(0, 0, 20, 20, RGB(255, 255, 255));
    TestWindow view(&doc);
    EXPECT_EQ(box->GetRect(), (Rect{96, 180, 144, 204}));
    view.setViewScale(2);
    EXPECT_EQ(box->GetRect(), (Rect{192, 60, 288, 108}));
    view.OnScroll(Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition, 100);
    EXPECT_EQ(box->GetRect(), (Rect{92, 60, 188, 108}));
}

// --- focus origin ---

struct FocusCase
{
    Rect focus;
    float scale;
    int scrollX;
    int scrollY;
    float x, y; // inches
};

class FocusOriginTest : public GraphViewTest, public ::testing::WithParamInterface<FocusCase>
{};

TEST_P(FocusOriginTest, LowerLeftCornerInInches)
{
    const FocusCase c = GetParam();
    addBox(0, 0, 20, 20);
    TestWindow view(&doc);
    view.setViewScale(c.scale);
    view.OnScroll(Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition, c.scrollX);
    view.OnScroll(Qt::Vertical, PageScrollView::ScrollCode::ThumbPosition, c.scrollY);
    view.setFocusRect(c.focus);
    float x = -1, y = -1;
    view.FocusOriginInches(x, y);
    EXPECT_FLOAT_EQ(x, c.x);
    EXPECT_FLOAT_EQ(y, c.y);
}

INSTANTIATE_TEST_SUITE_P(Cases, FocusOriginTest,
                         ::testing::Values(FocusCase{{96, 100, 200, 204}, 1, 0, 0, 1, 1},
                                           FocusCase{{96, 100, 200, 204}, 2, 0, 0, 0.5f, 0.5f},
                                           FocusCase{{96, 100, 200, 204}, 1, 96, -96, 2, 2},
                                           FocusCase{{96, 100, 96, 204}, 1, 0, 0, 0, 0},
                                           FocusCase{{}, 1, 0, 0, 0, 0}));

// --- scroll ranges ---

TEST_F(GraphViewTest, ContentLargerThanTheWindowGivesFullSizeRanges)
{
    addBox(0, 0, 10, 8); // 960 x 768 pixels
    TestWindow view(&doc);
    EXPECT_EQ(view.bar(Qt::Horizontal)->minimum(), 0);
    EXPECT_EQ(view.bar(Qt::Horizontal)->maximum(), 960);
    EXPECT_EQ(view.bar(Qt::Vertical)->minimum(), -768);
    EXPECT_EQ(view.bar(Qt::Vertical)->maximum(), 0);
}

TEST_F(GraphViewTest, WindowLargerThanTheContentHasNoRangesAndScrollsHome)
{
    addBox(0, 0, 10, 8);
    TestWindow view(&doc);
    view.OnScroll(Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition, 300);
    view.OnScroll(Qt::Vertical, PageScrollView::ScrollCode::ThumbPosition, -300);
    view.resize(1200, 1000);
    QApplication::processEvents();
    EXPECT_EQ(view.scrollX(), 0);
    EXPECT_EQ(view.scrollY(), 0);
    EXPECT_EQ(view.bar(Qt::Horizontal)->maximum(), 0);
    EXPECT_EQ(view.bar(Qt::Vertical)->minimum(), 0);
    // The bars are shown only when there is something to scroll.
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QApplication::processEvents();
    EXPECT_FALSE(view.bar(Qt::Horizontal)->isVisible());
}

TEST_F(GraphViewTest, ResizingAndResettingReachThePrinterPage)
{
    if (programHasPrinter())
        GTEST_SKIP() << "a printer is installed; the page is not 9 x 7 inches";
    addBox(0, 0, 1, 1);
    TestWindow view(&doc); // 400 x 300; the box is at (0, 204)-(96, 300)
    EXPECT_EQ(view.pageSize(), QSize(864, 672));
    // The page reaches from the origin 864 pixels right and 672 up, beyond the box.
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(view.bar(Qt::Horizontal)->maximum(), 864);
        EXPECT_EQ(view.bar(Qt::Vertical)->minimum(), -672);
        view.OnSize();
    }
}

TEST_F(GraphViewTest, MinimizingLeavesTheScrollStateAlone)
{
    addBox(0, 0, 10, 8);
    TestWindow view(&doc);
    view.OnScroll(Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition, 300);
    view.setWindowState(Qt::WindowMinimized);
    const int resizes = view.resizes;
    view.resize(1200, 1000);
    QApplication::processEvents();
    ASSERT_GT(view.resizes, resizes);
    EXPECT_EQ(view.scrollX(), 300);
    EXPECT_EQ(view.bar(Qt::Horizontal)->maximum(), 960);
}

TEST_F(GraphViewTest, ResetTakesBackAPositionPastTheContent)
{
    if (programHasPrinter())
        GTEST_SKIP() << "a printer is installed; the page is not 9 x 7 inches";
    Box* big = addBox(0, 0, 10, 8);
    addBox(0, 0, 6, 5);
    TestWindow view(&doc);
    view.OnScroll(Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition, 900);
    view.OnScroll(Qt::Vertical, PageScrollView::ScrollCode::Top);
    doc.RemoveObject(big);
    view.ResetView();
    // What is left is the 9 x 7 inch page, 864 x 672, with the smaller box on it.
    EXPECT_EQ(view.scrollX(), 864);
    EXPECT_EQ(view.scrollY(), -672);
    EXPECT_EQ(view.bar(Qt::Horizontal)->value(), view.scrollX());
    EXPECT_EQ(view.bar(Qt::Vertical)->value(), view.scrollY());
}

// --- scroll steps ---

struct StepCase
{
    Qt::Orientation bar;
    PageScrollView::ScrollCode code;
    int nPos;
    int expected; // from 100 horizontally, -200 vertically; ranges 0..960 and -768..0
};

class ScrollStepTest : public GraphViewTest, public ::testing::WithParamInterface<StepCase>
{};

TEST_P(ScrollStepTest, MovesByTheStepWithinTheRange)
{
    const StepCase c = GetParam();
    Box* box = addBox(0, 0, 10, 8);
    TestWindow view(&doc);
    view.OnScroll(Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition, 100);
    view.OnScroll(Qt::Vertical, PageScrollView::ScrollCode::ThumbPosition, -200);
    view.OnScroll(c.bar, c.code, c.nPos);
    const int pos = c.bar == Qt::Horizontal ? view.scrollX() : view.scrollY();
    EXPECT_EQ(pos, c.expected);
    EXPECT_EQ(view.bar(c.bar)->value(), pos);
    // The objects are laid out for the new position.
    EXPECT_EQ(box->GetRect().left, -view.scrollX());
    EXPECT_EQ(box->GetRect().bottom, 300 - view.scrollY());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrollStepTest,
    ::testing::Values(StepCase{Qt::Horizontal, PageScrollView::ScrollCode::LineUp, 0, 90},
                      StepCase{Qt::Horizontal, PageScrollView::ScrollCode::LineDown, 0, 110},
                      StepCase{Qt::Horizontal, PageScrollView::ScrollCode::PageUp, 0, 0},
                      StepCase{Qt::Horizontal, PageScrollView::ScrollCode::PageDown, 0, 500},
                      StepCase{Qt::Horizontal, PageScrollView::ScrollCode::ThumbTrack, 700, 100},
                      StepCase{Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition, 700, 700},
                      StepCase{Qt::Horizontal, PageScrollView::ScrollCode::ThumbPosition, 5000,
                               960},
                      StepCase{Qt::Horizontal, PageScrollView::ScrollCode::Top, 0, 0},
                      StepCase{Qt::Horizontal, PageScrollView::ScrollCode::Bottom, 0, 960},
                      StepCase{Qt::Horizontal, PageScrollView::ScrollCode::EndScroll, 0, 100},
                      StepCase{Qt::Vertical, PageScrollView::ScrollCode::LineUp, 0, -210},
                      StepCase{Qt::Vertical, PageScrollView::ScrollCode::LineDown, 0, -190},
                      StepCase{Qt::Vertical, PageScrollView::ScrollCode::PageUp, 0, -500},
                      StepCase{Qt::Vertical, PageScrollView::ScrollCode::PageDown, 0, 0},
                      StepCase{Qt::Vertical, PageScrollView::ScrollCode::ThumbTrack, -700, -200},
                      StepCase{Qt::Vertical, PageScrollView::ScrollCode::ThumbPosition, -700, -700},
                      StepCase{Qt::Vertical, PageScrollView::ScrollCode::Top, 0, -768},
                      StepCase{Qt::Vertical, PageScrollView::ScrollCode::Bottom, 0, 0}));

TEST_F(GraphViewTest, PageStepOfANarrowWindowIsTheLineStep)
{
    addBox(0, 0, 10, 8);
    TestWindow view(&doc, 8, 6);
    view.OnScroll(Qt::Horizontal, PageScrollView::ScrollCode::PageDown);
    view.OnScroll(Qt::Vertical, PageScrollView::ScrollCode::PageUp);
    EXPECT_EQ(view.scrollX(), 10);
    EXPECT_EQ(view.scrollY(), -10);
}

TEST_F(GraphViewTest, DraggedThumbMovesTheViewOnlyWhenReleased)
{
    addBox(0, 0, 10, 8);
    TestWindow view(&doc);
    QScrollBar* bar = view.bar(Qt::Horizontal);
    bar->setSliderDown(true);
    bar->setSliderPosition(300);
    EXPECT_EQ(view.scrollX(), 0);
    bar->setSliderDown(false);
    EXPECT_EQ(view.scrollX(), 300);
    // The bar's own steps are the view's.
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view.scrollX(), 310);
    EXPECT_EQ(bar->value(), 310);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(view.scrollX(), 0);
    EXPECT_EQ(bar->value(), 0);
    // The wheel places the thumb and the view follows at once.
    view.OnScroll(Qt::Vertical, PageScrollView::ScrollCode::Top);
    const QPointF at(100, 100);
    QWheelEvent wheel(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    EXPECT_GT(view.scrollY(), -768);
    EXPECT_EQ(view.bar(Qt::Vertical)->value(), view.scrollY());
}

TEST_F(GraphViewTest, ScrollingDropsTheSelection)
{
    Box* box = addBox(0, 0, 10, 8);
    TestWindow view(&doc);
    auto selection = std::make_unique<visiblelist>();
    selection->append(box);
    view.SetSelection(std::move(selection));
    EXPECT_EQ(view.focusRect(), box->GetRect());
    view.OnScroll(Qt::Vertical, PageScrollView::ScrollCode::LineUp);
    EXPECT_FALSE(view.hasSelection());
    EXPECT_TRUE(view.focusRect().isNull());
}

// --- update hints and the document ---

TEST_F(GraphViewTest, HintsAdoptTheObjectsAndAViewWithoutDocumentIgnoresThem)
{
    Box* box = addBox(1, 1, 1, 1);
    TestWindow view(&doc);
    box->SetView(nullptr);
    view.OnUpdate(DocumentServices::UpdateHint::Object, box, nullptr);
    EXPECT_EQ(box->GetView(), &view);
    box->SetView(nullptr);
    const Rect r{0, 0, 10, 10};
    view.OnUpdate(DocumentServices::UpdateHint::Area, nullptr, &r);
    EXPECT_EQ(box->GetView(), &view);

    TestWindow orphan(nullptr);
    orphan.OnUpdate(DocumentServices::UpdateHint::Object, box, nullptr);
    orphan.ResetView();
    EXPECT_EQ(box->GetView(), &view);
    EXPECT_FALSE(orphan.picture().isNull());
}

TEST_F(GraphViewTest, AClosedViewLeavesItsObjectsToTheOtherView)
{
    Box* box = addBox(1, 1, 1, 1);
    auto first = std::make_unique<TestWindow>(&doc);
    TestWindow second(&doc);
    first->ResetView();
    ASSERT_EQ(box->GetView(), first.get());
    first.reset();
    EXPECT_EQ(box->GetView(), &second);
    EXPECT_EQ(doc.GetViews().size(), 1);
}

// --- painting ---

bool isGrey(QRgb p)
{
    return qRed(p) == 120 && qGreen(p) == 120 && qBlue(p) == 120;
}

int greyPixelsInRow(const QImage& image, int row, int from, int to)
{
    int n = 0;
    for (int x = from; x < to; ++x)
        n += isGrey(image.pixel(x, row));
    return n;
}

int greyPixelsInColumn(const QImage& image, int column, int from, int to)
{
    int n = 0;
    for (int y = from; y < to; ++y)
        n += isGrey(image.pixel(column, y));
    return n;
}

class OutlineTest : public GraphViewTest, public ::testing::WithParamInterface<float>
{};

TEST_P(OutlineTest, DottedNineBySevenPageAtTheViewScale)
{
    if (programHasPrinter())
        GTEST_SKIP() << "a printer is installed; the page is not 9 x 7 inches";
    const float scale = GetParam();
    TestWindow view(&doc, 1000, 800);
    view.setViewScale(scale);
    const QImage image = view.picture();
    const int w = int(864 * scale), h = int(672 * scale);
    // Right and bottom edges are outside the rectangle, as on the screen's own rectangles.
    EXPECT_GT(greyPixelsInRow(image, 800 - h, 0, w), w / 4);
    EXPECT_GT(greyPixelsInRow(image, 799, 0, w), w / 4);
    EXPECT_GT(greyPixelsInColumn(image, w - 1, 800 - h, 800), h / 4);
    EXPECT_EQ(greyPixelsInColumn(image, w, 0, 800), 0);
    EXPECT_EQ(greyPixelsInRow(image, 800 - h - 1, 0, 1000), 0);
    // Dotted, not solid.
    EXPECT_LT(greyPixelsInRow(image, 800 - h, 0, w), w);
}

INSTANTIATE_TEST_SUITE_P(Scales, OutlineTest, ::testing::Values(1.0f, 0.5f));

TEST_F(GraphViewTest, ObjectsPaintInListOrderAtTheMappedPixels)
{
    addBox(1, 1, 1, 1, RGB(255, 0, 0));
    addBox(1.5f, 1, 1, 1, RGB(0, 0, 255)); // later in the list, so on top
    TestWindow view(&doc, 500, 400);
    view.setViewScale(2);
    const QImage image = view.picture();
    // At scale 2 an inch is 192 pixels: red from x 192, blue over it from x 288.
    EXPECT_EQ(image.pixel(200, 400 - 200), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(290, 400 - 200), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(190, 400 - 200), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(200, 400 - 190), qRgb(255, 255, 255));
}

// A trace of a parabola with its line and no symbols, on axes that cross at the page position
// (1 in, 1 in): at 96 pixels per inch the x axis is row 700 - 96 of a 900 x 700 view, the
// y axis column 96.
TEST_F(GraphViewTest, SlopedTraceLinesAreSmoothAxisLinesStayCrisp)
{
    QTemporaryDir dir;
    Trace* trace = addSquaresTrace(doc, dir.path());
    ASSERT_NE(trace, nullptr);
    trace->SetSymbolFont(std::nullopt);
    TestWindow view(&doc, 900, 700);
    const QImage image = view.picture();

    const int axisRow = 700 - 96, axisColumn = 96;
    for (int x = 120; x < 600; x += 7) {
        EXPECT_EQ(image.pixel(x, axisRow), qRgb(0, 0, 0)) << "x axis at column " << x;
        EXPECT_EQ(image.pixel(x, axisRow + 1), qRgb(255, 255, 255)) << "below, column " << x;
    }
    for (int y = 330; y < 590; y += 7) {
        EXPECT_EQ(image.pixel(axisColumn, y), qRgb(0, 0, 0)) << "y axis at row " << y;
        EXPECT_EQ(image.pixel(axisColumn - 1, y), qRgb(255, 255, 255)) << "left, row " << y;
    }
    // Between the axes only the line is drawn; anti-aliased, its edges are shades of grey.
    int shaded = 0;
    for (int y = 250; y < axisRow - 12; ++y) {
        for (int x = axisColumn + 12; x < 680; ++x) {
            const int grey = qGray(image.pixel(x, y));
            shaded += grey > 40 && grey < 215;
        }
    }
    EXPECT_GT(shaded, 100);
}

// The next modal dialog, of the given type, is confirmed once the given radio button (if any)
// has been clicked.
template <typename Dialog> void acceptNextDialog(const char* radio = nullptr)
{
    QTimer::singleShot(0, [radio] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (radio)
            dialog->template findChild<QRadioButton*>(QLatin1String(radio))->click();
        dialog->accept();
    });
}

// The page of the program's printer, as Print Setup leaves it, is the page outlined on screen
// and the page printed; the printer is put back as it was at the end.
TEST_F(GraphViewTest, OutlineAndPrintedPageFollowPrintSetup)
{
    if (programHasPrinter())
        GTEST_SKIP() << "a printer is installed; the page is not 9 x 7 inches";
    QPrinter& printer = programPrinter();
    struct Restore
    {
        QPrinter& printer;
        const QPageLayout layout = printer.pageLayout();
        const QString output = printer.outputFileName();
        ~Restore()
        {
            printer.setPageLayout(layout);
            printer.setOutputFileName(output);
        }
    } restore{printer};
    QTemporaryDir dir;
    const QString pdf = QDir(dir.path()).filePath(QStringLiteral("page.pdf"));
    addBox(1, 1, 1, 1);
    TestWindow view(&doc);
    EXPECT_EQ(view.pageSize(), QSize(864, 672));

    // Print Setup, confirmed as it is: nothing changes.
    acceptNextDialog<QPageSetupDialog>();
    GraphView::printSetup(&view);
    EXPECT_EQ(view.pageSize(), QSize(864, 672));
    // Turned to portrait, the page is 7 inches wide and 9 high, on screen and on paper.
    acceptNextDialog<QPageSetupDialog>("portrait");
    GraphView::printSetup(&view);
    EXPECT_EQ(view.pageSize(), QSize(672, 864));
    EXPECT_EQ(view.bar(Qt::Vertical)->minimum(), -864);

    printer.setOutputFileName(pdf);
    acceptNextDialog<QPrintDialog>();
    view.print();
    EXPECT_EQ(view.pageSize(), QSize(672, 864));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
            .match(QString::fromLatin1(file.readAll()));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_EQ(box.captured(1).toDouble(), 7 * 72.0);
    EXPECT_EQ(box.captured(2).toDouble(), 9 * 72.0);
}

} // namespace
