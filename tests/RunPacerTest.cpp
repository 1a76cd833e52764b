#include "RunPacer.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(RunPacer, WaitsForTheDrawingOnlyWhenDisplayedAndSlowerThanFastestAndKeepsTheSpeedLimit)
{
    RunPacer pacer;
    pacer.setDisplayed(true);
    auto run = std::async(std::launch::async, [&] { pacer.waitBeforeNext(5, {}); });
    EXPECT_EQ(run.wait_for(30ms), std::future_status::timeout);
    pacer.shown(4);
    EXPECT_EQ(run.wait_for(10ms), std::future_status::timeout) << "released by an earlier generation";
    pacer.shown(5);
    EXPECT_EQ(run.wait_for(RunPacer::kDrawTimeout / 2), std::future_status::ready);

    // Hidden, then displayed at the fastest speed: generations never drawn hold nothing up.
    for (const bool displayed : {false, true}) {
        pacer.setDisplayed(displayed);
        if (displayed)
            pacer.setSpeed(RunPacer::kFastest);
        const auto start = Clock::now();
        for (std::uint64_t s = 6; s <= 100; ++s)
            pacer.waitBeforeNext(s, {});
        EXPECT_LT(Clock::now() - start, RunPacer::kDrawTimeout) << "displayed: " << displayed;
    }

    pacer.setSpeed({false, 20.0});  // one generation every 50 ms
    pacer.waitBeforeNext(101, {});
    const auto start = Clock::now();
    pacer.waitBeforeNext(102, {});
    pacer.waitBeforeNext(103, {});
    EXPECT_GE(Clock::now() - start, 95ms);
}

TEST(RunPacer, StopOrHidingTheWindowReleasesAWaitingRun)
{
    for (const bool hide : {false, true}) {
        RunPacer pacer;
        pacer.setDisplayed(true);
        pacer.setSpeed({true, 0.5});  // two seconds a generation
        std::stop_source stop;
        auto run = std::async(std::launch::async, [&] {
            pacer.waitBeforeNext(1, stop.get_token());  // for the drawing
            if (!hide)
                pacer.waitBeforeNext(2, stop.get_token());  // for the speed limit
        });
        std::this_thread::sleep_for(20ms);
        hide ? pacer.setDisplayed(false) : void(stop.request_stop());
        EXPECT_EQ(run.wait_for(RunPacer::kDrawTimeout / 2), std::future_status::ready) << "hide: " << hide;
    }
}
