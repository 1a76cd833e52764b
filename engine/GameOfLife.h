#pragma once

#include "CellBitmap.h"
#include "CurrentBoard.h"
#include "GenerationHistory.h"
#include "RunPacer.h"
#include "RunRecorder.h"
#include "SettlingWatch.h"
#include "WorkerPool.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

// How a run ended, handed to its `finished` callback.
struct RunReport {
    RunEnd end = RunEnd::Completed;
    std::int32_t generations = 0;  // generations completed and published
    bool recorded = false;         // a recording run
    RecordingResult recording;     // what its recorder wrote
    std::optional<Settling> settled;  // when it ended because the board settled
};

// What the start command hands to the run it begins; each run keeps its own.
struct RunIndicators {
    // From prepareRun(), taken when the command was given: a stop that comes
    // after that (even before the run has begun) cancels the run. 0: none.
    std::uint64_t ticket = 0;
    // Called once on the run's worker thread when the run has ended, however
    // it ended, after its recording has been written.
    std::function<void(const RunReport&)> finished;
    // When set, the run computes exactly this many generations (a step),
    // whatever the iteration count.
    std::optional<std::int32_t> generations;
};

// The simulation: the current board, the iteration count and the runs of
// generations, each on a worker thread of its own, sharing a pool of threads
// for the work of a generation.
//
// The board is shared between the main thread and the run as immutable
// generations (CurrentBoard): a run computes the next generation into a
// second buffer and publishes it whole, unless it was stopped or the board
// was replaced or edited meanwhile (then the generation is thrown away and
// the run goes on with the board it finds). So nobody ever sees a generation
// partly written, and nothing waits for a generation. Only the tiles that can
// change are computed (GenerationStep), and each tile's live cells are
// counted as it is computed, so the population costs no pass over the board.
class GameOfLife {
public:
    using RecorderFactory = std::function<std::unique_ptr<RunRecorder>(const std::string& file)>;
    static constexpr std::int32_t kDefaultIterations = 100;
    // The pause after each generation, unless the owner sets another.
    static constexpr std::chrono::microseconds kPause{100};

    // Seams through which tests make rare moments certain; empty otherwise.
    struct TestHooks {
        // On the worker, when a generation has been computed and before it is published.
        std::function<void()> beforePublish;
        // On the worker, before a run takes the memory for its generations.
        std::function<void()> beforeBoardMemory;
        // Before any thread is started: a run's worker or a thread of the pool.
        std::function<void()> beforeThreadStart;
    };

    GameOfLife() = default;
    ~GameOfLife();
    GameOfLife(const GameOfLife&) = delete;
    GameOfLife& operator=(const GameOfLife&) = delete;

    // --- The board ---
    BoardSnapshot snapshot() const { return board_.snapshot(); }
    // The current generation (null when there is no board).
    std::shared_ptr<const CellBitmap> getBitmap() const { return snapshot().board; }
    // Replaces the board whole; null leaves no board. Its cells are counted
    // here; its generation count starts again at `generation` (0 unless the
    // file it came from says otherwise). It runs under `rule` from now on
    // when one is given, else under the board's rule. False, and nothing
    // changed, when there is not the memory to count it.
    bool replaceBitmap(std::unique_ptr<CellBitmap> board, const std::optional<LifeLikeRule>& rule = std::nullopt,
                       std::uint64_t generation = 0)
    {
        return board_.replace(std::move(board), rule, generation);
    }
    // The rule and world every board runs under from now on, the current one
    // included (see CurrentBoard::setRule). B3/S23 on the bounded plane
    // until set.
    bool setRule(const LifeLikeRule& rule) { return board_.setRule(rule); }
    LifeLikeRule rule() const { return board_.rule(); }
    // Installs an independent copy of `board` and sets the iteration count
    // back to 100; its generations are counted from `generation`. Returns
    // false (and changes nothing) when no copy can be made. With a rule, the
    // board runs under it from now on (see setRule).
    bool initWithBitmap(const CellBitmap& board, const std::optional<LifeLikeRule>& rule = std::nullopt,
                        std::uint64_t generation = 0);
    // When there is no board, makes a random one sized from the rectangle.
    // Returns the board then current (still none when the rectangle is too small).
    BoardSnapshot makeBitmapIfNone(double rectWidth, double rectHeight)
    {
        return board_.makeIfNone(rectWidth, rectHeight);
    }
    // Sets cells: in place when no one else holds the current board (no run,
    // no reader), on a copy otherwise. Cells outside the board are left out.
    // Published as an edit: the serial grows, the generation count stays.
    // Returns false when there is no board, no cell was inside it, or a copy
    // could not be made.
    bool editCells(std::span<const CellEdit> edits) { return board_.edit(edits); }
    // Sets a rectangle of cells inside the board to `cells` (row by row), as
    // editCells does: in place when no one else holds the board. Returns
    // false when there is no board or the rectangle is not inside it.
    bool editBlock(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height,
                   const std::uint8_t* cells)
    {
        return board_.editBlock(left, top, width, height, cells);
    }

