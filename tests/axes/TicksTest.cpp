#include "AxisTestSupport.h"
#include "axes/XAxis.h"
#include "axes/YAxis.h"
#include "common/FakeView.h"
#include "platform/Archive.h"
#include "platform/Settings.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// --- automatic linear ticks ---

struct AutoTicksCase
{
    const char* name;
    double start, end;
    double spacing, firstTick;
};

class AutoTicks : public ::testing::TestWithParam<AutoTicksCase>
{};

TEST_P(AutoTicks, ChooseNiceSteps)
{
    const AutoTicksCase& c = GetParam();
    Axis axis;
    axis.autoRange = false;
    axis.ticks.majorTickLength = 9; // automatic ticks overwrite everything
    axis.ticks.labelFormat = tickstruct::Format::Exponential;
    axis.SetLimits(c.start, c.end);
    const tickstruct& t = axis.ticks;
    EXPECT_DOUBLE_EQ(t.tickSpacing, c.spacing);
    EXPECT_DOUBLE_EQ(t.firstTick, c.firstTick);
    EXPECT_EQ(t.labelInterval, 2);
    EXPECT_EQ(t.majorTickLength, 0.15f);
    EXPECT_EQ(t.minorTickLength, 0.1f);
    EXPECT_EQ(t.labelOffsetX, 0.1f);
    EXPECT_EQ(t.labelOffsetY, 0.1f);
    EXPECT_EQ(t.labelFormat, tickstruct::Format::Auto);
    EXPECT_TRUE(t.autoDigits);
    EXPECT_EQ(t.decimalDigits, 0);
    EXPECT_DOUBLE_EQ(axis.start, c.start);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, AutoTicks,
    ::testing::Values(AutoTicksCase{"zeroToTen", 0, 10, 1.25, 0},
                      AutoTicksCase{"pointThreeToEightPointSeven", 0.3, 8.7, 1.25, 0},
                      AutoTicksCase{"zeroToHundred", 0, 100, 12.5, 0},
                      AutoTicksCase{"reversed", 10, 0, -1.25, 10},
                      AutoTicksCase{"negative", -7, 3, 1.25, -7.5},
                      AutoTicksCase{"quarterOverTen", 0, 41, 10, 0},
                      // Steps come from single-precision nice numbers: 0.5 * 0.1f.
                      AutoTicksCase{"small", 0, 0.9, double(2.5f * 0.1f) / 2, 0},
                      // Beyond the single-precision range the same steps are taken in double.
                      AutoTicksCase{"huge", -1e300, 1e300, 2.5e299, -1e300},
                      AutoTicksCase{"tiny", 0, 4e-300, 5e-301, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AutoTicks, AutomaticRangeStartsAtTheFirstTick)
{
    Axis axis;
    axis.SetLimits(0.3, 8.7);
    EXPECT_DOUBLE_EQ(axis.start, 0);
    // Manual ticks still move an automatic axis to the user's first tick.
    axis.ticks.autoTicks = false;
    axis.ticks.firstTick = -5;
    axis.ticks.tickSpacing = 3;
    axis.SetLimits(0.3, 8.7);
    EXPECT_DOUBLE_EQ(axis.start, -5);
    EXPECT_DOUBLE_EQ(axis.ticks.tickSpacing, 3);
}

TEST(AutoTicks, LimitsWithoutAStepKeepTheRecordAndTheStart)
{
    for (auto [s, e] : {std::pair{5.0, 5.0}, std::pair{-1e308, 1e308},
                        std::pair{0.0, std::numeric_limits<double>::infinity()},
                        std::pair{std::numeric_limits<double>::quiet_NaN(), 1.0}}) {
        Axis axis;
        axis.SetLimits(0, 10);
        axis.SetLimits(s, e);
        EXPECT_DOUBLE_EQ(axis.ticks.tickSpacing, 1.25) << s << " " << e;
        EXPECT_DOUBLE_EQ(axis.ticks.firstTick, 0);
        EXPECT_TRUE(std::isnan(s) ? std::isnan(axis.start) : axis.start == s);
    }
}

// --- automatic logarithmic ticks ---

TEST(AutoLogTicks, DataFrom3To4500StartAtOne)
{
    FakeDocument doc;
    doc.hasRange = true;
    doc.rangeMin = 3;
    doc.rangeMax = 4500;
    FakeView view;
    view.doc = &doc;
    YAxis axis(&view);
    axis.SetLog(true);
    axis.AutoRange();
    EXPECT_DOUBLE_EQ(axis.start, 1);
    EXPECT_DOUBLE_EQ(axis.end, 4500);
    EXPECT_DOUBLE_EQ(axis.ticks.firstTick, 0);
    EXPECT_DOUBLE_EQ(axis.ticks.tickSpacing, 0.1);
    EXPECT_EQ(axis.ticks.labelInterval, 10);
    EXPECT_DOUBLE_EQ(axis.scale, axis.length / std::log10(4500.0));
}

struct LogStartCase
{
    const char* name;
    double start, end;
    bool autoRange;
    double expectedStart, expectedFirstTick;
};

class AutoLogTicks : public ::testing::TestWithParam<LogStartCase>
{};

TEST_P(AutoLogTicks, StartAtADecade)
{
    const LogStartCase& c = GetParam();
    Axis axis;
    axis.logScale = true;
    axis.autoRange = c.autoRange;
    axis.ticks.firstTick = 99;
    axis.start = c.start;
    axis.end = c.end;
    axis.AutoLogTicks();
    EXPECT_DOUBLE_EQ(axis.start, c.expectedStart);
    EXPECT_DOUBLE_EQ(axis.ticks.firstTick, c.expectedFirstTick);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, AutoLogTicks,
    ::testing::Values(LogStartCase{"zeroStartFixed", 0, 50, 0, 0.05, -2},
                      LogStartCase{"zeroStartAutomatic", 0, 50, 1, 0.01, -2},
                      LogStartCase{"within", 30, 5000, 1, 10, 1},
                      LogStartCase{"belowOne", 0.003, 2, 1, 0.001, -3},
                      // No positive end: nothing to take a logarithm of, the limits stay.
                      LogStartCase{"endNotPositive", 0, -4, 1, 0, 99}),
    [](const auto& info) { return std::string(info.param.name); });

// --- direction and offsets of the two kinds ---

struct DirectionCase
{
    const char* name;
    bool vertical;
    int tickDir;
    int expectedAngle;
    float expectedOffsetX, expectedOffsetY;
};

class TickDirection : public ::testing::TestWithParam<DirectionCase>
{};

TEST_P(TickDirection, FollowsTheSettings)
{
    const DirectionCase& c = GetParam();
    DefaultSettings& s = defaultSettings();
    const DefaultSettings saved = s;
    s.tickDir = c.tickDir;
    s.labelSpacing = 0.25f;
    std::unique_ptr<Axis> axis;
    if (c.vertical)
        axis = std::make_unique<YAxis>();
    else
        axis = std::make_unique<XAxis>();
    axis->SetLimits(0, 10);
    EXPECT_EQ(axis->ticks.tickAngle, c.expectedAngle);
    EXPECT_EQ(axis->ticks.labelOffsetX, c.expectedOffsetX);
    EXPECT_EQ(axis->ticks.labelOffsetY, c.expectedOffsetY);
    // Logarithmic axes get them too; manual ticks keep their own.
    axis->SetLog(true);
    EXPECT_EQ(axis->ticks.tickAngle, c.expectedAngle);
    axis->ticks.autoTicks = false;
    axis->ticks.tickAngle = 45;
    axis->AutoTicks();
    EXPECT_EQ(axis->ticks.tickAngle, 45);
    s = saved;
}

INSTANTIATE_TEST_SUITE_P(Kinds, TickDirection,
                         ::testing::Values(DirectionCase{"xIn", false, 0, 90, 0.0f, -0.25f},
                                           DirectionCase{"xOut", false, 1, -90, 0.0f, -0.25f},
                                           DirectionCase{"yIn", true, 0, 0, -0.25f, 0.0f},
                                           DirectionCase{"yOut", true, 1, 180, -0.25f, 0.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- label text ---

struct LabelCase
{
    const char* name;
    int format; // as stored: 7 is no format of ours
    bool autoDigits;
    int digits;
    double firstTick, spacing;
    int n;
    bool log;
    const char* expected;
};

class LabelText : public ::testing::TestWithParam<LabelCase>
{};

TEST_P(LabelText, IsFormattedAsChosen)
{
    const LabelCase& c = GetParam();
    Axis axis;
    axis.logScale = c.log;
    tickstruct& t = axis.ticks;
    t.labelFormat = tickstruct::Format(c.format);
    t.autoDigits = c.autoDigits;
    t.decimalDigits = c.digits;
    t.firstTick = c.firstTick;
    t.tickSpacing = c.spacing;
    EXPECT_EQ(axis.FormatLabel(c.n), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LabelText,
    ::testing::Values(LabelCase{"autoHalf", 1, 1, 0, 0, 0.5, 1, 0, "0.5"},
                      LabelCase{"autoMillion", 1, 1, 0, 0, 1e6, 1, 0, "1e+006"},
                      LabelCase{"autoOnePointTwoFive", 1, 1, 0, 0, 1.25, 1, 0, "1.25"},
                      LabelCase{"decimalTwo", 2, 0, 2, 0, 1.25, 1, 0, "1.25"},
                      LabelCase{"decimalTwoPads", 2, 0, 2, 0, 1.25, 2, 0, "2.50"},
                      LabelCase{"decimalAutoDigits", 2, 1, 2, 0, 1.25, 1, 0, "1.250000"},
                      LabelCase{"decimalZeroDigits", 2, 0, 0, 0, 1.25, 3, 0, "4"},
                      LabelCase{"exponentialOne", 3, 0, 1, 0, 2500, 1, 0, "2.5e+003"},
                      LabelCase{"exponentialSmall", 3, 0, 0, 0, 2e-5, 1, 0, "2e-005"},
                      LabelCase{"autoIgnoresDigits", 1, 0, 2, 0, 1.25, 1, 0, "1.25"},
                      LabelCase{"unknownFormatIsGeneral", 7, 0, 2, 0, 1.234, 1, 0, "1.2"},
                      LabelCase{"negativeDigitsAreDefault", 2, 0, -3, 0, 0.5, 1, 0, "0.500000"},
                      LabelCase{"logExponentThree", 1, 1, 0, 0, 0.1, 30, 1, "1000"},
                      LabelCase{"logBelowOne", 1, 1, 0, -2, 0.1, 10, 1, "0.1"},
                      LabelCase{"cutAtFourteen", 2, 0, 15, 0, 1.25, 1, 0, "1.250000000000"},
                      LabelCase{"cutDigitsCappedAt15", 2, 0, 40, 1e6, 0.5, 0, 0, "1000000.000000"},
                      LabelCase{"snapsDustToZero", 1, 1, 0, -0.3, 0.1, 3, 0, "0"},
                      LabelCase{"snapsOnReversedAxes", 1, 1, 0, 0.3, -0.1, 3, 0, "0"},
                      LabelCase{"overflowIsInf", 1, 1, 0, 300, 10, 1, 1, "inf"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the stored record ---

template <class T> auto bits(T v)
{
    if constexpr (sizeof(T) == 4)
        return std::bit_cast<uint32_t>(v);
    else
        return std::bit_cast<uint64_t>(v);
}

// An axis whose every stored field holds a value that a careless encoding would change.
void fillOddValues(Axis& axis)
{
    axis.x = std::nextafter(1.0f, 2.0f);
    axis.y = -0.0f;
    axis.name = QStringLiteral("Pressure");
    axis.length = 1.0f / 3.0f;
    axis.angle = -90;
    axis.dirX = std::nextafter(0.0, 1.0); // the smallest subnormal
    axis.dirY = -1.0 / 3.0;
    axis.start = 0.1;
    axis.end = std::numeric_limits<double>::infinity();
    axis.autoRange = false;
    axis.logScale = true;
    tickstruct& t = axis.ticks;
    t.firstTick = -1e-300;
    t.tickSpacing = std::bit_cast<double>(uint64_t(0x7FF8000000000123)); // a NaN with payload
    t.labelInterval = -7;
    t.tickAngle = 32767;
    t.majorTickLength = std::bit_cast<float>(uint32_t(0x7FC00042));
    t.minorTickLength = 1e-40f; // subnormal
    t.labelOffsetX = -0.1f;
    t.labelOffsetY = 3.4e38f;
    t.labelFormat = tickstruct::Format::Exponential;
    t.decimalDigits = 11;
    t.autoDigits = false;
    t.autoTicks = false;
    t.showLabels = true;
    t.labelFont = LogFont::fromFace(QStringLiteral("Liberation Serif"), -250, LogFont::FW_BOLD);
    t.labelFont.lfEscapement = -900;
    t.labelFont.lfItalic = 1;
    t.labelFont.lfFaceName[30] = 'z'; // after the terminator: kept too
    t.labelPointSize = 180;
    t.labelColor = 0x00ABCDEF;
}

QByteArray recordOf(Axis& axis)
{
    Archive out;
    axis.Serialize(out);
    return out.data();
}

TEST(AxisRecord, ReadsBackBitForBit)
{
    XAxis original;
    fillOddValues(original);
    const QByteArray bytes = recordOf(original);

    XAxis copy;
    Archive in(bytes);
    copy.Serialize(in);
    EXPECT_EQ(in.bytesLeft(), 0u);
    EXPECT_EQ(recordOf(copy), bytes);

    EXPECT_EQ(bits(copy.x), bits(original.x));
    EXPECT_EQ(bits(copy.y), bits(original.y));
    EXPECT_EQ(copy.name, original.name);
    EXPECT_EQ(bits(copy.length), bits(original.length));
    EXPECT_EQ(copy.angle, -90);
    EXPECT_EQ(bits(copy.dirX), bits(original.dirX));
    EXPECT_EQ(bits(copy.dirY), bits(original.dirY));
    EXPECT_EQ(bits(copy.start), bits(original.start));
    EXPECT_EQ(bits(copy.end), bits(original.end));
    EXPECT_FALSE(copy.autoRange);
    EXPECT_TRUE(copy.logScale);
    EXPECT_EQ(copy.GetTitle(), nullptr);
    const tickstruct& a = copy.ticks;
    const tickstruct& b = original.ticks;
    EXPECT_EQ(bits(a.firstTick), bits(b.firstTick));
    EXPECT_EQ(bits(a.tickSpacing), bits(b.tickSpacing));
    EXPECT_EQ(a.labelInterval, -7);
    EXPECT_EQ(a.tickAngle, 32767);
    EXPECT_EQ(bits(a.majorTickLength), bits(b.majorTickLength));
    EXPECT_EQ(bits(a.minorTickLength), bits(b.minorTickLength));
    EXPECT_EQ(bits(a.labelOffsetX), bits(b.labelOffsetX));
    EXPECT_EQ(bits(a.labelOffsetY), bits(b.labelOffsetY));
    EXPECT_EQ(a.labelFormat, tickstruct::Format::Exponential);
    EXPECT_EQ(a.decimalDigits, 11);
    EXPECT_FALSE(a.autoDigits);
    EXPECT_FALSE(a.autoTicks);
    EXPECT_TRUE(a.showLabels);
    EXPECT_EQ(a.labelFont, b.labelFont);
    EXPECT_EQ(a.labelPointSize, 180);
    EXPECT_EQ(a.labelColor, 0x00ABCDEFu);
    // Rescale ran on loading, and the infinite end left the scale alone.
    EXPECT_EQ(copy.scale, XAxis().scale);
}

TEST(AxisRecord, FieldsSitWhereTheFileFormatPutsThem)
{
    XAxis axis;
    fillOddValues(axis);
    const QByteArray bytes = recordOf(axis);
    // Location 8, name 1 + 8, axis fields 4+2+8+8+8+8+2+2+2, tick record 102.
    ASSERT_EQ(bytes.size(), 8 + 9 + 44 + 102);
    const char* axisFields = bytes.constData() + 17;
    EXPECT_EQ(std::memcmp(axisFields + 4, "\xA6\xFF", 2), 0);  // angle -90, 16 bits
    EXPECT_EQ(std::memcmp(axisFields + 38, "\x00\x00", 2), 0); // autoRange
    EXPECT_EQ(std::memcmp(axisFields + 40, "\x01\x00", 2), 0); // logScale
    EXPECT_EQ(std::memcmp(axisFields + 42, "\x00\x00", 2), 0); // no title
    const char* ticks = axisFields + 44;
    EXPECT_EQ(std::memcmp(ticks + 16, "\xF9\xFF", 2), 0);         // labelInterval -7
    EXPECT_EQ(std::memcmp(ticks + 36, "\x0B\x00", 2), 0);         // digits come first,
    EXPECT_EQ(std::memcmp(ticks + 38, "\x00\x00", 2), 0);         // then the auto-digits flag,
    EXPECT_EQ(std::memcmp(ticks + 40, "\x03\x00", 2), 0);         // then the format
    EXPECT_EQ(std::memcmp(ticks + 46, "\x06\xFF", 2), 0);         // font height -250
    EXPECT_EQ(ticks[46 + 18 + 30], 'z');                          // all 32 face bytes
    EXPECT_EQ(std::memcmp(ticks + 96, "\xB4\x00", 2), 0);         // point size 180
    EXPECT_EQ(std::memcmp(ticks + 98, "\xEF\xCD\xAB\x00", 4), 0); // colour
}

TEST(AxisRecord, EveryTruncationEndsInAnArchiveError)
{
    XAxis axis;
    fillOddValues(axis);
    const QByteArray bytes = recordOf(axis);
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        XAxis target;
        Archive in(bytes.left(n));
        EXPECT_THROW(target.Serialize(in), ArchiveException) << "at " << n;
    }
}

TEST(AxisRecord, TitleTravelsAsAnObjectReference)
{
    YAxis axis;
    axis.SetLimits(0, 10);
    FakeTitle title;
    title.name = QStringLiteral("Y-Axis 1 Title");
    axis.SetTitle(&title);
    Archive out;
    out.writeObject(&axis);
    out.writeObject(&title); // the page list mentions it again: a back-reference
    axis.SetTitle(nullptr);

    Archive in(out.data());
    auto loaded = in.readOwnedObject<YAxis>();
    ASSERT_NE(loaded, nullptr);
    auto loadedTitle = in.readOwnedObject<FakeTitle>();
    ASSERT_NE(loadedTitle, nullptr);
    EXPECT_EQ(loaded->GetTitle(), loadedTitle.get());
    EXPECT_EQ(loadedTitle->name, title.name);
    EXPECT_EQ(loaded->length, 4.0f);
    loaded.reset(); // the axis goes first and tells its title
    EXPECT_EQ(loadedTitle->released.size(), 1);
}

TEST(AxisRecord, AnAxisAsTitleIsRefused)
{
    for (bool self : {false, true}) {
        XAxis axis;
        XAxis other;
        axis.SetTitle(self ? static_cast<visibleobject*>(&axis) : &other);
        Archive out;
        out.writeObject(&axis);
        axis.SetTitle(nullptr);
        Archive in(out.data());
        try {
            in.readObject<XAxis>();
            ADD_FAILURE() << "accepted";
        } catch (const ArchiveException& e) {
            EXPECT_EQ(e.cause(), ArchiveException::Cause::badClass);
        }
    }
}

TEST(TickRecord, CopiesCarryEveryField)
{
    XAxis source;
    fillOddValues(source);
    tickstruct copy;
    copy.CopyTicks(source.ticks);
    Archive a;
    copy.Serialize(a);
    Archive b;
    source.ticks.Serialize(b);
    EXPECT_EQ(a.data(), b.data());
    EXPECT_EQ(a.data().size(), 102);
}

} // namespace
