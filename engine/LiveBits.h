#pragma once

#include "LargeBuffer.h"

#include <cstdint>

// The live cells of a board as bits, which is what a generation is computed
// from: bit i of a word is set when cell 64 s + i of its row is 0. The words
// are kept in strips 64 cells wide, each a column of one word per row, so
// that the rows of a tile lie next to one another; around the board there are
// dead rows above and below and a dead strip on either side, so that the
// edges need no tests.
class LiveBits {
public:
    static constexpr std::int64_t kStripWidth = 64;
    // Dead rows above the board, and at least as many below its rows rounded up to whole tiles.
    static constexpr std::int64_t kPadding = 4;

    LiveBits() = default;
    // All dead. `rowsRounded` is the board's height rounded up to whole tiles.
    LiveBits(std::int64_t width, std::int64_t rowsRounded)
        : strips_((width + kStripWidth - 1) / kStripWidth), stride_(rowsRounded + 2 * kPadding),
          words_(static_cast<std::size_t>((strips_ + 2) * stride_), 0u)
    {
    }

    std::int64_t strips() const { return strips_; }
    // The words of strip s, from s = -1 to strips() (the outer two all dead),
    // indexed by row from -kPadding to rowsRounded + kPadding - 1.
    const std::uint64_t* strip(std::int64_t s) const { return words_.data() + (s + 1) * stride_ + kPadding; }
    std::uint64_t* strip(std::int64_t s) { return words_.data() + (s + 1) * stride_ + kPadding; }

    bool get(std::int64_t x, std::int64_t y) const { return (strip(x / kStripWidth)[y] >> (x % kStripWidth)) & 1u; }
    void set(std::int64_t x, std::int64_t y, bool live)
    {
        const std::uint64_t bit = std::uint64_t{1} << (x % kStripWidth);
        std::uint64_t& word = strip(x / kStripWidth)[y];
        word = live ? word | bit : word & ~bit;
    }

private:
    std::int64_t strips_ = 0;
    std::int64_t stride_ = 0;
    LargeBuffer<std::uint64_t> words_;
};
