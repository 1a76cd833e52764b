// Recording a run as an animated GIF:
//   RecordRun         100 generations of a random 1024 by 1024 board at full
//                     speed, every one captured, and the file written
//   EncodeFrame/...   one frame of a random board (fresh, and thinned out by
//                     100 generations): encoded size against the board's bytes
//
//   build/release/bench/gif_bench

#include "CellBitmap.h"
#include "GameOfLife.h"
#include "GifRecorder.h"
#include "LifeRule.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>

namespace {

constexpr int kSide = 1024;
constexpr int kGenerations = 100;

void RecordRun(benchmark::State& state)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("gif_bench-" + std::to_string(::getpid()) + ".gif")).string();
    double fileBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto board = CellBitmap::random(4.0 * kSide, 4.0 * kSide);
        GameOfLife life;
        life.pacer().setSpeed(RunPacer::kFastest);
        life.setRecorderFactory([](const std::string& file) { return std::make_unique<GifRecorder>(file); });
        life.replaceBitmap(std::move(board));
        life.setIterations(kGenerations);
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        RunReport report;
        RunIndicators indicators;
        indicators.finished = [&](const RunReport& r) {
            std::lock_guard lock(mutex);
            report = r;
            done = true;
            ended.notify_all();
        };
        state.ResumeTiming();

        life.startGameOfLifeAndWriteToFile(true, path, std::move(indicators));
        {
            std::unique_lock lock(mutex);
            ended.wait(lock, [&] { return done; });
        }

        state.PauseTiming();
        if (!report.recording.written || report.generations != kGenerations)
            state.SkipWithError("the recording was not written");
        fileBytes = static_cast<double>(std::filesystem::file_size(path));
        life.waitForRuns();
        state.ResumeTiming();
    }
    std::filesystem::remove(path);
    state.counters["file_MB"] = fileBytes / (1024.0 * 1024.0);
    state.counters["raw_MB"] = double(kSide) * kSide * kGenerations / (1024.0 * 1024.0);
}
BENCHMARK(RecordRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void encodeFrame(benchmark::State& state, int generations)
{
    auto board = CellBitmap::random(4.0 * kSide, 4.0 * kSide);
    auto next = CellBitmap::create(kSide, kSide);
    for (int g = 0; g < generations; ++g) {
        LifeRule::step(*board, *next, {}, 0);
        std::swap(board, next);
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = GifRecorder::encodeFrame(*board).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["frame_KB"] = double(bytes) / 1024.0;
    state.counters["board_KB"] = double(board->cellCount()) / 1024.0;
    state.counters["frame/board"] = double(bytes) / double(board->cellCount());
    state.counters["live"] = double(board->liveCells()) / double(board->cellCount());
}

void EncodeFrameFresh(benchmark::State& state) { encodeFrame(state, 0); }
void EncodeFrameAfter100(benchmark::State& state) { encodeFrame(state, 100); }
BENCHMARK(EncodeFrameFresh)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeFrameAfter100)->Unit(benchmark::kMillisecond);

}  // namespace
