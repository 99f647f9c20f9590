// Reading column data files: ReadFile (also through windows of other sizes) against a naive
// strtod reader and a plain LF count over the same bytes, and the peak memory of one read;
// ReadFile with import settings against the plain rules on the same rows, and the import
// dialog's preview of a file of 10,000,000 rows.
//
// The files are generated once per run in the temporary directory: 1,000,000 rows of three
// %.6g numbers, and 150,000 rows of twenty (about the same size); the three columns also with
// CR LF and with lone CR line ends.

#include "data/ColumnFile.h"
#include "data/ImportPreview.h"

#include <QDir>
#include <QString>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct DataFile
{
    std::string path;
    size_t bytes = 0;
    int rows = 0;
    int columns = 0;
};

DataFile generate(int rows, int columns, const std::string& lineEnd = "\n")
{
    DataFile f;
    f.rows = rows;
    f.columns = columns;
    f.path = QDir::temp()
                 .filePath(QStringLiteral("plotvane-bench-%1x%2-%3-%4.dat")
                               .arg(rows)
                               .arg(columns)
                               .arg(lineEnd.size() == 2 ? "crlf"
                                    : lineEnd == "\r"   ? "cr"
                                                        : "lf")
                               .arg(::getpid()))
                 .toStdString();
    std::mt19937_64 random(42);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::uniform_real_distribution<double> exponent(-8.0, 8.0);
    std::string text = "Generated data" + lineEnd;
    char buf[64];
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            double v;
            if (c == 0)
                v = r * 0.001;
            else if (c % 2)
                v = std::sin(r * 0.01 * c) * 1000.0 + noise(random);
            else
                v = noise(random) * std::pow(10.0, exponent(random));
            const int n = std::snprintf(buf, sizeof buf, c ? " %.6g" : "%.6g", v);
            text.append(buf, size_t(n));
        }
        text += lineEnd;
    }
    std::ofstream(f.path, std::ios::binary).write(text.data(), std::streamsize(text.size()));
    f.bytes = text.size();
    return f;
}

const DataFile& threeColumns()
{
    static const DataFile f = generate(1000000, 3);
    return f;
}

const DataFile& twentyColumns()
{
    static const DataFile f = generate(150000, 20);
    return f;
}

const DataFile& threeColumnsCrLf()
{
    static const DataFile f = generate(1000000, 3, "\r\n");
    return f;
}

const DataFile& threeColumnsCr()
{
    static const DataFile f = generate(1000000, 3, "\r");
    return f;
}

const DataFile& fileFor(int64_t columns)
{
    return columns == 3 ? threeColumns() : twentyColumns();
}

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// What one would write first: the whole file as text, every token through strtod, columns
// that grow row by row.
std::vector<std::vector<double>> naiveRead(const std::string& path)
{
    const std::string text = slurp(path);
    std::vector<std::vector<double>> columns;
    const char* p = text.c_str();
    const char* end = p + text.size();
    size_t column = 0;
    while (p < end) {
        if (*p == '\n') {
            column = 0;
            ++p;
            continue;
        }
        if (*p == ' ' || *p == ',' || *p == '\t' || *p == '\r') {
            ++p;
            continue;
        }
        const char* token = p;
        while (p < end && *p != ' ' && *p != ',' && *p != '\t' && *p != '\r' && *p != '\n')
            ++p;
        char* stop = nullptr;
        const double v = std::strtod(token, &stop);
        if (stop == p) {
            if (column >= columns.size())
                columns.emplace_back();
            columns[column++].push_back(v);
        }
    }
    return columns;
}

void BM_ReadFile(benchmark::State& state)
{
    const DataFile& f = fileFor(state.range(0));
    for (auto _ : state) {
        ColumnFile file(QString::fromStdString(f.path));
        if (file.ReadFile() != 1 || file.GetNumPoints() != f.rows ||
            file.GetNumColumns() != f.columns)
            state.SkipWithError("file not read");
        benchmark::DoNotOptimize(file.GetColumn(0)->GetData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes));
}

// ReadFile through windows of other sizes (KiB), to tune the default: small windows take many
// more reads, large ones fall out of the caches and cost fresh pages.
void BM_ReadFileWindow(benchmark::State& state)
{
    const DataFile& f = fileFor(state.range(0));
    const size_t window = size_t(state.range(1)) << 10;
    for (auto _ : state) {
        ColumnFile file(QString::fromStdString(f.path));
        if (file.ReadFile(window) != 1 || file.GetNumPoints() != f.rows)
            state.SkipWithError("file not read");
        benchmark::DoNotOptimize(file.GetColumn(0)->GetData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes));
}

// The three-column file with other line ends: 1 CR LF, 2 lone CR.
void BM_ReadFileLineEnds(benchmark::State& state)
{
    const DataFile& f = state.range(0) == 1 ? threeColumnsCrLf() : threeColumnsCr();
    for (auto _ : state) {
        ColumnFile file(QString::fromStdString(f.path));
        if (file.ReadFile() != 1 || file.GetNumPoints() != f.rows)
            state.SkipWithError("file not read");
        benchmark::DoNotOptimize(file.GetColumn(0)->GetData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes));
}

void BM_NaiveStrtod(benchmark::State& state)
{
    const DataFile& f = fileFor(state.range(0));
    for (auto _ : state) {
        auto columns = naiveRead(f.path);
        if (columns.size() != size_t(f.columns) || columns[0].size() != size_t(f.rows))
            state.SkipWithError("file not read");
        benchmark::DoNotOptimize(columns.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes));
}

void BM_LineFeedCount(benchmark::State& state)
{
    const DataFile& f = fileFor(state.range(0));
    const std::string text = slurp(f.path);
    for (auto _ : state) {
        const auto n = std::count(text.begin(), text.end(), '\n');
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes));
}

