#include "GameOfLife.h"

#include "Generation.h"
#include "GenerationStep.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

struct GameOfLife::Run {
    std::uint64_t ticket = 0;
    std::unique_ptr<RunRecorder> recorder;  // null for a run that does not record
    bool record = false;
    std::optional<std::int32_t> generations;
    std::function<void(const RunReport&)> finished;
    std::stop_source stop;
    std::jthread thread;
    std::atomic<bool> done{false};
};

namespace {

RecordingResult finishRecording(RunRecorder& recorder, RunEnd end)
{
    try {
        return recorder.finish(end);
    } catch (const std::bad_alloc&) {
        return {false, "The recording could not be written: there is not enough memory."};
    }
}

}  // namespace

GameOfLife::~GameOfLife() { shutdown(); }

bool GameOfLife::initWithBitmap(const CellBitmap& board, const std::optional<LifeLikeRule>& rule,
                                std::uint64_t generation)
{
    if (!board_.install(board, rule, generation))
        return false;
    iterations_.store(kDefaultIterations);
    return true;
}

// --- Runs ---

std::uint64_t GameOfLife::prepareRun()
{
    std::lock_guard lock(mutex_);
    return ++tickets_;
}

void GameOfLife::reapLocked()
{
    std::erase_if(runs_, [](const std::shared_ptr<Run>& run) {
        if (!run->done.load())
            return false;
        run->thread.join();  // the run has returned; only the thread's exit is left
        return true;
    });
}

bool GameOfLife::startGameOfLifeAndWriteToFile(bool record, const std::string& file, RunIndicators indicators)
{
    auto finished = std::move(indicators.finished);
    std::shared_ptr<Run> run;
    try {
        run = std::make_shared<Run>();
        run->record = record;
        run->generations = indicators.generations;
        RecorderFactory factory;
        if (record) {
            std::lock_guard lock(mutex_);
            factory = recorderFactory_;
        }
        if (factory)
            run->recorder = factory(file);  // may start a thread of its own
    } catch (const std::bad_alloc&) {
        run.reset();
    } catch (const std::system_error&) {
        run.reset();
    }

    {
        std::lock_guard lock(mutex_);
        if (shutDown_)
            return false;
        reapLocked();
        std::uint64_t ticket = indicators.ticket;
        if (ticket == 0)
            ticket = ++tickets_;
        if (ticket <= voidThrough_ || ticket < latestTicket_)
            return false;
        latestTicket_ = ticket;
        if (currentRun_)
            currentRun_->stop.request_stop();
        currentRun_.reset();
        if (run) {
            run->ticket = ticket;
            run->finished = std::move(finished);
            try {
                runs_.reserve(runs_.size() + 1);
                if (hooks_.beforeThreadStart)
                    hooks_.beforeThreadStart();
                run->thread = std::jthread([this, run] { runLoop(run->stop.get_token(), run); });
                runs_.push_back(run);
                currentRun_ = run;
                return true;
            } catch (const std::system_error&) {
            } catch (const std::bad_alloc&) {
            }
            finished = std::move(run->finished);
        }
    }

    // The run could not begin for want of memory or a thread: it ends at once.
    RunReport report;
    report.end = RunEnd::OutOfMemory;
    report.recorded = record;
    if (run && run->recorder)
        report.recording = finishRecording(*run->recorder, report.end);
    if (finished)
        finished(report);
    return true;
}

void GameOfLife::abortGameOfLife()
{
    std::lock_guard lock(mutex_);
    voidThrough_ = tickets_;
    if (currentRun_)
        currentRun_->stop.request_stop();
    currentRun_.reset();
    reapLocked();
    board_.settle();
}

void GameOfLife::reset()
{
    abortGameOfLife();
    board_.replace(nullptr);
}

bool GameOfLife::isRunning() const
{
    std::lock_guard lock(mutex_);
    return currentRun_ && !currentRun_->done.load();
}

