// Working on the page with the mouse while a large trace is on it: one step of moving the
// selected x axis and one step of stretching it by its right handle, each with the repaint the
// step causes, in a graph view on the offscreen platform. Then the window painted again with a
// trace of 10,000,000 points on the page, as it stands and one pixel scrolled.
//
// The data files are generated once per run in the temporary directory: 1,000,000 and
// 10,000,000 rows of two %.6g numbers, a noisy sine in the second column.

#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "page/scaleableobject.h"
#include "page/visiblelist.h"
#include "traces/Trace.h"
#include "view/GraphView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>

namespace {

QStringList written; // removed at the end

QString writeDataFile(int rows)
{
    const QString p = QDir::temp().filePath(
        QStringLiteral("plotvane-interaction-bench-%1-%2.dat").arg(rows).arg(::getpid()));
    std::mt19937_64 random(11);
    std::normal_distribution<double> noise(0.0, 0.1);
    std::string text;
    char line[64];
    for (int r = 0; r < rows; ++r) {
        const double x = r * 0.001;
        const int n =
            std::snprintf(line, sizeof line, "%.6g %.6g\n", x, std::sin(x) + noise(random));
        text.append(line, size_t(n));
    }
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.data(), qint64(text.size())) < 0)
        std::abort();
    written.append(p);
    return p;
}

QString dataFile()
{
    static const QString path = writeDataFile(1000000);
    return path;
}

QString bigDataFile()
{
    static const QString path = writeDataFile(10000000);
    return path;
}

// Shows the view at 1000 x 800 and waits until it is exposed: painting happens only then.
void showAtFullSize(GraphView& view)
{
    view.resize(1000, 800);
    view.show();
    for (int tries = 0; tries < 1000 && !(view.windowHandle() && view.windowHandle()->isExposed());
         ++tries)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    view.ResetView();
}

void send(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button,
          Qt::MouseButtons buttons)
{
    QMouseEvent event(type, p, target->mapToGlobal(p), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

enum class Step { Move, Resize };

// The button goes down on the selected x axis (inside it, or on its right handle) and every
// step moves the mouse one pixel to the right or back, then paints what the step invalidated.
void BM_MouseStepWithRepaint(benchmark::State& state, Step step)
{
    QString error;
    std::unique_ptr<PlotDocument> doc = openForCommandLine(dataFile(), &error);
    if (!doc || !doc->FirstTrace() || !doc->FirstTrace()->GetXAxis()) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    Axis* axis = doc->FirstTrace()->GetXAxis();
    GraphView view(doc.get());
    showAtFullSize(view);
    auto list = std::make_unique<visiblelist>();
    list->append(axis);
    view.SetSelection(std::move(list));
    QWidget* vp = view.viewport();
    vp->repaint();

    const Rect r = axis->GetRect();
    const QPoint press =
        step == Step::Resize
            ? scaleableobject::handlePoint(r, scaleableobject::Handle::Right) - QPoint(2, 0)
            : QPoint(r.left + r.width() / 3, r.top + r.height() / 2);
    send(vp, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        const QPoint p = press + QPoint((i++ & 1) ? 0 : 1, 0);
        send(vp, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
        vp->repaint();
    }
    send(vp, QEvent::MouseButtonRelease, press, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK_CAPTURE(BM_MouseStepWithRepaint, move, Step::Move)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
BENCHMARK_CAPTURE(BM_MouseStepWithRepaint, resize, Step::Resize)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

// The whole window painted again, as after another window was moved over it; with `scroll`
// every paint follows a one-pixel step of the vertical scroll bar, up and down in turn.
void BM_RepaintTenMillionPoints(benchmark::State& state, bool scroll)
{
    QString error;
    std::unique_ptr<PlotDocument> doc = openForCommandLine(bigDataFile(), &error);
    if (!doc || !doc->FirstTrace()) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    GraphView view(doc.get());
    showAtFullSize(view);
    QWidget* vp = view.viewport();
    QScrollBar* bar = view.verticalScrollBar();
    bar->setValue(bar->minimum() + 1);
    vp->repaint(); // the first paint computes the points
    int i = 0;
    for (auto _ : state) {
        if (scroll)
            bar->setValue(bar->minimum() + (i++ & 1));
        vp->repaint();
    }
}
BENCHMARK_CAPTURE(BM_RepaintTenMillionPoints, still, false)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
BENCHMARK_CAPTURE(BM_RepaintTenMillionPoints, scrolled, true)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerDocumentClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const QString& path : std::as_const(written))
        QFile::remove(path);
    return 0;
}
