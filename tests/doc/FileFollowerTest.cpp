#include "DocTestSupport.h"

#include "axes/Axis.h"
#include "data/ColumnFile.h"
#include "doc/FileFollower.h"
#include "traces/Trace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace {

std::string rowsFrom(int first, int count)
{
    std::string s;
    for (int i = first; i < first + count; ++i)
        s += std::to_string(i) + " " + std::to_string(i * i) + "\n";
    return s;
}

class FileFollowerTest : public DocFixture
{
protected:
    void SetUp() override
    {
        file = writeFile("run.dat", "time value\n" + rowsFrom(1, 5));
        open(file);
        ASSERT_EQ(traceCount(), 1);
        follower.setEnabled(true);
    }
    void append(const std::string& text)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(text.data(), qint64(text.size()));
    }
    // The y values of the trace, in file order.
    std::vector<double> ys() const
    {
        std::vector<double> v;
        const DataColumn* y = traceAt(0)->GetYValues();
        for (int i = 0; y && i < y->GetSize(); ++i)
            v.push_back(y->GetAt(i));
        return v;
    }
    static std::vector<double> squares(int first, int count)
    {
        std::vector<double> v;
        for (int i = first; i < first + count; ++i)
            v.push_back(double(i * i));
        return v;
    }

    QString file;
    FileFollower follower{doc};
};

TEST_F(FileFollowerTest, AppendedRowsAreReadOnKeepingZoomAndStyle)
{
    Trace* trace = traceAt(0);
    trace->SetPen(PenRecord(PS_DASH, 0, 0x0000FF));
    Axis* x = trace->GetXAxis();
    Axis* y = trace->GetYAxis();
    // A zoomed x axis; the y axis keeps its automatic range.
    x->SetAutoRange(false);
    x->start = 2.0;
    x->end = 4.0;
    const DataColumn* before = trace->GetYValues();

    append(rowsFrom(6, 3));
    EXPECT_TRUE(follower.update());
    EXPECT_EQ(ys(), squares(1, 8));
    // Read on from the end, into the same columns.
    EXPECT_EQ(trace->GetYValues(), before);
    EXPECT_FALSE(trace->HasPoints());
    ASSERT_TRUE(trace->ComputePoints());
    EXPECT_EQ(x->start, 2.0);
    EXPECT_EQ(x->end, 4.0);
    EXPECT_EQ(y->end, 64.0);
    EXPECT_EQ(trace->GetPen()->lopnStyle, PS_DASH);
    EXPECT_EQ(trace->GetPen()->lopnColor, 0x0000FFu);
    EXPECT_FALSE(follower.update()); // nothing new
}

TEST_F(FileFollowerTest, HalfWrittenLineWaitsForItsEnd)
{
    append("6 36\n7");
    follower.update();
    EXPECT_EQ(ys(), squares(1, 6));
    append(" 49\n");
    follower.update();
    EXPECT_EQ(ys(), squares(1, 7));
}

TEST_F(FileFollowerTest, FileReplacedByRenameIsReadWhole)
{
    const QString next = writeFile("run.dat.new", "time value\n" + rowsFrom(3, 4));
    ASSERT_EQ(::rename(QFile::encodeName(next).constData(), QFile::encodeName(file).constData()),
              0);
    EXPECT_TRUE(follower.update());
    EXPECT_EQ(ys(), squares(3, 4));
}

TEST_F(FileFollowerTest, DeletedFileKeepsItsDataUntilItIsBack)
{
    QStringList told;
    QObject::connect(&follower, &FileFollower::missingFilesChanged,
                     [&told](const QStringList& paths) { told = paths; });
    ASSERT_TRUE(QFile::remove(file));
    follower.update();
    EXPECT_EQ(told, QStringList{file});
    EXPECT_EQ(ys(), squares(1, 5));
    writeFile("run.dat", "time value\n" + rowsFrom(2, 5));
    follower.update();
    EXPECT_TRUE(told.isEmpty());
    EXPECT_EQ(ys(), squares(2, 5));
}

// The watcher and the delay bring the change in without being asked.
TEST_F(FileFollowerTest, ChangeOnDiskIsReadAfterTheDelay)
{
    append(rowsFrom(6, 2));
    QElapsedTimer waited;
    waited.start();
    while (ys().size() < 7 && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    EXPECT_EQ(ys(), squares(1, 7));
}

} // namespace

namespace {

// Stops every read at its start, as Escape pressed during a long read does.
class CancellingProgress : public ReadProgress
{
public:
    void started(const QString&) override { ++reads; }
    void finished() override { --reads; }
    bool progress(int64_t, int64_t) override { return false; }
    int reads = 0;
};

} // namespace

// A cancelled read leaves the document as it was and says nothing.
TEST_F(FileFollowerTest, CancelledReadsLeaveTheDocumentAsItWas)
{
    writeFile("run.dat", "time value\n" + rowsFrom(2, 9));
    const QString other = writeFile("other.dat", rowsFrom(1, 3));
    CancellingProgress cancelling;
    Installed<ReadProgress>::Scope scope(&cancelling);
    prompter.clear();
    ASSERT_TRUE(doc.onCommand(32795)); // Reread Data
    EXPECT_EQ(ys(), squares(1, 5));
    EXPECT_EQ(traceCount(), 1);
    open(other);
    EXPECT_EQ(traceCount(), 1);
    EXPECT_EQ(doc.GetFiles().count(), 1);
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(cancelling.reads, 0);
}
