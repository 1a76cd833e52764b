#include "RunPacer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(RunPacer, WaitsForTheDrawingWhenTheBoardIsOnScreen)
{
    RunPacer pacer;
    pacer.setDisplayed(true);
    std::atomic<bool> returned{false};
    std::jthread run([&] {
        pacer.waitBeforeNext(5, {});
        returned = true;
    });
    std::this_thread::sleep_for(30ms);
    EXPECT_FALSE(returned.load());
    pacer.shown(4);
    std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(returned.load());
    pacer.shown(5);
    run.join();
    EXPECT_TRUE(returned.load());
}

TEST(RunPacer, NeverWaitsWhenNothingShowsTheBoard)
{
    RunPacer pacer;
    pacer.setDisplayed(false);
    const auto start = Clock::now();
    for (std::uint64_t s = 1; s <= 100; ++s)
        pacer.waitBeforeNext(s, {});
    EXPECT_LT(Clock::now() - start, RunPacer::kDrawTimeout);
}

TEST(RunPacer, FastestSpeedDoesNotWaitForTheScreen)
{
    RunPacer pacer;
    pacer.setDisplayed(true);
    pacer.setSpeed(RunPacer::kFastest);
    const auto start = Clock::now();
    pacer.waitBeforeNext(1, {});
    EXPECT_LT(Clock::now() - start, RunPacer::kDrawTimeout);
}

TEST(RunPacer, HidingTheWindowReleasesAWaitingRun)
{
    RunPacer pacer;
    pacer.setDisplayed(true);
    std::jthread run([&] { pacer.waitBeforeNext(1, {}); });
    std::this_thread::sleep_for(10ms);
    pacer.setDisplayed(false);
    run.join();  // would take the draw timeout without the release
    SUCCEED();
}

TEST(RunPacer, StopReleasesAWaitingRun)
{
    RunPacer pacer;
    pacer.setDisplayed(true);
    pacer.setSpeed({true, 0.5});
    std::stop_source stop;
    std::atomic<bool> returned{false};
    std::jthread run([&] {
        pacer.waitBeforeNext(1, stop.get_token());
        pacer.waitBeforeNext(2, stop.get_token());
        returned = true;
    });
    std::this_thread::sleep_for(20ms);
    stop.request_stop();
    run.join();
    EXPECT_TRUE(returned.load());
}

TEST(RunPacer, SpeedLimitSpacesGenerations)
{
    RunPacer pacer;
    pacer.setSpeed({false, 20.0});  // one generation every 50 ms
    pacer.waitBeforeNext(1, {});
    const auto start = Clock::now();
    pacer.waitBeforeNext(2, {});
    pacer.waitBeforeNext(3, {});
    EXPECT_GE(Clock::now() - start, 95ms);
}
