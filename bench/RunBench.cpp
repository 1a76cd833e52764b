// Whole runs on the engine, each against the whole-board kernel split over
// every core (the dense path) in the same run:
//   GliderGun/...     the glider gun on 8192 by 8192 cells, placed as the
//                     batch tool places it, 1000 generations
//   RandomSettles/... a 2048 by 2048 random board, 5000 generations
//   EditPress/...     one cell set on a 16384 by 16384 board, in place (no
//                     one else holds it) or on a copy (a reader holds it)
//   Random4096/...    a 4096 by 4096 random board, 2000 generations: as it
//                     is, keeping its generations for going back, and
//                     watching for it to settle too; a run's every cost
//                     is in it, the history's memory touched the first
//                     time too. Noisy on a shared machine: compare medians
//                     of repetitions of the same run, interleaved, and the
//                     CPU time of every thread (the column CPU); the least
//                     of them is the steadiest
//   StepBack          one generation back on that board, to the board
//                     installed, from each generation after a checkpoint
//                     to the one after the checkpoint before
//
//   build/release/bench/engine_bench --benchmark_filter='Random4096|StepBack' --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_enable_random_interleaving=true
//   build/release/bench/engine_bench --benchmark_filter='GliderGun|RandomSettles|EditPress'

#include "CellBitmap.h"
#include "GameOfLife.h"
#include "Generation.h"
#include "GenerationHistory.h"
#include "GenerationStep.h"
#include "GliderGun.h"
#include "LifeRule.h"
#include "LiveBits.h"
#include "SettlingWatch.h"
#include "WorkerPool.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <random>

namespace {

std::unique_ptr<CellBitmap> gliderGun() { return GliderGun::make(32768, 32768); }

std::unique_ptr<CellBitmap> seededRandom(std::int64_t side)
{
    auto board = CellBitmap::create(side, side);
    std::mt19937_64 random(2048);
    for (std::uint8_t* cell = board->data(); cell != board->data() + board->cellCount(); ++cell)
        *cell = (random() & 1) ? CellBitmap::kDead : CellBitmap::kLive;
    return board;
}

// A run as the batch tool makes it: as fast as it goes, no pause. From the
// board handed over to the run's end; making the board and letting the
// engine go are not timed.
void engineRun(benchmark::State& state, std::unique_ptr<CellBitmap> (*make)(), std::int32_t generations,
               void (*configure)(GameOfLife&) = nullptr)
{
    std::int64_t population = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto board = make();
        auto life = std::make_unique<GameOfLife>();
        life->pacer().setSpeed(RunPacer::kFastest);
        life->setPause({});
        life->setIterations(generations);
        if (configure)
            configure(*life);
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        RunIndicators indicators;
        indicators.finished = [&](const RunReport&) {
            std::lock_guard lock(mutex);
            done = true;
            ended.notify_all();
        };
        state.ResumeTiming();

        life->replaceBitmap(std::move(board));
        life->startGameOfLifeAndWriteToFile(false, "", std::move(indicators));
        {
            std::unique_lock lock(mutex);
            ended.wait(lock, [&] { return done; });
        }

        state.PauseTiming();
        population = life->snapshot().population;
        life.reset();
        state.ResumeTiming();
    }
    state.counters["population"] = double(population);
}

void denseRun(benchmark::State& state, std::unique_ptr<CellBitmap> (*make)(), std::int32_t generations)
{
    std::int64_t population = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto board = make();
        auto next = CellBitmap::create(board->pixelsWide(), board->pixelsHigh());
        state.ResumeTiming();
        for (std::int32_t g = 0; g < generations; ++g) {
            LifeRule::step(*board, *next, {}, 0);
            std::swap(board, next);
        }
        state.PauseTiming();
        population = board->liveCells();
        state.ResumeTiming();
    }
    state.counters["population"] = double(population);
}

std::unique_ptr<CellBitmap> random2048() { return seededRandom(2048); }

void GliderGun_Engine(benchmark::State& state) { engineRun(state, gliderGun, 1000); }
void GliderGun_Dense(benchmark::State& state) { denseRun(state, gliderGun, 1000); }
void RandomSettles_Engine(benchmark::State& state) { engineRun(state, random2048, 5000); }
void RandomSettles_Dense(benchmark::State& state) { denseRun(state, random2048, 5000); }

