#include "Boards.h"
#include "GameOfLife.h"
#include "ReferenceLife.h"
#include "RunWatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <list>
#include <thread>

using namespace std::chrono_literals;
using std::this_thread::sleep_for;

namespace {

// What a recording run handed its recorder.
struct Recording {
    std::string file;
    std::vector<std::shared_ptr<const CellBitmap>> frames;
};

class LoggingRecorder : public RunRecorder {
public:
    explicit LoggingRecorder(Recording& log) : log_(log) {}
    void capture(std::shared_ptr<const CellBitmap> board) override { log_.frames.push_back(std::move(board)); }
    RecordingResult finish(RunEnd) override { return {true, ""}; }

private:
    Recording& log_;
};

class Engine : public ::testing::Test {
protected:
    void SetUp() override
    {
        life.pacer().setSpeed(RunPacer::kFastest);
        life.setRecorderFactory([this](const std::string& file) {
            recordings.push_back({file, {}});
            return std::make_unique<LoggingRecorder>(recordings.back());
        });
    }
    // Starts a run, does `meanwhile` on this thread and waits for the run to end.
    RunReport run(const std::function<void()>& meanwhile = {}, bool record = false, const std::string& file = "")
    {
        const auto before = watcher.reports().size();
        EXPECT_TRUE(life.startGameOfLifeAndWriteToFile(record, file, watcher.indicators()));
        if (meanwhile)
            meanwhile();
        EXPECT_TRUE(watcher.waitFor(before + 1));
        return watcher.last();
    }
    // What `run` is to do meanwhile: wait, then act.
    static std::function<void()> after(std::chrono::microseconds wait, std::function<void()> act)
    {
        return [=] {
            sleep_for(wait);
            act();
        };
    }
    std::list<Recording> recordings;  // before `life`, whose runs write to them
    RunWatcher watcher;
    GameOfLife life;
};

}  // namespace

// --- The run loop ---

TEST_F(Engine, RunsTheCountRedrawingAndRecordingEachGenerationAfterTheFirst)
{
    std::atomic<int> redraws{0};
    life.setRedrawHandler([&] { redraws++; });
    auto board = boards::seeded(30, 20, 6);
    const auto expected = reference::history(*board, 100);
    life.replaceBitmap(board->copy());

    const auto report = run({}, true, "/tmp/run.gif");
    EXPECT_EQ(report.end, RunEnd::Completed);
    EXPECT_EQ(report.generations, 100);
    EXPECT_EQ(redraws.load(), 100);
    EXPECT_TRUE(life.getBitmap()->sameCells(*expected[100]));
    ASSERT_EQ(recordings.size(), 1u);
    EXPECT_EQ(recordings.front().file, "/tmp/run.gif");
    ASSERT_EQ(recordings.front().frames.size(), 100u);
    for (std::size_t g = 0; g < 100; ++g)
        ASSERT_TRUE(recordings.front().frames[g]->sameCells(*expected[g + 1])) << "frame " << g;
}

TEST_F(Engine, CountIsReadBeforeEveryGeneration)
{
    auto board = boards::withLive(9, 9, {{3, 4}, {4, 4}, {5, 4}});
    life.replaceBitmap(board->copy());
    for (int count : {0, -3, INT32_MIN}) {
        life.setIterations(count);
        const auto report = run();
        EXPECT_EQ(report.end, RunEnd::Completed) << count;
        EXPECT_EQ(report.generations, 0) << count;
    }
    EXPECT_TRUE(life.getBitmap()->sameCells(*board));

    life.setIterations(INT32_MAX);
    const auto lowered = run(after(20ms, [&] { life.setIterations(1); }));
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
        const auto report = run(after(std::chrono::microseconds(50 * trial), [&] { life.abortGameOfLife(); }));
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

TEST_F(Engine, AbortWithNoRunOrAfterCompletionChangesNothingAndStopRightAfterStartVoidsTheStart)
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
}

TEST_F(Engine, StartDuringARunCancelsItAndContinuesFromAWholeGeneration)
{
    auto board = boards::seeded(64, 48, 8);
    const auto expected = reference::history(*board, 2000);
    life.replaceBitmap(board->copy());
    life.setIterations(1000);
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, "first.gif", watcher.indicators()));
    sleep_for(5ms);
    life.setIterations(10);
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, "second.gif", watcher.indicators()));
    ASSERT_TRUE(watcher.waitFor(2));

    // The first run may have completed at its new count of 10 before the second began.
    const auto first = static_cast<std::size_t>(watcher.reports()[0].generations);
    const auto second = watcher.reports()[1];
    EXPECT_EQ(second.end, RunEnd::Completed);
    EXPECT_EQ(second.generations, 10);
    EXPECT_TRUE(life.getBitmap()->sameCells(*expected[first + 10]));
    // Each recording kept its own frames and its own file.
    ASSERT_EQ(recordings.size(), 2u);
    EXPECT_EQ(recordings.front().file, "first.gif");
    EXPECT_EQ(recordings.back().file, "second.gif");
    EXPECT_EQ(recordings.front().frames.size(), first);
    ASSERT_EQ(recordings.back().frames.size(), 10u);
    EXPECT_TRUE(recordings.back().frames.front()->sameCells(*expected[first + 1]));
}

TEST_F(Engine, ResetDuringARunDropsTheBoardAndKeepsTheCount)
{
    life.replaceBitmap(boards::seeded(200, 200, 9));
    life.setIterations(100000);
    const auto report = run(after(5ms, [&] { life.reset(); }));
    EXPECT_EQ(report.end, RunEnd::Cancelled);
    EXPECT_EQ(life.getBitmap(), nullptr);
    EXPECT_EQ(life.iterations(), 100000);
}

TEST_F(Engine, BoardReplacedOrEditedMidRunIsTheOneTheRunGoesOnWith)
{
    // A block is still: once on the board it stays, whatever generation the run reaches.
    const std::pair<int, int> block[] = {{30, 30}, {31, 30}, {30, 31}, {31, 31}};
    for (const bool edit : {false, true}) {
        SCOPED_TRACE(edit ? "a block added to a blinker" : "a large random board replaced by a block");
        life.replaceBitmap(edit ? boards::withLive(40, 40, {{5, 5}, {6, 5}, {7, 5}}) : CellBitmap::random(2000, 2000));
        life.setIterations(INT32_MAX);
        run([&] {
            sleep_for(10ms);
            if (edit)
                EXPECT_TRUE(life.modifyBitmap([&](CellBitmap& b) {
                    for (auto [x, y] : block)
                        b.setPixel(x, y, 0);
                }));
            else
                life.replaceBitmap(boards::withLive(40, 40, {block[0], block[1], block[2], block[3]}));
            sleep_for(10ms);
            life.abortGameOfLife();
        });
        const auto now = life.getBitmap();
        ASSERT_EQ(now->pixelsWide(), 40);
        EXPECT_EQ(now->liveCells(), edit ? 3 + 4 : 4);
        for (auto [x, y] : block)
            EXPECT_EQ(now->getPixel(x, y), 0) << x << "," << y;
    }
}
