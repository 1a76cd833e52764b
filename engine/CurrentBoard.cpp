#include "CurrentBoard.h"

#include "Generation.h"
#include "GenerationPool.h"

#include <utility>

CurrentBoard::CurrentBoard() : pool_(std::make_shared<GenerationPool>()) {}

CurrentBoard::~CurrentBoard() = default;

std::shared_ptr<const CellBitmap> CurrentBoard::boardOf(std::shared_ptr<const Generation> generation)
{
    if (!generation)
        return nullptr;
    const CellBitmap* cells = generation->board.get();
    return {std::move(generation), cells};
}

BoardSnapshot CurrentBoard::snapshotLocked() const
{
    if (!current_)
        return {nullptr, serial_, 0, 0, rule_};
    return {boardOf(current_), serial_, current_->number, current_->tiles.population, current_->rule, &current_->live,
            current_->tiles.grayCells};
}

BoardSnapshot CurrentBoard::snapshot() const
{
    std::lock_guard lock(mutex_);
    return snapshotLocked();
}

void CurrentBoard::publishLocked(std::shared_ptr<Generation> generation, std::shared_ptr<Generation>& old)
{
    old = std::exchange(current_, std::move(generation));
    ++serial_;
    if (current_) {
        current_->serial = serial_;
        arrived_.notify_all();
    }
}

bool CurrentBoard::replace(std::unique_ptr<CellBitmap> board, const std::optional<LifeLikeRule>& rule,
                           std::uint64_t generation)
{
    const LifeLikeRule runs = rule.value_or(this->rule());
    std::shared_ptr<Generation> installed;
    if (board) {
        installed = pool_->adopt(Generation::of(std::move(board), runs));
        if (!installed)
            return false;
        installed->number = generation;
    }
    std::shared_ptr<Generation> old;  // released outside the lock
    std::lock_guard lock(mutex_);
    rule_ = runs;
    publishLocked(std::move(installed), old);
    return true;
}

LifeLikeRule CurrentBoard::rule() const
{
    std::lock_guard lock(mutex_);
    return rule_;
}

bool CurrentBoard::setRule(const LifeLikeRule& rule)
{
    std::shared_ptr<Generation> old;
    std::lock_guard lock(mutex_);
    if (current_ && current_->rule != rule) {
        // Installed afresh: what the buffers hold was computed under another rule.
        auto cells = current_->board->copy();
        auto changed = cells ? Generation::of(std::move(cells), rule) : nullptr;
        if (!changed)
            return false;
        changed->number = current_->number;
        publishLocked(pool_->adopt(std::move(changed)), old);
    }
    rule_ = rule;
    return true;
}

bool CurrentBoard::install(const CellBitmap& board, const std::optional<LifeLikeRule>& rule,
                           std::uint64_t generation)
{
    const LifeLikeRule runs = rule.value_or(this->rule());
    auto installed = pool_->adopt(Generation::of(board.copy(), runs));
    if (!installed)
        return false;
    installed->number = generation;
    std::shared_ptr<Generation> old;
    std::lock_guard lock(mutex_);
    rule_ = runs;
    publishLocked(std::move(installed), old);
    return true;
}

std::uint64_t CurrentBoard::restore(std::unique_ptr<Generation> generation)
{
    const LifeLikeRule runs = generation->rule;
    auto restored = pool_->adopt(std::move(generation));
    std::shared_ptr<Generation> old;
    std::lock_guard lock(mutex_);
    rule_ = runs;
    publishLocked(std::move(restored), old);
    return serial_;
}

BoardSnapshot CurrentBoard::makeIfNone(double rectWidth, double rectHeight)
{
    {
        std::lock_guard lock(mutex_);
        if (current_)
            return snapshotLocked();
    }
    auto fresh = pool_->adopt(Generation::of(CellBitmap::random(rectWidth, rectHeight), rule()));
    std::shared_ptr<Generation> old;
    std::lock_guard lock(mutex_);
    if (!current_ && fresh)
        publishLocked(std::move(fresh), old);
    return snapshotLocked();
}

bool CurrentBoard::soleHolderLocked() const
{
    // References to the current generation are handed out only under the
    // lock, so while it is held no one can take a new one, and a count of one
    // means that every other holder has let go. Taking a reference through a
    // weak pointer then orders their reads of the cells before our writes.
    if (current_.use_count() != 1)
        return false;
    return std::weak_ptr<Generation>(current_).lock() != nullptr;
}

bool CurrentBoard::edit(std::span<const CellEdit> edits)
{
    std::shared_ptr<Generation> old;  // released outside the lock
    std::lock_guard lock(mutex_);
    if (!current_ || !current_->covers(edits))
        return false;
    if (soleHolderLocked()) {
        current_->apply(edits);
        current_->serial = ++serial_;
        return true;
    }
    auto copy = current_->copy();
    if (!copy)
        return false;
    copy->apply(edits);
    publishLocked(pool_->adopt(std::move(copy)), old);
    return true;
}

bool CurrentBoard::editBlock(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height,
                             const std::uint8_t* cells)
{
    std::shared_ptr<Generation> old;  // released outside the lock
    std::lock_guard lock(mutex_);
    if (!current_ || left < 0 || top < 0 || width < 0 || height < 0 || left + width > current_->board->pixelsWide() ||
        top + height > current_->board->pixelsHigh())
        return false;
    if (soleHolderLocked()) {
        if (current_->applyBlock(left, top, width, height, cells))
            current_->serial = ++serial_;
        return true;
    }
    auto copy = current_->copy();
    if (!copy)
        return false;
    copy->applyBlock(left, top, width, height, cells);
    publishLocked(pool_->adopt(std::move(copy)), old);
    return true;
}

CurrentBoard::Current CurrentBoard::waitForCurrent(std::stop_token stop, const std::function<void()>& noBoard)
{
    std::unique_lock lock(mutex_);
    if (!current_) {
        lock.unlock();
        if (noBoard)
            noBoard();
        lock.lock();
        if (!arrived_.wait(lock, stop, [this] { return current_ != nullptr; }))
            return {};
    }
    return {current_, serial_};
}

std::unique_ptr<Generation> CurrentBoard::takeBuffer(std::int64_t width, std::int64_t height)
{
    return pool_->take(width, height);
}

void CurrentBoard::giveBack(std::unique_ptr<Generation> buffer)
{
    if (buffer)
        pool_->giveBack(std::move(buffer));
}

std::shared_ptr<Generation> CurrentBoard::publishAfter(std::uint64_t serial, std::unique_ptr<Generation>& next,
                                                       std::stop_token stop)
{
    std::shared_ptr<Generation> old;  // released outside the lock
    std::lock_guard lock(mutex_);
    if (stop.stop_requested() || serial_ != serial)
        return nullptr;
    publishLocked(pool_->adopt(std::move(next)), old);
    return current_;
}

void CurrentBoard::settle() const
{
    std::lock_guard lock(mutex_);
}