std::unique_ptr<CellBitmap> random4096() { return seededRandom(4096); }
void keepHistory(GameOfLife& life) { life.history().setEnabled(true); }
void watchSettling(GameOfLife& life)
{
    keepHistory(life);
    life.setStopWhenSettled(true);
}

constexpr std::int32_t kRandomRun = 2000;
void Random4096_Plain(benchmark::State& state) { engineRun(state, random4096, kRandomRun); }
void Random4096_History(benchmark::State& state) { engineRun(state, random4096, kRandomRun, keepHistory); }
void Random4096_HistoryAndSettling(benchmark::State& state)
{
    engineRun(state, random4096, kRandomRun, watchSettling);
}

// The same board's generations computed as a run computes them, each
// handed to the history and to the watch for settling, which are timed
// apart: what each costs, as a share of the generations' time, measured in
// the same moments (a shared machine's load spoils a comparison of whole
// runs). "history" and "settling" are percentages.
void Random4096_Shares(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    double stepping = 0, keeping = 0, watching = 0;
    for (auto _ : state) {
        WorkerPool workers;
        GenerationHistory history;
        history.setEnabled(true);
        SettlingWatch settling;
        std::unique_ptr<Generation> g[3] = {Generation::of(random4096()), Generation::blank(4096, 4096),
                                            Generation::blank(4096, 4096)};
        g[0]->serial = 1;
        GenerationStep step;
        const std::stop_source never;
        for (std::int32_t n = 1; n <= kRandomRun; ++n) {
            Generation& from = *g[(n - 1) % 3];
            Generation& into = *g[n % 3];
            const bool marksTwoBack = GenerationStep::marksAgainstHeld(from, into);
            const auto t0 = Clock::now();
            step.run(from, into, &workers, never.get_token());
            into.serial = std::uint64_t(n) + 1;
            const auto t1 = Clock::now();
            history.advance(from, from.serial, into, into.serial, &workers);
            const auto t2 = Clock::now();
            if (settling.see(from, from.serial, into, into.serial, marksTwoBack, &history))
                state.SkipWithError("a random board settled");
            const auto t3 = Clock::now();
            stepping += std::chrono::duration<double>(t1 - t0).count();
            keeping += std::chrono::duration<double>(t2 - t1).count();
            watching += std::chrono::duration<double>(t3 - t2).count();
        }
    }
    state.counters["history"] = 100 * keeping / stepping;
    state.counters["settling"] = 100 * watching / stepping;
}

void StepBack(benchmark::State& state)
{
    GameOfLife life;
    life.pacer().setSpeed(RunPacer::kFastest);
    life.setPause({});
    keepHistory(life);
    life.replaceBitmap(random4096());
    life.setIterations(110);
    life.startGameOfLifeAndWriteToFile(false, "", {});
    life.waitForRuns();
    state.counters["kept"] = double(life.history().size());
    double most = 0;
    for (auto _ : state) {
        const auto begun = std::chrono::steady_clock::now();
        if (!life.goBack(false))
            state.SkipWithError("nothing kept to go back to");
        // Drawn as the window draws it: from the live bits.
        benchmark::DoNotOptimize(life.snapshot().live->strip(0)[0]);
        most = std::max(most, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begun).count());
    }
    state.counters["most_ms"] = most;
}

void editPress(benchmark::State& state, bool held)
{
    GameOfLife life;
    life.replaceBitmap(seededRandom(16384));
    const auto reader = held ? life.getBitmap() : nullptr;
    std::int64_t x = 0;
    for (auto _ : state) {
        const CellEdit edit{x++ % 16384, 8000, CellBitmap::kLive};
        life.editCells({&edit, 1});
    }
}

void EditPress_InPlace(benchmark::State& state) { editPress(state, false); }
void EditPress_ReaderHoldsTheBoard(benchmark::State& state) { editPress(state, true); }

// What the load of other work on the machine adds to a run is never negative.
double least(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

}  // namespace

BENCHMARK(GliderGun_Engine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(GliderGun_Dense)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(RandomSettles_Engine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(RandomSettles_Dense)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(Random4096_Plain)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(1)->ComputeStatistics("min", least);
BENCHMARK(Random4096_History)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(1)->ComputeStatistics("min", least);
BENCHMARK(Random4096_HistoryAndSettling)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(1)->ComputeStatistics("min", least);
BENCHMARK(Random4096_Shares)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(StepBack)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(100);
BENCHMARK(EditPress_InPlace)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(EditPress_ReaderHoldsTheBoard)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
