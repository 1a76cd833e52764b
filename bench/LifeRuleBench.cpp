// Generation speed on large random boards, first generations: the tiled
// engine (what runs use) split over every core, under B3/S23 and other rules, the whole-board kernel on
// one core and split over every core, and the plain per-cell reference.
//
//   build/release/bench/engine_bench --benchmark_filter=Generation

#include "CellBitmap.h"
#include "CurrentBoard.h"
#include "Generation.h"
#include "GenerationStep.h"
#include "LifeRule.h"
#include "ReferenceLife.h"
#include "TileKernel.h"
#include "WorkerPool.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

void runKernel(benchmark::State& state, unsigned threads)
{
    const auto side = state.range(0);
    auto board = CellBitmap::random(4.0 * double(side), 4.0 * double(side));
    auto next = CellBitmap::create(side, side);
    for (auto _ : state) {
        LifeRule::step(*board, *next, {}, threads);
        std::swap(board, next);
        benchmark::ClobberMemory();
    }
    state.counters["cells/s"] = benchmark::Counter(double(side * side), benchmark::Counter::kIsIterationInvariantRate);
}

void GenerationOneCore(benchmark::State& state) { runKernel(state, 1); }
void GenerationAllCores(benchmark::State& state) { runKernel(state, 0); }

// The engine's own generations, as a run computes them: from the current
// generation into the spare buffer, then published. A new random board every
// 16 generations keeps them among the first ones, where nearly every tile
// changes. The buffers are made before the timing starts, as a run makes
// them once.
// `unit` picks the kernel's vector unit (TileKernel::Unit, -1: the widest);
// `threads` 1 keeps the run on the calling thread.
void runTiled(benchmark::State& state, const LifeLikeRule& rule, int unit = -1, unsigned threads = 0)
{
    const auto side = state.range(0);
    const auto units = TileKernel::units();
    if (unit >= 0 && std::find(units.begin(), units.end(), TileKernel::Unit(unit)) == units.end()) {
        state.SkipWithError("this processor has no such unit");
        return;
    }
    TileKernel::use(unit >= 0 ? TileKernel::Unit(unit) : units.back());
    CurrentBoard board;
    board.setRule(rule);
    GenerationStep step;
    WorkerPool pool(threads);
    auto next = [&] {
        auto from = board.waitForCurrent({}, {});
        auto buffer = board.takeBuffer(side, side);
        step.run(*from.generation, *buffer, threads == 1 ? nullptr : &pool, {});
        from.generation.reset();
        board.publishAfter(from.serial, buffer, {});
    };
    board.replace(CellBitmap::random(4.0 * double(side), 4.0 * double(side)));
    next();
    int generation = 0;
    for (auto _ : state) {
        if (generation++ % 16 == 0) {
            state.PauseTiming();
            board.replace(CellBitmap::random(4.0 * double(side), 4.0 * double(side)));
            state.ResumeTiming();
        }
        next();
    }
    state.counters["cells/s"] = benchmark::Counter(double(side * side), benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(rule.name() + ", " + TileKernel::name(TileKernel::unit()) + " kernel");
}

void GenerationTiled(benchmark::State& state) { runTiled(state, LifeLikeRule::life()); }
// B3/S23 on each vector unit (0 plain, 1 AVX2, 2 AVX-512, 3 AVX-512 with
// VPOPCNTDQ), on one core and on two.
void GenerationTiledUnit(benchmark::State& state)
{
    runTiled(state, LifeLikeRule::life(), int(state.range(1)), unsigned(state.range(2)));
}

// Other Life-like rules, which the kernel evaluates from their birth and
// survival sets (B3/S23 has a shorter path of its own): they are to run at
// least 85% of B3/S23's speed. The board is dense, and so stays for the 16
// generations each takes (Day & Night's board and its complement behave
// alike; B1357/S02468 replicates everything).
void GenerationTiledAnyRule(benchmark::State& state)
{
    const char* names[] = {"B36/S23", "B3678/S34678", "B1357/S02468", "B2/S"};
    runTiled(state, LifeLikeRule::parse(names[state.range(1)]).rule);
}

void GenerationPlainReference(benchmark::State& state)
{
    const auto side = state.range(0);
    auto board = CellBitmap::random(4.0 * double(side), 4.0 * double(side));
    for (auto _ : state) {
        reference::step(*board);
        benchmark::ClobberMemory();
    }
    state.counters["cells/s"] = benchmark::Counter(double(side * side), benchmark::Counter::kIsIterationInvariantRate);
}

// What memory allows: copying 32 MiB, the live bits of a 16384 by 16384 board.
void CopyBitsOfTheLargestBoard(benchmark::State& state)
{
    std::vector<std::uint64_t> from(std::size_t{1} << 22, 1), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint64_t));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(from.size() * sizeof(std::uint64_t)));
}

}  // namespace

BENCHMARK(CopyBitsOfTheLargestBoard)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GenerationOneCore)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GenerationAllCores)->Arg(4096)->Arg(16384)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GenerationTiled)->Arg(4096)->Arg(16384)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GenerationTiledUnit)
    ->ArgsProduct({{4096}, {0, 1, 2, 3}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(GenerationTiledAnyRule)
    ->ArgsProduct({{4096}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(GenerationPlainReference)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
