// Reading and writing RLE: random boards of N x N cells (about 40% live),
// with the pattern file's reader on the same board as the yardstick, and the
// hostile texts the reader refuses (or, for the long comment, skips).

#include "CellBitmap.h"
#include "PatternFile.h"
#include "PatternInterchange.h"
#include "PatternReader.h"
#include "RleReader.h"
#include "RleWriter.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

std::unique_ptr<CellBitmap> randomBoard(std::int64_t side)
{
    auto board = CellBitmap::create(side, side);
    std::mt19937 rng(1);
    for (std::uint8_t* cell = board->data(); cell != board->data() + board->cellCount(); ++cell)
        *cell = rng() % 10 < 4 ? CellBitmap::kLive : CellBitmap::kDead;
    return board;
}

void ReadRle(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("bench.rle").toStdString();
    const auto board = randomBoard(state.range(0));
    if (!RleWriter::write(*board, path))
        state.SkipWithError("could not write the pattern");
    const auto bytes = static_cast<std::int64_t>(QFileInfo(QString::fromStdString(path)).size());
    for (auto _ : state) {
        const BoardLoad load = PatternReader::read(path, PatternTarget::shown(1, 1));
        if (!load.board)
            state.SkipWithError(load.error.c_str());
        benchmark::DoNotOptimize(load.board);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
    state.counters["file_MB"] = double(bytes) / 1e6;
}
BENCHMARK(ReadRle)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: the same board as a pattern file.
void ReadPatternFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("bench.golpattern").toStdString();
    const auto board = randomBoard(state.range(0));
    if (!PatternFile::write(board.get(), path).empty())
        state.SkipWithError("could not write the pattern");
    for (auto _ : state) {
        const BoardLoad load = PatternFile::read(path, {});
        if (!load.board)
            state.SkipWithError(load.error.c_str());
        benchmark::DoNotOptimize(load.board);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}
BENCHMARK(ReadPatternFile)->Arg(1024)->Unit(benchmark::kMillisecond)->UseRealTime();

void WriteRle(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("bench.rle").toStdString();
    const auto board = randomBoard(state.range(0));
    for (auto _ : state) {
        const PatternSave save = RleWriter::write(*board, path);
        if (!save)
            state.SkipWithError(save.error.c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}
BENCHMARK(WriteRle)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// 0: a count of 10^18; 1: a header of 2^31 by 2^31; 2: a million "$" under a
// wide header; 3: a comment line of 10 MB before a glider.
void HostileRle(benchmark::State& state)
{
    const std::string texts[] = {
        "x = 3, y = 3\n1000000000000000000o!",
        "x = 2147483648, y = 2147483648\no!",
        "x = 1000, y = 1\n" + std::string(1'000'000, '$') + "o!",
        "#C " + std::string(10'000'000, 'c') + "\nx = 3, y = 3\nbob$2bo$3o!",
    };
    const std::string& text = texts[state.range(0)];
    for (auto _ : state) {
        const BoardLoad load = RleReader::parse(text, "hostile.rle", PatternTarget::shown(120, 90));
        benchmark::DoNotOptimize(load.board);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(text.size()));
}
BENCHMARK(HostileRle)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
