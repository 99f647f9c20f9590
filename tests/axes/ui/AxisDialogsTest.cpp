#include "axes/ui/AxisDialogs.h"
#include "axes/XAxis.h"
#include "axes/ui/AxisTitleDialog.h"
#include "axes/ui/FormatAxesDialog.h"
#include "axes/ui/FormatTicksDialog.h"
#include "common/FakeView.h"
#include "platform/ScriptedPrompter.h"
#include "platform/Settings.h"
#include "platform/ui/FontChooser.h"
#include "platform/ui/FontChooserDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

template <class W> W* find(QWidget& dialog, const char* name)
{
    W* w = dialog.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QLineEdit* edit(QWidget& dialog, const char* name)
{
    return find<QLineEdit>(dialog, name);
}

void type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

void clickOk(QDialog& dialog)
{
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
}

// A font chooser that answers as scripted and counts how often it was asked.
class ScriptedFontChooser : public FontChooser
{
public:
    bool choose(LogFont& font, ColorRef& color, int& pointSizeTenths, QWidget*) override
    {
        ++asked;
        offered = font;
        if (!answer)
            return false;
        font = chosen;
        color = chosenColor;
        pointSizeTenths = chosenPointSize;
        return true;
    }

    bool answer = true;
    LogFont chosen = LogFont::fromFace(QStringLiteral("DejaVu Serif"), -250, LogFont::FW_BOLD);
    ColorRef chosenColor = RGB(200, 0, 0);
    int chosenPointSize = 180;
    LogFont offered;
    int asked = 0;
};

class AxisDialogTest : public ::testing::Test
{
protected:
    AxisDialogTest() : saved_(defaultSettings()), scope_(&prompter)
    {
        axis.SetName(QStringLiteral("X-Axis 1"));
        axis.SetDocument(&doc);
        setManualLimits(0.0, 10.0);
    }
    ~AxisDialogTest() override { defaultSettings() = saved_; }

    void setManualLimits(double start, double end)
    {
        axis.SetAutoRange(false);
        axis.SetLimits(start, end);
    }

    DefaultSettings saved_;
    ScriptedPrompter prompter;
    PrompterScope scope_;
    FakeDocument doc;
    XAxis axis;
};

TEST_F(AxisDialogTest, LengthsAreShownAndTakenInCentimetres)
{
    defaultSettings().units = Settings::cm;
    axis.length = 4.0f;
    axis.x = 1.0f;
    FormatAxesDialog dialog(axis, &doc);
    EXPECT_EQ(find<QLabel>(dialog, "label110")->text(), QStringLiteral("Len&gth (cm):"));
    EXPECT_EQ(find<QLabel>(dialog, "label160")->text(), QStringLiteral("Position (cm):"));
    EXPECT_EQ(edit(dialog, "edit111")->text(), QStringLiteral("10.16"));
    EXPECT_EQ(edit(dialog, "edit309")->text(), QStringLiteral("2.54"));

    type(edit(dialog, "edit111"), QStringLiteral("5"));
    type(edit(dialog, "edit108"), QStringLiteral("A name of twenty-five ch"));
    clickOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_NEAR(axis.GetLength(), 5.0 / 2.54, 1e-5);
    EXPECT_FLOAT_EQ(axis.x, 1.0f);
    EXPECT_EQ(axis.GetName(), QStringLiteral("A name of twenty-fi"));
}

struct Refusal
{
    const char* field;
    const char* text;
    const char* message;
    const char* focused;
};

class FormatAxesRefusalTest : public AxisDialogTest, public ::testing::WithParamInterface<Refusal>
{};

TEST_P(FormatAxesRefusalTest, OkRefusesAndKeepsTheDialogOpenOnTheField)
{
    visibleobject other;
    other.SetName(QStringLiteral("Y-Axis 1"));
    doc.objects.append(&other);
    FormatAxesDialog dialog(axis, &doc);
    dialog.show();
    QLineEdit* field = edit(dialog, GetParam().field);
    type(field, QString::fromLatin1(GetParam().text));
    clickOk(dialog);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromLatin1(GetParam().message)});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.focusWidget(), edit(dialog, GetParam().focused));
    EXPECT_EQ(axis.GetName(), QStringLiteral("X-Axis 1"));
    EXPECT_EQ(axis.GetEnd(), 10.0);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FormatAxesRefusalTest,
    ::testing::Values(Refusal{"edit108", "Y-Axis 1",
                              "Y-Axis 1  is already in use.  Choose another name.", "edit108"},
                      Refusal{"edit1105", "0", "Starting and ending limits can not be the same",
                              "edit1104"}));

