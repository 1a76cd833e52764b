// Saving and opening a 1024 x 1024 pattern file (as written, which is read
// apart from the XML reader; through the XML reader; and with its keys in
// plistlib's order, cells first, which the XML reader reads twice), refusing
// hostile pattern files (a 4 MB flood of unknown markup, 50,000 nested
// arrays), and importing a 4000 x 3000 JPEG. Each benchmark reports the
// process's peak resident size (maxrss_MiB); run one at a time
// (--benchmark_filter) for a peak of its own:
//   build/release/bench/files_bench --benchmark_filter=OpenPattern1024$

#include "CellBitmap.h"
#include "ImageFile.h"
#include "PatternFile.h"

#include <QFile>
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

// How the 1024 x 1024 pattern file is laid out.
enum class Layout {
    Written,     // as the writer writes it: read exactly as written
    Commented,   // the same with a comment after its declaration: the XML reader, one pass
    CellsFirst,  // the entries swapped, as plistlib orders them: the XML reader, two passes
};

// Writes the pattern file, copying the writer's file a piece at a time so
// that the copy takes little memory.
void writeLaid(benchmark::State& state, const QTemporaryDir& dir, const std::string& path, Layout layout)
{
    const std::string written = layout == Layout::Written ? path : pathIn(dir, "written.golpattern");
    if (!PatternFile::write(CellBitmap::random(4096, 4096).get(), written).empty())
        state.SkipWithError("could not write the pattern");
    if (layout == Layout::Written)
        return;
    QFile in(QString::fromStdString(written));
    QFile out(QString::fromStdString(path));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        state.SkipWithError("could not copy the pattern");
    const QByteArray head = in.read(1024);
    const qint64 size = head.indexOf("\t<key>bitMapPixelSize</key>");
    const qint64 data = head.indexOf("\t<key>bitMapPixelData</key>");
    const qint64 end = in.size() - qint64(sizeof "</dict>\n</plist>\n") + 1;
    auto copy = [&](qint64 from, qint64 to) {
        in.seek(from);
        for (qint64 at = from; at < to; at += 1 << 20)
            out.write(in.read(std::min<qint64>(1 << 20, to - at)));
    };
    if (layout == Layout::Commented) {
        const qint64 line = head.indexOf('\n') + 1;
        copy(0, line);
        out.write("<!-- not as written -->\n");
        copy(line, in.size());
        return;
    }
    copy(0, size);
    copy(data, end);
    copy(size, data);
    copy(end, in.size());
}

void openPattern(benchmark::State& state, Layout layout)
{
    QTemporaryDir dir;
    const std::string path = pathIn(dir, "bench.golpattern");
    writeLaid(state, dir, path, layout);
    for (auto _ : state) {
        const BoardLoad load = PatternFile::read(path, {4096, 4096});
        if (!load.board)
            state.SkipWithError(load.error.c_str());
        benchmark::DoNotOptimize(load.board);
    }
    state.counters["maxrss_MiB"] = peakMiB();
}

void OpenPattern1024(benchmark::State& state) { openPattern(state, Layout::Written); }
void OpenPatternXmlReader1024(benchmark::State& state) { openPattern(state, Layout::Commented); }
void OpenPatternCellsFirst1024(benchmark::State& state) { openPattern(state, Layout::CellsFirst); }
BENCHMARK(OpenPattern1024)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenPatternXmlReader1024)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenPatternCellsFirst1024)->Unit(benchmark::kMillisecond)->UseRealTime();

// A hostile file, which must be refused (quickly).
void refuse(benchmark::State& state, const QByteArray& content)
{
    QTemporaryDir dir;
    const std::string path = pathIn(dir, "hostile.golpattern");
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        state.SkipWithError("could not write the file");
    file.close();
    for (auto _ : state) {
        const BoardLoad load = PatternFile::read(path, {});
        if (load.board)
            state.SkipWithError("the hostile file was opened");
        benchmark::DoNotOptimize(load.error);
    }
    state.counters["file_MB"] = double(content.size()) / (1024.0 * 1024.0);
}

const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                         "<key>bitMapPixelSize</key><array><integer>2</integer><integer>2</integer></array>";

void RefuseMarkupFlood4MB(benchmark::State& state)
{
    refuse(state, kHead + QByteArray("<!a>").repeated(1000000) + "</dict></plist>");
}
BENCHMARK(RefuseMarkupFlood4MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void RefuseNesting50000(benchmark::State& state)
{
    refuse(state, kHead + "<key>k</key>" + QByteArray("<array>").repeated(50000) +
                      QByteArray("</array>").repeated(50000) + "</dict></plist>");
}
BENCHMARK(RefuseNesting50000)->Unit(benchmark::kMillisecond)->UseRealTime();

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
