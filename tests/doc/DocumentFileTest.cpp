#include "DocTestSupport.h"

#include "axes/Axis.h"
#include "axes/XAxis.h"
#include "data/ColumnFile.h"
#include "data/ImportSettings.h"
#include "doc/DocumentFile.h"
#include "platform/Archive.h"
#include "platform/CompoundFile.h"
#include "platform/Strings.h"
#include "traces/Trace.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <bit>
#include <cmath>
#include <sys/stat.h>

namespace {

const QByteArray emptyRecord("\x00\x00\x00\x00\x34\x12\x00\x00", 8);

QByteArray contentsOf(const QString& path)
{
    return CompoundFileReader(path).readStream(contentsStreamName());
}

// A page object whose class can be told apart but never stored.
class Unstorable : public visibleobject
{
    PV_DECLARE_DYNAMIC(Unstorable)
};
PV_IMPLEMENT_DYNAMIC(Unstorable, visibleobject)

class DocumentFileTest : public DocFixture
{
protected:
    // Three traces on two data files sharing one pair of axes, a link group and odd values.
    void buildDocument()
    {
        const QString a = writeFile("a.dat", "1 10\n2 20\n3 30\n");
        open(a);
        open(a);
        open(writeFile("b.dat", "5 6\n7 8\n"));
        ASSERT_EQ(traceCount(), 3);
        Axis* xAxis = traceAt(0)->GetXAxis();
        xAxis->SetAutoRange(false);
        xAxis->SetLimits(0.1, std::nextafter(2.0, 3.0));
        xAxis->x = std::nextafter(1.1f, 2.0f);
        xAxis->y = -0.0f;
        traceAt(1)->SetName(QString(300, QLatin1Char('n')));
        visiblelist group;
        group.append(traceAt(0));
        group.append(xAxis);
        doc.RegisterLinkGroup(QStringLiteral("left pair"), group);
        visiblelist other;
        other.append(traceAt(2));
        doc.RegisterLinkGroup(QStringLiteral("b"), other);
    }

    QString save(const QString& name = QStringLiteral("plot.pvn"))
    {
        const QString file = path(name);
        saveDocument(doc, file);
        return file;
    }

    // With PLOTVANE_FUZZ_SEEDS naming a directory, documents of the tests seed the loader's
    // fuzzing corpus, as a stream and as a file.
    void keepSeed(const QString& name, const QByteArray& contents)
    {
        const QString seeds = qEnvironmentVariable("PLOTVANE_FUZZ_SEEDS");
        if (seeds.isEmpty())
            return;
        QFile stream(QDir(seeds).filePath(name));
        if (stream.open(QIODevice::WriteOnly))
            stream.write(contents);
        CompoundFileWriter writer(QDir(seeds).filePath(name + ".pvn"));
        writer.writeStream(contentsStreamName(), contents);
        writer.commit();
    }

    // Where the marker starts in the document's record.
    qsizetype markerAt()
    {
        Archive ar;
        doc.GetFiles().Serialize(ar);
        doc.GetObjects().WriteReferences(ar);
        return ar.data().size();
    }

