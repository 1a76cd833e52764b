// Recording a run as an animated GIF:
//   RecordRun/1000    1000 generations of a random 1024 by 1024 board at full
//                     speed, every one captured and streamed to the file
//   PlainRun/1000     the same run without recording: what the board alone needs
//   EncodeImage...    one frame's image, of a random board fresh and thinned
//                     out by 100 generations: encoded size against the board's bytes
//
// Each reports the process's peak resident size (maxrss_MiB); for the peak
// of one benchmark alone, run it alone:
//   build/release/bench/gif_bench --benchmark_filter=RecordRun
//   build/release/bench/gif_bench --benchmark_filter=PlainRun

#include "CellBitmap.h"
#include "GameOfLife.h"
#include "GifRecorder.h"
#include "GifStream.h"
#include "LifeRule.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>

namespace {

constexpr int kSide = 1024;

double peakMiB()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Runs `generations` of a fresh random board to the end, recording into
// `path` when it is not empty.
RunReport runOnce(int generations, const std::string& path)
{
    GameOfLife life;
    life.pacer().setSpeed(RunPacer::kFastest);
    life.setRecorderFactory([](const std::string& file) { return std::make_unique<GifRecorder>(file); });
    life.replaceBitmap(CellBitmap::random(4.0 * kSide, 4.0 * kSide));
    life.setIterations(generations);
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
    life.startGameOfLifeAndWriteToFile(!path.empty(), path, std::move(indicators));
    {
        std::unique_lock lock(mutex);
        ended.wait(lock, [&] { return done; });
    }
    life.waitForRuns();
    return report;
}

void run(benchmark::State& state, bool record)
{
    const int generations = static_cast<int>(state.range(0));
    const std::string path =
        record ? (std::filesystem::temp_directory_path() / ("gif_bench-" + std::to_string(::getpid()) + ".gif")).string()
               : std::string();
    double fileBytes = 0;
    for (auto _ : state) {
        const RunReport report = runOnce(generations, path);
        if (report.generations != generations || (record && !report.recording.written))
            state.SkipWithError("the run did not complete, or the recording was not written");
        state.PauseTiming();
        if (record)
            fileBytes = static_cast<double>(std::filesystem::file_size(path));
        state.ResumeTiming();
    }
    if (record)
        std::filesystem::remove(path);
    state.counters["file_MB"] = fileBytes / (1024.0 * 1024.0);
    state.counters["maxrss_MiB"] = peakMiB();
}

void RecordRun(benchmark::State& state) { run(state, true); }
void PlainRun(benchmark::State& state) { run(state, false); }
BENCHMARK(RecordRun)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(PlainRun)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void encodeImage(benchmark::State& state, int generations)
{
    auto board = CellBitmap::random(4.0 * kSide, 4.0 * kSide);
    auto next = CellBitmap::create(kSide, kSide);
    for (int g = 0; g < generations; ++g) {
        LifeRule::step(*board, *next, {}, 0);
        std::swap(board, next);
    }
    std::vector<std::uint8_t> row;
    std::vector<std::uint8_t> image;
    for (auto _ : state) {
        GifStream::encodeImage(*board, 1, row, image);
        benchmark::DoNotOptimize(image.data());
    }
    state.counters["frame_KB"] = double(image.size()) / 1024.0;
    state.counters["frame/board"] = double(image.size()) / double(board->cellCount());
    state.counters["live"] = double(board->liveCells()) / double(board->cellCount());
}

void EncodeImageFresh(benchmark::State& state) { encodeImage(state, 0); }
void EncodeImageAfter100(benchmark::State& state) { encodeImage(state, 100); }
BENCHMARK(EncodeImageFresh)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeImageAfter100)->Unit(benchmark::kMillisecond);

}  // namespace
