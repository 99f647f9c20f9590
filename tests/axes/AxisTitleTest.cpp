#include "axes/AxisTitle.h"
#include "AxisTestSupport.h"
#include "axes/XAxis.h"
#include "axes/YAxis.h"
#include "common/FakeView.h"
#include "platform/RecordingDC.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Placement
{
    const char* name;
    bool vertical;
    float length;
    float anchorX, anchorY;
    int escapement;
};

class TitlePlacement : public ::testing::TestWithParam<Placement>
{};

std::unique_ptr<Axis> axisAt(bool vertical, float length)
{
    std::unique_ptr<Axis> axis;
    if (vertical)
        axis = std::make_unique<YAxis>(nullptr);
    else
        axis = std::make_unique<XAxis>(nullptr);
    axis->x = 1;
    axis->y = 1;
    axis->length = length;
    axis->name = QStringLiteral("Volts");
    return axis;
}

TEST_P(TitlePlacement, AnchorTextAndBoxFollowTheAxis)
{
    const Placement& p = GetParam();
    FakeView view;
    std::unique_ptr<Axis> axis = axisAt(p.vertical, p.length);
    axis->SetView(&view);
    AxisTitle title(&view, axis.get());
    axis->SetTitle(&title);
    title.SetDistance(0.5f);
    title.SetText(QStringLiteral("Current"));

    RecordingDC dc;
    title.Draw(dc);
    EXPECT_FLOAT_EQ(title.x, p.anchorX);
    EXPECT_FLOAT_EQ(title.y, p.anchorY);
    EXPECT_EQ(title.GetFontDescription().lfEscapement, p.escapement);
    EXPECT_EQ(title.GetName(), QStringLiteral("Volts Title"));

    RecordingDC measurer;
    measurer.selectFont(title.GetFontDescription());
    const QSize extent = measurer.getTextExtent(title.GetText());
    const int w = extent.width();
    const int h = extent.height();
    const QList<DrawnText> texts = drawnTexts(dc.lines());
    ASSERT_EQ(texts.size(), 1);
    if (p.vertical) {
        // Reading upward, ending at the anchor and centred on it along the axis.
        EXPECT_EQ(texts[0].x, 500 - h);
        EXPECT_EQ(texts[0].y, 3000 - w / 2);
    } else {
        // Centred below the anchor, its top edge on it.
        EXPECT_EQ(texts[0].x, 3500 - w / 2);
        EXPECT_EQ(texts[0].y, 500);
    }

    // The box: a horizontal title hangs h below the anchor, w wide; a vertical one is h wide to
    // the left of it and w tall.
    Rect r = title.GetRect();
    const float ppi = view.ppiX;
    const auto px = [ppi](double inches) { return inches * ppi; };
    const double boxWidth = (p.vertical ? h : w) / 1000.0;
    const double boxHeight = (p.vertical ? w : h) / 1000.0;
    EXPECT_NEAR(r.right - r.left, px(boxWidth), 2);
    EXPECT_NEAR(r.bottom - r.top, px(boxHeight), 2);
    const double anchorPx = px(p.anchorX);
    if (p.vertical)
        EXPECT_NEAR(r.right, anchorPx, 1);
    else
        EXPECT_NEAR((r.left + r.right) / 2.0, anchorPx, 1);

    // The title moves with its axis at the next draw; moving the title alone does not last.
    axis->x += 1;
    axis->y += 0.5f;
    axis->length += 2;
    title.MoveBy(3, 3);
    dc.clear();
    title.Draw(dc);
    EXPECT_FLOAT_EQ(title.x, p.anchorX + 1 + (p.vertical ? 0 : 1));
    EXPECT_FLOAT_EQ(title.y, p.anchorY + 0.5f + (p.vertical ? 1 : 0));
    axis->SetTitle(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Axes, TitlePlacement,
                         ::testing::Values(Placement{"XAxis", false, 5, 3.5f, 0.5f, 0},
                                           Placement{"YAxis", true, 4, 0.5f, 3.0f, -900}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AxisTitleObject, DefaultsFromTheSettingsAndTheLinkBrokenFromEitherSide)
{
    AxisTitle loose;
    EXPECT_FLOAT_EQ(loose.x, 1.0f);
    EXPECT_FLOAT_EQ(loose.y, 1.0f);
    const LogFont font = loose.GetFontDescription();
    EXPECT_EQ(font.lfHeight, -250); // 18 points
    EXPECT_EQ(font.lfClipPrecision, 16);
    EXPECT_EQ(font.faceName(), QStringLiteral("Arial"));
    EXPECT_FLOAT_EQ(loose.GetDistance(), 0.4f);

    auto axis = axisAt(true, 4);
    {
        AxisTitle title(nullptr, axis.get());
        axis->SetTitle(&title);
    }
    EXPECT_EQ(axis->GetTitle(), nullptr); // the deleted title cleared the axis
    auto title = std::make_unique<AxisTitle>(nullptr, axis.get());
    axis->SetTitle(title.get());
    axis.reset();
    EXPECT_EQ(title->GetAxis(), nullptr);          // the deleted axis cleared the title
    title->Draw(*std::make_unique<RecordingDC>()); // and it still draws where it was
}

} // namespace
