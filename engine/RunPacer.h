#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>

// Paces a run so that a person can watch it. After each generation the run
// asks the pacer whether it may go on; the pacer holds it until the board
// view has drawn that generation (when a screen shows the board) and until
// the chosen speed allows the next one. A run whose board no one sees never
// waits for a drawing. The display side never waits on the run.
class RunPacer {
public:
    struct Speed {
        bool showEveryGeneration = true;  // wait until each generation is drawn
        double generationsPerSecond = 0;  // 0: no limit besides the drawing
        friend bool operator==(const Speed&, const Speed&) = default;
    };
    static constexpr Speed kEveryFrame{true, 0};
    static constexpr Speed kFastest{false, 0};
    // A drawing that never comes (a window the system stopped painting)
    // holds a run at most this long per generation.
    static constexpr std::chrono::milliseconds kDrawTimeout{250};

    void setSpeed(Speed speed);

    // Whether a screen shows the board now (window visible, not minimised).
    void setDisplayed(bool displayed);

    // The board view has drawn the generation with this serial (or a later one).
    void shown(std::uint64_t serial);

    // Called by the run after publishing the generation `serial`; returns when
    // the next generation may begin, or at once when a stop is requested.
    void waitBeforeNext(std::uint64_t serial, std::stop_token stop);

private:
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    Speed speed_ = kEveryFrame;
    bool displayed_ = false;
    std::uint64_t shown_ = 0;
    std::uint64_t settings_ = 0;  // counts speed and display changes
    std::chrono::steady_clock::time_point lastRelease_{};
};
