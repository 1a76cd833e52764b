#pragma once

#include "GameOfLife.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class DialogPresenter;
class QProgressBar;
class QWidget;
class VandrelGameOfLifeView;

// The runs of the window, as the person sees them: each start stops the run
// going, shows the busy indicator, takes a ticket and begins the run on a
// short-lived starter thread; each run's end comes back here, on the main
// thread. Only the current run's end hides the indicator: a run that was
// stopped or superseded says nothing (but that its recording could not be
// written), and a current run that ended by itself before its count says
// why. Closing waits, without blocking the window, until every recording
// run has ended and its file is written, and any message about a run has
// been read.
class RunControl : public QObject {
    Q_OBJECT
public:
    // The speed of the speed box's choice at `index`, for the screen the window is on.
    static RunPacer::Speed speedAt(int index, const QWidget* window);
    // Runs on the starter thread: begins the run through the view's start
    // call. False when the run never began (its ticket was voided meanwhile).
    using Starter = std::function<bool(RunIndicators)>;

    // Seams through which tests make rare failures certain; empty otherwise.
    struct TestHooks {
        // On the main thread, before the starter thread is made.
        std::function<void()> beforeStarter;
        // On the starter thread, before it begins the run.
        std::function<void()> onStarter;
    };

    static constexpr const char* kNoMemory = "There is not enough memory to compute the next generation of this board.";

    RunControl(QWidget* window, VandrelGameOfLifeView* view, QProgressBar* indicator, DialogPresenter& dialogs);
    ~RunControl() override;

    // Stops the run going and begins a new one. `generations`: exactly that
    // many (a step), whatever the iteration count. Refused while closing.
    void start(Starter starter, std::optional<std::int32_t> generations = {});
    // The same for a run that records.
    void startRecording(Starter starter);
    // Hides the indicator and cancels the current run and every run not yet begun.
    void stop();
    // Shows the indicator while no run is current yet (a recording's panel).
    void showIndicator() const;

    // The current run, from its start until its end is known here or it is stopped.
    bool going() const { return current_ != 0; }
    // Runs started whose end is not known here yet.
    std::size_t unended() const { return endings_.size(); }
    bool settled() const { return endings_.empty(); }
    // No recording run is left to end and no message about a run is on screen.
    bool idle() const;

    // For closing: stops every run, then calls `then` on the main thread
    // once idle (every recording written, every message about a run
    // dismissed). Starts are refused until then.
    void endAll(std::function<void()> then);
    // For leaving without the event loop: stops every run and joins every
    // thread that could call back. Returns the messages not yet shown.
    QStringList shutdown();

    void setTestHooks(TestHooks hooks) { hooks_ = std::move(hooks); }

private slots:
    // Queued from the run's thread: the ends that have arrived.
    void takeEndings();

private:
    struct Ending;
    void begin(Starter starter, std::optional<std::int32_t> generations, bool records);
    void deliver(Ending& ending, const RunReport& report);
    void ended(const RunReport& report, bool current);
    static QString messageFor(const RunReport& report, bool current, QString* details);
    void checkEndAll();

    QWidget* window_;
    VandrelGameOfLifeView* view_;
    QProgressBar* indicator_;
    DialogPresenter& dialogs_;
    TestHooks hooks_;

    struct StarterThread {
        std::jthread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<StarterThread> starters_;

    std::uint64_t current_ = 0;                   // the run whose end hides the indicator; 0: none
    std::vector<std::shared_ptr<Ending>> endings_;  // runs started whose end has not been taken
    std::mutex mutex_;                            // an Ending's report and arrival
    std::function<void()> afterAll_;              // closing: what follows the last end
    bool closing_ = false;
    int openMessages_ = 0;
    QStringList untold_;  // messages of runs that ended after the event loop
    bool shutDown_ = false;
};