    // --- The iteration count, read by a run before every generation ---
    void setIterations(std::int32_t iterations) { iterations_.store(iterations); }
    std::int32_t iterations() const { return iterations_.load(); }
    // The pause after each generation (0: none).
    void setPause(std::chrono::microseconds pause) { pause_.store(pause.count()); }

    // --- Runs ---
    std::uint64_t prepareRun();
    // Starts a run on a new worker thread and returns at once. A run still
    // going is cancelled first, so two runs never write the board. Returns
    // false when the ticket was voided by an abort, is older than the current
    // run's, or the engine was shut down: that run never begins and reports
    // nothing. Otherwise `finished` is called once, also when the run cannot
    // begin for want of memory or a thread.
    bool startGameOfLifeAndWriteToFile(bool record, const std::string& file, RunIndicators indicators);
    // Cancels the current run, and every run prepared so far. Never waits
    // for the run to end; once it returns the run publishes nothing more.
    void abortGameOfLife();
    // Aborts and drops the board; the next drawing makes a new random one.
    void reset();
    // True while the latest run has not ended.
    bool isRunning() const;
    // Waits until every run has ended. For callers without a screen; the
    // interface never calls it.
    void waitForRuns();
    // Stops every run and joins every thread the engine started; no run
    // begins afterwards. The owner calls it before the objects that the
    // callbacks use go away. Not from a run's own callback.
    void shutdown();

    // Called on the worker after each generation, and when a run finds no
    // board; the view redraws (and makes a board).
    void setRedrawHandler(std::function<void()> handler);
    // Makes the recorder of each recording run.
    void setRecorderFactory(RecorderFactory factory);
    void setTestHooks(TestHooks hooks);

    RunPacer& pacer() { return pacer_; }

    // --- Going back, and settling ---
    // The generations runs went through (off until enabled).
    GenerationHistory& history() { return history_; }
    // Stops any run and puts back the generation before the current board,
    // or the board its line of runs began with, with its generation count.
    // False, and nothing changed, when there is none (or no memory for it).
    bool goBack(bool toStart);
    // Whether a run ends early when its board dies out, stops changing or
    // repeats (RunEnd::Settled). Off to begin with.
    void setStopWhenSettled(bool on) { stopWhenSettled_.store(on); }
    bool stopWhenSettled() const { return stopWhenSettled_.load(); }

private:
    struct Run;
    void runLoop(std::stop_token stop, const std::shared_ptr<Run>& run);
    RunEnd runGenerations(std::stop_token stop, Run& run, RunReport& report, const TestHooks& hooks,
                          const std::function<void()>& redraw);
    void reapLocked();

    CurrentBoard board_;

    mutable std::mutex mutex_;  // the runs
    std::uint64_t tickets_ = 0;
    std::uint64_t voidThrough_ = 0;  // tickets up to this one were aborted
    std::uint64_t latestTicket_ = 0;
    std::shared_ptr<Run> currentRun_;         // the latest run, until aborted
    std::vector<std::shared_ptr<Run>> runs_;  // every run not yet joined
    bool shutDown_ = false;
    std::function<void()> redraw_;
    RecorderFactory recorderFactory_;
    TestHooks hooks_;

    std::atomic<std::int32_t> iterations_{kDefaultIterations};
    std::atomic<std::int64_t> pause_{kPause.count()};
    RunPacer pacer_;
    WorkerPool workers_;
    GenerationHistory history_;
    SettlingWatch settling_;
    std::atomic<bool> stopWhenSettled_{false};
};
