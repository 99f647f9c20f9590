// Plotting a large data file without a display, as plotvane --export does: the whole path
// (read, lay out, draw, write the PNG) and the drawing alone on a document already open, with
// the trace drawn as a line and as symbols.
//
// The data file is generated once per run in the temporary directory: 1,000,000 rows of
// three %.6g numbers, a noisy sine in the second column.

#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "platform/Settings.h"
#include "view/PageExport.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>

namespace {

QString dataFile()
{
    static const QString path = [] {
        const QString p =
            QDir::temp().filePath(QStringLiteral("plotvane-export-bench-%1.dat").arg(::getpid()));
        std::mt19937_64 random(7);
        std::normal_distribution<double> noise(0.0, 0.1);
        std::string text;
        char line[96];
        for (int r = 0; r < 1000000; ++r) {
            const double x = r * 0.001;
            const int n = std::snprintf(line, sizeof line, "%.6g %.6g %.6g\n", x,
                                        std::sin(x) + noise(random), noise(random));
            text.append(line, size_t(n));
        }
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(text.data(), qint64(text.size())) < 0)
            std::abort();
        return p;
    }();
    return path;
}

QString outputFile()
{
    return QDir::temp().filePath(QStringLiteral("plotvane-export-bench-%1.png").arg(::getpid()));
}

enum class Look { Line, Symbols };

// The trace of a freshly opened document is a line; with Look::Symbols it becomes the default
// symbol (a dot) at every point, without the line.
std::unique_ptr<PlotDocument> openDocument(Look look, QString* error)
{
    std::unique_ptr<PlotDocument> doc = openForCommandLine(dataFile(), error);
    if (doc && look == Look::Symbols) {
        Trace* trace = doc->FirstTrace();
        const DefaultSettings& s = defaultSettings();
        trace->SetPen(std::nullopt);
        trace->SetSymbolFont(LogFont::fromFace(s.symbolFace, s.symbolSize * 1000 / -72));
        trace->SetSymbolChar(uint8_t(s.symbolChar));
    }
    return doc;
}

void BM_ExportDataFileToPng(benchmark::State& state, Look look)
{
    for (auto _ : state) {
        QString error;
        std::unique_ptr<PlotDocument> doc = openDocument(look, &error);
        if (!doc) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        exportPage(*doc, outputFile(), 0);
    }
    state.SetBytesProcessed(state.iterations() * QFile(dataFile()).size());
}
BENCHMARK_CAPTURE(BM_ExportDataFileToPng, line, Look::Line)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(BM_ExportDataFileToPng, symbols, Look::Symbols)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// The page drawn again with the points already computed, as a repaint does.
void BM_ExportOpenDocumentToPng(benchmark::State& state, Look look)
{
    QString error;
    std::unique_ptr<PlotDocument> doc = openDocument(look, &error);
    if (!doc) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    for (auto _ : state)
        exportPage(*doc, outputFile(), 0);
}
BENCHMARK_CAPTURE(BM_ExportOpenDocumentToPng, line, Look::Line)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(BM_ExportOpenDocumentToPng, symbols, Look::Symbols)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    registerDocumentClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(dataFile());
    QFile::remove(outputFile());
    return 0;
}
