#include "BatchJob.h"
#include "MessageTranslation.h"

#include "BoardLoad.h"
#include "FileMessage.h"
#include "GameOfLife.h"
#include "Generation.h"
#include "GifRecorder.h"
#include "GliderGun.h"
#include "ImageFile.h"
#include "PatternFile.h"
#include "PatternInterchange.h"
#include "PatternReader.h"
#include "PatternTypes.h"
#include "RandomCells.h"

#include <QLocale>

#include <chrono>
#include <condition_variable>
#include <unistd.h>

namespace {

const PatternType* patternType(const QString& path)
{
    return PatternTypes::ofPath(path.toStdString());
}

// Any pattern, by its content: one of another Life program goes on the board
// asked for, or else on its own plane or with room around it (there is no
// board shown to go by).
BoardLoad importPattern(const BatchOptions& options)
{
    const auto target = options.boardWidth > 0 ? PatternTarget::board(options.boardWidth, options.boardHeight)
                                               : PatternTarget::shown(1, 1);
    return PatternReader::read(options.input.toStdString(), target);
}

// The rate in the session's language and number format.
QString describeRate(double cellsPerSecond)
{
    const QLocale locale;
    if (cellsPerSecond >= 1e9)
        return BatchJob::tr("%1 Gcells/s").arg(locale.toString(cellsPerSecond / 1e9, 'f', 2));
    if (cellsPerSecond >= 1e6)
        return BatchJob::tr("%1 Mcells/s").arg(locale.toString(cellsPerSecond / 1e6, 'f', 2));
    return BatchJob::tr("%1 cells/s").arg(locale.toString(cellsPerSecond, 'f', 0));
}

QString settledText(const Settling& settling)
{
    const QString generation = QLocale().toString(qulonglong(settling.generation));
    if (settling.period == 0)
        return BatchJob::tr("Settled at generation %1: the board is empty").arg(generation);
    return BatchJob::tr("Settled at generation %1: period %2").arg(generation, QLocale().toString(settling.period));
}

}  // namespace

BatchJob::BatchJob(BatchOptions options, std::FILE* out, std::FILE* err)
    : options_(std::move(options)), out_(out), err_(err)
{
}

void BatchJob::progress(std::int32_t done, double seconds)
{
    // Only on a terminal, and only once the work takes longer than a moment.
    if (options_.quiet || seconds < 0.5 || !::isatty(::fileno(err_)))
        return;
    const int total = std::max(options_.generations, 1);
    const int width = 30;
    const int filled = int(std::int64_t{done} * width / total);
    std::fprintf(err_, "\r[%-*s] %s", width, std::string(std::size_t(filled), '#').c_str(),
                 qPrintable(tr("%1/%2 generations").arg(done).arg(options_.generations)));
    std::fflush(err_);
    progressShown_ = true;
}

int BatchJob::outOfMemory(const std::string& why)
{
    std::fprintf(err_, "gameoflife-batch: %s.\n", qPrintable(MessageTranslation::translated(why)));
    return FileError;
}

