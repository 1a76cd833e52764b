#include "Boards.h"
#include "GameOfLife.h"
#include "GliderGun.h"
#include "ReferenceLife.h"
#include "RunWatcher.h"
#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <system_error>
#include <thread>

// What a recording run hands its recorder is checked in GifRecorderTest,
// with the real recorder.

using namespace std::chrono_literals;
using std::this_thread::sleep_for;

namespace {

class Engine : public ::testing::Test {
protected:
    void SetUp() override
    {
        life.pacer().setSpeed(RunPacer::kFastest);
        life.setRedrawHandler([this] { redraws++; });
    }

    // Starts a run (a step of `generations` when given); after `wait` does
    // `meanwhile` on this thread; waits for the run to end.
    RunReport run(const std::function<void()>& meanwhile = {}, std::chrono::microseconds wait = {},
                  std::optional<std::int32_t> generations = {})
    {
        const auto before = watcher.reports().size();
        EXPECT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators(0, generations)));
        sleep_for(wait);
        if (meanwhile)
            meanwhile();
        EXPECT_TRUE(watcher.waitFor(before + 1));
        return watcher.last();
    }

    // The current board is `start` after that many generations of the plain rule.
    bool isGeneration(const CellBitmap& start, int generations)
    {
        return life.getBitmap()->sameCells(*reference::history(start, generations).back());
    }

    std::atomic<int> redraws{0};
    RunWatcher watcher;
    GameOfLife life;
};

using Ended = std::pair<RunEnd, std::int32_t>;  // how a run ended, after how many generations

// Takes three frames, then is full.
struct ThreeFrames : RunRecorder {
    int captured = 0;
    void capture(std::shared_ptr<const CellBitmap>) override { ++captured; }
    bool full() const override { return captured >= 3; }
    RecordingResult finish(RunEnd end) override { return {end == RunEnd::RecordingEnded, ""}; }
};

}  // namespace

// --- The run loop ---

TEST_F(Engine, RunsTheCountReadBeforeEveryGenerationAndRedrawsEach)
{
    auto board = boards::seeded(30, 20, 6);
    life.replaceBitmap(board->copy());
    const auto report = run();
    EXPECT_EQ(Ended(report.end, report.generations), Ended(RunEnd::Completed, 100));
    EXPECT_EQ(redraws.load(), 100);
    const auto after = life.getBitmap();
    EXPECT_TRUE(isGeneration(*board, 100));
    EXPECT_EQ(life.snapshot().generation, 100u);
    EXPECT_EQ(life.snapshot().population, after->liveCells());

    for (int count : {0, -3, INT32_MIN}) {
        life.setIterations(count);
        const auto none = run();
        EXPECT_EQ(Ended(none.end, none.generations), Ended(RunEnd::Completed, 0)) << count;
    }
    EXPECT_EQ(life.getBitmap(), after) << "a generation was computed";

    // A step: exactly the generations asked for, whatever the count.
    EXPECT_EQ(run({}, {}, 3).generations, 3);
    EXPECT_TRUE(isGeneration(*board, 103));
    EXPECT_EQ(life.snapshot().generation, 103u);
    // A board from a file that says its generation counts on from there.
    for (const bool copied : {false, true}) {
        ASSERT_TRUE(copied ? life.initWithBitmap(*board, std::nullopt, 500) : life.replaceBitmap(board->copy(), std::nullopt, 500));
        EXPECT_EQ(run({}, {}, 2).generations, 2);
        EXPECT_EQ(life.snapshot().generation, 502u);
    }
    life.setIterations(100);

    life.setIterations(INT32_MAX);
    const auto lowered = run([&] { life.setIterations(1); }, 20ms);
    EXPECT_EQ(lowered.end, RunEnd::Completed);
    EXPECT_GE(lowered.generations, 1);
}