TEST_F(AxisDialogTest, LogIsOfferedOnlyForPositiveLimits)
{
    setManualLimits(1.0, 10.0);
    FormatAxesDialog dialog(axis, &doc);
    QCheckBox* log = find<QCheckBox>(dialog, "check117");
    EXPECT_TRUE(log->isEnabled());
    type(edit(dialog, "edit1104"), QStringLiteral("-1"));
    EXPECT_FALSE(log->isEnabled());
    type(edit(dialog, "edit1104"), QStringLiteral("2"));
    EXPECT_TRUE(log->isEnabled());

    // An end at or below zero has no logarithm either.
    setManualLimits(0.0, -5.0);
    FormatAxesDialog reversed(axis, &doc);
    EXPECT_FALSE(find<QCheckBox>(reversed, "check117")->isEnabled());
}

TEST_F(AxisDialogTest, OkOnALogarithmicAxisReturnsItsTicksToAutomatic)
{
    setManualLimits(1.0, 1000.0);
    axis.SetLog(true);
    axis.GetTicks().autoTicks = false;
    axis.GetTicks().tickSpacing = 0.5;
    FormatAxesDialog dialog(axis, &doc);
    EXPECT_TRUE(find<QCheckBox>(dialog, "check117")->isChecked());
    clickOk(dialog);
    EXPECT_TRUE(axis.GetLogScale());
    EXPECT_TRUE(axis.GetTicks().autoTicks);
    EXPECT_DOUBLE_EQ(axis.GetTicks().tickSpacing, 0.1);
}

TEST_F(AxisDialogTest, AutomaticRangeActsAtOnceAndCancelPutsTheAxisBack)
{
    FormatAxesDialog noData(axis, &doc);
    QCheckBox* grey = find<QCheckBox>(noData, "check107");
    EXPECT_EQ(find<QLabel>(noData, "static301")->text(), QStringLiteral(" "));
    EXPECT_EQ(grey->checkState(), Qt::PartiallyChecked);
    grey->click();
    EXPECT_EQ(grey->checkState(), Qt::PartiallyChecked);

    doc.hasRange = true;
    doc.rangeMin = 3.0;
    doc.rangeMax = 47.0;
    axis.SetAutoRange(true);
    {
        FormatAxesDialog dialog(axis, &doc);
        EXPECT_EQ(find<QLabel>(dialog, "static302")->text(), QStringLiteral("47"));
        EXPECT_EQ(find<QCheckBox>(dialog, "check107")->checkState(), Qt::Checked);
        EXPECT_EQ(axis.GetEnd(), 47.0);
        EXPECT_EQ(edit(dialog, "edit1105")->text(), QStringLiteral("47"));
        dialog.reject();
    }
    EXPECT_EQ(axis.GetStart(), 0.0);
    EXPECT_EQ(axis.GetEnd(), 10.0);
}

