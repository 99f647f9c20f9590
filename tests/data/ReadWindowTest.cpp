// Reading a file through a small window gives what reading the same bytes whole in memory
// gives, wherever the refills fall: each text is read through every window size over a range,
// so that the refills and the line count's window ends move over every byte of it.

#include "DataTestFiles.h"
#include "data/ColumnFile.h"
#include "data/LineReader.h"
#include "platform/Exceptions.h"

#include <atomic>
#include <bit>
#include <fcntl.h>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

using State = ColumnFile::ReadState;

// What a read leaves: its state, then the bits of every value, column by column.
std::string readResult(ColumnFile& file, const std::function<int()>& read)
{
    try {
        read();
    } catch (const FileException& e) {
        EXPECT_EQ(e.cause(), FileException::Cause::invalidFile);
    }
    std::string s = std::to_string(int(file.GetReadState()));
    for (int c = 0; c < file.GetNumColumns(); ++c) {
        s += '|';
        for (int i = 0; i < file.GetColumn(c)->GetSize(); ++i)
            s += std::to_string(std::bit_cast<uint64_t>(file.GetColumn(c)->GetAt(i))) + ' ';
    }
    return s;
}

std::string lineOf(int n)
{
    return "1 2" + std::string(size_t(n - 3), ' ');
}

// Rows of two or three numbers, an empty line after every fifth.
std::string rows(int from, int count, const std::string& br)
{
    std::string s;
    for (int i = from; i < from + count; ++i)
        s += std::to_string(i) + (i % 2 ? ", " : "\t") + std::to_string(i * 0.25) +
             (i % 3 ? "" : " -1e-3") + br + (i % 5 ? "" : br);
    return s;
}

struct WindowCase
{
    const char* name;
    std::string text;
    State state; // what reading it whole gives
};

