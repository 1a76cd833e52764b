#pragma once

#include <atomic>

// How the person calls off a file being read or written on another thread.
// The work polls cancelled() as it goes. A writer takes its last step, putting
// the new file in place, only through beginCommit(): a cancel that comes
// first stops it, and a cancel that comes after it has begun is refused, so
// the file is either left as it was or replaced whole, never in doubt.
class CancelFlag {
public:
    // False when the work has already begun to commit: it then completes.
    bool cancel()
    {
        int expected = kRunning;
        return state_.compare_exchange_strong(expected, kCancelled) || expected == kCancelled;
    }

    bool cancelled() const { return state_.load(std::memory_order_relaxed) == kCancelled; }

    // False when the work was cancelled first.
    bool beginCommit()
    {
        int expected = kRunning;
        return state_.compare_exchange_strong(expected, kCommitting) || expected == kCommitting;
    }

private:
    static constexpr int kRunning = 0;
    static constexpr int kCancelled = 1;
    static constexpr int kCommitting = 2;
    std::atomic<int> state_{kRunning};
};
