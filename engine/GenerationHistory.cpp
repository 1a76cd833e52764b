#include "GenerationHistory.h"

#include "Generation.h"
#include "GenerationStep.h"

#include <algorithm>
#include <exception>
#include <stop_token>

std::uint64_t GenerationHistory::defaultBudget()
{
    return std::min<std::uint64_t>(std::uint64_t{256} << 20, Generation::memoryLimit() / 10);
}

GenerationHistory::GenerationHistory() : budget_(defaultBudget()) {}

GenerationHistory::~GenerationHistory() = default;

void GenerationHistory::setBudget(std::uint64_t bytes)
{
    std::lock_guard lock(mutex_);
    budget_ = bytes;
}

GenerationHistory::Kept GenerationHistory::freshLocked()
{
    if (!spare_.empty()) {
        Kept kept = std::move(spare_.back());
        spare_.pop_back();
        return kept;
    }
    return std::make_shared<KeptGeneration>();
}

void GenerationHistory::dropLocked(Kept kept)
{
    // Reused only when nothing else holds it (the watch for settling
    // comparing with it); a couple are enough for a new line to reuse.
    if (kept && kept.use_count() == 1 && spare_.size() < 2) {
        kept->grays.reset();
        spare_.push_back(std::move(kept));
    }
}

std::uint64_t GenerationHistory::bytesLocked() const
{
    std::uint64_t bytes = start_ ? start_->bytes() : 0;
    for (const Kept& kept : checkpoints_)
        bytes += kept->bytes();
    for (const Kept& kept : spare_)
        bytes += kept->bytes();
    return bytes;
}

std::uint64_t GenerationHistory::oldestLocked() const
{
    return dropped_ && !checkpoints_.empty() ? checkpoints_.front()->number : start_->number;
}

void GenerationHistory::advance(const Generation& from, std::uint64_t fromSerial, const Generation& next,
                                std::uint64_t nextSerial, WorkerPool* workers)
{
    if (!enabled_.load())
        return;
    std::lock_guard lock(mutex_);
    try {
        advanceLocked(from, fromSerial, next, nextSerial, workers);
    } catch (const std::exception&) {
        // Without the memory (or a thread of the pool) to keep it the run goes on, and keeps nothing until its next board.
        clearLocked();
    }
}

void GenerationHistory::advanceLocked(const Generation& from, std::uint64_t fromSerial, const Generation& next,
                                      std::uint64_t nextSerial, WorkerPool* workers)
{
    // The start and two checkpoints at least; a board too large for that
    // within the budget keeps nothing.
    if (3 * KeptGeneration::bytesFor(next) > budget_) {
        clearLocked();
        return;
    }
    if (serial_ == 0 || fromSerial != serial_ || !start_) {
        // A board the history has not seen: a new line begins with it.
        while (!checkpoints_.empty()) {
            dropLocked(std::move(checkpoints_.back()));
            checkpoints_.pop_back();
        }
        start_.reset();
        Kept first = freshLocked();
        KeptGeneration::keep(from, *first, nullptr, workers);
        start_ = std::move(first);
    } else {
        while (!checkpoints_.empty() && checkpoints_.back()->number > from.number) {  // a run from a generation gone back to
            dropLocked(std::move(checkpoints_.back()));
            checkpoints_.pop_back();
        }
    }
    if (checkpoints_.empty())
        dropped_ = false;  // from the start again: every generation after it can be made again
    if ((next.number - start_->number) % kInterval == 0) {
        Kept kept;
        if (checkpoints_.size() >= kCheckpoints) {
            dropLocked(std::move(checkpoints_.front()));
            checkpoints_.pop_front();
            dropped_ = true;
        }
        kept = freshLocked();
        KeptGeneration::keep(next, *kept, checkpoints_.empty() ? start_.get() : checkpoints_.back().get(), workers);
        checkpoints_.push_back(std::move(kept));
        while (checkpoints_.size() > 1 && bytesLocked() > budget_) {
            if (!spare_.empty()) {
                spare_.pop_back();
                continue;
            }
            checkpoints_.pop_front();
            dropped_ = true;
        }
    }
    position_ = next.number;
    serial_ = nextSerial;
}

