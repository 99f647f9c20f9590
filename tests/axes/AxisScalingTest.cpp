#include "AxisTestSupport.h"
#include "axes/XAxis.h"
#include "axes/YAxis.h"
#include "common/FakeView.h"
#include "platform/Settings.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// An axis placed by hand with fixed limits and no automatic range.
template <class A> std::unique_ptr<A> placed(float x, float y, float length, double s, double e)
{
    auto axis = std::make_unique<A>();
    axis->x = x;
    axis->y = y;
    axis->length = length;
    axis->autoRange = false;
    axis->SetLimits(s, e);
    return axis;
}

// --- mapping ---

struct MappingCase
{
    const char* name;
    bool vertical;
    bool log;
    double start, end;
    float length;
    double value;
    double pageX, pageY;
    int logicalX, logicalY;
};

class AxisMapping : public ::testing::TestWithParam<MappingCase>
{};

TEST_P(AxisMapping, ValueLandsOnThePage)
{
    const MappingCase& c = GetParam();
    std::unique_ptr<Axis> axis;
    if (c.vertical)
        axis = placed<YAxis>(1, 1, c.length, c.start, c.end);
    else
        axis = placed<XAxis>(1, 1, c.length, c.start, c.end);
    axis->SetLog(c.log);
    const QPointF page = axis->pagePoint(c.value);
    EXPECT_NEAR(page.x(), c.pageX, 1e-9);
    EXPECT_NEAR(page.y(), c.pageY, 1e-9);
    EXPECT_EQ(axis->logicalPoint(c.value), QPoint(c.logicalX, c.logicalY));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, AxisMapping,
    ::testing::Values(MappingCase{"linear", false, false, 0, 10, 5, 4, 3, 1, 3000, 1000},
                      MappingCase{"reversed", false, false, 10, 0, 5, 4, 4, 1, 4000, 1000},
                      MappingCase{"logarithmic", true, true, 1, 10000, 4, 100, 1, 3, 1000, 3000},
                      MappingCase{"verticalLinear", true, false, 0, 10, 4, 2.5, 1, 2, 1000, 2000}),
    [](const auto& info) { return std::string(info.param.name); });

struct RescaleCase
{
    const char* name;
    double start, end;
    bool log;
    double expectedScale; // 7 means "left as it was"
};

class AxisRescale : public ::testing::TestWithParam<RescaleCase>
{};

TEST_P(AxisRescale, ScaleFollowsLengthAndLimits)
{
    const RescaleCase& c = GetParam();
    XAxis axis;
    axis.length = 4;
    axis.scale = 7;
    axis.start = c.start;
    axis.end = c.end;
    axis.logScale = c.log;
    axis.Rescale();
    EXPECT_DOUBLE_EQ(axis.scale, c.expectedScale);
}

