#pragma once

#include <cstdint>
#include <stop_token>

class CellBitmap;

// The life rule with hard edges. Only a cell of value 0 counts as live. By
// the number n of live neighbours the next value of a cell is:
//   n = 2: the cell's current value (gray cells keep their gray),
//   n = 3: 0 (live),
//   otherwise 255 (dead).
// Every new value is computed from the old board into a second buffer, so a
// generation is written whole or not at all.
class LifeRule {
public:
    // Boards from this many cells up split a generation over the cores.
    static constexpr std::int64_t kParallelCells = std::int64_t{1} << 18;

    // Computes rows [rowBegin, rowEnd) of the next generation of the W by H
    // board `src` into `dst` (both rows of W bytes without padding). Tests the
    // stop token once per row; returns false when a stop was requested, and
    // what was written to dst is then to be discarded.
    static bool stepRows(const std::uint8_t* src, std::uint8_t* dst, std::int64_t width,
                         std::int64_t height, std::int64_t rowBegin, std::int64_t rowEnd,
                         std::stop_token stop = {});

    // The next generation of `src` into `dst` (same size), split over up to
    // `threads` cores when the board has at least kParallelCells cells.
    // threads 0 means every core of the machine. Returns false when stopped.
    static bool step(const CellBitmap& src, CellBitmap& dst, std::stop_token stop = {},
                     unsigned threads = 1);
};
