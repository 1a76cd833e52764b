#include "Boards.h"
#include "GameOfLife.h"
#include "ReferenceLife.h"
#include "RunWatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Keeps what a recording run hands its recorder.
struct RecorderLog {
    std::mutex mutex;
    std::vector<std::string> files;
    std::vector<std::vector<std::shared_ptr<const CellBitmap>>> frames;
    std::vector<RunEnd> ends;
};

class LoggingRecorder : public RunRecorder {
public:
    LoggingRecorder(RecorderLog& log, std::size_t index, std::size_t limit)
        : log_(log), index_(index), limit_(limit) {}
    void capture(std::shared_ptr<const CellBitmap> board) override
    {
        std::lock_guard lock(log_.mutex);
        log_.frames[index_].push_back(std::move(board));
        count_++;
    }
    bool full() const override { return count_ >= limit_; }
    RecordingResult finish(RunEnd end) override
    {
        std::lock_guard lock(log_.mutex);
        log_.ends[index_] = end;
        return {true, ""};
    }

private:
    RecorderLog& log_;
    std::size_t index_;
    std::size_t limit_;
    std::size_t count_ = 0;
};

GameOfLife::RecorderFactory loggingFactory(RecorderLog& log, std::size_t limit = SIZE_MAX)
{
    return [&log, limit](const std::string& file) -> std::unique_ptr<RunRecorder> {
        std::lock_guard lock(log.mutex);
        log.files.push_back(file);
        log.frames.emplace_back();
        log.ends.push_back(RunEnd::Completed);
        return std::make_unique<LoggingRecorder>(log, log.files.size() - 1, limit);
    };
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override { life.pacer().setSpeed(RunPacer::kFastest); }
    GameOfLife life;
    RunWatcher watcher;
};

}  // namespace

// --- The run loop ---

TEST_F(Engine, RunsTheSetNumberOfGenerationsAndRequestsARedrawAfterEach)
{
    std::atomic<int> redraws{0};
    life.setRedrawHandler([&] { redraws++; });
    auto board = boards::seeded(40, 30, 3);
    auto expected = reference::history(*board, 100);
    life.replaceBitmap(board->copy());

    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    ASSERT_TRUE(watcher.waitFor(1));
    const auto report = watcher.last();
    EXPECT_EQ(report.end, RunEnd::Completed);
    EXPECT_EQ(report.generations, 100);
    EXPECT_FALSE(report.recorded);
    EXPECT_EQ(redraws.load(), 100);
    EXPECT_TRUE(life.getBitmap()->sameCells(*expected[100]));
    EXPECT_EQ(life.getBitmap()->size(), board->size());
}

TEST_F(Engine, ZeroOrNegativeCountCompletesAtOnceWithoutAGeneration)
{
    auto board = boards::seeded(20, 20, 4);
    life.replaceBitmap(board->copy());
    for (int count : {0, -3, INT32_MIN}) {
        life.setIterations(count);
        ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    }
    ASSERT_TRUE(watcher.waitFor(3));
    for (const auto& r : watcher.reports()) {
        EXPECT_EQ(r.generations, 0);
    }
    EXPECT_EQ(watcher.reports().back().end, RunEnd::Completed);
    EXPECT_TRUE(life.getBitmap()->sameCells(*board));
}

TEST_F(Engine, LoweringTheCountDuringARunEndsItAsCompleted)
{
    life.replaceBitmap(boards::withLive(9, 9, {{3, 4}, {4, 4}, {5, 4}}));
    life.setIterations(INT32_MAX);
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    std::this_thread::sleep_for(20ms);
    life.setIterations(1);
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_EQ(watcher.last().end, RunEnd::Completed);
    EXPECT_GE(watcher.last().generations, 1);
    life.waitForRuns();
    EXPECT_FALSE(life.isRunning());
}

TEST_F(Engine, CancellationAtAnyMomentLeavesAWholeGeneration)
{
    auto board = boards::seeded(96, 80, 11);
    auto expected = reference::history(*board, 400);
    for (int trial = 0; trial < 40; ++trial) {
        life.replaceBitmap(board->copy());
        life.setIterations(400);
        ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
        std::this_thread::sleep_for(std::chrono::microseconds(50 * trial));
        life.abortGameOfLife();
        ASSERT_TRUE(watcher.waitFor(static_cast<std::size_t>(trial + 1)));
        const auto report = watcher.last();
        ASSERT_LE(report.generations, 400);
        EXPECT_TRUE(life.getBitmap()->sameCells(*expected[static_cast<std::size_t>(report.generations)]))
            << "trial " << trial << " after " << report.generations << " generations";
    }
}

