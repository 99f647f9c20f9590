#include "app/CommandLine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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
    QString format = {};
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
    {"format",
     {"--export", "/dev/stdout", "--format", "SVG", "in.dat"},
     Mode::Export,
     {"in.dat"},
     "/dev/stdout",
     0,
     false,
     "svg"},
    {"formatUnknown", {"--export", "o", "--format", "bmp", "a.dat"}, Mode::Invalid, {}},
    {"formatWithoutExport", {"--format", "png", "a.dat"}, Mode::Invalid, {}},
    {"describeWithoutInput", {"--describe"}, Mode::Invalid, {}},
    {"fit", {"--fit", "polynomial:3", "--range", "-2:5", "in.dat"}, Mode::Analyse, {"in.dat"}},
    {"smooth", {"--smooth", "5", "out.dat", "in.dat"}, Mode::Analyse, {"in.dat"}, "out.dat"},
    {"fitWithoutOrder", {"--fit", "polynomial", "in.dat"}, Mode::Invalid, {}},
    {"fitUnknownModel", {"--fit", "cubic", "in.dat"}, Mode::Invalid, {}},
    {"rangeWithoutFit", {"--interpolate", "2", "--range", "1:2", "in.dat"}, Mode::Invalid, {}},
    {"twoAnalyses", {"--fit", "power", "--integrate", "1:2", "in.dat"}, Mode::Invalid, {}},
    {"smoothWithoutOutput", {"--smooth", "5"}, Mode::Invalid, {}},
    {"readingOptions",
     {"--describe", "--comment=%", "--delimiter", "auto", "--missing=-,NA", "--header-line=2",
      "in.csv"},
     Mode::Describe,
     {"in.csv"}},
    {"readingOptionWithoutHeadless", {"--header-line", "1", "in.csv"}, Mode::Invalid, {}},
    {"unknownDelimiter", {"--describe", "--delimiter", "pipe", "in.csv"}, Mode::Invalid, {}},
    {"firstLineZero", {"--describe", "--first-line", "0", "in.csv"}, Mode::Invalid, {}},
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
    EXPECT_EQ(parsed.format, c.format);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, ParseTest, ::testing::ValuesIn(parseCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct Outcome
{
    int status = -1; // -1: still running at the time limit; -2: ended by a signal
    QByteArray out;
    QByteArray err;
    // The last line on stderr, without the line break.
    QByteArray lastErrLine() const { return err.trimmed().split('\n').last(); }
};

struct RunOptions
{
    QStringList environment = {}; // NAME=value, added to the test's own
    QString workingDirectory = {};
    std::function<void()> inChild = {}; // run in the child before the program starts
    int timeoutMs = 60000;
};

Outcome runProgram(const QStringList& args, const RunOptions& options = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No display at all: the commands must not need one.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const QString& variable : options.environment)
        env.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    if (!options.workingDirectory.isEmpty())
        process.setWorkingDirectory(options.workingDirectory);
    if (options.inChild)
        process.setChildProcessModifier(options.inChild);
    process.start(QStringLiteral(PLOTVANE_EXECUTABLE), args);
    Outcome run;
    if (!process.waitForFinished(options.timeoutMs)) {
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
    QString write(const char* name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    static QByteArray read(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList entries() const
    {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
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

TEST_F(ProgramTest, AnalysisPrintsTheLogLinesAndRefusesWithTheDialogTexts)
{
    const QString data =
        write("sq.dat", "0 0\n1 1\n2 4\n3 9\n4 16\n5 25\n6 36\n7 49\n8 64\n9 81\n");
    const auto run = [&](QStringList args) {
        args.append(data);
        return runProgram(args);
    };
    Outcome r = run({"--interpolate", "2.5"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1-sq.dat-- Interpolation of order 2: \n     2.5,6.25\n");
    r = run({"--fit", "polynomial:2", "--range", "2:5"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("1-sq.dat-- polynomial fit of order 2\nchi square = "));
    EXPECT_TRUE(r.out.endsWith("\nc[2] = 1\n")) << r.out.toStdString();
    const QString smoothed = path("sm.dat");
    r = run({"--smooth", "3", smoothed});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(read(smoothed).startsWith("0  0.5\n1  1.66667\n"));

    // Refusals: the dialogs' texts, exit status 1, nothing written.
    const struct
    {
        QStringList args;
        const char* text;
    } refusals[] = {
        {{"--fit", "polynomial:201"}, "Please enter an integer between 1 and 200."},
        {{"--fit", "power"}, "Data contains negative x or y data."},
        {{"--fit", "power", "--range", "3:3"}, "Starting and ending limits can not be the same"},
        {{"--integrate", "1:x"}, "Please enter a number."},
        {{"--interpolate", "1", "--order", "11"}, "Please enter an integer between 1 and 10."},
        {{"--smooth", "4", path("no.dat")}, "The smooth algorithm requires an odd window size."},
        {{"--smooth", "5", path("no.dat")}, "Please enter an integer between 3 and 4."},
    };
    for (const auto& refusal : refusals) {
        r = run(refusal.args);
        EXPECT_EQ(r.status, 1) << refusal.text;
        EXPECT_TRUE(r.out.isEmpty()) << refusal.text;
        EXPECT_TRUE(r.lastErrLine().startsWith(QByteArray("plotvane: ") + refusal.text))
            << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("no.dat")));
    // With --absolute the zero at x = 0 is taken through its stand-in.
    EXPECT_EQ(run({"--fit", "power", "--absolute"}).status, 0);
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

// The reading options read a comma-separated export with a header, an empty field and a date
// column as the import dialog would; without them it is no data file.
TEST_F(ProgramTest, ReadingOptionsReadAnExport)
{
    const QString csv = write("export.csv", "Exported by a logger\nsite four\nunits\nmore\n"
                                            "time,volts,amps\n2024-01-01T00:00:00Z,1,\n"
                                            "2024-01-01T00:01:00Z,2,5\n");
    EXPECT_EQ(runProgram({"--describe", csv}).status, 1);
    const Outcome run = runProgram({"--describe", "--values", "--header-line=5",
                                    "--delimiter=comma", "--missing", "--date-column=1", csv});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject file =
        QJsonDocument::fromJson(run.out).object().value("dataFiles").toArray().at(0).toObject();
    EXPECT_EQ(file.value("columns").toInt(), 3);
    EXPECT_EQ(file.value("points").toInt(), 2);
    const QJsonArray times = file.value("values").toArray().at(0).toArray();
    EXPECT_EQ(times.at(1).toDouble() - times.at(0).toDouble(), 60.0);
    EXPECT_EQ(file.value("values").toArray().at(2).toArray().at(1).toDouble(), 5.0);
}

// Data from (0, 0) to (6, 4) on axes of one inch a unit from (1 in, 1 in): x ticks every 1 with
// labels every 2, y ticks every 0.5 with labels every 1.
TEST_F(ProgramTest, ExportADataFileToEveryFormat)
{
    const QString data = write("line.dat", "0 0\n3 1\n6 4\n");
    const Outcome png = runProgram({"--export", path("plot.png"), "--dpi", "50", data});
    ASSERT_EQ(png.status, 0) << png.err.toStdString();
    const QImage image(path("plot.png"));
    // The printer page without a printer: 9 x 7 inches.
    ASSERT_EQ(image.size(), QSize(450, 350));
    // At 50 dpi a unit is 50 pixels and the origin is the pixel (50, 300), y down.
    const auto at = [](double vx, double vy) {
        return QPoint(50 + int(std::lround(vx * 50)), 300 - int(std::lround(vy * 50)));
    };
    const auto ink = [&](const QRect& area, double* centreX = nullptr, double* centreY = nullptr) {
        int count = 0;
        double sx = 0, sy = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (image.valid(x, y) && qGray(image.pixel(x, y)) < 128) {
                    ++count;
                    sx += x;
                    sy += y;
                }
            }
        }
        if (centreX && count)
            *centreX = sx / count;
        if (centreY && count)
            *centreY = sy / count;
        return count;
    };
    const auto dot = [&](QPoint p) { return ink(QRect(p - QPoint(1, 1), QSize(3, 3))) > 0; };
    EXPECT_TRUE(dot(at(2.5, 0))) << "x axis";
    EXPECT_TRUE(dot(at(0, 2.5))) << "y axis";
    // Ticks point up and right into the plot, longer at the labels.
    EXPECT_TRUE(dot(at(2, 0) - QPoint(0, 6))) << "major x tick";
    EXPECT_FALSE(dot(at(1, 0) - QPoint(0, 7))) << "minor x tick";
    EXPECT_TRUE(dot(at(1, 0) - QPoint(0, 3))) << "minor x tick";
    const auto dark = [&](QPoint p) { return qGray(image.pixel(p)) < 128; };
    // The labels stand 5 pixels from the axis.
    EXPECT_FALSE(dark(at(2, 0) + QPoint(0, 3))) << "x tick below the axis";
    EXPECT_TRUE(dot(at(0, 2) + QPoint(6, 0))) << "major y tick";
    EXPECT_FALSE(dark(at(0, 2) - QPoint(3, 0))) << "y tick left of the axis";
    EXPECT_TRUE(dot(at(3, 1))) << "trace point";
    EXPECT_TRUE(dot(at(1.5, 0.5))) << "trace between points";
    EXPECT_FALSE(dot(at(1.5, 2))) << "empty plot";
    // Labels: below the x ticks, centred; left of the y axis, level with their tick.
    for (int v : {2, 4, 6}) {
        double cx = -1;
        EXPECT_GT(ink(QRect(at(v, 0).x() - 10, 303, 21, 12), &cx), 3) << "x label " << v;
        EXPECT_NEAR(cx, at(v, 0).x(), 2) << "x label " << v;
    }
    for (int v : {1, 2, 3}) {
        double cy = -1;
        EXPECT_GT(ink(QRect(20, at(0, v).y() - 6, 27, 13), nullptr, &cy), 3) << "y label " << v;
        EXPECT_NEAR(cy, at(0, v).y(), 2) << "y label " << v;
    }

    // Vector pictures in thousandths of an inch, y down from the top of the page.
    ASSERT_EQ(runProgram({"--export", path("plot.svg"), data}).status, 0);
    const QByteArray svg = read(path("plot.svg"));
    EXPECT_TRUE(svg.contains("points=\"1000,6000 7000,6000 \"")) << "x axis";
    EXPECT_TRUE(svg.contains("points=\"1000,6000 4000,5000 7000,2000 \"")) << "trace";
    const Outcome pdf = runProgram({"--export", path("plot.pdf"), data});
    EXPECT_EQ(pdf.status, 0) << pdf.err.toStdString();
    EXPECT_TRUE(read(path("plot.pdf")).startsWith("%PDF-"));
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

// A trace point at (0.123, 0.456) on axes of one inch per unit from (1 in, 1 in) lies at
// (1.123 in, 1.456 in) on the page in a vector picture, whatever --dpi says.
TEST_F(ProgramTest, VectorPicturesKeepFullPrecisionWhateverTheResolution)
{
    const QString data = write("point.dat", "0 0\n0.123 0.456\n6 4\n");
    const QRegularExpression number(QStringLiteral("[-0-9.]+"));
    QByteArray pdfs[2];
    for (int i : {0, 1}) {
        const QString dpi = i == 0 ? QStringLiteral("100") : QStringLiteral("300");
        SCOPED_TRACE(dpi.toStdString());
        ASSERT_EQ(runProgram({"--export", path("page.svg"), "--dpi", dpi, data}).status, 0);
        const QString svg = QString::fromUtf8(read(path("page.svg")));
        const auto attribute = [&](const char* name) {
            return QRegularExpression(QStringLiteral("%1=\"([^\"]*)\"").arg(QLatin1String(name)))
                .match(svg)
                .captured(1);
        };
        EXPECT_EQ(attribute("width"), "228.6mm");
        EXPECT_EQ(attribute("height"), "177.8mm");
        const double inchesPerUnit = 9.0 / attribute("viewBox").split(' ').value(2).toDouble();
        bool found = false;
        QRegularExpressionMatchIterator points =
            QRegularExpression(QStringLiteral("points=\"([^\"]*)\"")).globalMatch(svg);
        while (points.hasNext()) {
            for (const QString& point : points.next().captured(1).split(' ', Qt::SkipEmptyParts)) {
                const double x = point.section(',', 0, 0).toDouble() * inchesPerUnit;
                const double y = 7.0 - point.section(',', 1, 1).toDouble() * inchesPerUnit;
                found = found || (std::abs(x - 1.123) < 0.0006 && std::abs(y - 1.456) < 0.0006);
            }
        }
        EXPECT_TRUE(found) << svg.left(2000).toStdString();

        ASSERT_EQ(runProgram({"--export", path("page.pdf"), "--dpi", dpi, data}).status, 0);
        // Apart from the time it was made.
        for (const QByteArray& line : read(path("page.pdf")).split('\n')) {
            if (!line.contains("/CreationDate"))
                pdfs[i] += line + '\n';
        }
    }
    EXPECT_EQ(pdfs[0], pdfs[1]);
}

// A disk that fills half way (here a file size limit): the old file stays, with a message
// and a failure, and nothing is left behind.
TEST_F(ProgramTest, AWriteFailingHalfWayLeavesTheOldFile)
{
    const auto limitFileSize = [] {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {2000, 2000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
    for (const char* name : {"old.png", "old.svg", "old.pdf", "old.pvn"}) {
        SCOPED_TRACE(name);
        const QString out = write(name, "previous contents");
        const Outcome run =
            runProgram({"--export", out, "--dpi", "300", example("damped-oscillation.dat")},
                       {.inChild = limitFileSize});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.lastErrLine().contains(strerror(EFBIG))) << run.err.toStdString();
        EXPECT_EQ(read(out), "previous contents");
        EXPECT_EQ(entries(), QStringList{QString::fromLatin1(name)});
        QFile::remove(out);
    }
}

// A FIFO, or a link to one, is written into and stays what it is; one without a reader is
// refused at once. A link to a regular file keeps pointing at it, now the picture.
TEST_F(ProgramTest, AnOutputThatIsNoRegularFileIsWrittenIntoNotReplaced)
{
    const QString data = example("power-law.dat");
    const QString fifo = path("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto isFifo = [&] {
        struct stat st
        {};
        return ::lstat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
    };
    const Outcome unread =
        runProgram({"--export", fifo, "--dpi", "10", data}, {.timeoutMs = 10000});
    EXPECT_EQ(unread.status, 1) << unread.err.toStdString();
    EXPECT_TRUE(isFifo());

    ASSERT_TRUE(QFile::link(fifo, path("to-pipe.png")));
    for (const char* name : {"pipe.png", "to-pipe.png"}) {
        SCOPED_TRACE(name);
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        const Outcome run =
            runProgram({"--export", path(name), "--dpi", "10", data}, {.timeoutMs = 10000});
        QByteArray picture(1 << 16, '\0');
        picture.truncate(std::max<ssize_t>(0, ::read(reader, picture.data(), picture.size())));
        ::close(reader);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_FALSE(QImage::fromData(picture, "PNG").isNull());
        EXPECT_TRUE(isFifo());
    }
    EXPECT_TRUE(QFileInfo(path("to-pipe.png")).isSymLink());

    write("target.png", "old");
    ASSERT_TRUE(QFile::link(path("target.png"), path("link.png")));
    EXPECT_EQ(runProgram({"--export", path("link.png"), "--dpi", "10", data}).status, 0);
    EXPECT_TRUE(QFileInfo(path("link.png")).isSymLink());
    EXPECT_FALSE(QImage(path("target.png")).isNull());

    const Outcome piped = runProgram({"--export", "/dev/stdout", "--format", "svg", data});
    EXPECT_EQ(piped.status, 0) << piped.err.toStdString();
    EXPECT_TRUE(piped.out.startsWith("<?xml")) << piped.out.left(100).toStdString();
}

// The output may not be the input, under any name, nor a data file of an input plot.
TEST_F(ProgramTest, AnOutputThatIsAnInputIsRefused)
{
    const QByteArray rows = "1 1\n2 4\n3 9\n";
    const QString self = write("self.png", rows);
    ASSERT_TRUE(QFile::link(self, path("alias.png")));
    ASSERT_EQ(::link(QFile::encodeName(self).constData(),
                     QFile::encodeName(path("hard.png")).constData()),
              0);
    const QString data = write("data.png", rows);
    ASSERT_EQ(runProgram({"--export", path("plot.pvn"), data}).status, 0);
    const QStringList cases[] = {
        {"--export", self, self},
        {"--export", path("alias.png"), self},
        {"--export", path("hard.png"), self},
        {"--export", data, path("plot.pvn")},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome run = runProgram(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
    EXPECT_EQ(read(self), rows);
    EXPECT_EQ(read(data), rows);
}

// Input that is a FIFO is refused without waiting for a writer.
TEST_F(ProgramTest, AFifoAsInputIsRefusedAtOnce)
{
    const QString fifo = path("input.dat");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QStringList cases[] = {{"--describe", fifo}, {"--export", path("out.png"), fifo}};
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome run = runProgram(args, {.timeoutMs = 10000});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains("Not able to open file as data file"))
            << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("out.png")));
}

// What could be drawn is written; the missing or broken data file is named in one line, and
// the status tells a script that something was left out.
TEST_F(ProgramTest, PartialInputWritesWhatCouldBeDrawnWithWarnings)
{
    const QString partial = write("partial.dat", "1 1\n2 4\n3 9\na\nb\nc\nd\ne\n5 6\n");
    const QString gone = write("gone.dat", "1 1\n2 4\n3 9\n");
    ASSERT_EQ(runProgram({"--export", path("plot.pvn"), gone}).status, 0);
    ASSERT_TRUE(QFile::remove(gone));
    QTemporaryDir elsewhere;

    const struct
    {
        QStringList args;
        QString file;
        const char* why;
    } cases[] = {
        {{"--export", path("a.png"), partial}, partial, "Error parsing file at line 3"},
        {{"--describe", partial}, partial, "Error parsing file at line 3"},
        {{"--export", path("b.png"), path("plot.pvn")}, gone, "Cannot find this file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Outcome run = runProgram(c.args, {.workingDirectory = elsewhere.path()});
        EXPECT_EQ(run.status, 3);
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.file.toUtf8())) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.why)) << run.err.toStdString();
    }
    EXPECT_FALSE(QImage(path("a.png")).isNull());
    EXPECT_FALSE(QImage(path("b.png")).isNull());
    EXPECT_TRUE(runProgram({"--help"}).out.contains("  3  "));
}

// The commands draw with the user's defaults, as the window does.
TEST_F(ProgramTest, TheDefaultsOfTheProfileApply)
{
    write("plotvane.ini", "[Settings]\nXAxisLength=3\n");
    const Outcome run = runProgram({"--describe", example("power-law.dat")},
                                   {.environment = {"PLOTVANE_PROFILE=" + path("plotvane.ini")}});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray objects = QJsonDocument::fromJson(run.out).object()["objects"].toArray();
    ASSERT_EQ(objects.size(), 3);
    EXPECT_EQ(objects[1].toObject()["class"], "XAxis");
    EXPECT_EQ(objects[1].toObject()["length"].toDouble(), 3.0);
}

#if defined(__SANITIZE_ADDRESS__)
#define PLOTVANE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLOTVANE_ADDRESS_SANITIZER 1
#endif
#endif

// Wherever memory runs out - reading, laying out, drawing, encoding - the program ends with
// its message and a failure, never with an abort. The limits run from just above what the
// program needs to start up to where every picture is written.
TEST_F(ProgramTest, RunningOutOfMemoryEndsInTheMessage)
{
#ifdef PLOTVANE_ADDRESS_SANITIZER
    GTEST_SKIP() << "the address sanitizer needs more address space than the limits allow";
#endif
    std::string rows;
    for (int i = 0; i < 300000; ++i)
        rows += std::to_string(i) + ' ' + std::to_string(i * 7919LL % 1000) + '\n';
    const QString data = write("many.dat", QByteArray::fromStdString(rows));
    const auto limited = [](qint64 megabytes) {
        return RunOptions{.inChild = [megabytes] {
            const rlim_t bytes = rlim_t(megabytes) << 20;
            struct rlimit limit = {bytes, bytes};
            ::setrlimit(RLIMIT_AS, &limit);
        }};
    };
    qint64 start = 32;
    // The least the program starts with, near enough.
    while (start < 1024 &&
           runProgram({"--describe", example("power-law.dat")}, limited(start)).status != 0)
        start += 8;
    ASSERT_LT(start, 1024);

    int failures = 0;
    for (const char* name : {"out.pdf", "out.svg", "out.png"}) {
        for (qint64 megabytes = start + 8; megabytes <= start + 128; megabytes += 12) {
            SCOPED_TRACE(std::string(name) + " under " + std::to_string(megabytes) + " MB");
            const Outcome run = runProgram({"--export", path(name), data}, limited(megabytes));
            if (run.status == 0)
                continue;
            ++failures;
            EXPECT_EQ(run.status, 1) << run.err.toStdString();
            EXPECT_EQ(run.lastErrLine(), "plotvane: Memory error!") << run.err.toStdString();
        }
    }
    EXPECT_GT(failures, 0);
    EXPECT_EQ(entries().filter(".tmp"), QStringList());
}
