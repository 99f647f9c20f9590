#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Mode = CommandLine::Mode;

struct ParseCase
{
    const char* name;
    QStringList args;
    Mode mode;
    QStringList files;
    QString output = {};
    int dpi = 0;
    bool values = false;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.name;
}

class ParseTest : public ::testing::TestWithParam<ParseCase>
{};

const ParseCase parseCases[] = {
    {"none", {}, Mode::Window, {}},
    {"files", {"a.pvn", "b.dat"}, Mode::Window, {"a.pvn", "b.dat"}},
    {"qtOptionsLeftToQt",
     {"-platform", "offscreen", "-style=fusion", "-reverse", "a.pvn"},
     Mode::Window,
     {"a.pvn"}},
    {"afterDoubleDash", {"--", "--export"}, Mode::Window, {"--export"}},
    {"help", {"a.pvn", "--help"}, Mode::Help, {"a.pvn"}},
    {"shortVersion", {"-v"}, Mode::Version, {}},
    {"export",
     {"--export", "out.png", "--dpi", "72", "in.dat"},
     Mode::Export,
     {"in.dat"},
     "out.png",
     72},
    {"exportEquals",
     {"in.pvn", "--export=out.svg", "--dpi=300"},
     Mode::Export,
     {"in.pvn"},
     "out.svg",
     300},
    {"describe", {"--describe", "in.dat"}, Mode::Describe, {"in.dat"}},
    {"values", {"--describe", "--values", "in.dat"}, Mode::Describe, {"in.dat"}, {}, 0, true},
    {"valuesAlone", {"--values", "in.dat"}, Mode::Describe, {"in.dat"}, {}, 0, true},
    {"unknownOption", {"--frobnicate", "in.dat"}, Mode::Invalid, {}},
    {"exportWithoutOutput", {"--export"}, Mode::Invalid, {}},
    {"exportWithoutInput", {"--export", "out.png"}, Mode::Invalid, {}},
    {"exportTwoInputs", {"--export", "out.png", "a.dat", "b.dat"}, Mode::Invalid, {}},
    {"exportAndDescribe", {"--export", "o.png", "--describe", "a.dat"}, Mode::Invalid, {}},
    {"dpiNotANumber", {"--export", "o.png", "--dpi", "high", "a.dat"}, Mode::Invalid, {}},
    {"dpiNegative", {"--export", "o.png", "--dpi", "-3", "a.dat"}, Mode::Invalid, {}},
    {"dpiWithoutExport", {"--dpi", "100", "a.dat"}, Mode::Invalid, {}},
    {"describeWithoutInput", {"--describe"}, Mode::Invalid, {}},
};

TEST_P(ParseTest, Modes)
{
    const ParseCase& c = GetParam();
    const CommandLine parsed = CommandLine::parse(c.args);
    EXPECT_EQ(parsed.mode, c.mode) << parsed.error.toStdString();
    if (c.mode == Mode::Invalid) {
        EXPECT_FALSE(parsed.error.isEmpty());
        EXPECT_FALSE(parsed.error.contains(QLatin1Char('\n')));
        return;
    }
    EXPECT_EQ(parsed.files, c.files);
    EXPECT_EQ(parsed.output, c.output);
    EXPECT_EQ(parsed.dpi, c.dpi);
    EXPECT_EQ(parsed.values, c.values);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, ParseTest, ::testing::ValuesIn(parseCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct Outcome
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Outcome runProgram(const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No display at all: the commands must not need one.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PLOTVANE_EXECUTABLE), args);
    Outcome run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString example(const char* name)
{
    return QDir(QStringLiteral(PLOTVANE_EXAMPLES)).filePath(QString::fromLatin1(name));
}

class ProgramTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(ProgramTest, HelpAndVersion)
{
    const Outcome version = runProgram({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QByteArray("Plotvane Version 2.0\n"));
    const Outcome help = runProgram({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("--export"));
}

TEST_F(ProgramTest, DescribeADataFileAsJson)
{
    const Outcome run = runProgram({QStringLiteral("--describe"), QStringLiteral("--values"),
                                    example("damped-oscillation.dat")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(run.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.left(200).toStdString();
    EXPECT_FALSE(json.isNull());
}

TEST_F(ProgramTest, ExportADataFileToEveryFormat)
{
    const Outcome png =
        runProgram({QStringLiteral("--export"), path("plot.png"), QStringLiteral("--dpi"),
                    QStringLiteral("50"), example("decay-with-errors.dat")});
    ASSERT_EQ(png.status, 0) << png.err.toStdString();
    const QImage image(path("plot.png"));
    ASSERT_FALSE(image.isNull());
    // The printer page without a printer: 9 x 7 inches.
    EXPECT_EQ(image.size(), QSize(450, 350));
    // Axes and a trace were drawn on the white page.
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            inked += qGray(image.pixel(x, y)) < 128;
    }
    EXPECT_GT(inked, 500);

    for (const char* name : {"plot.svg", "plot.pdf"}) {
        const Outcome run =
            runProgram({QStringLiteral("--export"), path(name), example("power-law.dat")});
        EXPECT_EQ(run.status, 0) << name << run.err.toStdString();
        EXPECT_GT(QFileInfo(path(name)).size(), 100) << name;
    }
}

// A data file saved as a plot document describes as the same plot once opened again.
TEST_F(ProgramTest, ExportADataFileAsAPlotDocument)
{
    const QString data = example("power-law.dat");
    ASSERT_EQ(runProgram({QStringLiteral("--export"), path("plot.pvn"), data}).status, 0);
    const Outcome fromData = runProgram({QStringLiteral("--describe"), data});
    const Outcome fromDocument = runProgram({QStringLiteral("--describe"), path("plot.pvn")});
    ASSERT_EQ(fromDocument.status, 0) << fromDocument.err.toStdString();
    const QJsonObject expected = QJsonDocument::fromJson(fromData.out).object();
    const QJsonObject actual = QJsonDocument::fromJson(fromDocument.out).object();
    EXPECT_EQ(actual.value("objects"), expected.value("objects"));
    EXPECT_EQ(actual.value("dataFiles"), expected.value("dataFiles"));
    EXPECT_EQ(actual.value("objects").toArray().size(), 3);
}

TEST_F(ProgramTest, BadInputGivesOneLineAndAFailure)
{
    QFile garbage(path("garbage.dat"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("no numbers\nhere at all\njust words\nand more\nand more words\n");
    garbage.close();
    QFile fake(path("fake.pvn"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("this is not a plot document");
    fake.close();
    QFile old(path("old.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous contents");
    old.close();

    const QStringList cases[] = {
        {"--describe", path("missing.dat")},
        {"--describe", path("garbage.dat")},
        {"--describe", path("fake.pvn")},
        {"--export", path("out.png"), path("missing.dat")},
        {"--export", path("out.jpg"), example("power-law.dat")},
        {"--export", path("old.png"), path("garbage.dat")},
        {"--export", path("out.png"), "--dpi", "100000", example("power-law.dat")},
        {"--export", path("no/such/dir/out.png"), example("power-law.dat")},
        {"--export", path("no/such/dir/out.pvn"), example("power-law.dat")},
        {"--export", path("out.png")},
        {"--bogus"},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const Outcome run = runProgram(args);
        EXPECT_GT(run.status, 0);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("plotvane: ")) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("out.png")));
    EXPECT_FALSE(QFile::exists(path("out.jpg")));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("previous contents"));
}