TEST_F(Engine, AbortDuringALargeGenerationWritesNothingOfIt)
{
    auto board = CellBitmap::random(4 * 3000, 4 * 3000);
    ASSERT_TRUE(board);
    life.replaceBitmap(board->copy());
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    life.abortGameOfLife();
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_EQ(watcher.last().end, RunEnd::Cancelled);
    EXPECT_EQ(watcher.last().generations, 0);
    EXPECT_TRUE(life.getBitmap()->sameCells(*board));
}

TEST_F(Engine, RecordingRunCapturesOneFramePerGenerationStartingAfterTheFirst)
{
    RecorderLog log;
    life.setRecorderFactory(loggingFactory(log));
    auto board = boards::seeded(30, 20, 6);
    auto expected = reference::history(*board, 100);
    life.replaceBitmap(board->copy());
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, "/tmp/run.gif", watcher.indicators()));
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_TRUE(watcher.last().recorded);
    EXPECT_TRUE(watcher.last().recording.written);
    ASSERT_EQ(log.files.size(), 1u);
    EXPECT_EQ(log.files[0], "/tmp/run.gif");
    ASSERT_EQ(log.frames[0].size(), 100u);
    for (std::size_t g = 0; g < 100; ++g)
        ASSERT_TRUE(log.frames[0][g]->sameCells(*expected[g + 1])) << g;
    EXPECT_EQ(log.ends[0], RunEnd::Completed);

    // A run that does not record makes no recorder at all.
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    ASSERT_TRUE(watcher.waitFor(2));
    EXPECT_EQ(log.files.size(), 1u);
}

TEST_F(Engine, RecordingThatFillsUpEndsAsIfStopped)
{
    RecorderLog log;
    life.setRecorderFactory(loggingFactory(log, 7));
    life.replaceBitmap(boards::seeded(30, 20, 6));
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, "x.gif", watcher.indicators()));
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_EQ(watcher.last().end, RunEnd::Cancelled);
    EXPECT_EQ(watcher.last().generations, 7);
    EXPECT_EQ(log.frames[0].size(), 7u);
}

// --- Thread control ---

TEST_F(Engine, AbortWithNoRunDoesNothing)
{
    life.replaceBitmap(boards::seeded(10, 10, 1));
    const auto before = life.snapshot();
    life.abortGameOfLife();
    EXPECT_FALSE(life.isRunning());
    EXPECT_EQ(life.snapshot().serial, before.serial);
}

TEST_F(Engine, AbortAfterCompletionChangesNothing)
{
    life.replaceBitmap(boards::seeded(10, 10, 1));
    life.setIterations(3);
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    ASSERT_TRUE(watcher.waitFor(1));
    const auto before = life.snapshot();
    life.abortGameOfLife();
    EXPECT_EQ(life.snapshot().serial, before.serial);
    EXPECT_EQ(watcher.reports().size(), 1u);
    EXPECT_EQ(watcher.last().end, RunEnd::Completed);
}

TEST_F(Engine, StopRightAfterStartCancelsTheRunEvenBeforeItBegan)
{
    auto board = boards::seeded(50, 50, 2);
    life.replaceBitmap(board->copy());
    // The start command takes its ticket on the main thread; the stop comes
    // before the starter thread has made the start call.
    const auto ticket = life.prepareRun();
    life.abortGameOfLife();
    EXPECT_FALSE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators(ticket)));
    EXPECT_FALSE(life.isRunning());
    EXPECT_TRUE(life.getBitmap()->sameCells(*board));

    // A later start is not affected.
    EXPECT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators(life.prepareRun())));
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_EQ(watcher.last().end, RunEnd::Completed);
}

TEST_F(Engine, AnOlderStartArrivingLateNeverReplacesANewerRun)
{
    life.replaceBitmap(boards::seeded(50, 50, 2));
    life.setIterations(INT32_MAX);
    const auto older = life.prepareRun();
    const auto newer = life.prepareRun();
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators(newer)));
    EXPECT_FALSE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators(older)));
    EXPECT_TRUE(life.isRunning());
    life.abortGameOfLife();
    ASSERT_TRUE(watcher.waitFor(1));
}