// (Stops at any moment of small runs, each leaving a whole generation, are
// the random session's.) A large board stopped within its first generation,
// once the run has begun it, keeps none of it: each of the pool's tasks
// sees the stop.
TEST_F(Engine, CancellationInTheFirstGenerationOfALargeBoardLeavesItAsItWas)
{
    auto large = CellBitmap::random(4 * 8192, 4 * 8192);
    life.replaceBitmap(large->copy());
    life.setTestHooks({{}, [&] { life.abortGameOfLife(); }, {}});
    const auto report = run();
    life.setTestHooks({});
    EXPECT_EQ(Ended(report.end, report.generations), Ended(RunEnd::Cancelled, 0));
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

// The board is replaced or edited after the run computed a generation and
// before it published it: that generation is thrown away, and the run goes
// on with the board as it is now.
TEST_F(Engine, BoardReplacedOrEditedDuringAGenerationIsTheOneTheRunGoesOnWith)
{
    auto board = boards::seeded(70, 50, 4);
    auto other = boards::seeded(90, 40, 5);
    const CellEdit edits[] = {{3, 3, 0}, {4, 3, 0}, {5, 3, 0}, {69, 49, 0}, {30, 20, 90}};
    for (const bool edit : {false, true}) {
        SCOPED_TRACE(edit ? "edited" : "replaced");
        life.replaceBitmap(board->copy());
        life.setIterations(3);
        std::atomic<int> publications{0};
        life.setTestHooks({[&] {
                               if (publications++ == 0)
                                   edit ? void(life.editCells(edits)) : void(life.replaceBitmap(other->copy()));
                           },
                           {}, {}});
        EXPECT_EQ(run().generations, 3);
        auto changed = (edit ? board : other)->copy();
        for (std::size_t i = 0; edit && i < std::size(edits); ++i)
            changed->setPixel(edits[i].x, edits[i].y, edits[i].value);
        EXPECT_EQ(publications.load(), 4) << "the first generation computed is thrown away";
        EXPECT_TRUE(isGeneration(*changed, 3));
        EXPECT_EQ(life.snapshot().generation, 3u);
    }
}

// Edits need a board and a cell on it, and keep the generation count; a
// board installed starts again. (In place or on a copy: the tiled tests.)
TEST_F(Engine, EditsNeedACellOnTheBoardAndKeepTheCountAnInstalledBoardStartsAgain)
{
    const CellEdit none[] = {{-1, 0, 0}, {40, 3, 0}};
    EXPECT_FALSE(life.editCells(none)) << "no board";
    life.replaceBitmap(boards::withLive(40, 30, {{1, 1}}));
    life.setIterations(2);
    run();
    EXPECT_FALSE(life.editCells(none)) << "every cell outside";
    const CellEdit some[] = {{5, 6, 0}, {40, 6, 0}};
    ASSERT_TRUE(life.editCells(some));
    EXPECT_EQ(life.getBitmap()->getPixel(5, 6), CellBitmap::kLive);
    EXPECT_EQ(life.snapshot().generation, 2u);
    life.replaceBitmap(boards::withLive(4, 4, {{1, 1}}));
    EXPECT_EQ(life.snapshot().generation, 0u);
    EXPECT_EQ(life.snapshot().population, 1);
}

// --- Runs that end by themselves ---

// Each way a run ends by itself is reported as such, exactly once, and the
// engine goes on working. Memory and threads that cannot be had are stood
// for by hooks that throw what the library throws then.
TEST_F(Engine, RunsThatEndByThemselvesSayHow)
{
    struct Case {
        const char* name;
        GameOfLife::TestHooks hooks;
        bool record;
        std::int64_t side;  // large enough for the pool
        RunEnd end;
        std::int32_t generations;
    };
    const auto fail = [](int after, auto error) {
        return [after, error, calls = std::make_shared<int>(0)] {
            if ((*calls)++ == after)
                throw error;
        };
    };
    const std::system_error noThread(std::make_error_code(std::errc::resource_unavailable_try_again));
    const Case cases[] = {
        {"recording ended", {}, true, 40, RunEnd::RecordingEnded, 3},
        {"no memory for the next generation", {{}, fail(2, std::bad_alloc()), {}}, false, 40, RunEnd::OutOfMemory, 2},
        {"no worker thread", {{}, {}, fail(0, noThread)}, false, 40, RunEnd::OutOfMemory, 0},
        {"no thread for the pool", {{}, {}, fail(1, noThread)}, false, 2000, RunEnd::OutOfMemory, 0},
        {"no thread for the recording", {}, true, 39, RunEnd::OutOfMemory, 0},
    };
    // A recorder for a board 39 cells wide cannot start its thread.
    life.setRecorderFactory([&](const std::string&) -> std::unique_ptr<RunRecorder> {
        if (life.snapshot().board->pixelsWide() == 39)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::make_unique<ThreeFrames>();
    });
    life.setIterations(10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        life.replaceBitmap(boards::seeded(c.side, c.side, 1));
        life.setTestHooks(c.hooks);
        const auto before = watcher.reports().size();
        EXPECT_TRUE(life.startGameOfLifeAndWriteToFile(c.record, "x.gif", watcher.indicators()));
        ASSERT_TRUE(watcher.waitFor(before + 1));
        life.waitForRuns();
        ASSERT_EQ(watcher.reports().size(), before + 1);
        EXPECT_EQ(Ended(watcher.last().end, watcher.last().generations), Ended(c.end, c.generations));
        EXPECT_EQ(watcher.last().recording.written, c.end == RunEnd::RecordingEnded);
        life.setTestHooks({});
        EXPECT_EQ(run().end, RunEnd::Completed) << "the engine works on";
    }
}

TEST(WorkerPool, AnExceptionOnAnyThreadReachesTheCallerAndEveryOtherCallIsMadeOnce)
{
    WorkerPool pool(2);
    for (const std::size_t throwing : {std::size_t{0}, std::size_t{57}, std::size_t{999}}) {
        std::vector<std::atomic<int>> calls(1000);
        EXPECT_THROW(pool.run(calls.size(),
                              [&](std::size_t i) {
                                  calls[i]++;
                                  if (i == throwing)
                                      throw std::bad_alloc();
                              }),
                     std::bad_alloc);
        for (auto& c : calls)
            EXPECT_LE(c.load(), 1);
    }
    for (const unsigned threads : {2u, 3u}) {  // however the calls divide among the threads
        WorkerPool shared(threads);
        for (const std::size_t count : {0u, 1u, 2u, 1000u}) {
            std::vector<std::atomic<int>> calls(count);
            shared.run(calls.size(), [&](std::size_t i) { calls[i]++; });
            for (auto& c : calls)
                ASSERT_EQ(c.load(), 1) << threads << " threads, " << count << " calls";
        }
    }
}

// A run that finds no board asks for a drawing and waits for the board it
// makes; the first generation it counts is computed on that board.
TEST_F(Engine, ARunWithNoBoardWaitsForTheDrawingThatMakesOne)
{
    for (const bool drawn : {true, false}) {
        SCOPED_TRACE(drawn ? "drawn" : "stopped while waiting");
        life.reset();
        life.setIterations(2);
        redraws = 0;
        const auto before = watcher.reports().size();
        EXPECT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
        sleep_for(50ms);
        EXPECT_EQ(redraws.load(), 1) << "asked once, then waiting";
        EXPECT_EQ(watcher.reports().size(), before);
        if (!drawn) {
            life.abortGameOfLife();
            ASSERT_TRUE(watcher.waitFor(before + 1));
            EXPECT_EQ(Ended(watcher.last().end, watcher.last().generations), Ended(RunEnd::Cancelled, 0));
            continue;
        }
        auto made = life.makeBitmapIfNone(400, 200).board->copy();
        ASSERT_TRUE(watcher.waitFor(before + 1));
        EXPECT_EQ(Ended(watcher.last().end, watcher.last().generations), Ended(RunEnd::Completed, 2));
        EXPECT_TRUE(isGeneration(*made, 2));
    }
}

// Shutdown ends and joins every run: each reports, and after it no run
// begins and nothing is called.
TEST_F(Engine, ShutdownStopsEveryRunAndLetsNoneBegin)
{
    life.replaceBitmap(boards::seeded(300, 300, 2));
    life.setIterations(INT32_MAX);
    EXPECT_TRUE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    sleep_for(20ms);
    life.shutdown();
    ASSERT_EQ(watcher.reports().size(), 1u) << "the run has reported by the time shutdown returns";
    EXPECT_EQ(watcher.last().end, RunEnd::Cancelled);
    const int seen = redraws.load();
    EXPECT_FALSE(life.startGameOfLifeAndWriteToFile(false, "", watcher.indicators()));
    sleep_for(20ms);
    EXPECT_EQ(redraws.load(), seen);
    EXPECT_EQ(watcher.reports().size(), 1u);
    EXPECT_FALSE(life.isRunning());
}

// --- Going back ---

// Step back and Back to Start give the generations a reference run went
// through, gray cells and counts included: after runs and steps, after an
// edit made once stepped back (a new line from there), after a board
// replaced mid-run, and with a budget that keeps only the latest few.
TEST_F(Engine, GoingBackGivesTheRecordedGenerationsAndTheStartOfTheLine)
{
    struct Case {
        const char* name;
        std::uint64_t budget;  // bytes; a kept generation of the board takes about 3.3 kB and its gray cells
        bool grays;  // without, kept generations are made again from their bits alone
        bool editAfterGoingBack;
        bool replaceMidRun;
        bool limited;  // fewer than the 80 generations can be gone back to
    };
    constexpr int kRun = 80;  // five checkpoints
    const Case cases[] = {
        {"whole history", 1u << 20, true, false, false, false},
        {"no gray cells", 1u << 20, false, false, false, false},
        {"an edit after going back", 1u << 20, true, true, false, false},
        {"a board replaced mid-run", 1u << 20, false, false, true, false},
        {"at the memory limit: the start and three checkpoints", 14000, false, false, false, true},
    };
    life.history().setEnabled(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        life.history().setBudget(c.budget);
        auto start = boards::seeded(130, 70, 7, c.grays);
        life.replaceBitmap(start->copy(), std::nullopt, 5);
        if (c.replaceMidRun) {
            life.setIterations(3);
            run();
            start = boards::seeded(130, 70, 8, c.grays);
            life.setTestHooks({[&, once = std::make_shared<bool>(false)] {
                if (!std::exchange(*once, true))
                    life.replaceBitmap(start->copy(), std::nullopt, 5);
            }, {}, {}});
            EXPECT_EQ(run({}, {}, kRun).generations, kRun) << "the replaced board's first generation is thrown away";
            life.setTestHooks({});
        } else {
            life.setIterations(kRun - 3);
            run();
            run({}, {}, 1);
            run({}, {}, 2);
        }
        const auto reference = reference::history(*start, kRun);
        const int kept = int(life.history().size());
        EXPECT_EQ(kept < kRun, c.limited) << kept;
        const int deepest = kRun - kept;
        for (int g = kRun - 1; g >= deepest; --g) {
            ASSERT_TRUE(life.goBack(false)) << g;
            EXPECT_TRUE(life.getBitmap()->sameCells(*reference[std::size_t(g)])) << g;
            EXPECT_EQ(life.snapshot().generation, std::uint64_t(5 + g));
        }
        EXPECT_FALSE(life.goBack(false)) << "nothing kept before the oldest";
        ASSERT_TRUE(life.goBack(true) || deepest == 0);
        EXPECT_TRUE(life.getBitmap()->sameCells(*start));
        EXPECT_EQ(life.snapshot().generation, 5u);
        EXPECT_FALSE(life.goBack(true)) << "already at the start";

        // Forward again from the start, then back: the run replaced what came after.
        run({}, {}, 2);
        ASSERT_TRUE(life.goBack(false));
        EXPECT_TRUE(isGeneration(*start, 1));
        if (c.editAfterGoingBack) {
            const CellEdit edit{0, 0, CellBitmap::kLive};
            ASSERT_TRUE(life.editCells({&edit, 1}));
            const auto edited = life.getBitmap()->copy();
            EXPECT_FALSE(life.goBack(false)) << "the edit is kept: nothing lies before it yet";
            run({}, {}, 3);
            ASSERT_TRUE(life.goBack(true));
            EXPECT_TRUE(life.getBitmap()->sameCells(*edited)) << "the edit began a new line";
        }
    }
}

// A run ends when its board settles, saying at which generation and with
// what period; with Stop When Settled off, or when it never settles within
// the count, it runs its count. Periods are confirmed by the boards the
// history keeps, or without it by a second generation repeating.
TEST_F(Engine, ARunStopsWhenItsBoardDiesOutStopsChangingOrRepeats)
{
    const auto pulsar = {"..OOO...OOO..", "", "O....O.O....O", "O....O.O....O", "O....O.O....O",
                         "..OOO...OOO..", "", "..OOO...OOO..", "O....O.O....O", "O....O.O....O",
                         "O....O.O....O", "", "..OOO...OOO.."};
    const auto glider = {".O", "..O", "OOO"};
    // On many tiles, the watch brings only the changed ones up to date.
    const auto apart = [](std::initializer_list<const char*> pattern) {
        auto board = boards::drawn(600, 300, 400, 200, pattern);
        for (int x = 20; x < 23; ++x)
            board->setPixel(x, 30, CellBitmap::kLive);
        return board;
    };
    struct Case {
        const char* name;
        std::unique_ptr<CellBitmap> board;
        World world;
        bool history;
        std::optional<Settling> settled;  // none: runs its count
        std::int32_t count = 100;
    };
    const auto plane = World::Plane;
    Case cases[] = {
        {"empty", boards::drawn(20, 20, 5, 5, {"O"}), plane, true, Settling{1, 0}},
        {"a block", boards::drawn(20, 20, 5, 5, {"OO", "OO"}), plane, true, Settling{1, 1}},
        {"a blinker", boards::drawn(20, 20, 5, 5, {"OOO"}), plane, true, Settling{2, 2}},
        {"a pulsar", boards::drawn(30, 30, 8, 8, pulsar), plane, true, Settling{3, 3}},
        {"a pentadecathlon", boards::drawn(30, 30, 10, 12, {"..O....O..", "OO.OOOO.OO", "..O....O.."}), plane,
         true, Settling{15, 15}},
        {"a pentadecathlon, no history", boards::drawn(30, 30, 10, 12, {"..O....O..", "OO.OOOO.OO", "..O....O.."}),
         plane, false, Settling{15, 15}},
        {"a glider on a torus", boards::drawn(16, 16, 2, 2, glider), World::Torus, true, Settling{64, 64}},
        {"an L of three becomes a block", boards::drawn(300, 200, 150, 100, {"OO", "O"}), plane, true,
         Settling{2, 1}},
        {"a blinker and a pulsar far apart: period 6", apart(pulsar), plane, true, Settling{6, 6}},
        {"the same, no history", apart(pulsar), plane, false, Settling{6, 6}},
        {"a glider on the plane", boards::drawn(200, 200, 2, 2, glider), plane, true, std::nullopt},
        // Its gliders once looked like a period-30 board to a hash of too little mixing.
        {"a glider gun, no history", GliderGun::make(32768, 32768), plane, false, std::nullopt, 180},
    };
    for (bool stop : {true, false}) {
        life.setStopWhenSettled(stop);
        for (Case& c : cases) {
            SCOPED_TRACE(c.name);
            life.history().setEnabled(c.history);
            LifeLikeRule rule;
            rule.world = c.world;
            life.replaceBitmap(c.board->copy(), rule);
            life.setIterations(c.count);
            const RunReport report = run();
            if (stop && c.settled) {
                EXPECT_EQ(Ended(report.end, report.generations), Ended(RunEnd::Settled, int(c.settled->generation) +
                                                                                             !c.history));
                EXPECT_EQ(report.settled, c.settled);
            } else {
                EXPECT_EQ(Ended(report.end, report.generations), Ended(RunEnd::Completed, c.count));
            }
        }
    }
}
