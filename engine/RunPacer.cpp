#include "RunPacer.h"

void RunPacer::setSpeed(Speed speed)
{
    {
        std::lock_guard lock(mutex_);
        speed_ = speed;
        ++settings_;
    }
    changed_.notify_all();
}

void RunPacer::setDisplayed(bool displayed)
{
    {
        std::lock_guard lock(mutex_);
        displayed_ = displayed;
        ++settings_;
    }
    changed_.notify_all();
}

void RunPacer::shown(std::uint64_t serial)
{
    {
        std::lock_guard lock(mutex_);
        if (serial <= shown_)
            return;
        shown_ = serial;
    }
    changed_.notify_all();
}

void RunPacer::waitBeforeNext(std::uint64_t serial, std::stop_token stop)
{
    using clock = std::chrono::steady_clock;
    std::unique_lock lock(mutex_);

    // The speed limit: the next generation no earlier than 1/speed after the last.
    for (;;) {
        const double rate = speed_.generationsPerSecond;
        if (rate <= 0)
            break;
        const auto due = lastRelease_ + std::chrono::duration_cast<clock::duration>(
                                            std::chrono::duration<double>(1.0 / rate));
        if (clock::now() >= due)
            break;
        const auto seen = settings_;
        changed_.wait_until(lock, stop, due, [&] { return settings_ != seen; });
        if (stop.stop_requested())
            return;
    }

    // Every generation on screen before the next begins.
    const auto deadline = clock::now() + kDrawTimeout;
    changed_.wait_until(lock, stop, deadline, [&] {
        return !speed_.showEveryGeneration || !displayed_ || shown_ >= serial;
    });
    lastRelease_ = clock::now();
}