std::unique_ptr<Generation> GenerationHistory::back(std::uint64_t serial, bool toStart, WorkerPool* workers,
                                                    std::unique_ptr<Generation> spare)
{
    std::shared_ptr<const KeptGeneration> from;
    std::uint64_t number = 0;
    std::vector<std::unique_ptr<Generation>> buffers;
    {
        std::lock_guard lock(mutex_);
        buffers.swap(buffers_);
        if (spare)
            buffers.push_back(std::move(spare));
        if (serial_ == 0 || serial != serial_ || !start_)
            return nullptr;
        from = start_;
        number = start_->number;
        if (!toStart) {
            if (position_ <= oldestLocked())
                return nullptr;
            number = position_ - 1;
            for (const Kept& kept : checkpoints_) {
                if (kept->number <= number)
                    from = kept;
            }
        } else if (position_ == number) {
            return nullptr;
        }
    }
    std::unique_ptr<Generation> back;
    try {
        back = rebuild(*from, number, workers, buffers);
    } catch (const std::exception&) {
        // No memory, or no thread of the pool: nothing to go back to.
    }
    std::lock_guard lock(mutex_);
    buffers.resize(std::min<std::size_t>(buffers.size(), 2));
    buffers_.swap(buffers);
    return back;
}

std::unique_ptr<Generation> GenerationHistory::rebuild(const KeptGeneration& kept, std::uint64_t number,
                                                       WorkerPool* workers,
                                                       std::vector<std::unique_ptr<Generation>>& buffers)
{
    // Generations of another size are no use; the rest are taken from the back.
    std::erase_if(buffers, [&](const std::unique_ptr<Generation>& g) {
        return !g || g->board->pixelsWide() != kept.width || g->board->pixelsHigh() != kept.height;
    });
    const auto buffer = [&]() -> std::unique_ptr<Generation> {
        if (buffers.empty())
            return Generation::blank(kept.width, kept.height);
        auto g = std::move(buffers.back());
        buffers.pop_back();
        g->serial = 0;  // holds no generation of these
        return g;
    };
    auto current = kept.generation(buffers.empty() ? nullptr : buffer());
    if (!current)
        return nullptr;
    // Each generation is computed into the buffer of the one two back, as a
    // run computes, so that only the tiles that can change are computed.
    std::unique_ptr<Generation> before;
    std::uint64_t serial = 1;
    current->serial = serial;
    GenerationStep step;
    const std::stop_source never;
    while (current->number < number) {
        auto into = before ? std::move(before) : buffer();
        if (!into)
            return nullptr;
        if (!step.run(*current, *into, workers, never.get_token()))
            return nullptr;
        into->serial = ++serial;
        before = std::move(current);
        current = std::move(into);
    }
    if (before)
        buffers.push_back(std::move(before));
    // Published as a board just installed: the buffers it was computed with stay here.
    current->serial = 0;
    current->base = 0;
    current->tiles.markInstalled();
    return current;
}

void GenerationHistory::wentBackTo(std::uint64_t number, std::uint64_t serial)
{
    std::lock_guard lock(mutex_);
    position_ = number;
    serial_ = serial;
}

std::shared_ptr<const KeptGeneration> GenerationHistory::find(std::uint64_t number) const
{
    std::lock_guard lock(mutex_);
    if (start_ && start_->number == number)
        return start_;
    for (const Kept& kept : checkpoints_) {
        if (kept->number == number && number <= position_)
            return kept;
    }
    return nullptr;
}

std::size_t GenerationHistory::size() const
{
    std::lock_guard lock(mutex_);
    if (serial_ == 0 || !start_)
        return 0;
    const std::uint64_t oldest = oldestLocked();
    return position_ > oldest ? std::size_t(position_ - oldest) : 0;
}

void GenerationHistory::clear()
{
    std::lock_guard lock(mutex_);
    clearLocked();
}

void GenerationHistory::clearLocked()
{
    checkpoints_.clear();
    start_.reset();
    spare_.clear();
    buffers_.clear();
    dropped_ = false;
    serial_ = 0;
    position_ = 0;
}
