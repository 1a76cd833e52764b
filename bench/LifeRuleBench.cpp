// Generation speed on large random boards: the kernel on one core, split
// over every core, and the plain per-cell reference for comparison.
//
//   build/release/bench/engine_bench --benchmark_filter=Generation

#include "CellBitmap.h"
#include "LifeRule.h"
#include "ReferenceLife.h"

#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK(GenerationOneCore)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GenerationAllCores)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GenerationPlainReference)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
