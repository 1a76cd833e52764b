#include "GameOfLife.h"

#include "LifeRule.h"

#include <algorithm>
#include <utility>

// Keeps at most one board-sized buffer that no generation uses any more, so
// that a run does not allocate a new board for every generation. A buffer
// comes back here when the last holder of its generation lets go of it,
// whichever thread that is.
class GameOfLife::BufferPool : public std::enable_shared_from_this<BufferPool> {
public:
    std::shared_ptr<CellBitmap> take(std::int64_t width, std::int64_t height)
    {
        std::unique_ptr<CellBitmap> board;
        {
            std::lock_guard lock(mutex_);
            if (spare_ && spare_->pixelsWide() == width && spare_->pixelsHigh() == height)
                board = std::move(spare_);
            spare_.reset();
        }
        if (!board)
            board = CellBitmap::create(width, height);
        return adopt(std::move(board));
    }

    std::shared_ptr<CellBitmap> adopt(std::unique_ptr<CellBitmap> board)
    {
        if (!board)
            return nullptr;
        std::weak_ptr<BufferPool> pool = weak_from_this();
        return std::shared_ptr<CellBitmap>(board.release(), [pool](CellBitmap* released) {
            std::unique_ptr<CellBitmap> owned(released);
            if (auto self = pool.lock())
                self->giveBack(std::move(owned));
        });
    }

private:
    void giveBack(std::unique_ptr<CellBitmap> board)
    {
        std::unique_ptr<CellBitmap> dropped;  // freed outside the lock
        std::lock_guard lock(mutex_);
        dropped = std::exchange(spare_, std::move(board));
    }

    std::mutex mutex_;
    std::unique_ptr<CellBitmap> spare_;
};

struct GameOfLife::Run {
    std::uint64_t ticket = 0;
    std::unique_ptr<RunRecorder> recorder;  // null for a run that does not record
    bool record = false;
    std::function<void(const RunReport&)> finished;
    std::stop_source stop;
    std::jthread thread;
    std::atomic<bool> done{false};
};

GameOfLife::GameOfLife() : pool_(std::make_shared<BufferPool>()) {}

GameOfLife::~GameOfLife()
{
    std::vector<std::shared_ptr<Run>> runs;
    {
        std::lock_guard lock(mutex_);
        for (auto& run : runs_)
            run->stop.request_stop();
        runs.swap(runs_);
        current_.reset();
    }
    for (auto& run : runs) {
        if (run->thread.joinable())
            run->thread.join();
    }
}

BoardSnapshot GameOfLife::snapshot() const
{
    std::lock_guard lock(mutex_);
    return {board_, serial_};
}

void GameOfLife::publishLocked(std::shared_ptr<CellBitmap> board)
{
    board_ = std::move(board);
    ++serial_;
}

void GameOfLife::replaceBitmap(std::unique_ptr<CellBitmap> board)
{
    auto shared = pool_->adopt(std::move(board));
    std::shared_ptr<CellBitmap> old;  // released outside the lock
    std::lock_guard lock(mutex_);
    old = std::move(board_);
    publishLocked(std::move(shared));
}

bool GameOfLife::initWithBitmap(const CellBitmap& board)
{
    auto copy = board.copy();
    if (!copy)
        return false;
    replaceBitmap(std::move(copy));
    iterations_.store(kDefaultIterations);
    return true;
}

BoardSnapshot GameOfLife::makeBitmapIfNone(double rectWidth, double rectHeight)
{
    {
        std::lock_guard lock(mutex_);
        if (board_)
            return {board_, serial_};
    }
    auto fresh = pool_->adopt(CellBitmap::random(rectWidth, rectHeight));
    std::lock_guard lock(mutex_);
    if (!board_ && fresh)
        publishLocked(std::move(fresh));
    return {board_, serial_};
}

bool GameOfLife::modifyBitmap(const std::function<void(CellBitmap&)>& edit)
{
    std::lock_guard lock(mutex_);
    if (!board_)
        return false;
    auto copy = pool_->adopt(board_->copy());
    if (!copy)
        return false;
    edit(*copy);
    publishLocked(std::move(copy));
    return true;
}

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
    auto run = std::make_shared<Run>();
    run->record = record;
    run->finished = std::move(indicators.finished);
    if (record) {
        RecorderFactory factory;
        {
            std::lock_guard lock(mutex_);
            factory = recorderFactory_;
        }
        if (factory)
            run->recorder = factory(file);
    }

    std::lock_guard lock(mutex_);
    reapLocked();
    std::uint64_t ticket = indicators.ticket;
    if (ticket == 0)
        ticket = ++tickets_;
    if (ticket <= voidThrough_ || ticket < latestTicket_)
        return false;
    latestTicket_ = ticket;
    run->ticket = ticket;
    if (current_)
        current_->stop.request_stop();
    current_ = run;
    runs_.push_back(run);
    run->thread = std::jthread([this, run] { runLoop(run->stop.get_token(), run); });
    return true;
}

void GameOfLife::abortGameOfLife()
{
    std::lock_guard lock(mutex_);
    voidThrough_ = tickets_;
    if (current_)
        current_->stop.request_stop();
    current_.reset();
    reapLocked();
}

void GameOfLife::reset()
{
    abortGameOfLife();
    replaceBitmap(nullptr);
}

bool GameOfLife::isRunning() const
{
    std::lock_guard lock(mutex_);
    return current_ && !current_->done.load();
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

void GameOfLife::runLoop(std::stop_token stop, const std::shared_ptr<Run>& run)
{
    RunReport report;
    report.recorded = run->record;
    report.end = RunEnd::Completed;
    std::function<void()> redraw;
    {
        std::lock_guard lock(mutex_);
        redraw = redraw_;
    }

    for (;;) {
        if (report.generations >= iterations_.load())
            break;
        if (stop.stop_requested()) {
            report.end = RunEnd::Cancelled;
            break;
        }

        BoardSnapshot from = snapshot();
        std::shared_ptr<const CellBitmap> published;
        std::uint64_t serial = 0;
        if (from.board) {
            auto next = pool_->take(from.board->pixelsWide(), from.board->pixelsHigh());
            if (!next) {  // no memory for the next generation: end as if stopped
                report.end = RunEnd::Cancelled;
                break;
            }
            if (!LifeRule::step(*from.board, *next, stop, 0)) {  // every core on large boards
                report.end = RunEnd::Cancelled;
                break;
            }
            next->setSize(from.board->size());
            std::shared_ptr<CellBitmap> old;  // released outside the lock
            {
                std::lock_guard lock(mutex_);
                if (stop.stop_requested()) {
                    report.end = RunEnd::Cancelled;
                    break;
                }
                if (serial_ != from.serial)
                    continue;  // replaced or edited meanwhile: compute again from the board as it is now
                old = std::move(board_);
                published = next;
                publishLocked(std::move(next));
                serial = serial_;
            }
        }
        // With no board the generation has nothing to compute; the redraw
        // lets the view make a random board for the next one.
        ++report.generations;
        if (redraw)
            redraw();
        if (run->recorder && published) {
            run->recorder->capture(published);
            if (run->recorder->full()) {
                report.end = RunEnd::Cancelled;
                break;
            }
        }
        published.reset();
        std::this_thread::sleep_for(kPause);
        if (serial != 0)
            pacer_.waitBeforeNext(serial, stop);
    }

    if (run->recorder)
        report.recording = run->recorder->finish(report.end);
    run->recorder.reset();
    if (run->finished)
        run->finished(report);
    run->done.store(true);
}