void PrintTo(const WindowCase& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<WindowCase> windowCases()
{
    std::string textLines;
    for (int i = 0; i < 12; ++i)
        textLines += rows(i * 10, 10, "\n") + std::string(size_t(i % 3), '\n') +
                     (i % 4 == 3 ? "# a\n# b\n# c\n" : "# a\n");
    return {
        // Only rows and empty lines: the row bound is exact, a line count one short drops a row.
        {"CrLfRowsAndEmptyLines", "\r\n" + rows(0, 120, "\r\n") + "\r\n\r\n", State::read},
        {"LfRunsOfEmptyLinesLastLineUnbroken", "\n\n" + rows(0, 150, "\n\n") + "7 8", State::read},
        // The empty lines before the first line of 254 let the refills fall on any byte of it.
        {"Lines254",
         rows(0, 30, "\n") + std::string(100, '\n') + lineOf(254) + "\r\n" + rows(30, 20, "\n") +
             lineOf(254) + "\n" + rows(50, 30, "\r\n"),
         State::read},
        {"Line255InData", rows(0, 40, "\n") + lineOf(255) + "\n" + rows(0, 9, "\n"),
         State::parseError},
        {"Line254AndACarriageReturn", rows(0, 40, "\n") + lineOf(254) + "\r5\n" + rows(0, 5, "\n"),
         State::read},
        {"CrRowsAndEmptyLines", "\r" + rows(0, 120, "\r") + "\r\r", State::read},
        {"ByteOrderMarkAndMixedLineBreaks",
         "\xEF\xBB\xBF" + rows(0, 40, "\r") + rows(40, 40, "\r\n") + "\r\r\n" + rows(80, 40, "\n"),
         State::read},
        {"Line255LastUnbroken", rows(0, 12, "\r\n") + lineOf(255), State::read},
        {"TextLinesInData", textLines + "a\nb\nc\nd\n" + rows(0, 10, "\n"), State::parseError},
        {"HeaderAndLongRows",
         "Title\nx y\n\n" + std::string(200, ' ') + "1 2\n" + std::string(180, ',') + "3 4\r\n" +
             rows(0, 60, "\n"),
         State::read},
        {"NulBytes",
         std::string("1 2\0 9\n", 7) + rows(0, 20, "\n") + std::string("3\0\n\0\n4 5\n", 9) +
             rows(20, 30, "\n"),
         State::read},
        // The mark is skipped before a line is judged: a first window holds the whole line.
        {"ByteOrderMarkBeforeALongLine",
         "\xEF\xBB\xBF" + lineOf(254) + "\r\n" + rows(0, 20, "\n") + "a\nb\nc\nd\ne\n",
         State::parseError},
        {"SmallerThanSomeWindows", rows(0, 15, "\r\n"), State::read},
    };
}

class ReadWindow : public ::testing::TestWithParam<WindowCase>
{};

TEST_P(ReadWindow, EveryWindowReadsAsTheWholeText)
{
    const WindowCase& c = GetParam();
    ColumnFile memory(QStringLiteral("case.dat"));
    const std::string whole =
        readResult(memory, [&] { return memory.ReadText(c.text.data(), c.text.size()); });
    ASSERT_EQ(memory.GetReadState(), c.state);
    ASSERT_GT(memory.GetNumPoints(), 0);

    DataFiles files;
    ColumnFile file(files.write("case.dat", c.text));
    std::vector<size_t> windows = {ColumnFile::defaultWindowBytes, c.text.size() - 2};
    for (size_t w = LineReader::minWindow; w < LineReader::minWindow + 400; ++w)
        windows.push_back(w);
    for (size_t w : windows) {
        if (readResult(file, [&] { return file.ReadFile(w); }) != whole) {
            ADD_FAILURE() << "window of " << w << " bytes, text of " << c.text.size();
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DataFiles, ReadWindow, ::testing::ValuesIn(windowCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A file rewritten in place while it is read, between many short rows and a few long ones of
// the same size, so that the second pass may find more rows than the first counted: each read
// ends cleanly and writes no row past the columns (see the sanitizer build). Torn reads mix
// the texts, but the line feeds are those of the short rows at most.
TEST(ReadWindow, FileRewrittenWhileReadStaysSound)
{
    std::string manyRows, fewRows;
    for (int i = 0; i < 2000; ++i)
        manyRows += "1 2\n";
    for (int i = 0; i < 40; ++i)
        fewRows += "3 4" + std::string(196, ' ') + "\n";
    DataFiles files;
    const QString path = files.write("changing.dat", manyRows);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
        for (int i = 0; fd >= 0 && !stop; ++i) {
            const std::string& text = i % 2 ? manyRows : fewRows;
            if (::pwrite(fd, text.data(), text.size(), 0) < 0)
                break;
        }
        if (fd >= 0)
            ::close(fd);
    });
    ColumnFile file(path);
    for (int i = 0; i < 300; ++i) {
        readResult(file, [&] { return file.ReadFile(LineReader::minWindow); });
        EXPECT_LE(file.GetNumPoints(), 2000);
        EXPECT_EQ(file.GetNumColumns() == 0, file.GetNumPoints() == 0);
    }
    stop = true;
    writer.join();
}

} // namespace

namespace {

std::vector<std::pair<std::string, std::string>> textsOfFolder(const QString& folder)
{
    std::vector<std::pair<std::string, std::string>> texts;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = f.readAll();
        texts.emplace_back(name.toStdString(), bytes.toStdString());
    }
    return texts;
}

} // namespace

// Parts read on threads of their own join to what one pass reads, row for row and value for
// value, with the same outcome, wherever the parts begin.
TEST(ReadWindow, PartsOnThreadsReadAsOnePass)
{
    std::vector<std::pair<std::string, std::string>> texts;
    for (const WindowCase& c : windowCases())
        texts.emplace_back(c.name, c.text);
    for (const char* folder : {PLOTVANE_DATA_TESTDATA "/malformed",
                               PLOTVANE_DATA_TESTDATA "/../../fuzz/corpus_column_file",
                               PLOTVANE_DATA_TESTDATA "/../../examples"}) {
        for (auto& t : textsOfFolder(QString::fromUtf8(folder)))
            texts.push_back(std::move(t));
    }
    for (const char* br : {"\n", "\r\n", "\r"}) {
        std::string runs = "title";
        for (int i = 0; i < 80; ++i) {
            runs += br + rows(i * 3, 2 + i % 3, br) + (i % 7 ? "" : br);
            for (int k = 0; k < (i * 5) % 4 + (i == 79 ? 1 : 0); ++k)
                runs += "# text" + std::string(br);
        }
        const std::string kind = br[0] == '\r' ? (br[1] ? "CrLf" : "Cr") : "Lf";
        texts.emplace_back("TextRuns" + kind, runs);
        texts.emplace_back("FourthTextLineInData" + kind, runs + "a\nb\nc\nd\n" + rows(0, 50, br));
    }
    ASSERT_GT(texts.size(), 40u);

    for (const auto& entry : texts) {
        const auto& name = entry.first;
        const std::string& text = entry.second;
        ColumnFile one(QStringLiteral("one.dat"));
        const std::string expected = readResult(one, [&] {
            return one.ReadText(text.data(), text.size(), ColumnFile::defaultWindowBytes,
                                ColumnFile::maxRows, 1);
        });
        for (int threads : {2, 3, 4, 5, 7, 9, 12, 16, 23, 31}) {
            ColumnFile parts(QStringLiteral("parts.dat"));
            const std::string got = readResult(parts, [&] {
                return parts.ReadText(text.data(), text.size(), LineReader::minWindow,
                                      ColumnFile::maxRows, threads);
            });
            if (got != expected) {
                ADD_FAILURE() << name << " on " << threads << " threads";
                break;
            }
        }
    }
}
