#include "GenerationPool.h"

#include <utility>

std::unique_ptr<Generation> GenerationPool::take(std::int64_t width, std::int64_t height)
{
    std::unique_ptr<Generation> spare;
    {
        std::lock_guard lock(mutex_);
        spare = std::move(spare_);
    }
    if (spare && spare->board->pixelsWide() == width && spare->board->pixelsHigh() == height)
        return spare;
    spare.reset();  // a board of another size: freed before the new one is made
    return Generation::blank(width, height);
}

std::shared_ptr<Generation> GenerationPool::adopt(std::unique_ptr<Generation> generation)
{
    if (!generation)
        return nullptr;
    std::weak_ptr<GenerationPool> pool = weak_from_this();
    return std::shared_ptr<Generation>(generation.release(), [pool](Generation* released) {
        std::unique_ptr<Generation> owned(released);
        if (auto self = pool.lock())
            self->giveBack(std::move(owned));
    });
}

void GenerationPool::giveBack(std::unique_ptr<Generation> generation)
{
    std::unique_ptr<Generation> dropped;  // freed outside the lock
    std::lock_guard lock(mutex_);
    dropped = std::exchange(spare_, std::move(generation));
}
