#include "DocTestSupport.h"

#include "axes/Axis.h"
#include "doc/DocumentDescription.h"
#include "doc/DocumentFile.h"
#include "traces/MemTrace.h"
#include "traces/Trace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace {

class DocumentDescriptionTest : public DocFixture
{
protected:
    // Runs the command; out and err as printed.
    int describe(const QString& file, bool values)
    {
        out.clear();
        err.clear();
        QTextStream o(&out);
        QTextStream e(&err);
        return describeCommand(file, values, o, e);
    }

    QString out;
    QString err;
};

TEST_F(DocumentDescriptionTest, ListsObjectsInPageOrderWithAxesTracesFilesAndGroups)
{
    const QString data = writeFile("a.dat", "1 10\n2 inf\n3 nan\n");
    open(data);
    open(data);
    Axis* xAxis = traceAt(0)->GetXAxis();
    xAxis->x = 1.1f;
    const double xs[] = {0.5, 1.5};
    const double ys[] = {-1.0, 2.0};
    doc.AddObject(std::make_unique<MemTrace>(xs, ys, 2, *traceAt(0)));
    visiblelist group;
    group.append(traceAt(1));
    doc.RegisterLinkGroup(QStringLiteral("second"), group);

    const QJsonObject d = describeDocument(doc, true);
    const QJsonArray objects = d["objects"].toArray();
    ASSERT_EQ(objects.size(), 5);
    QStringList classes;
    for (const QJsonValue& o : objects)
        classes.append(o["class"].toString());
    EXPECT_EQ(classes, QStringList({"Trace", "XAxis", "YAxis", "Trace", "MemTrace"}));

    const QJsonObject axis = objects[1].toObject();
    EXPECT_EQ(axis["name"].toString(), xAxis->GetName());
    EXPECT_EQ(axis["x"].toDouble(), 1.1); // single precision shown by its shortest text
    EXPECT_EQ(axis["start"].toDouble(), xAxis->GetStart());
    EXPECT_EQ(axis["end"].toDouble(), xAxis->GetEnd());
    EXPECT_EQ(axis["length"].toDouble(), double(xAxis->GetLength()));
    EXPECT_FALSE(axis["log"].toBool());
    EXPECT_TRUE(axis["ticks"].toObject().contains("spacing"));

    const QJsonObject trace = objects[3].toObject();
    EXPECT_EQ(trace["dataFile"].toString(), data);
    EXPECT_EQ(trace["xColumn"].toInt(), 1);
    EXPECT_EQ(trace["yColumn"].toInt(), 2);
    EXPECT_EQ(trace["points"].toInt(), 3);
    EXPECT_EQ(trace["xAxis"].toString(), xAxis->GetName());
    EXPECT_FALSE(trace.contains("xValues")); // a data file's numbers are listed with the file

    const QJsonObject mem = objects[4].toObject();
    EXPECT_EQ(mem["xValues"].toArray(), QJsonArray({0.5, 1.5}));
    EXPECT_EQ(mem["yValues"].toArray(), QJsonArray({-1.0, 2.0}));

    const QJsonArray files = d["dataFiles"].toArray();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0]["columns"].toInt(), 2);
    EXPECT_EQ(files[0]["values"].toArray(),
              QJsonArray({QJsonArray({1, 2, 3}), QJsonArray({10, "inf", "nan"})}));

    EXPECT_EQ(d["linkGroups"].toArray(),
              QJsonArray({QJsonObject{{"name", "second"},
                                      {"members", QJsonArray({traceAt(1)->GetName()})}}}));

    const QJsonObject plain = describeDocument(doc, false);
    EXPECT_FALSE(plain["dataFiles"].toArray()[0].toObject().contains("values"));
    EXPECT_FALSE(plain["objects"].toArray()[4].toObject().contains("xValues"));
}

