#pragma once

#include "LargeBuffer.h"
#include "LifeLikeRule.h"

#include <cstdint>
#include <memory>
#include <vector>

class CellBitmap;
class WorkerPool;
struct Generation;

// A gray cell of a kept generation: its index in the board and its value.
struct KeptGray {
    std::uint64_t index = 0;
    std::uint8_t value = 0;
};

// One generation as the history keeps it: its live bits (strip by strip,
// the board's rows only) and its gray cells. A run never makes a gray cell,
// it only turns one live or dead, so the gray cells of a generation are
// those of the one before that are still there: consecutive generations
// share the list until one goes.
struct KeptGeneration {
    std::int64_t width = 0;
    std::int64_t height = 0;
    LargeBuffer<std::uint64_t> bits;  // strip s, row y at s * height + y
    std::shared_ptr<const std::vector<KeptGray>> grays;  // null: none
    LifeLikeRule rule;
    std::uint64_t number = 0;
    std::int64_t population = 0;

    // The one place that knows what a generation is made of. Keeps `from`
    // in `into`, reusing its memory. `before`, when given, is the kept
    // generation `from` was computed from. The copying is shared out among
    // `workers` when given.
    static void keep(const Generation& from, KeptGeneration& into, const KeptGeneration* before,
                     WorkerPool* workers = nullptr);
    // The board this generation had; null when the memory cannot be had.
    std::unique_ptr<CellBitmap> cells() const;
    // True when `generation` has the same cells.
    bool sameCells(const Generation& generation) const;
    std::uint64_t bytes() const;
    // About what keeping `generation` takes (its gray cells left out).
    static std::uint64_t bytesFor(const Generation& generation);
};