long statusKb(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line)) {
        if (line.compare(0, n, field) == 0)
            return std::strtol(line.c_str() + n + 1, nullptr, 10);
    }
    return -1;
}

// The peak resident memory of one read, against the file's size plus the columns' size. Memory
// freed by earlier runs goes back to the system and the kernel's high-water mark is reset
// (clear_refs 5) first, so earlier runs do not count.
void BM_ReadFilePeakMemory(benchmark::State& state)
{
    const DataFile& f = fileFor(state.range(0));
    for (auto _ : state) {
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = statusKb("VmRSS:");
        ColumnFile file(QString::fromStdString(f.path));
        file.ReadFile();
        const long peak = statusKb("VmHWM:");
        const double fileMb = double(f.bytes) / 1e6;
        const double columnsMb = double(f.rows) * f.columns * sizeof(double) / 1e6;
        const double peakMb = double(peak - before) * 1024.0 / 1e6;
        state.counters["file_MB"] = fileMb;
        state.counters["columns_MB"] = columnsMb;
        state.counters["peak_MB"] = peakMb;
        state.counters["peak_ratio"] = peakMb / (fileMb + columnsMb);
    }
}

// The three-column rows as a comma-separated export: a header line of names, and every tenth
// row with an empty field.
const DataFile& threeColumnsCsv()
{
    static const DataFile f = [] {
        DataFile csv = threeColumns();
        std::string text = "x,y,z\n";
        std::istringstream in(slurp(csv.path));
        std::string line;
        std::getline(in, line);
        for (int r = 0; std::getline(in, line); ++r) {
            std::replace(line.begin(), line.end(), ' ', ',');
            if (r % 10 == 9)
                line.erase(line.find(',') + 1,
                           line.find(',', line.find(',') + 1) - line.find(',') - 1);
            text += line + "\n";
        }
        csv.path += ".csv";
        std::ofstream(csv.path, std::ios::binary).write(text.data(), std::streamsize(text.size()));
        csv.bytes = text.size();
        return csv;
    }();
    return f;
}

// Reading with settings, to be set against BM_ReadFile/3 (within 1.5 times its time):
// 0 the plain rules' settings, 1 every field in its column (blanks, missing values, header
// line), 2 the comma-separated export with empty fields, header and a placeholder, 3 curve
// breaks and other comment characters on the plain rules' fast path.
void BM_ReadFileWithSettings(benchmark::State& state)
{
    ImportSettings s;
    const DataFile* f = &threeColumns();
    switch (state.range(0)) {
    case 1:
        s.delimiter = ImportSettings::Delimiter::blanks;
        s.missingValues = true;
        s.headerLine = 1;
        break;
    case 2:
        f = &threeColumnsCsv();
        s.delimiter = ImportSettings::Delimiter::comma;
        s.missingValues = true;
        s.headerLine = 1;
        s.placeholders = {QStringLiteral("NA")};
        break;
    case 3:
        s.breakLines = true;
        s.comments = QStringLiteral("#%;");
        break;
    default:
        break;
    }
    for (auto _ : state) {
        ColumnFile file(QString::fromStdString(f->path));
        file.SetImportSettings(s);
        if (file.ReadFile() != 1 || file.GetNumPoints() != f->rows ||
            file.GetNumColumns() != f->columns)
            state.SkipWithError("file not read");
        benchmark::DoNotOptimize(file.GetColumn(0)->GetData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f->bytes));
}

bool previewFileMade = false;

// 10,000,000 rows of a comma-separated export with a date column.
const std::string& previewFile()
{
    static const std::string path = [] {
        const std::string p =
            QDir::temp()
                .filePath(QStringLiteral("plotvane-bench-preview-%1.csv").arg(::getpid()))
                .toStdString();
        std::ofstream out(p, std::ios::binary);
        out << "time,volts,amps\n";
        std::string block;
        for (int i = 0; i < 10000; ++i)
            block += "2024-01-01T00:00:00Z,1.25,\n";
        for (int i = 0; i < 1000; ++i)
            out << block;
        previewFileMade = true;
        return p;
    }();
    return path;
}

// The import dialog's preview of a file of 10,000,000 rows reads only the lines it shows.
void BM_ImportPreview(benchmark::State& state)
{
    const QString path = QString::fromStdString(previewFile());
    ImportSettings s;
    s.delimiter = ImportSettings::Delimiter::automatic;
    s.headerLine = 1;
    s.missingValues = true;
    s.dateColumns = {1};
    for (auto _ : state) {
        const ImportPreview preview = previewImport(path, s);
        if (preview.lines.size() != 300 || preview.numColumns != 3)
            state.SkipWithError("preview not read");
        benchmark::DoNotOptimize(preview.lines.data());
    }
}

void removeFiles()
{
    if (previewFileMade)
        std::remove(previewFile().c_str());
    std::remove(threeColumnsCsv().path.c_str());
    std::remove(threeColumns().path.c_str());
    std::remove(twentyColumns().path.c_str());
    std::remove(threeColumnsCrLf().path.c_str());
    std::remove(threeColumnsCr().path.c_str());
}

} // namespace

BENCHMARK(BM_ReadFilePeakMemory)->Arg(3)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFile)->Arg(3)->Arg(20)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadFileWindow)
    ->Args({3, 64})
    ->Args({3, 4096})
    ->Args({3, 16384})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_ReadFileLineEnds)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_NaiveStrtod)->Arg(3)->Arg(20)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadFileWithSettings)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImportPreview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineFeedCount)->Arg(3)->Arg(20)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    // Every large block comes fresh from the system, as in the program's one read after it
    // starts, instead of the allocator handing the last iteration's warm pages back.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    removeFiles();
    return 0;
}
