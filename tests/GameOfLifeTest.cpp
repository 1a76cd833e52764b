#include "Boards.h"
#include "GameOfLife.h"
#include "ReferenceLife.h"
#include "RunWatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

// What a recording run hands its recorder is checked in GifRecorderTest,
// with the real recorder.

using namespace std::chrono_literals;
using std::this_thread::sleep_for;

namespace {

class Engine : public ::testing::Test {
protected:
    void SetUp() override { life.pacer().setSpeed(RunPacer::kFastest); }

    // Starts a run; after `wait` does `meanwhile` on this thread; waits for the run to end.
    RunReport run(const std::function<void()>& meanwhile = {}, std::chrono::microseconds wait = {})
    {
        const auto before = watcher.reports().size();
        EXPECT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
        sleep_for(wait);
        if (meanwhile)
            meanwhile();
        EXPECT_TRUE(watcher.waitFor(before + 1));
        return watcher.last();
    }

    RunWatcher watcher;
    GameOfLife life;
};

}  // namespace

// --- The run loop ---

TEST_F(Engine, RunsTheCountReadBeforeEveryGenerationAndRedrawsEach)
{
    std::atomic<int> redraws{0};
    life.setRedrawHandler([&] { redraws++; });
    auto board = boards::seeded(30, 20, 6);
    life.replaceBitmap(board->copy());
    const auto report = run();
    EXPECT_EQ(report.end, RunEnd::Completed);
    EXPECT_EQ(report.generations, 100);
    EXPECT_EQ(redraws.load(), 100);
    const auto after = life.getBitmap();
    EXPECT_TRUE(after->sameCells(*reference::history(*board, 100)[100]));

    for (int count : {0, -3, INT32_MIN}) {
        life.setIterations(count);
        const auto none = run();
        EXPECT_EQ(none.end, RunEnd::Completed) << count;
        EXPECT_EQ(none.generations, 0) << count;
    }
    EXPECT_EQ(life.getBitmap(), after) << "a generation was computed";

    life.setIterations(INT32_MAX);
    const auto lowered = run([&] { life.setIterations(1); }, 20ms);
    EXPECT_EQ(lowered.end, RunEnd::Completed);
    EXPECT_GE(lowered.generations, 1);
}

TEST_F(Engine, CancellationAtAnyMomentLeavesAWholeGeneration)
{
    auto board = boards::seeded(96, 80, 11);
    const auto expected = reference::history(*board, 400);
    life.setIterations(400);
    for (int trial = 0; trial < 40; ++trial) {
        life.replaceBitmap(board->copy());
        const auto report = run([&] { life.abortGameOfLife(); }, std::chrono::microseconds(50 * trial));
        ASSERT_LE(report.generations, 400);
        EXPECT_TRUE(life.getBitmap()->sameCells(*expected[static_cast<std::size_t>(report.generations)]))
            << "trial " << trial << " after " << report.generations << " generations";
    }

    // Stopped within its first generation, a large board keeps none of it.
    auto large = CellBitmap::random(4 * 3000, 4 * 3000);
    life.replaceBitmap(large->copy());
    const auto report = run([&] { life.abortGameOfLife(); });
    EXPECT_EQ(report.end, RunEnd::Cancelled);
    EXPECT_EQ(report.generations, 0);
    EXPECT_TRUE(life.getBitmap()->sameCells(*large));
}

// --- Thread control ---

TEST_F(Engine, AbortStopAndResetAtEveryStageOfARun)
{
    auto board = boards::seeded(10, 10, 1);
    life.replaceBitmap(board->copy());
    life.setIterations(3);
    const auto idle = life.snapshot().serial;
    life.abortGameOfLife();
    EXPECT_FALSE(life.isRunning());
    EXPECT_EQ(life.snapshot().serial, idle);

    // The start command takes its ticket on the main thread; the stop comes
    // before the thread that starts the run has made the start call.
    const auto voided = life.prepareRun();
    life.abortGameOfLife();
    EXPECT_FALSE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators(voided)));
    EXPECT_FALSE(life.isRunning());
    EXPECT_TRUE(life.getBitmap()->sameCells(*board));

    EXPECT_EQ(run().end, RunEnd::Completed);
    const auto completed = life.snapshot().serial;
    life.abortGameOfLife();
    EXPECT_EQ(life.snapshot().serial, completed);
    EXPECT_EQ(watcher.reports().size(), 1u);

    // Reset during a run drops the board and keeps the count.
    life.replaceBitmap(boards::seeded(200, 200, 9));
    life.setIterations(100000);
    const auto report = run([&] { life.reset(); }, 5ms);
    EXPECT_EQ(report.end, RunEnd::Cancelled);
    EXPECT_EQ(life.getBitmap(), nullptr);
    EXPECT_EQ(life.iterations(), 100000);
}

TEST_F(Engine, BoardReplacedOrEditedMidRunIsTheOneTheRunGoesOnWith)
{
    // A block is still: once on the board it stays, whatever generation the run reaches.
    const auto addBlock = [](CellBitmap& b) {
        for (auto [x, y] : {std::pair{30, 30}, {31, 30}, {30, 31}, {31, 31}})
            b.setPixel(x, y, 0);
    };
    life.setIterations(INT32_MAX);
    for (const bool edit : {false, true}) {
        SCOPED_TRACE(edit ? "a block added to a blinker" : "a large random board replaced by a block");
        life.replaceBitmap(edit ? boards::withLive(40, 40, {{5, 5}, {6, 5}, {7, 5}}) : CellBitmap::random(2000, 2000));
        run([&] {
            auto block = CellBitmap::create(40, 40);
            addBlock(*block);
            if (edit)
                EXPECT_TRUE(life.modifyBitmap(addBlock));
            else
                life.replaceBitmap(std::move(block));
            sleep_for(10ms);
            life.abortGameOfLife();
        }, 10ms);
        const auto now = life.getBitmap();
        ASSERT_EQ(now->pixelsWide(), 40);
        EXPECT_EQ(now->liveCells(), edit ? 3 + 4 : 4);
        auto withBlock = now->copy();
        addBlock(*withBlock);
        EXPECT_TRUE(withBlock->sameCells(*now)) << "the block is gone";
    }
}