    // The message shown when the stream is opened as a document, empty when it opened.
    QString openMessage(const QByteArray& contents)
    {
        const QString file = path(QStringLiteral("bad.pvn"));
        CompoundFileWriter writer(file);
        writer.writeStream(contentsStreamName(), contents);
        writer.commit();
        prompter.clear();
        const std::unique_ptr<PlotDocument> loaded = openDocumentReporting(file);
        EXPECT_EQ(loaded == nullptr, !prompter.texts().isEmpty());
        return prompter.texts().isEmpty() ? QString() : prompter.texts().last();
    }
};

TEST_F(DocumentFileTest, EmptyDocumentIsItsBareRecordInContents)
{
    EXPECT_EQ(documentContents(doc), emptyRecord);
    const QString file = save();
    EXPECT_EQ(CompoundFileReader(file).children(), QStringList{contentsStreamName()});
    EXPECT_EQ(contentsOf(file), emptyRecord);
    const std::unique_ptr<PlotDocument> loaded = loadDocument(file);
    EXPECT_TRUE(loaded->GetObjects().isEmpty());
    EXPECT_EQ(loaded->GetPathName(), file);
}

TEST_F(DocumentFileTest, RoundTripKeepsOrderNamesBitsSharingAndGroups)
{
    buildDocument();
    const QByteArray bytes = documentContents(doc);
    const QByteArray longName = QByteArray("\xFF\x2C\x01", 3) + QByteArray(300, 'n');
    EXPECT_TRUE(bytes.contains(longName));
    keepSeed("document", bytes);
    // A data file two traces share is written once: two files, three traces.
    EXPECT_EQ(bytes.count(dir.path().toUtf8()), 2);

    setEmbeddedObjectVersion(1);
    const std::unique_ptr<PlotDocument> loaded = loadDocument(save());
    EXPECT_EQ(embeddedObjectVersion(), noEmbeddedObjectVersion);
    const PageList& before = doc.GetObjects();
    const PageList& after = loaded->GetObjects();
    ASSERT_EQ(after.count(), before.count());
    for (int i = 0; i < after.count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(after.at(i)->runtimeClass()->name, before.at(i)->runtimeClass()->name);
        EXPECT_EQ(after.at(i)->GetName(), before.at(i)->GetName());
        EXPECT_EQ(std::bit_cast<uint32_t>(after.at(i)->x),
                  std::bit_cast<uint32_t>(before.at(i)->x));
        EXPECT_EQ(std::bit_cast<uint32_t>(after.at(i)->y),
                  std::bit_cast<uint32_t>(before.at(i)->y));
    }
    const std::unique_ptr<visiblelist> traces = loaded->GetTraces();
    ASSERT_EQ(traces->count(), 3);
    auto trace = [&](int i) { return static_cast<Trace*>(traces->at(i)); };
    EXPECT_EQ(trace(0)->GetFile(), trace(1)->GetFile());
    EXPECT_NE(trace(0)->GetFile(), trace(2)->GetFile());
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(trace(i)->GetXAxis(), trace(0)->GetXAxis());
        EXPECT_EQ(trace(i)->GetYAxis(), trace(0)->GetYAxis());
    }
    EXPECT_EQ(trace(2)->GetNumPoints(), 2);
    EXPECT_EQ(loaded->GetFiles().count(), 2);
    const Axis* xAxis = trace(0)->GetXAxis();
    EXPECT_EQ(std::bit_cast<uint64_t>(xAxis->GetEnd()),
              std::bit_cast<uint64_t>(std::nextafter(2.0, 3.0)));
    EXPECT_EQ(xAxis->GetStart(), 0.1);

    ASSERT_NE(loaded->GetLinkGroup(QStringLiteral("left pair")), nullptr);
    EXPECT_EQ(loaded->GetLinkGroup(QStringLiteral("left pair"))->objects(),
              (QList<visibleobject*>{trace(0), const_cast<Axis*>(xAxis)}));
    EXPECT_EQ(loaded->GetLinkGroup(QStringLiteral("b"))->objects(),
              QList<visibleobject*>{trace(2)});
    EXPECT_FALSE(loaded->IsModified());
    EXPECT_EQ(documentContents(*loaded), bytes);
}

TEST_F(DocumentFileTest, GroupsLoseObjectsThatLeftThePage)
{
    buildDocument();
    const std::unique_ptr<visibleobject> gone = doc.RemoveObject(traceAt(0));
    const std::unique_ptr<PlotDocument> loaded = loadDocument(save());
    const visiblelist* group = loaded->GetLinkGroup(QStringLiteral("left pair"));
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->count(), 1);
    EXPECT_TRUE(group->at(0)->isKindOf(&Axis::classRecord));
    EXPECT_EQ(doc.GetLinkGroup(QStringLiteral("left pair"))->count(), 1);
}

