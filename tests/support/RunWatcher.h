#pragma once

// Collects the reports of runs for tests: hands out RunIndicators and lets a
// test wait (with a generous limit) for a given number of runs to end.

#include "GameOfLife.h"

#include <condition_variable>

class RunWatcher {
public:
    // `generations`: a run of exactly that many (a step).
    RunIndicators indicators(std::uint64_t ticket = 0, std::optional<std::int32_t> generations = {})
    {
        RunIndicators indicators;
        indicators.ticket = ticket;
        indicators.generations = generations;
        indicators.finished = [this](const RunReport& report) {
            std::lock_guard lock(mutex_);
            reports_.push_back(report);
            ended_.notify_all();
        };
        return indicators;
    }

    // Waits until `count` runs have ended; false after the time limit.
    bool waitFor(std::size_t count, std::chrono::seconds limit = std::chrono::seconds(20))
    {
        std::unique_lock lock(mutex_);
        return ended_.wait_for(lock, limit, [&] { return reports_.size() >= count; });
    }

    std::vector<RunReport> reports()
    {
        std::lock_guard lock(mutex_);
        return reports_;
    }

    // The latest report; a default one when no run has ended.
    RunReport last()
    {
        const auto all = reports();
        return all.empty() ? RunReport{} : all.back();
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    std::vector<RunReport> reports_;
};
