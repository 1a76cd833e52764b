#pragma once

#include "Generation.h"

#include <cstdint>
#include <memory>
#include <mutex>

// Keeps at most one generation that nobody holds any more, so that a run
// computes each generation into the buffer of the one two back instead of
// allocating a board for every generation, and finds there the cells of
// every tile that did not change. A generation comes back here when the last
// holder lets go of it, whichever thread that is.
class GenerationPool : public std::enable_shared_from_this<GenerationPool> {
public:
    // The spare generation when it has this size, otherwise a new blank one;
    // null when the memory cannot be had.
    std::unique_ptr<Generation> take(std::int64_t width, std::int64_t height);
    // Shares a generation; it comes back here when released.
    std::shared_ptr<Generation> adopt(std::unique_ptr<Generation> generation);
    void giveBack(std::unique_ptr<Generation> generation);

private:
    std::mutex mutex_;
    std::unique_ptr<Generation> spare_;
};