void GameOfLife::waitForRuns()
{
    std::vector<std::shared_ptr<Run>> runs;
    {
        std::lock_guard lock(mutex_);
        runs = runs_;
    }
    for (auto& run : runs) {
        while (!run->done.load())
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::lock_guard lock(mutex_);
    reapLocked();
}

void GameOfLife::shutdown()
{
    std::vector<std::shared_ptr<Run>> runs;
    {
        std::lock_guard lock(mutex_);
        shutDown_ = true;
        voidThrough_ = tickets_;
        for (auto& run : runs_)
            run->stop.request_stop();
        runs.swap(runs_);
        currentRun_.reset();
        redraw_ = nullptr;
    }
    for (auto& run : runs) {
        if (run->thread.joinable())
            run->thread.join();
    }
    workers_.stop();
}

bool GameOfLife::goBack(bool toStart)
{
    abortGameOfLife();
    const BoardSnapshot shown = board_.snapshot();
    if (!shown.board)
        return false;
    // The run's spare generation, when it has one, to compute with.
    auto back = history_.back(shown.serial, toStart, &workers_,
                              board_.takeBuffer(shown.board->pixelsWide(), shown.board->pixelsHigh()));
    if (!back)
        return false;
    const std::uint64_t number = back->number;
    history_.wentBackTo(number, board_.restore(std::move(back)));
    return true;
}

void GameOfLife::setRedrawHandler(std::function<void()> handler)
{
    std::lock_guard lock(mutex_);
    redraw_ = std::move(handler);
}

void GameOfLife::setRecorderFactory(RecorderFactory factory)
{
    std::lock_guard lock(mutex_);
    recorderFactory_ = std::move(factory);
}

void GameOfLife::setTestHooks(TestHooks hooks)
{
    workers_.setThreadStartHook(hooks.beforeThreadStart);
    std::lock_guard lock(mutex_);
    hooks_ = std::move(hooks);
}

void GameOfLife::runLoop(std::stop_token stop, const std::shared_ptr<Run>& run)
{
    RunReport report;
    report.recorded = run->record;
    std::function<void()> redraw;
    TestHooks hooks;
    {
        std::lock_guard lock(mutex_);
        redraw = redraw_;
        hooks = hooks_;
    }
    try {
        report.end = runGenerations(stop, *run, report, hooks, redraw);
    } catch (const std::bad_alloc&) {
        report.end = RunEnd::OutOfMemory;
    } catch (const std::system_error&) {
        report.end = RunEnd::OutOfMemory;  // a thread of the pool could not be started
    }
    if (run->recorder)
        report.recording = finishRecording(*run->recorder, report.end);
    run->recorder.reset();
    if (run->finished)
        run->finished(report);
    run->done.store(true);
}

RunEnd GameOfLife::runGenerations(std::stop_token stop, Run& run, RunReport& report, const TestHooks& hooks,
                                  const std::function<void()>& redraw)
{
    GenerationStep step;
    std::unique_ptr<Generation> next;  // the buffer the next generation is computed into
    struct GiveBack {
        CurrentBoard& board;
        std::unique_ptr<Generation>& next;
        ~GiveBack() { board.giveBack(std::move(next)); }
    } giveBack{board_, next};

    for (;;) {
        const std::int32_t count = run.generations ? *run.generations : iterations_.load();
        if (report.generations >= count)
            return RunEnd::Completed;
        if (stop.stop_requested())
            return RunEnd::Cancelled;

        // With no board the drawing makes one, and the first generation
        // counted is computed on the board the person sees.
        auto from = board_.waitForCurrent(stop, redraw);
        if (!from.generation)
            return RunEnd::Cancelled;
        const CellBitmap& cells = *from.generation->board;
        if (!next || next->board->pixelsWide() != cells.pixelsWide() ||
            next->board->pixelsHigh() != cells.pixelsHigh()) {
            next.reset();
            if (hooks.beforeBoardMemory)
                hooks.beforeBoardMemory();
            next = board_.takeBuffer(cells.pixelsWide(), cells.pixelsHigh());
            if (!next)
                return RunEnd::OutOfMemory;
        }
        // The watch for settling brings its tallies up to date from the marks.
        const bool marksTwoBack = GenerationStep::marksAgainstHeld(*from.generation, *next);
        if (!step.run(*from.generation, *next, &workers_, stop))
            return RunEnd::Cancelled;
        if (hooks.beforePublish)
            hooks.beforePublish();

        auto published = board_.publishAfter(from.serial, next, stop);
        if (!published) {
            from.generation.reset();
            if (stop.stop_requested())
                return RunEnd::Cancelled;
            continue;  // replaced or edited meanwhile: compute again from the board as it is now
        }
        const std::uint64_t serial = published->serial;
        history_.advance(*from.generation, from.serial, *published, serial, &workers_);
        ++report.generations;
        if (redraw)
            redraw();
        if (run.recorder) {
            run.recorder->capture(CurrentBoard::boardOf(published));
            if (run.recorder->full())
                return RunEnd::RecordingEnded;
        }
        if (stopWhenSettled_.load()) {
            report.settled = settling_.see(*from.generation, from.serial, *published, serial, marksTwoBack,
                                           history_.enabled() ? &history_ : nullptr);
            if (report.settled)
                return RunEnd::Settled;
        }
        from.generation.reset();
        published.reset();
        const std::chrono::microseconds pause(pause_.load());
        if (pause.count() > 0)
            std::this_thread::sleep_for(pause);
        pacer_.waitBeforeNext(serial, stop);
    }
}
