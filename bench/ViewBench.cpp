// The board view's costs:
//   DrawBoard/...       drawing a board into a 1000 by 750 view, the whole
//                       board and zoomed (the picture costs what its pixels
//                       cost, not what the board's cells cost)
//   PressUntilDrawn/... a press on a 16384 by 16384 board in pattern-editing
//                       mode until the view has drawn it; and a drag across
//                       300 points of it (one stroke segment)
//   SelectionCommandUntilDrawn/... a command on a 4096 by 4096 selection of
//                       that board, then its drawing: Flip Left-Right (0),
//                       Clear (1), Rotate Clockwise (2), a 4096 by 4096 paste
//                       put down (3)
//   FloatingPasteFrame  a 4096 by 4096 paste floating over that board: the
//                       pointer moves and the view draws it again
//   ButtonPressDuringFullSpeedRun  how quickly the window handles a button
//                       press while a run goes at full speed on 2048 by 2048
//   FastRunStatusCost   an "As fast as possible" run of 1024 by 1024 with the
//                       status bar shown and hidden, in turns, best of each
//   OpenAndPaintPattern4096  a 4096 by 4096 random pattern file read,
//                       installed in the window and the view drawn
//   FullSpeedLargeBoard an "As fast as possible" run of 4096 by 4096 random
//                       cells: generations a second as the status bar counts
//                       them, and how long Stop takes until the run has ended
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/view_bench

#include "AppDelegate.h"
#include "BoardPainter.h"
#include "BoardViewport.h"
#include "CellBitmap.h"
#include "Generation.h"
#include "PatternFile.h"
#include "VandrelGameOfLifeView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

