#include "platform/Settings.h"
#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    QString profilePath() const { return QDir(dir_.path()).filePath("plotvane.ini"); }

    void writeProfileText(const QByteArray& text) const
    {
        QFile file(profilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray profileText() const
    {
        QFile file(profilePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    DefaultSettings readBack() const
    {
        Profile profile(profilePath());
        DefaultSettings settings;
        // Start from values no field has by default, so every field must be read.
        settings.xAxisLength = settings.yAxisLength = -7.0f;
        settings.labelFace.clear();
        settings.read(profile);
        return settings;
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsTest, FirstRunYieldsTheDefaults)
{
    const DefaultSettings s = readBack();
    EXPECT_EQ(s.xAxisLength, 6.0f);
    EXPECT_EQ(s.yAxisLength, 4.0f);
    EXPECT_EQ(s.originX, 1.0f);
    EXPECT_EQ(s.originY, 1.0f);
    EXPECT_EQ(s.labelFace, "Arial");
    EXPECT_EQ(s.labelSize, 12);
    EXPECT_EQ(s.labelSpacing, 0.1f);
    EXPECT_EQ(s.titleFace, "Arial");
    EXPECT_EQ(s.titleSize, 18);
    EXPECT_EQ(s.titleSpacing, 0.4f);
    EXPECT_EQ(s.symbolFace, "Wingdings");
    EXPECT_EQ(s.symbolSize, 10);
    EXPECT_EQ(s.symbolChar, 108u);
    EXPECT_EQ(s.tickDir, 0);
    EXPECT_EQ(s.units, 0);
    EXPECT_EQ(s.scale, 1.0f);
    EXPECT_FALSE(QFile::exists(profilePath())) << "reading must not create the profile";
}

TEST_F(SettingsTest, WriteThenReadKeepsEveryField)
{
    DefaultSettings s;
    s.xAxisLength = 7.25f;
    s.yAxisLength = 3.5f;
    s.labelSize = 9;
    s.labelFace = "DejaVu Sans";
    s.labelSpacing = -0.05f;
    s.titleSize = 24;
    s.titleFace = "Liberation Serif";
    s.symbolChar = 110;
    s.symbolFace = "Symbol";
    s.symbolSize = 7;
    s.titleSpacing = 0.625f;
    s.tickDir = 1;
    s.units = 1;
    s.originX = 1.5f;
    s.originY = -2.0f;
    s.scale = 0.75f;
    {
        Profile profile(profilePath());
        ASSERT_TRUE(s.write(profile));
    }
    // "%f" keeps six decimals, which every value above survives exactly.
    EXPECT_EQ(readBack(), s);
}

TEST_F(SettingsTest, StoresFloatsWithSixDecimalsAndIntsAsIntegers)
{
    {
        Profile profile(profilePath());
        ASSERT_TRUE(DefaultSettings{}.write(profile));
    }
    const QByteArray text = profileText();
    EXPECT_TRUE(text.startsWith("[Settings]")) << text.constData();
    for (const char* line :
         {"XAxisLength=6.000000", "YAxisLength=4.000000", "OriginX=1.000000", "OriginY=1.000000",
          "LabelSize=12", "LabelFace=Arial", "TitleSize=18", "TitleFace=Arial",
          "TitleSpacing=0.400000", "SymbolChar=108", "SymbolSize=10", "SymbolFace=Wingdings",
          "TickDir=0", "LabelSpacing=0.100000", "Units=0", "Scale=1.000000"})
        EXPECT_TRUE(text.contains(QByteArray(line) + '\n')) << line << " missing in\n"
                                                            << text.constData();
    EXPECT_EQ(text.count('\n'), 17) << "one section line and sixteen keys";
}

TEST_F(SettingsTest, WriteReportsAnUnwritableProfile)
{
    Profile profile(QStringLiteral("/proc/plotvane-no-such-dir/plotvane.ini"));
    EXPECT_FALSE(DefaultSettings{}.write(profile));
}

struct StoredValueCase
{
    const char* line;
    float DefaultSettings::*field;
    float expected;
};

void PrintTo(const StoredValueCase& c, std::ostream* os)
{
    *os << c.line;
}

class StoredFloatTest : public SettingsTest, public ::testing::WithParamInterface<StoredValueCase>
{};

// Floats are read like the C library's atof: the longest number at the start, else 0.
TEST_P(StoredFloatTest, ReadsLikeAtof)
{
    writeProfileText(QByteArray("[Settings]\n") + GetParam().line + "\n");
    const DefaultSettings s = readBack();
    EXPECT_EQ(s.*GetParam().field, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, StoredFloatTest,
    ::testing::Values(StoredValueCase{"XAxisLength=abc", &DefaultSettings::xAxisLength, 0.0f},
                      StoredValueCase{"XAxisLength=", &DefaultSettings::xAxisLength, 0.0f},
                      StoredValueCase{"YAxisLength=2.5in", &DefaultSettings::yAxisLength, 2.5f},
                      StoredValueCase{"OriginX=  -1.5", &DefaultSettings::originX, -1.5f},
                      StoredValueCase{"OriginY=1,5", &DefaultSettings::originY, 1.0f},
                      StoredValueCase{"Scale=nan", &DefaultSettings::scale, 0.0f},
                      StoredValueCase{"Scale=inf", &DefaultSettings::scale, 0.0f},
                      StoredValueCase{"TitleSpacing=1e39", &DefaultSettings::titleSpacing, 0.0f},
                      StoredValueCase{"LabelSpacing=1e-2", &DefaultSettings::labelSpacing, 0.01f}));

struct StoredIntCase
{
    const char* line;
    int labelSize;
};

void PrintTo(const StoredIntCase& c, std::ostream* os)
{
    *os << c.line;
}

class StoredIntTest : public SettingsTest, public ::testing::WithParamInterface<StoredIntCase>
{};

TEST_P(StoredIntTest, ReadsLeadingDigits)
{
    writeProfileText(QByteArray("[Settings]\n") + GetParam().line + "\n");
    EXPECT_EQ(readBack().labelSize, GetParam().labelSize);
}

INSTANTIATE_TEST_SUITE_P(Malformed, StoredIntTest,
                         ::testing::Values(StoredIntCase{"LabelSize=abc", 0},
                                           StoredIntCase{"LabelSize=14pt", 14},
                                           StoredIntCase{"LabelSize=-3", -3},
                                           StoredIntCase{"LabelSize=99999999999999", INT_MAX},
                                           StoredIntCase{"LabelSize=-99999999999999", INT_MIN}));

TEST_F(SettingsTest, KeepsStoredValuesUsable)
{
    writeProfileText("[Settings]\nSymbolChar=-5\nSymbolFace=" + QByteArray(40, 'W') +
                     "\nLabelFace=\"Times, New\"\n");
    const DefaultSettings s = readBack();
    EXPECT_EQ(s.symbolChar, 108u);
    EXPECT_EQ(s.symbolFace, QString(Settings::maxFaceLength, 'W'));
    EXPECT_EQ(s.labelFace, "Times, New");
}

TEST(ProfileTest, ReadsUnquotedCommaSeparatedTextAsOneString)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("p.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nWinPos=0,1,-1,-1,-1,-1,10,20,810,620\n");
    file.close();
    Profile profile(path);
    EXPECT_EQ(profile.getString("Settings", "WinPos"), "0,1,-1,-1,-1,-1,10,20,810,620");
    EXPECT_EQ(profile.getString("Settings", "Missing", "x"), "x");
    EXPECT_EQ(profile.getInt("Settings", "Missing", 4), 4);
}

TEST(ProfileTest, FollowsThePlotvaneProfileVariable)
{
    const QByteArray saved = qgetenv("PLOTVANE_PROFILE");
    qputenv("PLOTVANE_PROFILE", "/tmp/some/where.ini");
    EXPECT_EQ(Profile::path(), "/tmp/some/where.ini");
    qunsetenv("PLOTVANE_PROFILE");
    EXPECT_TRUE(Profile::path().endsWith("/plotvane.ini"));
    qputenv("PLOTVANE_PROFILE", saved);
}

TEST(UnitsTest, ConvertsWithTheSinglePrecisionFactor)
{
    EXPECT_EQ(toDisplay(6.0f, Settings::cm), 15.24f);
    EXPECT_FLOAT_EQ(fromDisplay(15.24f, Settings::cm), 6.0f);
    EXPECT_EQ(toDisplay(6.0f, Settings::inch), 6.0f);
    EXPECT_EQ(fromDisplay(15.24f, Settings::inch), 15.24f);
}

TEST(UnitsTest, CaptionAppendsTheUnitSuffix)
{
    EXPECT_EQ(unitCaption("Length", Settings::cm), "Length (cm):");
    EXPECT_EQ(unitCaption("Length", Settings::inch), "Length (in.):");
    EXPECT_EQ(unitCaption("Length", 7), "Length (in.):");
    EXPECT_EQ(unitCaption(QString(80, 'a'), Settings::cm), QString(70, 'a') + " (cm):");
}

} // namespace