TEST_F(Engine, StartDuringARunCancelsItAndContinuesFromAWholeGeneration)
{
    RecorderLog log;
    life.setRecorderFactory(loggingFactory(log));
    auto board = boards::seeded(64, 48, 8);
    auto expected = reference::history(*board, 2000);
    life.replaceBitmap(board->copy());
    life.setIterations(1000);
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, "first.gif", watcher.indicators()));
    std::this_thread::sleep_for(5ms);
    life.setIterations(10);
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, "second.gif", watcher.indicators()));
    ASSERT_TRUE(watcher.waitFor(2));
    life.waitForRuns();

    const auto reports = watcher.reports();
    // The first run may have completed at its new count of 10 before the second began.
    const auto& first = reports[0];
    const auto& second = reports[1];
    EXPECT_EQ(second.end, RunEnd::Completed);
    EXPECT_EQ(second.generations, 10);
    const auto total = static_cast<std::size_t>(first.generations + second.generations);
    EXPECT_TRUE(life.getBitmap()->sameCells(*expected[total]));
    // Each recording kept its own frames and its own file.
    ASSERT_EQ(log.files.size(), 2u);
    EXPECT_EQ(log.files[0], "first.gif");
    EXPECT_EQ(log.files[1], "second.gif");
    EXPECT_EQ(log.frames[0].size(), static_cast<std::size_t>(first.generations));
    EXPECT_EQ(log.frames[1].size(), 10u);
    ASSERT_FALSE(log.frames[1].empty());
    EXPECT_TRUE(log.frames[1].front()->sameCells(*expected[static_cast<std::size_t>(first.generations) + 1]));
}

TEST_F(Engine, ResetDuringARunDropsTheBoardAndKeepsTheCount)
{
    life.replaceBitmap(boards::seeded(200, 200, 9));
    life.setIterations(100000);
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    std::this_thread::sleep_for(5ms);
    life.reset();
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_EQ(watcher.last().end, RunEnd::Cancelled);
    EXPECT_EQ(life.getBitmap(), nullptr);
    EXPECT_EQ(life.iterations(), 100000);
    // The next drawing makes a new random board.
    auto made = life.makeBitmapIfNone(480, 360);
    ASSERT_TRUE(made.board);
    EXPECT_EQ(made.board->pixelsWide(), 120);
    EXPECT_EQ(life.makeBitmapIfNone(480, 360).serial, made.serial);
}

TEST_F(Engine, BoardReplacedMidRunIsTheOneTheRunGoesOnWith)
{
    life.replaceBitmap(CellBitmap::random(2000, 2000));
    life.setIterations(INT32_MAX);
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    std::this_thread::sleep_for(10ms);
    // A block is still life: whatever generation the run is at, it stays.
    auto block = boards::withLive(6, 5, {{1, 1}, {2, 1}, {1, 2}, {2, 2}});
    life.replaceBitmap(block->copy());
    std::this_thread::sleep_for(10ms);
    life.abortGameOfLife();
    ASSERT_TRUE(watcher.waitFor(1));
    auto now = life.getBitmap();
    ASSERT_EQ(now->pixelsWide(), 6);
    EXPECT_TRUE(now->sameCells(*block));
}

TEST_F(Engine, EditDuringARunIsNeverOverwritten)
{
    // A blinker far from a lone cell: after the edit adds a block, the block
    // must survive whatever generation the run reaches.
    life.replaceBitmap(boards::withLive(40, 40, {{5, 5}, {6, 5}, {7, 5}}));
    life.setIterations(INT32_MAX);
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(life.modifyBitmap([](CellBitmap& b) {
        for (auto [x, y] : {std::pair{30, 30}, {31, 30}, {30, 31}, {31, 31}})
            b.setPixel(x, y, 0);
    }));
    std::this_thread::sleep_for(5ms);
    life.abortGameOfLife();
    ASSERT_TRUE(watcher.waitFor(1));
    auto now = life.getBitmap();
    EXPECT_EQ(now->liveCells(), 3 + 4);
    EXPECT_EQ(now->getPixel(30, 30), 0);
    EXPECT_EQ(now->getPixel(31, 31), 0);
}

TEST_F(Engine, GenerationWithoutABoardStillRequestsARedraw)
{
    std::atomic<int> redraws{0};
    life.setRedrawHandler([&] { redraws++; });
    life.setIterations(3);
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_EQ(watcher.last().generations, 3);
    EXPECT_EQ(redraws.load(), 3);
}

TEST_F(Engine, InitWithBitmapInstallsACopyAndSetsTheCountBackTo100)
{
    life.setIterations(7);
    auto board = boards::seeded(8, 8, 3);
    board->setSize({32, 32});
    ASSERT_TRUE(life.initWithBitmap(*board));
    EXPECT_EQ(life.iterations(), 100);
    board->setPixel(0, 0, 99);
    EXPECT_NE(life.getBitmap()->getPixel(0, 0), 99);
    EXPECT_EQ(life.getBitmap()->size(), (LogicalSize{32, 32}));
}

TEST_F(Engine, DestroyingTheEngineEndsItsRuns)
{
    RunWatcher local;
    {
        GameOfLife other;
        other.pacer().setSpeed(RunPacer::kFastest);
        other.replaceBitmap(CellBitmap::random(800, 800));
        other.setIterations(INT32_MAX);
        ASSERT_TRUE(other.startGameOfLifeAndWriteToFile(false, "", local.indicators()));
    }
    ASSERT_EQ(local.reports().size(), 1u);
    EXPECT_EQ(local.last().end, RunEnd::Cancelled);
}
