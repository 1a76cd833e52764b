#pragma once

#include "CellBitmap.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>

// A board of random cells made as it is read, a band of rows at a time, so
// that a large random board need never be held as cells: the engine turns
// each band into live bits as it installs the board and lets the cells go.
// At half the cells live each cell takes one random bit, row by row: 1 dead,
// 0 live; at any other density (percent) a cell is live when its draw of 64
// bits falls below that share. With a seed the same seed gives the same
// board on every machine, provided the board is read front to back (as
// installing it does).
class RandomCells : public CellSource {
public:
    RandomCells(std::optional<std::uint64_t> seed, int density)
        : seed_(seed), density_(density), generator_(seed.value_or(0))
    {
    }

    // The board; null when the size does not fit or the memory cannot be
    // had. This source must outlive the board until it is installed.
    std::unique_ptr<CellBitmap> board(std::int64_t width, std::int64_t height, LogicalSize size) const;

    void writeBand(CellBitmap& cells, std::int64_t band) const override;

private:
    std::uint64_t next() const;

    std::optional<std::uint64_t> seed_;
    int density_;
    mutable std::mt19937_64 generator_;
    mutable std::uint64_t bits_ = 0;
    mutable int left_ = 0;
    mutable std::array<std::uint64_t, 512> drawn_{};  // the system's random words, drawn in blocks
    mutable std::size_t used_ = drawn_.size();
};
