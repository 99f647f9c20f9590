// A data file of 10,000,000 rows of three %.6g numbers: read whole on one thread and on every
// core, and brought up to date after a writer appended 1,000 rows, by reading on from where the
// last read ended (following) and by reading the file again (Reread Data).
//
// The file is generated once per run in the temporary directory (about 270 MB).

#include "data/ColumnFile.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr int rows = 10000000;

std::string rowsText(int first, int count)
{
    std::mt19937_64 random(uint64_t(first) + 3);
    std::normal_distribution<double> noise(0.0, 0.1);
    std::string text;
    char line[96];
    for (int r = first; r < first + count; ++r) {
        const double x = r * 0.001;
        const int n = std::snprintf(line, sizeof line, "%.6g %.6g %.6g\n", x,
                                    std::sin(x) + noise(random), noise(random));
        text.append(line, size_t(n));
    }
    return text;
}

const QString& dataFile()
{
    static const QString path = [] {
        const QString p =
            QDir::temp().filePath(QStringLiteral("plotvane-follow-bench-%1.dat").arg(::getpid()));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        for (int r = 0; r < rows; r += 1000000) {
            const std::string text = rowsText(r, 1000000);
            if (f.write(text.data(), qint64(text.size())) < 0)
                std::abort();
        }
        return p;
    }();
    return path;
}

// threads 0: as many as ReadFile takes by itself.
void BM_ReadTenMillionRows(benchmark::State& state)
{
    ColumnFile file(dataFile());
    const int threads = int(state.range(0));
    for (auto _ : state) {
        if (threads == 0)
            file.ReadFile();
        else
            file.ReadFile(ColumnFile::defaultWindowBytes, threads);
        if (file.GetNumPoints() != rows)
            state.SkipWithError("rows lost");
    }
    state.SetBytesProcessed(state.iterations() * QFile(dataFile()).size());
}
BENCHMARK(BM_ReadTenMillionRows)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0);

enum class Update { Follow, Reread };

// Each step appends 1,000 rows (not timed) and brings the columns up to date. The file is
// copied first, so the steps leave the generated file as it was.
void BM_AppendThousandRows(benchmark::State& state, Update update)
{
    const QString path = dataFile() + QStringLiteral(".grown");
    QFile::remove(path);
    if (!QFile::copy(dataFile(), path)) {
        state.SkipWithError("no copy");
        return;
    }
    ColumnFile file(path);
    file.ReadFile();
    int total = rows;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string text = rowsText(total, 1000);
        QFile f(path);
        if (!f.open(QIODevice::Append) || f.write(text.data(), qint64(text.size())) < 0)
            std::abort();
        f.close();
        total += 1000;
        state.ResumeTiming();
        if (update == Update::Follow)
            file.Follow();
        else
            file.Reread();
        if (file.GetNumPoints() != total)
            state.SkipWithError("rows lost");
    }
    QFile::remove(path);
}
BENCHMARK_CAPTURE(BM_AppendThousandRows, follow, Update::Follow)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
BENCHMARK_CAPTURE(BM_AppendThousandRows, reread, Update::Reread)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(dataFile());
    return 0;
}
