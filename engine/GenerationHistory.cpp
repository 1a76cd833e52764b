#include "GenerationHistory.h"

#include "Generation.h"

#include <algorithm>
#include <exception>

std::uint64_t GenerationHistory::defaultBudget()
{
    return std::min<std::uint64_t>(std::uint64_t{256} << 20, Generation::memoryLimit() / 10);
}

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
    // Reused only when nothing else holds it (the start, or the window going back to it).
    // Kept up to the budget, so that a new line reuses the memory of the last one.
    if (kept && kept.use_count() == 1 && (spare_.size() + 1) * kept->bytes() <= budget_) {
        kept->grays.reset();
        spare_.push_back(std::move(kept));
    }
}

std::uint64_t GenerationHistory::bytesLocked() const
{
    std::uint64_t bytes = 0;
    for (const Kept& kept : spare_)
        bytes += kept->bytes();
    const std::vector<KeptGray>* shared = nullptr;  // gray cells counted once for the generations that share them
    for (const Kept& kept : recent_) {
        bytes += kept->bytes();
        if (kept->grays && kept->grays.get() == shared)
            bytes -= kept->grays->capacity() * sizeof(KeptGray);
        shared = kept->grays.get();
    }
    if (start_ && (recent_.empty() || recent_.front() != start_))
        bytes += start_->bytes();
    return bytes;
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
    // The start, the generation before and the current one at least; a
    // board too large for that within the budget keeps nothing.
    if (3 * KeptGeneration::bytesFor(next) > budget_) {
        clearLocked();
        return;
    }
    if (serial_ == 0 || fromSerial != serial_) {
        // A board the history has not seen: a new line begins with it.
        while (!recent_.empty()) {
            dropLocked(std::move(recent_.back()));
            recent_.pop_back();
        }
        start_.reset();
        Kept first = freshLocked();
        KeptGeneration::keep(from, *first, nullptr, workers);
        start_ = first;
        recent_.push_back(std::move(first));
        position_ = 0;
    } else {
        while (recent_.size() > position_ + 1) {  // a run from a generation gone back to
            dropLocked(std::move(recent_.back()));
            recent_.pop_back();
        }
    }
    Kept kept = freshLocked();
    KeptGeneration::keep(next, *kept, recent_.back().get(), workers);
    recent_.push_back(std::move(kept));
    while (recent_.size() > 2 && bytesLocked() > budget_) {
        if (!spare_.empty()) {
            spare_.pop_back();
            continue;
        }
        Kept oldest = std::move(recent_.front());
        recent_.pop_front();
        dropLocked(std::move(oldest));
    }
    position_ = recent_.size() - 1;
    serial_ = nextSerial;
}

std::shared_ptr<const KeptGeneration> GenerationHistory::before(std::uint64_t serial) const
{
    std::lock_guard lock(mutex_);
    if (serial_ == 0 || serial != serial_ || position_ == 0)
        return nullptr;
    return recent_[position_ - 1];
}

std::shared_ptr<const KeptGeneration> GenerationHistory::start(std::uint64_t serial) const
{
    std::lock_guard lock(mutex_);
    if (serial_ == 0 || serial != serial_ || (position_ == 0 && recent_.front() == start_))
        return nullptr;
    return start_;
}

void GenerationHistory::wentBackTo(const std::shared_ptr<const KeptGeneration>& kept, std::uint64_t serial)
{
    std::lock_guard lock(mutex_);
    const auto at = std::find(recent_.begin(), recent_.end(), kept);
    if (at != recent_.end()) {
        position_ = std::size_t(at - recent_.begin());
    } else {
        // The start, whose next generations are gone: the line goes on from it alone.
        while (!recent_.empty()) {
            dropLocked(std::move(recent_.back()));
            recent_.pop_back();
        }
        recent_.push_back(start_);
        position_ = 0;
    }
    serial_ = serial;
}

std::shared_ptr<const KeptGeneration> GenerationHistory::find(std::uint64_t number) const
{
    std::lock_guard lock(mutex_);
    if (recent_.empty() || number < recent_.front()->number || number > recent_.back()->number)
        return nullptr;
    return recent_[std::size_t(number - recent_.front()->number)];
}

std::size_t GenerationHistory::size() const
{
    std::lock_guard lock(mutex_);
    return recent_.empty() ? 0 : recent_.size() - 1;
}

void GenerationHistory::clear()
{
    std::lock_guard lock(mutex_);
    clearLocked();
}

void GenerationHistory::clearLocked()
{
    recent_.clear();
    start_.reset();
    spare_.clear();
    serial_ = 0;
    position_ = 0;
}
