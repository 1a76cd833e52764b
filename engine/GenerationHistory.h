#pragma once

#include "KeptGeneration.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class WorkerPool;

// The generations a run went through, for going back: the board each line
// of runs began with (made, opened, pasted or edited, then run or stepped),
// and after it every kInterval-th generation (a checkpoint) within a memory
// budget, the oldest going first. The generations between two checkpoints
// are computed again from the earlier one when they are gone back to: the
// engine gives the same generations from the same board, rule and world,
// and keeping every generation whole cost a run of a large random board a
// third of its time (copying a board's live bits takes a fifth of a
// generation, and memory touched for the first time far more). A board
// that is not the one the history was last at (an edit, a new board, a
// rule) begins a new line when it is run; a run from a generation gone back
// to drops the checkpoints after it.
//
// Runs hand it each generation they publish; the window asks it for the
// generation to go back to. Safe from any thread.
class GenerationHistory {
public:
    // A checkpoint of a 4096 by 4096 random board costs about a fifth of a
    // generation when its memory is reused, and several generations when
    // the memory is touched for the first time: every 16th keeps a run's
    // cost to a few percent (every 8th cost 5-9%), and going back computes
    // at most 15 generations (under a millisecond each on that board).
    static constexpr std::uint64_t kInterval = 16;
    // Checkpoints kept at most: going back 128 generations on any board the
    // budget allows. More would touch more fresh memory while
    // a run goes, which costs a generation's time for every few megabytes.
    static constexpr std::size_t kCheckpoints = 8;

    // At most 256 MB or a tenth of what a run may have, whichever is smaller.
    static std::uint64_t defaultBudget();

    GenerationHistory();
    ~GenerationHistory();

    // Off to begin with: a run keeps nothing.
    void setEnabled(bool on) { enabled_.store(on); }
    bool enabled() const { return enabled_.load(); }
    void setBudget(std::uint64_t bytes);

    // From a run: `next`, publication `nextSerial`, was computed from
    // `from`, publication `fromSerial`. The copying is shared out among `workers` when given.
    void advance(const Generation& from, std::uint64_t fromSerial, const Generation& next, std::uint64_t nextSerial,
                 WorkerPool* workers = nullptr);

    // The generation before the board of publication `serial`, or with
    // `toStart` the one its line began with, made again (sharing the work
    // with `workers`, and using `spare`, a generation no one holds, when it
    // has the size); null when that board is not where the history is
    // (nothing to go back to) or there is not the memory.
    std::unique_ptr<Generation> back(std::uint64_t serial, bool toStart, WorkerPool* workers = nullptr,
                                     std::unique_ptr<Generation> spare = nullptr);
    // The generation of this number, one of the line's, is now the board of publication `serial`.
    void wentBackTo(std::uint64_t number, std::uint64_t serial);

    // The kept generation of this number in the current line (the start or
    // a checkpoint); null when it is not kept whole.
    std::shared_ptr<const KeptGeneration> find(std::uint64_t number) const;
    // How many generations before the current one can be gone back to, the start aside.
    std::size_t size() const;
    void clear();

private:
    using Kept = std::shared_ptr<KeptGeneration>;
    void advanceLocked(const Generation& from, std::uint64_t fromSerial, const Generation& next,
                       std::uint64_t nextSerial, WorkerPool* workers);
    void clearLocked();
    Kept freshLocked();
    std::uint64_t bytesLocked() const;
    void dropLocked(Kept kept);
    std::uint64_t oldestLocked() const;
    std::unique_ptr<Generation> rebuild(const KeptGeneration& from, std::uint64_t number, WorkerPool* workers,
                                        std::vector<std::unique_ptr<Generation>>& buffers);

    std::atomic<bool> enabled_{false};
    mutable std::mutex mutex_;
    std::uint64_t budget_;
    Kept start_;                    // the board the line began with
    std::deque<Kept> checkpoints_;  // every kInterval-th generation after it, oldest first
    bool dropped_ = false;          // checkpoints of this line went for the budget
    std::uint64_t position_ = 0;    // the number of the current board
    std::uint64_t serial_ = 0;      // its publication; 0: none
    std::vector<Kept> spare_;       // memory of dropped checkpoints, to reuse
    // The generations going back last computed with, to compute with again
    // (memory used for the first time costs more than a generation).
    std::vector<std::unique_ptr<Generation>> buffers_;
};