// Arguments: the board's side in cells, and the zoom step (-1: the whole board).
void DrawBoard(benchmark::State& state)
{
    const auto side = state.range(0);
    const auto generation = Generation::of(CellBitmap::random(4.0 * double(side), 4.0 * double(side)));
    QImage target(1000, 750, QImage::Format_RGB32);
    BoardViewport viewport;
    viewport.setBoard(side, side);
    viewport.setView(QSizeF(target.size()), 1.0);
    const auto step = int(state.range(1));
    if (step >= 0 && !viewport.zoom(step + 1, QPoint(500, 375)))
        viewport.zoom(1, QPoint(500, 375));
    for (auto _ : state) {
        QPainter painter(&target);
        const BoardPicture picture = BoardPainter::render(*generation->board, generation->live, generation->tiles.grayCells != 0, viewport);
        painter.drawImage(picture.at, picture.image);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["points_per_cell"] = viewport.pointsPerCell();
    state.counters["grid"] = viewport.showsGrid();
}
// The whole board, 8 points per cell (a middle step), 64 points per cell (the largest); the
// whole of the largest board.
BENCHMARK(DrawBoard)->Args({4096, -1})->Args({4096, 7})->Args({4096, 15})->Args({120, -1})->Args({16384, -1})
    ->Unit(benchmark::kMillisecond);

// The view in pattern-editing mode on a 16384 by 16384 board, shown.
struct EditingWindow {
    EditingWindow()
    {
        view.resize(1000, 750);
        view.show();
        if (!QTest::qWaitForWindowActive(&view))
            qWarning("the view's window is not active: presses change nothing");
        view.initWithBitmap(*CellBitmap::random(4.0 * 16384, 4.0 * 16384));
        view.startEditing();
        view.repaint();
        QTest::qWait(50);
    }
    VandrelGameOfLifeView view;
};

// Argument 0: a press and release; 1: a drag of 300 points with the button held.
void PressUntilDrawn(benchmark::State& state)
{
    EditingWindow w;
    const bool drag = state.range(0) == 1;
    int turn = 0;
    for (auto _ : state) {
        const QPoint from(100 + turn % 500, 100 + turn % 300);
        ++turn;
        if (drag) {
            state.PauseTiming();
            QTest::mousePress(&w.view, Qt::LeftButton, {}, from);
            w.view.repaint();
            state.ResumeTiming();
            QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(300, 100)), w.view.mapToGlobal(QPointF(from + QPoint(300, 100))),
                             Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(&w.view, &move);
            w.view.repaint();
            state.PauseTiming();
            QTest::mouseRelease(&w.view, Qt::LeftButton, {}, from + QPoint(300, 100));
            state.ResumeTiming();
        } else {
            QTest::mouseClick(&w.view, Qt::LeftButton, {}, from);
            w.view.repaint();
        }
    }
    state.counters["undo_steps"] = w.view.history().steps();
}
BENCHMARK(PressUntilDrawn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void SelectionCommandUntilDrawn(benchmark::State& state)
{
    EditingWindow w;
    const QRect cells(6000, 6000, 4096, 4096);
    const auto pattern = CellBitmap::random(4.0 * 4096, 4.0 * 4096);
    const Selection::Command commands[] = {Selection::Command::FlipLeftRight, Selection::Command::Clear,
                                           Selection::Command::RotateClockwise};
    for (auto _ : state) {
        if (state.range(0) == 3) {
            state.PauseTiming();
            w.view.startPaste(*pattern, QRect(0, 0, 4096, 4096));
            state.ResumeTiming();
            w.view.putDownPaste();
        } else {
            w.view.select(cells);
            w.view.applyToSelection(commands[state.range(0)]);
        }
        w.view.repaint();
        state.PauseTiming();
        w.view.undo();  // one step held, not one per iteration
        state.ResumeTiming();
    }
}
BENCHMARK(SelectionCommandUntilDrawn)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void FloatingPasteFrame(benchmark::State& state)
{
    EditingWindow w;
    const auto pattern = CellBitmap::random(4.0 * 4096, 4.0 * 4096);
    w.view.startPaste(*pattern, QRect(0, 0, 4096, 4096));
    w.view.zoomIn();
    int turn = 0;
    for (auto _ : state) {
        const QPointF at(100 + turn % 800, 100 + turn % 500);
        ++turn;
        QMouseEvent move(QEvent::MouseMove, at, w.view.mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(&w.view, &move);
        w.view.repaint();
    }
}
BENCHMARK(FloatingPasteFrame)->Unit(benchmark::kMillisecond);

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

// One run of `generations` at full speed in the window, from the start
// command until the indicator is hidden, in milliseconds.
double fastRun(AppDelegate& app, const CellBitmap& board, int generations)
{
    app.theView->initWithBitmap(board);
    app.theView->setIterations(generations);
    QTest::qWait(20);
    QElapsedTimer timer;
    timer.start();
    app.startGameOfLife();
    while (app.indicator->isVisible())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return double(timer.nsecsElapsed()) / 1e6;
}

// Each iteration runs the same board with the status bar shown and hidden
// (in turns, which goes first), the best of each kept.
void FastRunStatusCost(benchmark::State& state)
{
    AppDelegate app;
    app.applicationDidFinishLaunching();
    app.theView->setFixedSize(480, 360);  // the same drawing, the bar shown or not
    app.window->show();
    (void)QTest::qWaitForWindowExposed(app.window);
    app.theView->setSpeed(RunPacer::kFastest);
    const auto board = CellBitmap::random(4.0 * 1024, 4.0 * 1024);
    const int generations = int(state.range(0));
    double with = 1e300;
    double without = 1e300;
    int turn = 0;
    for (auto _ : state) {
        for (bool shown : {turn % 2 == 0, turn % 2 != 0}) {
            app.window->statusBar()->setVisible(shown);
            const double ms = fastRun(app, *board, generations);
            (shown ? with : without) = std::min(shown ? with : without, ms);
        }
        ++turn;
    }
    app.window->statusBar()->setVisible(true);
    state.counters["with_status_ms"] = with;
    state.counters["without_status_ms"] = without;
    state.counters["status_cost_pct"] = (with / without - 1.0) * 100.0;
}
// What one update of the status bar costs the main thread: reading the
// counts, a new text, and the label drawn again. It happens at most once a
// frame of the screen (60 a second here).
void StatusUpdate(benchmark::State& state)
{
    AppDelegate app;
    app.applicationDidFinishLaunching();
    app.window->show();
    (void)QTest::qWaitForWindowExposed(app.window);
    app.theView->initWithBitmap(*CellBitmap::random(4.0 * 1024, 4.0 * 1024));
    auto* label = app.window->statusBar()->findChild<QWidget*>(QStringLiteral("boardStatus"));
    std::int64_t x = 0;
    double seconds = 0;
    for (auto _ : state) {
        const CellEdit edit{x++ % 1024, 7, CellBitmap::kLive};  // a new population each time
        state.PauseTiming();
        app.theView->life().editCells({&edit, 1});
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        app.status().refresh();
        label->repaint();
        seconds += double(timer.nsecsElapsed()) / 1e9;
    }
    state.counters["share_of_a_core_at_60_a_second_pct"] = 60.0 * 100.0 * seconds / double(state.iterations());
}
BENCHMARK(StatusUpdate)->Unit(benchmark::kMicrosecond);

BENCHMARK(FastRunStatusCost)->Arg(500)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

void OpenAndPaintPattern4096(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("bench.golpattern")).toStdString();
    if (!PatternFile::write(CellBitmap::random(4.0 * 4096, 4.0 * 4096).get(), path).empty())
        state.SkipWithError("could not write the pattern");
    AppDelegate app;
    app.applicationDidFinishLaunching();
    app.window->show();
    (void)QTest::qWaitForWindowExposed(app.window);
    for (auto _ : state) {
        const BoardLoad load = PatternFile::read(path, {4.0 * 4096, 4.0 * 4096});
        if (!load.board) {
            state.SkipWithError(load.error.c_str());
            break;
        }
        app.theView->initWithBitmap(*load.board);
        app.theView->repaint();
    }
}
BENCHMARK(OpenAndPaintPattern4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// The generation the status bar shows.
std::int64_t shownGeneration(AppDelegate& app)
{
    app.status().refresh();
    static const QRegularExpression number(QStringLiteral("Generation ([0-9,.\u00a0\u202f ]+)"));
    QString digits = number.match(app.status().text()).captured(1);
    digits.remove(QRegularExpression(QStringLiteral("[^0-9]")));
    return digits.toLongLong();
}

// Each iteration installs a new random board, runs it at full speed for a
// second as the status bar counts, then presses Stop: the time from the press
// until the run has ended (the indicator hidden), on the main thread.
void FullSpeedLargeBoard(benchmark::State& state)
{
    AppDelegate app;
    app.applicationDidFinishLaunching();
    app.window->show();
    (void)QTest::qWaitForWindowExposed(app.window);
    app.theView->setSpeed(RunPacer::kFastest);
    auto* button = app.window->findChild<QPushButton*>(QStringLiteral("stopButton"));
    double generations = 0;
    double seconds = 0;
    double worstStop = 0;
    for (auto _ : state) {
        state.PauseTiming();
        app.theView->initWithBitmap(*CellBitmap::random(4.0 * 4096, 4.0 * 4096));
        app.theView->setIterations(100000000);
        QTest::qWait(20);
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        app.startGameOfLife();
        QTest::qWait(1000);
        generations += double(shownGeneration(app));
        seconds += double(timer.nsecsElapsed()) / 1e9;
        timer.restart();
        QTest::mouseClick(button, Qt::LeftButton);
        while (app.indicator->isVisible())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        worstStop = std::max(worstStop, double(timer.nsecsElapsed()) / 1e6);
    }
    state.counters["generations_per_s"] = generations / seconds;
    state.counters["worst_stop_ms"] = worstStop;
}
BENCHMARK(FullSpeedLargeBoard)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

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
