#pragma once

#include "KeptGeneration.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// The generations a run went through, for going back: the board each line
// of runs began with (made, opened, pasted or edited, then run or stepped),
// and the latest generations within a memory budget, the oldest going
// first. A board that is not the one the history was last at (an edit, a
// new board, a rule) begins a new line when it is run; a run from a
// generation gone back to drops the generations after it.
//
// Runs hand it each generation they publish; the window asks it for the
// generation to go back to. Safe from any thread.
class GenerationHistory {
public:
    // At most 256 MB or a tenth of what a run may have, whichever is smaller.
    static std::uint64_t defaultBudget();

    GenerationHistory() : budget_(defaultBudget()) {}

    // Off to begin with: a run keeps nothing.
    void setEnabled(bool on) { enabled_.store(on); }
    bool enabled() const { return enabled_.load(); }
    void setBudget(std::uint64_t bytes);

    // From a run: `next`, publication `nextSerial`, was computed from
    // `from`, publication `fromSerial`. The copying is shared out among `workers` when given.
    void advance(const Generation& from, std::uint64_t fromSerial, const Generation& next, std::uint64_t nextSerial,
                 WorkerPool* workers = nullptr);

    // The kept generation before the board of publication `serial`, or the
    // one its line began with; null when that board is not where the
    // history is (nothing to go back to).
    std::shared_ptr<const KeptGeneration> before(std::uint64_t serial) const;
    std::shared_ptr<const KeptGeneration> start(std::uint64_t serial) const;
    // `kept`, one of the two above, is now the board of publication `serial`.
    void wentBackTo(const std::shared_ptr<const KeptGeneration>& kept, std::uint64_t serial);

    // The kept generation of this number in the current line; null when gone.
    std::shared_ptr<const KeptGeneration> find(std::uint64_t number) const;
    // How many generations are kept besides the start.
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

    std::atomic<bool> enabled_{false};
    mutable std::mutex mutex_;
    std::uint64_t budget_;
    Kept start_;               // the board the line began with
    std::deque<Kept> recent_;  // consecutive generations, oldest first
    std::size_t position_ = 0;       // the one in recent_ that is the current board
    std::uint64_t serial_ = 0;       // its publication; 0: none
    std::vector<Kept> spare_;        // memory of dropped generations, to reuse
};
