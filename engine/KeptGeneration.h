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

// One generation as the history keeps it: the live bits of its tiles that
// have live cells (so a sparse board costs what lives on it) and its gray
// cells. A run never makes a gray cell,
// it only turns one live or dead, so the gray cells of a generation are
// those of the one before that are still there: consecutive generations
// share the list until one goes.
struct KeptGeneration {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::vector<std::uint32_t> tiles;  // the tiles with live cells, in the board's order (BoardTiles)
    LargeBuffer<std::uint64_t> bits;   // their rows: tile i's row r at i * BoardTiles::kHeight + r
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
    // The generation again, as a board just installed, to be computed on
    // or published; null when the memory cannot be had. Without gray cells
    // it is made from the bits alone (its cells as they are read), in
    // `reuse` when that has the size (a generation no one else holds).
    std::unique_ptr<Generation> generation(std::unique_ptr<Generation> reuse = nullptr) const;
    // True when `generation` has the same cells.
    bool sameCells(const Generation& generation) const;
    std::uint64_t bytes() const;
    // At most what keeping `generation` takes (its gray cells left out).
    static std::uint64_t bytesFor(const Generation& generation);
};