int BatchJob::run()
{
    // The board.
    std::unique_ptr<CellBitmap> board;
    LifeLikeRule rule;  // B3/S23 unless the input or the options name another
    std::uint64_t firstGeneration = 0;
    const RandomCells random(options_.seed, options_.density.value_or(50));
    switch (options_.source) {
    case BatchOptions::Source::Random:
        // Made a band at a time as the engine installs it, never held whole as cells.
        board = random.board(options_.width, options_.height,
                             {double(options_.width) * CellBitmap::kPointsPerCell,
                              double(options_.height) * CellBitmap::kPointsPerCell});
        break;
    case BatchOptions::Source::GliderGun:
        board = GliderGun::make(double(options_.width), double(options_.height));
        break;
    case BatchOptions::Source::File: {
        const std::string path = options_.input.toStdString();
        BoardLoad load = patternType(options_.input) ? importPattern(options_) : ImageFile::read(path);
        if (!load.board) {
            std::fprintf(err_, "gameoflife-batch: %s\n", qPrintable(MessageTranslation::translated(load.error)));
            return FileError;
        }
        board = std::move(load.board);
        rule = load.rule.value_or(rule);
        firstGeneration = load.generation;
        break;
    }
    }
    if (!board) {
        std::fprintf(err_, "gameoflife-batch: %s\n",
                     qPrintable(tr("there is not enough memory for a board of that size.")));
        return FileError;
    }
    const auto width = board->pixelsWide();
    const auto height = board->pixelsHigh();
    rule = options_.rule.value_or(rule);
    if (options_.torus)
        rule.world = World::Torus;
    // A board whose run cannot have the memory is refused before it starts.
    if (const std::string why = Generation::memoryProblem(width, height, Generation::memoryLimit()); !why.empty())
        return outOfMemory(why);

    // The run, on the application's engine, as fast as it goes.
    GameOfLife life;
    life.pacer().setSpeed(RunPacer::kFastest);
    life.setPause({});
    if (!life.replaceBitmap(std::move(board), rule, firstGeneration))
        return outOfMemory(Generation::memoryProblem(width, height, 0));
    life.setIterations(options_.generations);
    const bool record = !options_.gif.isEmpty();
    const int scale = options_.scale;
    if (record) {
        // A recording that could not hold one frame is refused before the run.
        if (const std::string why = GifRecorder::sizeProblem(width, height, scale); !why.empty()) {
            std::fprintf(err_, "gameoflife-batch: %s\n",
                         qPrintable(MessageTranslation::translated(FileMessage::couldNotSave(
                             options_.gif.toStdString(), QString::fromStdString(why)))));
            return FileError;
        }
        life.setRecorderFactory([scale](const std::string& file) { return std::make_unique<GifRecorder>(file, scale); });
    }
    std::atomic<std::int32_t> done{0};
    life.setRedrawHandler([&done] { done.fetch_add(1); });

    std::mutex mutex;
    std::condition_variable ended;
    std::optional<RunReport> report;
    RunIndicators indicators;
    indicators.finished = [&](const RunReport& r) {
        std::lock_guard lock(mutex);
        report = r;
        ended.notify_all();
    };
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    life.setStopWhenSettled(options_.untilSettled);
    life.history().setEnabled(options_.untilSettled);  // settling is confirmed on the boards kept
    life.startGameOfLifeAndWriteToFile(record, options_.gif.toStdString(), std::move(indicators));
    {
        std::unique_lock lock(mutex);
        while (!ended.wait_for(lock, std::chrono::milliseconds(100), [&] { return report.has_value(); })) {
            lock.unlock();
            progress(done.load(), elapsed());
            lock.lock();
        }
    }
    life.waitForRuns();
    const double seconds = elapsed();
    if (progressShown_) {
        progress(done.load(), seconds);
        std::fputc('\n', err_);
    }

    // A run that ended for want of memory writes nothing: its board is not
    // the one asked for.
    if (report->end == RunEnd::OutOfMemory)
        return outOfMemory(Generation::memoryProblem(width, height, 0));

    int status = Success;
    if (report->recorded && !report->recording.message.empty()) {
        std::fprintf(err_, "gameoflife-batch: %s\n",
                     qPrintable(MessageTranslation::translated(report->recording.message)));
        if (!report->recording.written && report->generations > 0)
            status = FileError;
    }

    const auto final = life.snapshot();
    if (!final.board)
        return outOfMemory(Generation::memoryProblem(width, height, 0));
    if (!options_.output.isEmpty()) {
        const std::string path = options_.output.toStdString();
        std::string error;
        const PatternType* type = patternType(options_.output);
        if (type && type->format != PatternType::Format::Golpattern) {
            const PatternSave save = PatternInterchange::write(*final.board, path, nullptr, final.rule);
            error = save.error;
            if (save.grayCells > 0 && !options_.quiet)
                std::fprintf(out_, "%s\n", qPrintable(MessageTranslation::translated(
                                                FileMessage::grayWrittenAsDead(path, save.grayCells))));
        } else {
            error = type ? PatternFile::write(final.board.get(), path, nullptr, final.rule)
                                               : ImageFile::writePng(*final.board, path, scale);
        }
        if (!error.empty()) {
            std::fprintf(err_, "gameoflife-batch: %s\n", qPrintable(MessageTranslation::translated(error)));
            status = FileError;
        }
    }

    if (!options_.quiet) {
        if (report->settled)
            std::fprintf(out_, "%s\n", qPrintable(settledText(*report->settled)));
        const double cells = double(width) * double(height) * double(report->generations);
        const QString summary =
            (rule.world == World::Torus ? tr("%1x%2 cells, %3 on a torus, %4 generations, %5 live cells, %6 s, %7")
                                        : tr("%1x%2 cells, %3 on a bounded plane, %4 generations, %5 live cells, "
                                             "%6 s, %7"))
                .arg(width)
                .arg(height)
                .arg(QString::fromStdString(rule.name()))
                .arg(QLocale().toString(qulonglong(report->generations)),
                     QLocale().toString(qlonglong(final.population)), QLocale().toString(seconds, 'f', 3),
                     describeRate(seconds > 0 ? cells / seconds : 0));
        std::fprintf(out_, "%s\n", qPrintable(summary));
    }
    return status;
}
