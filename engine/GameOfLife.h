#pragma once

#include "CellBitmap.h"
#include "RunPacer.h"
#include "RunRecorder.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// How a run ended, handed to its `finished` callback.
struct RunReport {
    RunEnd end = RunEnd::Completed;
    std::int32_t generations = 0;  // generations completed and written
    bool recorded = false;         // a recording run
    RecordingResult recording;     // what its recorder wrote
};

// What the start command hands to the run it begins; each run keeps its own.
struct RunIndicators {
    // From prepareRun(), taken when the command was given: a stop that comes
    // after that (even before the run has begun) cancels the run. 0: none.
    std::uint64_t ticket = 0;
    // Called once on the run's worker thread when the run has ended,
    // completed or cancelled, after its recording has been written.
    std::function<void(const RunReport&)> finished;
};

// One generation of the board as it stood at one moment. The board of a
// snapshot never changes; a later generation is a new board.
struct BoardSnapshot {
    std::shared_ptr<const CellBitmap> board;  // null: no board
    std::uint64_t serial = 0;                 // grows with every change of the board
};

// The simulation: the current board, the iteration count and the runs of
// generations, each on a worker thread of its own.
//
// The board is shared between the main thread and the run as immutable
// generations: a run computes the next generation from a snapshot into a
// second buffer and publishes it whole under a short lock, unless it was
// stopped or the board was replaced or edited meanwhile (then the generation
// is thrown away and the run goes on with the board it finds). So nobody ever
// sees a generation partly written, and nothing waits for a generation.
class GameOfLife {
public:
    using RecorderFactory = std::function<std::unique_ptr<RunRecorder>(const std::string& file)>;
    static constexpr std::int32_t kDefaultIterations = 100;
    // The pause after each generation.
    static constexpr std::chrono::microseconds kPause{100};

    GameOfLife();
    ~GameOfLife();
    GameOfLife(const GameOfLife&) = delete;
    GameOfLife& operator=(const GameOfLife&) = delete;

    // --- The board ---
    BoardSnapshot snapshot() const;
    // The current generation (null when there is no board).
    std::shared_ptr<const CellBitmap> getBitmap() const { return snapshot().board; }
    // Replaces the board whole; null leaves no board.
    void replaceBitmap(std::unique_ptr<CellBitmap> board);
    // Installs an independent copy of `board` and sets the iteration count
    // back to 100. Returns false (and changes nothing) when no copy can be made.
    bool initWithBitmap(const CellBitmap& board);
    // When there is no board, makes a random one sized from the rectangle.
    // Returns the board then current (still none when the rectangle is too small).
    BoardSnapshot makeBitmapIfNone(double rectWidth, double rectHeight);
    // Changes the board through `edit`, on a copy that then replaces it.
    // Returns false when there is no board.
    bool modifyBitmap(const std::function<void(CellBitmap&)>& edit);

    // --- The iteration count, read by a run before every generation ---
    void setIterations(std::int32_t iterations) { iterations_.store(iterations); }
    std::int32_t iterations() const { return iterations_.load(); }

    // --- Runs ---
    std::uint64_t prepareRun();
    // Starts a run on a new worker thread and returns at once. A run still
    // going is cancelled first, so two runs never write the board. Returns
    // false when the ticket was voided by an abort, or is older than the
    // current run's: that run never begins.
    bool startGameOfLifeAndWriteToFile(bool record, const std::string& file, RunIndicators indicators);
    // Cancels the current run, and every run prepared so far. Never waits.
    void abortGameOfLife();
    // Aborts and drops the board; the next drawing makes a new random one.
    void reset();
    // True while the latest run has not ended.
    bool isRunning() const;
    // Waits until every run has ended. For callers without a screen; the
    // interface never calls it.
    void waitForRuns();

    // Called on the worker after each generation; the view redraws.
    void setRedrawHandler(std::function<void()> handler);
    // Makes the recorder of each recording run.
    void setRecorderFactory(RecorderFactory factory);

    RunPacer& pacer() { return pacer_; }

private:
    struct Run;
    void runLoop(std::stop_token stop, const std::shared_ptr<Run>& run);
    class BufferPool;
    void publishLocked(std::shared_ptr<CellBitmap> board);
    void reapLocked();

    mutable std::mutex mutex_;
    std::shared_ptr<CellBitmap> board_;  // never changed in place once published
    std::uint64_t serial_ = 0;
    std::shared_ptr<BufferPool> pool_;  // gives generations their buffers back

    std::uint64_t tickets_ = 0;
    std::uint64_t voidThrough_ = 0;  // tickets up to this one were aborted
    std::uint64_t latestTicket_ = 0;
    std::shared_ptr<Run> current_;             // the latest run, until aborted
    std::vector<std::shared_ptr<Run>> runs_;   // every run not yet joined

    std::function<void()> redraw_;
    RecorderFactory recorderFactory_;

    std::atomic<std::int32_t> iterations_{kDefaultIterations};
    RunPacer pacer_;
};