TEST_F(DocumentFileTest, StreamEndingAfterThePageListHasNoGroups)
{
    buildDocument();
    const QByteArray bytes = documentContents(doc);
    const qsizetype marker = markerAt();
    for (qsizetype cut : {marker, marker + 1}) {
        EXPECT_EQ(openMessage(bytes.left(cut)), QString()) << cut;
        const std::unique_ptr<PlotDocument> loaded = loadDocument(path(QStringLiteral("bad.pvn")));
        EXPECT_EQ(loaded->GetObjects().count(), doc.GetObjects().count());
        EXPECT_TRUE(loaded->GetLinkGroups().isEmpty());
    }
}

// Every cut before the marker breaks a record; none may crash, leak or half-open.
TEST_F(DocumentFileTest, TruncatedStreamsAreUnexpectedFormat)
{
    buildDocument();
    const QByteArray bytes = documentContents(doc);
    const qsizetype marker = markerAt();
    ASSERT_EQ(bytes.mid(marker, 2), QByteArray("\x34\x12", 2));
    for (qsizetype cut = 0; cut < marker; ++cut)
        ASSERT_EQ(openMessage(bytes.left(cut)), "Unexpected file format.") << cut;
    for (qsizetype cut = marker + 2; cut < bytes.size(); ++cut)
        ASSERT_EQ(openMessage(bytes.left(cut)), "Unexpected file format.") << cut;
}

struct Malformed
{
    const char* name;
    QByteArray contents;
};

QByteArray newClass(const QByteArray& name, uint16_t schema = 0)
{
    Archive ar;
    ar.writeWord(0xFFFF);
    ar.writeWord(schema);
    ar.writeWord(uint16_t(name.size()));
    ar.write(name.constData(), size_t(name.size()));
    return ar.data();
}

const QByteArray noFiles("\x00\x00", 2);
const QByteArray onePageObject("\x01\x00", 2);

class MalformedContents : public DocumentFileTest, public ::testing::WithParamInterface<Malformed>
{};