TEST_F(AxisDialogTest, TicksPreviewThenCancelLeavesTheAxisUnchanged)
{
    setManualLimits(0.3, 8.7);
    axis.SetAutoRange(true);
    tickstruct& ticks = axis.GetTicks();
    ticks.autoTicks = false;
    ticks.tickSpacing = 3.0;
    ticks.firstTick = 0.3;
    FormatTicksDialog dialog(axis);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Format Ticks- X-Axis 1"));
    QCheckBox* automatic = find<QCheckBox>(dialog, "check833");
    EXPECT_FALSE(automatic->isChecked());
    automatic->click();
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_EQ(edit(dialog, "edit814")->text(), QStringLiteral("1.25"));
    EXPECT_EQ(edit(dialog, "edit816")->text(), QStringLiteral("0"));
    dialog.reject();
    EXPECT_FALSE(ticks.autoTicks);
    EXPECT_EQ(ticks.tickSpacing, 3.0);
    EXPECT_EQ(axis.GetStart(), 0.3);
}

TEST_F(AxisDialogTest, ManualTicksReachTheAxisOnOk)
{
    FormatTicksDialog dialog(axis);
    type(edit(dialog, "edit814"), QStringLiteral("2"));
    EXPECT_FALSE(find<QCheckBox>(dialog, "check833")->isChecked());
    EXPECT_TRUE(find<QRadioButton>(dialog, "radio813")->isChecked());
    type(edit(dialog, "edit824"), QStringLiteral("3"));
    EXPECT_TRUE(find<QRadioButton>(dialog, "radio811")->isChecked());
    EXPECT_FALSE(find<QCheckBox>(dialog, "check825")->isChecked());
    find<QCheckBox>(dialog, "check832")->click();
    clickOk(dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    const tickstruct& ticks = axis.GetTicks();
    EXPECT_FALSE(ticks.autoTicks);
    EXPECT_EQ(ticks.tickSpacing, 2.0);
    EXPECT_EQ(ticks.labelFormat, tickstruct::Format::Decimal);
    EXPECT_FALSE(ticks.autoDigits);
    EXPECT_EQ(ticks.decimalDigits, 3);
    EXPECT_FALSE(ticks.showLabels);
}

struct TickRefusal
{
    const char* field;
    const char* text;
    const char* message;
};

class TickRefusalTest : public AxisDialogTest, public ::testing::WithParamInterface<TickRefusal>
{};

TEST_P(TickRefusalTest, UnusableTicksAreRefusedOnOk)
{
    FormatTicksDialog dialog(axis);
    dialog.show();
    QLineEdit* field = edit(dialog, GetParam().field);
    type(field, QString::fromLatin1(GetParam().text));
    clickOk(dialog);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromLatin1(GetParam().message)});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), field);
    EXPECT_TRUE(axis.GetTicks().autoTicks);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TickRefusalTest,
    ::testing::Values(TickRefusal{"edit814", "0", "The tick spacing can not be zero."},
                      TickRefusal{"edit814", "abc", "The tick spacing can not be zero."},
                      TickRefusal{"edit815", "0", "The label interval must be at least 1."},
                      TickRefusal{"edit814", "0.0001",
                                  "This tick spacing would put more than 10000 ticks on "
                                  "the axis.  Choose a larger spacing."}));

class TitleDistanceTest : public AxisDialogTest,
                          public ::testing::WithParamInterface<std::pair<const char*, const char*>>
{};

TEST_P(TitleDistanceTest, DistanceOutsideItsRangeIsRefused)
{
    AxisTitleValues values;
    values.distance = 0.4f;
    AxisTitleDialog dialog(values);
    dialog.show();
    type(edit(dialog, "edit141"), QString::fromLatin1(GetParam().first));
    clickOk(dialog);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromLatin1(GetParam().second)});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FLOAT_EQ(dialog.values().distance, 0.4f);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TitleDistanceTest,
    ::testing::Values(std::pair{"11", "Please enter a number between -10 and 10."},
                      std::pair{"-10.5", "Please enter a number between -10 and 10."},
                      std::pair{"far", "Please enter a number."}));

