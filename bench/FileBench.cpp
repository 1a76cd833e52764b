// Saving and opening a 1024 x 1024 pattern file, and importing a
// 4000 x 3000 JPEG. Each benchmark reports the process's peak resident size
// (maxrss_MiB); run one at a time (--benchmark_filter) for a peak of its own.

#include "CellBitmap.h"
#include "ImageFile.h"
#include "PatternFile.h"

#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdint>
#include <random>
#include <stdexcept>

namespace {

double peakMiB()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

std::string pathIn(const QTemporaryDir& dir, const char* name)
{
    return dir.filePath(QString::fromUtf8(name)).toStdString();
}

void SavePattern1024(benchmark::State& state)
{
    QTemporaryDir dir;
    const auto board = CellBitmap::random(4096, 4096);  // 1024 x 1024 cells
    const std::string path = pathIn(dir, "bench.golpattern");
    for (auto _ : state) {
        const std::string error = PatternFile::write(board.get(), path);
        if (!error.empty())
            state.SkipWithError(error.c_str());
    }
    state.counters["maxrss_MiB"] = peakMiB();
}
BENCHMARK(SavePattern1024)->Unit(benchmark::kMillisecond)->UseRealTime();

void OpenPattern1024(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = pathIn(dir, "bench.golpattern");
    {
        const auto board = CellBitmap::random(4096, 4096);
        if (!PatternFile::write(board.get(), path).empty())
            state.SkipWithError("could not write the pattern");
    }
    for (auto _ : state) {
        const BoardLoad load = PatternFile::read(path, {4096, 4096});
        if (!load.board)
            state.SkipWithError(load.error.c_str());
        benchmark::DoNotOptimize(load.board);
    }
    state.counters["maxrss_MiB"] = peakMiB();
}
BENCHMARK(OpenPattern1024)->Unit(benchmark::kMillisecond)->UseRealTime();

void ImportJpeg4000x3000(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = pathIn(dir, "bench.jpg");
    {
        // A photograph-like picture: smooth gradients with noise on top.
        QImage image(4000, 3000, QImage::Format_RGB32);
        std::mt19937 rng(1);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int n = static_cast<int>(rng() % 32);
                line[x] = qRgb((x / 16 + n) % 256, (y / 12 + n) % 256, ((x + y) / 28) % 256);
            }
        }
        QImageWriter writer(QString::fromStdString(path), "jpeg");
        writer.setQuality(90);
        if (!writer.write(image))
            state.SkipWithError("could not write the JPEG");
    }
    for (auto _ : state) {
        const BoardLoad load = ImageFile::read(path);
        if (!load.board)
            state.SkipWithError(load.error.c_str());
        benchmark::DoNotOptimize(load.board);
    }
    state.counters["maxrss_MiB"] = peakMiB();
}
BENCHMARK(ImportJpeg4000x3000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
