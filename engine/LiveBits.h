#pragma once

#include "LargeBuffer.h"

#include <cstdint>

// The live cells of a board as bits, which is what a generation is computed
// from: bit i of a word is set when cell 64 s + i of its row is 0. The words
// are kept in strips 64 cells wide, each a column of one word per row, so
// that the rows of a tile lie next to one another; around the board there are
// dead rows above and below and a dead strip on either side, so that the
// edges need no tests. On a torus those rows and strips, and the bit after
// the last column of a narrower last strip, hold instead the cells across
// the opposite edge (setEdges).
class LiveBits {
public:
    static constexpr std::int64_t kStripWidth = 64;
    // Dead rows above the board, and at least as many below its rows rounded up to whole tiles.
    static constexpr std::int64_t kPadding = 8;  // a group of rows the widest kernel reads at once

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

    // The words around a board of width by height cells: the cells across
    // the opposite edges on a torus, dead on the plane.
    void setEdges(std::int64_t width, std::int64_t height, bool torus);

private:
    bool wrapped_ = false;  // the words around hold a torus's cells
    std::int64_t strips_ = 0;
    std::int64_t stride_ = 0;
    LargeBuffer<std::uint64_t> words_;
};

inline void LiveBits::setEdges(std::int64_t width, std::int64_t height, bool torus)
{
    if (!torus && !wrapped_)
        return;
    wrapped_ = torus;
    if (strips_ == 0 || height == 0)
        return;
    const std::int64_t last = strips_ - 1;
    const int cols = static_cast<int>(width - last * kStripWidth);
    std::uint64_t* west = strip(-1);
    std::uint64_t* east = strip(strips_);
    std::uint64_t* lastStrip = strip(last);
    const std::uint64_t* first = strip(0);
    const std::uint64_t after = cols < 64 ? std::uint64_t{1} << cols : 0;
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint64_t rightmost = torus ? (lastStrip[y] >> (cols - 1)) & 1u : 0;
        const std::uint64_t leftmost = torus ? first[y] & 1u : 0;
        west[y] = rightmost << 63;
        east[y] = cols == 64 ? leftmost : 0;
        lastStrip[y] = (lastStrip[y] & ~after) | (leftmost != 0 ? after : 0);
    }
    for (std::int64_t s = -1; s <= strips_; ++s) {
        std::uint64_t* words = strip(s);
        words[-1] = torus ? words[height - 1] : 0;
        words[height] = torus ? words[0] : 0;
    }
}