TEST_F(AxisDialogTest, ANewTitleFontKeepsTheTurnOfTheOldOne)
{
    ScriptedFontChooser chooser;
    FontChooserScope chooserScope(&chooser);
    AxisTitleValues values;
    values.text = QStringLiteral("Voltage");
    values.font = LogFont::fromFace(QStringLiteral("Arial"), -250);
    values.font.lfEscapement = -900;
    AxisTitleDialog dialog(values);
    EXPECT_EQ(find<QLabel>(dialog, "static139")->text(), QStringLiteral("Arial, 18 pt."));

    chooser.chosen.lfWidth = 30;
    chooser.chosen.lfHeight = -333;
    find<QPushButton>(dialog, "button140")->click();
    EXPECT_EQ(find<QLabel>(dialog, "static139")->text(), QStringLiteral("DejaVu Serif, 24 pt."));
    clickOk(dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    const LogFont& font = dialog.values().font;
    EXPECT_EQ(font.lfEscapement, -900);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfClipPrecision, 16);
    EXPECT_EQ(font.lfHeight, -333);
    EXPECT_EQ(font.faceName(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(dialog.values().color, chooser.chosenColor);
    EXPECT_EQ(dialog.values().text, QStringLiteral("Voltage"));
}

TEST_F(AxisDialogTest, LabelFontCommandTakesTheChoiceOnlyOnOk)
{
    ScriptedFontChooser chooser;
    FontChooserScope chooserScope(&chooser);
    axis.GetTicks().labelFont = LogFont::fromFace(QStringLiteral("Arial"), -166);
    axis.GetTicks().labelFont.lfWidth = 40;
    axis.GetTicks().labelPointSize = 120;

    chooser.answer = false;
    EXPECT_EQ(chooseAxisLabelFont(axis, nullptr), 0);
    EXPECT_EQ(chooser.offered.lfWidth, 0);
    EXPECT_EQ(axis.GetTicks().labelPointSize, 120);

    chooser.answer = true;
    EXPECT_EQ(chooseAxisLabelFont(axis, nullptr), 1);
    EXPECT_EQ(axis.GetTicks().labelFont, chooser.chosen);
    EXPECT_EQ(axis.GetTicks().labelPointSize, 180);
    EXPECT_EQ(axis.GetTicks().labelColor, chooser.chosenColor);
}

TEST(FontChooserTest, HeightsConvertBetweenThousandthsOfAnInchAndPixels)
{
    EXPECT_EQ(fontHeightToPixels(-166, 96), -16);
    EXPECT_EQ(fontHeightFromPixels(-16, 96), -166);
    EXPECT_EQ(fontHeightToPixels(-138, 120), -17); // 16.56 rounds away from zero
    EXPECT_EQ(fontHeightFromPixels(-17, 120), -141);
    EXPECT_EQ(fontHeightFromPixels(5, 0), 0);

    // The dialog starts on the size it was given and hands it back as a character height.
    const int dpi = screenFontDpi();
    LogFont start = LogFont::fromFace(QStringLiteral("DejaVu Sans"), -dpi / 6); // 12 pt
    start.lfEscapement = 900;
    FontChooserDialog dialog(start, RGB(0, 0, 255));
    EXPECT_EQ(dialog.chosenPointSize(), 120);
    EXPECT_EQ(dialog.chosenFont().lfHeight, -dpi / 6);
    EXPECT_EQ(dialog.chosenFont().lfEscapement, 0);
    EXPECT_EQ(dialog.chosenColor(), RGB(0, 0, 255));

    // A face the machine lacks starts on its stand-in and is kept when that is confirmed.
    FontChooserDialog missing(LogFont::fromFace(QStringLiteral("No Such Face"), -16), 0);
    EXPECT_EQ(missing.fontPanel()->currentFont().family(),
              QFontInfo(QFont(QStringLiteral("No Such Face"))).family());
    EXPECT_EQ(missing.chosenFont().faceName(), QStringLiteral("No Such Face"));
}

} // namespace