INSTANTIATE_TEST_SUITE_P(Cases, AxisRescale,
                         ::testing::Values(RescaleCase{"linear", 0, 8, 0, 0.5},
                                           RescaleCase{"reversed", 8, 0, 0, -0.5},
                                           RescaleCase{"log", 1, 10000, 1, 1},
                                           RescaleCase{"equalLimits", 3, 3, 0, 7},
                                           RescaleCase{"logEndNotPositive", 1, -5, 1, 7},
                                           RescaleCase{"logStartZero", 0, 100, 1, 7},
                                           RescaleCase{"infiniteRange", -DBL_MAX, DBL_MAX, 0, 7},
                                           RescaleCase{"nanLimit", nan, 1, 0, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- automatic range ---

struct RangeCase
{
    const char* name;
    bool hasRange;
    double min, max;
    double expectedEnd;
    double startLow, startHigh; // expected start within [low, high]
};

class AxisAutoRange : public ::testing::TestWithParam<RangeCase>
{};

TEST_P(AxisAutoRange, LimitsFollowTheData)
{
    const RangeCase& c = GetParam();
    FakeDocument doc;
    doc.hasRange = c.hasRange;
    doc.rangeMin = c.min;
    doc.rangeMax = c.max;
    FakeView view;
    view.doc = &doc;
    XAxis axis(&view);
    axis.SetLimits(2, 3); // present limits for the cases without usable data
    axis.AutoRange();
    EXPECT_DOUBLE_EQ(axis.end, c.expectedEnd);
    EXPECT_GE(axis.start, c.startLow);
    EXPECT_LE(axis.start, c.startHigh);
    EXPECT_TRUE(std::isfinite(axis.scale));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxisAutoRange,
    ::testing::Values(RangeCase{"data", true, 0.3, 8.7, 8.7, 0, 0},
                      // Equal data widen by 0.001 each way; the first tick then sits just below.
                      RangeCase{"allFive", true, 5, 5, 5.001, 4.998, 4.999},
                      RangeCase{"noData", false, 0, 0, 3, 2, 2},
                      RangeCase{"infiniteData", true, 1, inf, 3, 2, 2},
                      RangeCase{"nanData", true, nan, 4, 3, 2, 2},
                      RangeCase{"emptyTraceSentinels", true, DBL_MAX, -1e30, 3, 2, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AxisAutoRange, OffKeepsTheLimits)
{
    FakeDocument doc;
    doc.hasRange = true;
    doc.rangeMin = 0;
    doc.rangeMax = 100;
    FakeView view;
    view.doc = &doc;
    XAxis axis(&view);
    axis.autoRange = false;
    axis.SetLimits(0.3, 8.7);
    axis.AutoRange();
    EXPECT_DOUBLE_EQ(axis.start, 0.3);
    EXPECT_DOUBLE_EQ(axis.end, 8.7);
}

TEST(AxisAutoRange, UsesItsDocumentWithoutAView)
{
    FakeDocument doc;
    doc.hasRange = true;
    doc.rangeMin = 0;
    doc.rangeMax = 10;
    XAxis axis;
    axis.SetDocument(&doc);
    axis.AutoRange();
    EXPECT_DOUBLE_EQ(axis.start, 0);
    EXPECT_DOUBLE_EQ(axis.end, 10);
    EXPECT_DOUBLE_EQ(axis.scale, 0.1);
}

TEST(AxisLimits, SetLimitsSnapsStartOnlyWithAutomaticRange)
{
    XAxis snapped;
    snapped.SetLimits(0.3, 8.7);
    EXPECT_DOUBLE_EQ(snapped.start, 0);
    EXPECT_DOUBLE_EQ(snapped.end, 8.7);

    XAxis kept;
    kept.autoRange = false;
    kept.SetLimits(0.3, 8.7);
    EXPECT_DOUBLE_EQ(kept.start, 0.3);
    EXPECT_DOUBLE_EQ(kept.scale, 1.0 / 8.4);
}

TEST(AxisLimits, SwitchingTheScaleReturnsTicksToAutomatic)
{
    auto axis = placed<XAxis>(1, 1, 5, 1, 1000);
    axis->ticks.autoTicks = false;
    axis->SetLog(true);
    EXPECT_TRUE(axis->logScale);
    EXPECT_TRUE(axis->ticks.autoTicks);
    EXPECT_DOUBLE_EQ(axis->scale, 5.0 / 3.0);
    axis->ticks.autoTicks = false;
    axis->SetLog(true); // already logarithmic: nothing changes
    EXPECT_FALSE(axis->ticks.autoTicks);
    axis->SetLog(false);
    EXPECT_FALSE(axis->logScale);
    EXPECT_TRUE(axis->ticks.autoTicks);
    EXPECT_DOUBLE_EQ(axis->scale, 5.0 / 999.0);
}

// --- construction and copies ---

TEST(AxisConstruction, ViewConstructorsTakeTheSettings)
{
    FakeView view;
    XAxis x(&view);
    YAxis y(&view);
    const DefaultSettings& s = defaultSettings();
    EXPECT_EQ(x.length, s.xAxisLength);
    EXPECT_EQ(y.length, s.yAxisLength);
    EXPECT_EQ(x.GetView(), &view);
    EXPECT_EQ(x.angle, 0);
    EXPECT_EQ(y.angle, 90);
    EXPECT_EQ(y.dirX, 0.0);
    EXPECT_EQ(y.dirY, 1.0);
    EXPECT_TRUE(x.autoRange);
    EXPECT_TRUE(x.ticks.autoTicks);
    EXPECT_EQ(x.ticks.labelFont.faceName(), s.labelFace);
    EXPECT_EQ(x.ticks.labelFont.lfHeight, -(s.labelSize * 1000 / 72));
    EXPECT_EQ(x.ticks.labelPointSize, s.labelSize * 10);
    EXPECT_EQ(YAxis().length, 4.0f);
}

TEST(AxisConstruction, LabelFontHeightTruncatesBeforeTheSign)
{
    DefaultSettings s;
    s.labelSize = 10;
    EXPECT_EQ(tickstruct::labelFontFor(s).lfHeight, -138);
    s.labelSize = 100000; // beyond what the record keeps
    EXPECT_EQ(tickstruct::labelFontFor(s).lfHeight, -32768);
}

TEST(AxisConstruction, RangeConstructorLaysOutWithAutomaticTicks)
{
    FakeView view;
    YAxis axis(&view, 0.3, 8.7, 4, 1, 1);
    EXPECT_EQ(axis.GetView(), &view);
    EXPECT_DOUBLE_EQ(axis.start, 0); // moved to the first tick
    EXPECT_DOUBLE_EQ(axis.end, 8.7);
    EXPECT_DOUBLE_EQ(axis.ticks.tickSpacing, 1.25);
    EXPECT_EQ(axis.ticks.tickAngle, 0);
    EXPECT_TRUE(axis.autoRange);
    EXPECT_FALSE(axis.GetRect().isEmpty());
    EXPECT_DOUBLE_EQ(axis.scale, 4 / 8.7);
}

TEST(AxisCopies, CopyAndCopyAxisTakeEverythingButTheTitle)
{
    FakeView view;
    XAxis source(&view, -2, 30, 5.5f, 1.5f, 2.5f);
    source.name = QStringLiteral("Volts");
    source.SetLog(true);
    source.ticks.labelColor = 0x123456;
    FakeTitle sourceTitle;
    FakeTitle ownTitle;
    source.SetTitle(&sourceTitle);

    XAxis copy(source);
    EXPECT_EQ(copy.GetTitle(), nullptr);
    EXPECT_TRUE(copy.IsSameAs(source));
    EXPECT_EQ(copy.name, source.name);
    EXPECT_EQ(copy.scale, source.scale);
    EXPECT_EQ(copy.ticks.labelColor, 0x123456u);
    EXPECT_EQ(copy.GetView(), &view);

    YAxis other;
    other.SetTitle(&ownTitle);
    other.CopyAxis(source);
    EXPECT_TRUE(other.IsSameAs(source));
    EXPECT_EQ(other.GetTitle(), &ownTitle);
    EXPECT_EQ(other.dirX, 1.0);
    EXPECT_EQ(other.angle, 0);
    EXPECT_EQ(other.GetRect(), source.GetRect());

    other.end += 1;
    EXPECT_FALSE(other.IsSameAs(source));
    other.SetTitle(nullptr);
    source.SetTitle(nullptr);
}

// --- band and sizing ---

TEST(AxisBand, CoversTheLineAndAFifthOfAnInchEachSide)
{
    FakeView view; // 96 pixels per inch, page origin at the bottom-left of 800 x 600
    XAxis x(&view);
    x.x = 1;
    x.y = 1;
    x.SetLength(5);
    EXPECT_EQ(x.GetRect(), (Rect{96, 485, 576, 523}));

    YAxis y(&view);
    y.x = 1;
    y.y = 1;
    y.SetLength(4);
    EXPECT_EQ(y.GetRect(), (Rect{77, 120, 115, 504}));

    XAxis unplaced;
    unplaced.ComputeRect();
    EXPECT_TRUE(unplaced.GetRect().isNull());
}

struct DragCase
{
    const char* name;
    bool vertical;
    float viewScale;
    scaleableobject::Handle handle;
    int dx, dy; // pixels the handle moves
    float expectedLength;
};

class AxisDrag : public ::testing::TestWithParam<DragCase>
{};

TEST_P(AxisDrag, HandleChangesTheLengthAtTheFarEnd)
{
    const DragCase& c = GetParam();
    FakeDocument doc;
    FakeView view;
    view.doc = &doc;
    view.scale = c.viewScale;
    std::unique_ptr<Axis> axis;
    if (c.vertical)
        axis = std::make_unique<YAxis>(&view);
    else
        axis = std::make_unique<XAxis>(&view);
    axis->x = 1;
    axis->y = 1;
    axis->SetLength(4);
    const QPoint grab = scaleableobject::handlePoint(axis->GetRect(), c.handle);
    const auto handles = scaleableobject::handleRects(axis->GetRect());
    const Rect& handle = handles[size_t(c.handle)];
    ASSERT_TRUE(axis->HitHandle(handle.left + 1, handle.top + 1));
    ASSERT_EQ(axis->grabbed, grab);

    const Rect r = axis->ScaleTo(grab.x() + c.dx, grab.y() + c.dy);
    EXPECT_NEAR(axis->length, c.expectedLength, 1e-6);
    EXPECT_EQ(r, axis->GetRect());
    EXPECT_FLOAT_EQ(axis->x, 1);
    EXPECT_FLOAT_EQ(axis->y, 1);
    // The grabbed point follows the side, so a second step of the drag continues from there.
    EXPECT_EQ(axis->grabbed, scaleableobject::handlePoint(r, c.handle));
    ASSERT_EQ(doc.updates.size(), 2);
    EXPECT_EQ(doc.updates[0].first, DocumentServices::UpdateHint::Object);
    EXPECT_EQ(doc.updates[1].second, axis.get());
}

INSTANTIATE_TEST_SUITE_P(
    Handles, AxisDrag,
    ::testing::Values(
        DragCase{"xRight", false, 1, scaleableobject::Handle::Right, 48, 0, 4.5f},
        DragCase{"xRightZoomed", false, 2, scaleableobject::Handle::Right, 48, 0, 4.25f},
        DragCase{"xLeftOutwards", false, 1, scaleableobject::Handle::Left, -96, 0, 5},
        DragCase{"xTopDoesNothing", false, 1, scaleableobject::Handle::Top, 0, -40, 4},
        DragCase{"yTopUp", true, 1, scaleableobject::Handle::Top, 0, -96, 5},
        DragCase{"yBottomDown", true, 1, scaleableobject::Handle::Bottom, 0, 24, 4.25f},
        DragCase{"pastTheOrigin", false, 1, scaleableobject::Handle::Right, -2000, 0,
                 Axis::minDragLength}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AxisDrag, SuccessiveStepsAddUp)
{
    FakeView view;
    XAxis axis(&view);
    axis.x = 1;
    axis.y = 1;
    axis.SetLength(5);
    axis.grabbed = scaleableobject::handlePoint(axis.GetRect(), scaleableobject::Handle::Right);
    const int startX = axis.grabbed.x();
    axis.ScaleTo(startX + 48, axis.grabbed.y());
    axis.ScaleTo(startX + 96, axis.grabbed.y());
    EXPECT_FLOAT_EQ(axis.length, 6);
    EXPECT_EQ(axis.GetRect().right, startX + 96);
}

// --- names ---

TEST(AxisNames, CountersSkipNamesInUseAndNeverRepeat)
{
    FakeDocument doc;
    FakeView view;
    view.doc = &doc;
    const int n = XAxis::nextNameNumber();
    XAxis first(&view);
    first.SetDefaultName();
    EXPECT_EQ(first.name, QStringLiteral("X-Axis %1").arg(n));
    XAxis second(&view);
    second.SetDefaultName();
    EXPECT_EQ(second.name, QStringLiteral("X-Axis %1").arg(n + 1));

    auto taken = std::make_unique<visibleobject>();
    taken->name = QStringLiteral("X-Axis %1").arg(n + 2);
    doc.AddObject(std::move(taken));
    XAxis third(&view);
    third.SetDefaultName();
    EXPECT_EQ(third.name, QStringLiteral("X-Axis %1").arg(n + 3));
    EXPECT_EQ(XAxis::nextNameNumber(), n + 4);

    // The vertical axes count on their own.
    const int m = YAxis::nextNameNumber();
    YAxis y(&view);
    y.SetDefaultName();
    EXPECT_EQ(y.name, QStringLiteral("Y-Axis %1").arg(m));
    EXPECT_EQ(XAxis::nextNameNumber(), n + 4);
}

// --- commands, dialogs and the title ---

struct CommandCase
{
    int command;
    const char* expectedCall; // empty: no dialog
};

class AxisCommands : public ::testing::TestWithParam<CommandCase>
{};

TEST_P(AxisCommands, RouteToTheirDialogs)
{
    const CommandCase& c = GetParam();
    FakeDocument doc;
    FakeView view;
    view.doc = &doc;
    XAxis axis(&view);
    EXPECT_EQ(axis.GetMenuId(), 103);

    // With no editors installed nothing opens and nothing changes.
    EXPECT_EQ(axis.OnMenuCommand(c.command), 0);

    ScriptedAxisEditors editors;
    EditorsScope scope(&editors);
    for (int answer : {1, 0}) {
        editors.result = answer;
        editors.calls.clear();
        const int result = axis.OnMenuCommand(c.command);
        if (*c.expectedCall) {
            EXPECT_EQ(result, answer);
            EXPECT_EQ(editors.calls, QStringList{QString::fromLatin1(c.expectedCall)});
            EXPECT_EQ(editors.lastAxis, &axis);
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(editors.calls.isEmpty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Menu, AxisCommands,
                         ::testing::Values(CommandCase{Axis::SettingsCommand, "formatAxes"},
                                           CommandCase{Axis::TicksCommand, "formatTicks"},
                                           CommandCase{Axis::FontCommand, "chooseLabelFont"},
                                           CommandCase{32777, ""}, CommandCase{0, ""}));

TEST(AxisCommands, FormatAxesGetsTheDocumentAndLaysOutAfterwards)
{
    FakeDocument doc;
    FakeView view;
    view.doc = &doc;
    XAxis axis(&view);
    ScriptedAxisEditors editors;
    EditorsScope scope(&editors);
    EXPECT_TRUE(axis.GetRect().isNull());
    EXPECT_EQ(axis.EditProperties(), 1);
    EXPECT_EQ(editors.lastDocument, &doc);
    EXPECT_FALSE(axis.GetRect().isNull());
}

std::unique_ptr<visibleobject> makeFakeTitle(Axis& axis)
{
    auto t = std::make_unique<FakeTitle>();
    t->name = axis.name + QStringLiteral(" Title");
    return t;
}

TEST(AxisTitleLink, TitleIsMadeOnceAddedToThePageAndRemovedWithTheAxis)
{
    FakeDocument doc;
    FakeView view;
    view.doc = &doc;
    XAxis axis(&view);
    axis.name = QStringLiteral("Time");

    const Axis::TitleFactory installed = Axis::setTitleFactory(nullptr);
    EXPECT_EQ(axis.OnMenuCommand(Axis::TitleCommand), 0); // nothing can make a title
    EXPECT_EQ(axis.GetTitle(), nullptr);

    Axis::setTitleFactory(&makeFakeTitle);
    const int aliveBefore = FakeTitle::alive;
    EXPECT_EQ(axis.OnMenuCommand(Axis::TitleCommand), 1);
    auto* title = static_cast<FakeTitle*>(axis.GetTitle());
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->name, QStringLiteral("Time Title"));
    EXPECT_EQ(title->GetView(), &view);
    EXPECT_EQ(doc.objects, QList<visibleobject*>{title});
    title->editResult = 0;
    EXPECT_EQ(axis.EditTitle(), 0); // the same title again, cancelled
    EXPECT_EQ(title->edits, 2);
    EXPECT_EQ(doc.objects.size(), 1);

    // Another object going does not touch the title; the title going alone clears the link.
    XAxis other;
    EXPECT_EQ(axis.ReleaseReference(&other), nullptr);
    EXPECT_EQ(axis.GetTitle(), title);
    // The axis itself going takes its title off the page and deletes it.
    EXPECT_EQ(axis.ReleaseReference(&axis), nullptr);
    EXPECT_EQ(axis.GetTitle(), nullptr);
    EXPECT_TRUE(doc.objects.isEmpty());
    EXPECT_EQ(FakeTitle::alive, aliveBefore);
    Axis::setTitleFactory(installed);
}

TEST(AxisTitleLink, DeletingTheTitleAloneOrTheAxisBreaksTheLink)
{
    FakeTitle title;
    {
        XAxis axis;
        axis.SetTitle(&title);
        axis.ReleaseReference(&title);
        EXPECT_EQ(axis.GetTitle(), nullptr);
        axis.SetTitle(&title);
    }
    // The destroyed axis told its title to forget it.
    ASSERT_EQ(title.released.size(), 1);
}

} // namespace
