// The board view's costs: drawing a board into a 1000 by 750 view (the
// picture costs what its pixels cost, not what the board's cells cost), and
// how quickly the window handles a button press while a run goes at full
// speed on a 2048 by 2048 board.
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/view_bench

#include "AppDelegate.h"
#include "BoardPainter.h"
#include "CellBitmap.h"
#include "VandrelGameOfLifeView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

void DrawBoard(benchmark::State& state)
{
    const auto side = state.range(0);
    auto board = CellBitmap::random(4.0 * double(side), 4.0 * double(side));
    QImage target(1000, 750, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.drawImage(QRect(0, 0, 1000, 750), BoardPainter::render(*board, target.size()));
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(DrawBoard)->Arg(4096)->Arg(120)->Unit(benchmark::kMillisecond);

// A press of the Stop button during a run at full speed: the time from the
// press until its command has run on the main thread.
void ButtonPressDuringFullSpeedRun(benchmark::State& state)
{
    AppDelegate app;
    app.applicationDidFinishLaunching();
    app.window->show();
    auto board = CellBitmap::random(4.0 * 2048, 4.0 * 2048);
    app.theView->initWithBitmap(*board);
    app.theView->setSpeed(RunPacer::kFastest);
    auto* button = app.window->findChild<QPushButton*>(QStringLiteral("resetButton"));
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        app.theView->setIterations(1000000);
        app.startGameOfLife();
        QTest::qWait(100);  // the run is going
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        worst = std::max(worst, ms);
        state.PauseTiming();
        app.theView->initWithBitmap(*board);
        QTest::qWait(20);
        state.ResumeTiming();
    }
    app.stopGameOfLife();
    state.counters["worst_ms"] = worst;
}
BENCHMARK(ButtonPressDuringFullSpeedRun)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