TEST_F(DocumentDescriptionTest, DataFileIsPlottedWithoutDialogsAndRangedFromItsData)
{
    const QString data = writeFile("a.dat", "1 10\n2 20\n4 30\n");
    ASSERT_EQ(describe(data, true), 0) << err.toStdString();
    EXPECT_TRUE(err.isEmpty());
    EXPECT_TRUE(prompter.records().empty());
    EXPECT_EQ(&Prompter::instance(), &prompter);
    const QJsonObject d = QJsonDocument::fromJson(out.toUtf8()).object();
    const QJsonArray objects = d["objects"].toArray();
    ASSERT_EQ(objects.size(), 3);
    EXPECT_EQ(objects[0]["points"].toInt(), 3);
    EXPECT_EQ(objects[1]["start"].toDouble(), 1.0);
    EXPECT_EQ(objects[1]["end"].toDouble(), 4.0);
    EXPECT_EQ(objects[2]["start"].toDouble(), 10.0);
    EXPECT_EQ(objects[2]["end"].toDouble(), 30.0);
    EXPECT_EQ(d["dataFiles"][0]["values"][1].toArray(), QJsonArray({10, 20, 30}));
}

TEST_F(DocumentDescriptionTest, PlotDocumentWithAMissingDataFileLosesItsTraces)
{
    const QString kept = writeFile("a.dat", "1 2\n3 4\n");
    const QString lost = writeFile("b.dat", "1 2\n3 4\n");
    open(kept);
    open(lost);
    const QString file = path("plot.pvn");
    saveDocument(doc, file);
    QFile::remove(lost);
    ASSERT_EQ(describe(file, false), 0) << err.toStdString();
    EXPECT_TRUE(err.contains(QString("Could not find file %1.").arg(lost)));
    const QJsonArray objects = QJsonDocument::fromJson(out.toUtf8())["objects"].toArray();
    EXPECT_EQ(objects.size(), 3);
}

struct BadInput
{
    const char* name;
    const char* file;     // made in the test directory; null: nothing is made
    const char* contents; // "dir": a directory
    const char* message;  // the line on err after "plotvane: ", %1 the path
};

class DescribeBadInput : public DocumentDescriptionTest,
                         public ::testing::WithParamInterface<BadInput>
{};

TEST_P(DescribeBadInput, FailsWithOneLine)
{
    const BadInput& c = GetParam();
    const QString file = path(c.file);
    if (QByteArray(c.contents) == "dir")
        QDir(dir.path()).mkdir(c.file);
    else if (c.contents)
        writeFile(c.file, c.contents);
    EXPECT_EQ(describe(file, true), 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(err, "plotvane: " + QString(c.message).arg(file) + "\n");
    EXPECT_TRUE(prompter.records().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DescribeBadInput,
    ::testing::Values(BadInput{"missing", "none.dat", nullptr, "'%1' does not exist"},
                      BadInput{"directory", "d", "dir", "'%1' is a directory"},
                      BadInput{"notData", "notes.txt", "some\nwords\nand\nmore\nwords\n",
                               "cannot plot '%1': Not able to open file as data file"},
                      BadInput{"damagedDocument", "plot.pvn", "not a compound file",
                               "cannot open '%1': Unexpected file format."}),
    [](const auto& info) { return std::string(info.param.name); });

// The bundled plots, copied elsewhere with their data files, plot the copies without a word.
TEST_F(DocumentDescriptionTest, ExamplesFindTheirDataBesideThemWherePutDown)
{
    const QDir examples(QStringLiteral(PLOTVANE_EXAMPLES));
    const QStringList plots = examples.entryList({"*.pvn"}, QDir::Files);
    ASSERT_FALSE(plots.isEmpty());
    for (const QString& name : examples.entryList({"*.pvn", "*.dat"}, QDir::Files))
        ASSERT_TRUE(QFile::copy(examples.filePath(name), path(name)));
    for (const QString& plot : plots) {
        SCOPED_TRACE(plot.toStdString());
        EXPECT_EQ(describe(path(plot), false), 0);
        EXPECT_EQ(err, QString());
        const QJsonArray files = QJsonDocument::fromJson(out.toUtf8())["dataFiles"].toArray();
        ASSERT_FALSE(files.isEmpty());
        for (const QJsonValue& file : files) {
            EXPECT_EQ(QFileInfo(file["path"].toString()).absolutePath(), dir.path());
            EXPECT_GT(file["points"].toInt(), 0);
        }
    }
}

} // namespace