TEST_P(MalformedContents, EndInUnexpectedFormat)
{
    EXPECT_EQ(openMessage(GetParam().contents), "Unexpected file format.");
    EXPECT_EQ(embeddedObjectVersion(), noEmbeddedObjectVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedContents,
    ::testing::Values(
        Malformed{"empty", QByteArray()},
        Malformed{"classNameOf64", noFiles + onePageObject + newClass(QByteArray(64, 'A'))},
        Malformed{"unknownClass", noFiles + onePageObject + newClass("Plotter")},
        Malformed{"abstractClass", noFiles + onePageObject + newClass("CObject")},
        Malformed{"badSchema", noFiles + onePageObject + newClass("XAxis", 2)},
        Malformed{"indexNotYetRead", noFiles + onePageObject + QByteArray("\x05\x00", 2)},
        Malformed{"classIndexNotYetRead", noFiles + onePageObject + QByteArray("\x03\x80", 2)},
        Malformed{"nullOnPage", noFiles + onePageObject + QByteArray("\x00\x00", 2)},
        Malformed{"fileWherePageObjectBelongs", QByteArray("\x01\x00", 2) + newClass("ColumnFile") +
                                                    QByteArray("\x00\x05nofile", 8) +
                                                    onePageObject + QByteArray("\x02\x00", 2)},
        Malformed{"hugeCount", noFiles + QByteArray("\xFF\xFF\xFF\xFF\xFF\x7F", 6)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentFileTest, HostileReferencesEndCleanly)
{
    // An axis whose title is a trace, a page list naming the trace twice, a group member that
    // is on no page, and a trace on a data file the file list lacks.
    open(writeFile("a.dat", "1 2\n3 4\n"));
    Trace* trace = traceAt(0);
    ColumnFile* file = trace->GetFile();
    ASSERT_TRUE(doc.GetFiles().RemoveFile(file));
    const std::unique_ptr<ColumnFile> unlisted(file);
    trace->GetXAxis()->SetTitle(trace);
    XAxis stray;
    visiblelist group;
    group.append(&stray);
    group.append(trace);
    Archive ar;
    doc.GetFiles().Serialize(ar);
    ar.writeCount(4);
    for (visibleobject* obj : doc.GetObjects())
        ar.writeObject(obj);
    ar.writeObject(trace);
    ar.write("\x34\x12", 2);
    ar.writeCount(1);
    ar.writeString(QStringLiteral("g"));
    ar.writeObject(&group);
    trace->GetXAxis()->SetTitle(nullptr);

    keepSeed("hostile", ar.data());
    EXPECT_EQ(openMessage(ar.data()), QString());
    const std::unique_ptr<PlotDocument> loaded = loadDocument(path(QStringLiteral("bad.pvn")));
    ASSERT_EQ(loaded->GetObjects().count(), 3);
    const Trace* loadedTrace = loaded->FirstTrace();
    EXPECT_EQ(loadedTrace->GetXAxis()->GetTitle(), nullptr);
    EXPECT_TRUE(loaded->GetFiles().contains(loadedTrace->GetFile()));
    EXPECT_EQ(loadedTrace->GetNumPoints(), 2);
    EXPECT_EQ(loaded->GetLinkGroup(QStringLiteral("g"))->objects(),
              QList<visibleobject*>{loaded->FirstTrace()});
}

// A file may list a trace without its axes: they come on the page after the objects read,
// unless the trace itself is dropped because its data file is missing.
class AxesNamedOnlyByATrace : public DocumentFileTest, public ::testing::WithParamInterface<bool>
{};

TEST_P(AxesNamedOnlyByATrace, ComeOnThePageWithTheirTrace)
{
    const bool fileMissing = GetParam();
    const QString data = writeFile("a.dat", "1 2\n3 4\n");
    open(data);
    Trace* trace = traceAt(0);
    Archive ar;
    doc.GetFiles().Serialize(ar);
    ar.writeCount(1);
    ar.writeObject(trace);
    if (fileMissing)
        QFile::remove(data);
    const QString file = path(QStringLiteral("partial.pvn"));
    CompoundFileWriter writer(file);
    writer.writeStream(contentsStreamName(), ar.data());
    writer.commit();
    const std::unique_ptr<PlotDocument> loaded = loadDocument(file);
    if (fileMissing) {
        EXPECT_TRUE(loaded->GetObjects().isEmpty());
        return;
    }
    const PageList& page = loaded->GetObjects();
    ASSERT_EQ(page.count(), 3);
    const auto* loadedTrace = static_cast<const Trace*>(page.at(0));
    EXPECT_EQ(page.at(1), loadedTrace->GetXAxis());
    EXPECT_EQ(page.at(2), loadedTrace->GetYAxis());
    EXPECT_EQ(page.at(1)->GetName(), trace->GetXAxis()->GetName());
}

INSTANTIATE_TEST_SUITE_P(DocumentFileTest, AxesNamedOnlyByATrace, ::testing::Bool());

TEST_F(DocumentFileTest, MissingDataFileAnsweredNoTakesItsTraces)
{
    const QString data = writeFile("a.dat", "1 2\n3 4\n");
    open(data);
    open(writeFile("b.dat", "1 2\n3 4\n"));
    const QString file = save();
    QFile::remove(data);
    prompter.clear();
    const std::unique_ptr<PlotDocument> loaded = loadDocument(file);
    const QString question =
        QString("Could not find file %1.  Would you like to specify the new path name?").arg(data);
    // Asked after the file list and again once the traces are there.
    EXPECT_EQ(prompter.texts(), QStringList({question, question}));
    ASSERT_EQ(loaded->GetTraces()->count(), 1);
    EXPECT_EQ(static_cast<Trace*>(loaded->GetTraces()->at(0))->GetFile()->GetFullPath(),
              path("b.dat"));
    EXPECT_EQ(loaded->GetObjects().count(), 3);
    EXPECT_TRUE(loaded->IsModified());
}

// A data file that is there but cannot be read in full is not missing: the user is told what
// is wrong with it, as Open Data File tells, and its traces stay (with the rows read).
struct UnreadCase
{
    const char* name;
    const char* text; // the data file's new text; null: a FIFO
    bool besideMovedDocument;
    const char* message;
    int points;
};

void PrintTo(const UnreadCase& c, std::ostream* os)
{
    *os << c.name;
}

class UnreadDataFiles : public DocumentFileTest, public ::testing::WithParamInterface<UnreadCase>
{};

TEST_P(UnreadDataFiles, AreReportedOnLoadAndKeepTheirTraces)
{
    const UnreadCase& c = GetParam();
    QDir(dir.path()).mkdir("moved");
    const QString data = writeFile("a.dat", "1 2\n3 4\n");
    open(data);
    const QString file = save(c.besideMovedDocument ? "moved/plot.pvn" : "plot.pvn");
    QFile::remove(data);
    QString damaged = data;
    if (c.besideMovedDocument)
        damaged = writeFile("moved/a.dat", c.text);
    else if (c.text)
        writeFile("a.dat", c.text);
    else
        ASSERT_EQ(::mkfifo(QFile::encodeName(data).constData(), 0600), 0);
    prompter.clear();
    const std::unique_ptr<PlotDocument> loaded = loadDocument(file);
    ASSERT_EQ(prompter.records().size(), 1u) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.records().front().kind, ScriptedPrompter::Record::Kind::Message);
    EXPECT_EQ(prompter.records().front().text, c.message);
    EXPECT_EQ(prompter.records().front().caption, damaged);
    ASSERT_EQ(loaded->GetTraces()->count(), 1);
    EXPECT_EQ(loaded->FirstTrace()->GetFile()->GetFullPath(), damaged);
    EXPECT_EQ(loaded->FirstTrace()->GetNumPoints(), c.points);
}

const char* const words = "some\nwords\nand\nmore\nwords\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadDataFiles,
    ::testing::Values(UnreadCase{"brokenOff", "1 2\n3 4\na\nb\nc\nd\ne\n", false,
                                 "Error parsing file at line 2", 2},
                      UnreadCase{"notData", words, false, "Not able to open file as data file", 0},
                      UnreadCase{"fifo", nullptr, false, "Not able to open file as data file", 0},
                      UnreadCase{"notDataBesideMovedDocument", words, true,
                                 "Not able to open file as data file", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Paths are stored absolute, whichever way the document was named when it was opened.
TEST_F(DocumentFileTest, DocumentOpenedByARelativePathKeepsAbsolutePaths)
{
    QDir(dir.path()).mkdir("moved");
    const QString data = writeFile("a.dat", "1 2\n3 4\n");
    open(data);
    save("moved/plot.pvn");
    ASSERT_TRUE(QFile::rename(data, path("moved/a.dat")));
    prompter.clear();
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    std::unique_ptr<PlotDocument> loaded;
    EXPECT_NO_THROW(loaded = loadDocument("moved/plot.pvn"));
    QDir::setCurrent(cwd);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(prompter.records().empty());
    EXPECT_EQ(loaded->GetFiles().at(0)->GetFullPath(), path("moved/a.dat"));
    EXPECT_EQ(loaded->GetPathName(), path("moved/plot.pvn"));
}

// A data file's import settings are kept in a stream of their own: "Contents" stays as it
// would be without them, and loading and Reread Data read the file the same way again.
TEST_F(DocumentFileTest, ImportSettingsComeBackBesideAnUnchangedContents)
{
    open(writeFile("a.dat", "x,y,z\n1,,3\n4,5,6\n"));
    ColumnFile* file = doc.GetFiles().at(0);
    ASSERT_EQ(file->GetNumColumns(), 2);
    const QString plain = save("plain.pvn");
    ImportSettings settings;
    settings.delimiter = ImportSettings::Delimiter::comma;
    settings.missingValues = true;
    settings.headerLine = 1;
    file->SetImportSettings(settings);
    ASSERT_EQ(file->Reread(), 1);
    const QString withSettings = save("settings.pvn");
    EXPECT_EQ(contentsOf(withSettings), contentsOf(plain));
    EXPECT_FALSE(CompoundFileReader(plain).children().contains("DataFileSettings"));

    prompter.clear();
    const std::unique_ptr<PlotDocument> loaded = loadDocument(withSettings);
    EXPECT_TRUE(prompter.records().empty());
    for (int pass = 0; pass < 2; ++pass) {
        ColumnFile* read = loaded->GetFiles().at(0);
        EXPECT_EQ(read->GetImportSettings(), settings);
        ASSERT_EQ(read->GetNumColumns(), 3);
        EXPECT_EQ(read->GetColumnName(1), "y");
        EXPECT_TRUE(std::isnan(read->GetColumn(1)->GetAt(0)));
        EXPECT_EQ(read->GetColumn(2)->GetAt(1), 6.0);
        ASSERT_TRUE(loaded->onCommand(32795)); // Reread Data
    }
    EXPECT_EQ(loadDocument(plain)->GetFiles().at(0)->GetNumColumns(), 2);
}

// The load that finds a column gone says so, once; drawing says nothing.
TEST_F(DocumentFileTest, ALostColumnIsReportedByTheLoadNotByDrawing)
{
    const QString data = writeFile("a.dat", "1 10 100\n2 20 200\n");
    open(data);
    traceAt(0)->SetColumns(1, 3);
    const QString file = save();
    writeFile("a.dat", "1 10\n2 20\n3 30\n");
    prompter.clear();
    const std::unique_ptr<PlotDocument> loaded = loadDocument(file);
    ASSERT_EQ(prompter.records().size(), 1u);
    EXPECT_EQ(prompter.records().front().text, "Column 3 has been\ndeleted from data file");
    EXPECT_EQ(prompter.records().front().caption, data);
    EXPECT_EQ(loaded->FirstTrace()->GetYColumn(), 2);
    RecordingDC dc;
    for (visibleobject* obj : loaded->GetObjects())
        obj->Draw(dc);
    EXPECT_EQ(prompter.records().size(), 1u);
    EXPECT_EQ(loaded->FirstTrace()->GetNumPoints(), 3);
}

TEST_F(DocumentFileTest, FailedLoadLeavesOpenDocumentsAlone)
{
    buildDocument();
    const QByteArray before = documentContents(doc);
    setEmbeddedObjectVersion(1);
    EXPECT_EQ(openMessage(before.left(before.size() / 2)), "Unexpected file format.");
    EXPECT_EQ(embeddedObjectVersion(), noEmbeddedObjectVersion);
    EXPECT_EQ(documentContents(doc), before);
}

// With no view and long after the load, a loaded axis still finds its document's data.
TEST_F(DocumentFileTest, LoadedAxesRangeOverTheirDocumentsData)
{
    const QString data = writeFile("a.dat", "1 10\n2 20\n3 30\n");
    open(data);
    const QString file = save();
    writeFile("a.dat", "1 10\n2 20\n90 900\n");
    const std::unique_ptr<PlotDocument> loaded = loadDocument(file);
    Axis* x = loaded->FirstTrace()->GetXAxis();
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->document(), loaded.get());
    x->AutoRange();
    EXPECT_GE(x->end, 90.0);
}

struct BadFile
{
    const char* name;
    QByteArray bytes; // written to the file; null: no file; "dir": a directory
    const char* message;
};

class BadFiles : public DocumentFileTest, public ::testing::WithParamInterface<BadFile>
{};

TEST_P(BadFiles, AreReportedWithTheFrameworkMessages)
{
    const QString file = path(QStringLiteral("x.pvn"));
    if (GetParam().bytes == "dir") {
        QDir(dir.path()).mkdir(QStringLiteral("x.pvn"));
    } else if (!GetParam().bytes.isNull()) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(GetParam().bytes);
    }
    EXPECT_EQ(openDocumentReporting(file), nullptr);
    ASSERT_EQ(prompter.records().size(), 1u);
    const QString message = GetParam().message;
    EXPECT_EQ(prompter.records().front().text,
              message.contains("%1") ? message.arg(file) : message);
    EXPECT_EQ(prompter.records().front().icon, Prompter::Icon::Exclamation);
}

QByteArray containerWithout()
{
    CompoundFileWriter writer;
    writer.writeStream(QStringLiteral("Other"), "x");
    return writer.toBytes();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadFiles,
    ::testing::Values(
        BadFile{"text", "1 2\n3 4\n", "Unexpected file format."},
        BadFile{"emptyFile", "", "Unexpected file format."},
        BadFile{"noContents", containerWithout(), "Unexpected file format."},
        BadFile{"missing", QByteArray(),
                "%1\nCannot find this file.\nPlease verify that the correct path and file name "
                "are given."},
        BadFile{"directory", "dir", "Unable to read from %1, it is opened by someone else."}),
    [](const auto& info) { return std::string(info.param.name); });

// Files kept from fuzzing and hand-made damage: each must end in a message, never a crash.
TEST_F(DocumentFileTest, MalformedFilesEndInMessages)
{
    const QString root = qEnvironmentVariable("PLOTVANE_TESTDATA");
    if (root.isEmpty())
        GTEST_SKIP() << "PLOTVANE_TESTDATA is not set";
    QDirIterator it(root + "/malformed", {"document-*", "container-*"}, QDir::Files);
    int seen = 0;
    while (it.hasNext()) {
        const QString file = it.next();
        SCOPED_TRACE(file.toStdString());
        prompter.clear();
        const std::unique_ptr<PlotDocument> loaded = openDocumentReporting(file);
        if (!loaded) {
            // Questions for data files that are not there may come first.
            ASSERT_FALSE(prompter.texts().isEmpty());
            EXPECT_TRUE(prompter.texts().last() == "Unexpected file format." ||
                        prompter.texts().last() == "Failed to open document.");
        }
        ++seen;
    }
    EXPECT_GT(seen, 3);
}

TEST_F(DocumentFileTest, FailedSaveKeepsTheOldFile)
{
    buildDocument();
    const QString file = save();
    const QByteArray old = contentsOf(file);
    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray oldFile = in.readAll();
    in.close();
    doc.SetPathName(file);
    doc.SetModifiedFlag(true);

    // Half way through the record: an object that cannot be stored.
    visibleobject* unstorable = doc.GetObjects().Add(std::make_unique<Unstorable>());
    EXPECT_FALSE(saveDocumentReporting(doc, file));
    doc.GetObjects().Take(unstorable);
    EXPECT_EQ(prompter.texts().last(), "Failed to save document.");
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(in.readAll(), oldFile);
    in.close();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(embeddedObjectVersion(), noEmbeddedObjectVersion);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3); // a, b, plot

    // The directory of the file is gone.
    EXPECT_FALSE(saveDocumentReporting(doc, path("nowhere/plot.pvn")));
    EXPECT_TRUE(prompter.texts().last().startsWith(path("nowhere/plot.pvn") + "\nCannot find"));

    EXPECT_TRUE(saveDocumentReporting(doc, file));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(contentsOf(file), old);
}

// An independent reader of compound files finds our stream and its bytes.
TEST_F(DocumentFileTest, OlefileReadsSavedDocuments)
{
    if (!QFileInfo::exists(QStringLiteral("/usr/bin/python3")))
        GTEST_SKIP() << "no /usr/bin/python3";
    buildDocument();
    const QString file = save();
    const char* script = R"(
import sys
try:
    import olefile
except ImportError:
    sys.exit(77)
ole = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_INCORRECT)
print(ole.listdir(streams=True, storages=True))
print(ole.openstream('Contents').read().hex())
)";
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {"-c", script, file});
    ASSERT_TRUE(python.waitForFinished(60000));
    if (python.exitCode() == 77)
        GTEST_SKIP() << "python3-olefile is not installed";
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    EXPECT_EQ(python.readAllStandardOutput().toStdString(),
              "[['Contents']]\n" + documentContents(doc).toHex().toStdString() + "\n");
}

} // namespace
