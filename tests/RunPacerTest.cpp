#include "RunPacer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Lets a run go `count` generations on a thread of its own, from `first` on;
// before each, from this thread, `release` (once the one before has gone
// through) and, on the run's thread, `after` once it has. True when all went
// through within a generous limit: a pacer that held each one for a drawing
// or for the draw timeout would take minutes.
bool goesThrough(RunPacer& pacer, std::uint64_t first, std::function<void(std::uint64_t)> release = {},
                 std::function<void()> after = {})
{
    constexpr std::uint64_t count = 400;  // 100 s of draw timeouts
    std::atomic<std::uint64_t> done = first - 1;
    std::stop_source stop;
    auto run = std::async(std::launch::async, [&] {
        for (std::uint64_t s = first; s < first + count && !stop.stop_requested(); ++s) {
            pacer.waitBeforeNext(s, stop.get_token());
            if (after)
                after();
            done = s;
        }
    });
    const auto limit = Clock::now() + 20s;
    for (std::uint64_t s = first; s < first + count && Clock::now() < limit; ++s) {
        while (done + 1 < s && Clock::now() < limit)
            std::this_thread::yield();
        if (release)
            release(s);
    }
    const bool through = run.wait_until(limit) == std::future_status::ready;
    stop.request_stop();
    return through && done == first + count - 1;
}

}  // namespace

// Times here are only lower bounds, which a busy machine cannot break, and
// limits that only a pacer waiting where it should not would reach.
TEST(RunPacer, WaitsForTheDrawingOnlyWhenDisplayedAndSlowerThanFastestAndKeepsTheSpeedLimit)
{
    RunPacer pacer;
    pacer.setDisplayed(true);
    pacer.shown(4);
    auto start = Clock::now();
    pacer.waitBeforeNext(5, {});  // not released by an earlier generation: held until the draw timeout
    EXPECT_GE(Clock::now() - start, RunPacer::kDrawTimeout);
    EXPECT_TRUE(goesThrough(pacer, 6, [&](std::uint64_t s) { pacer.shown(s); })) << "each released by its drawing";

    // Hidden, then displayed at the fastest speed: generations never drawn hold nothing up.
    pacer.setDisplayed(false);
    EXPECT_TRUE(goesThrough(pacer, 1000));
    pacer.setDisplayed(true);
    pacer.setSpeed(RunPacer::kFastest);
    EXPECT_TRUE(goesThrough(pacer, 2000));

    pacer.setSpeed({false, 20.0});  // one generation every 50 ms
    start = Clock::now();
    for (std::uint64_t s = 3000; s < 3003; ++s)
        pacer.waitBeforeNext(s, {});
    EXPECT_GE(Clock::now() - start, 100ms);
}

TEST(RunPacer, StopOrHidingTheWindowReleasesAWaitingRun)
{
    RunPacer pacer;
    pacer.setDisplayed(true);
    // Each generation waits for its drawing until the window is hidden; shown again once it has gone.
    EXPECT_TRUE(goesThrough(pacer, 1, [&](std::uint64_t) { pacer.setDisplayed(false); },
                            [&] { pacer.setDisplayed(true); }));

    pacer.setSpeed({true, 1e-6});  // days a generation
    std::stop_source stop;
    auto run = std::async(std::launch::async, [&] {
        pacer.waitBeforeNext(1000, stop.get_token());
        pacer.waitBeforeNext(1001, stop.get_token());  // for the speed limit
    });
    EXPECT_EQ(run.wait_for(50ms), std::future_status::timeout);
    stop.request_stop();
    EXPECT_EQ(run.wait_for(20s), std::future_status::ready);
}
