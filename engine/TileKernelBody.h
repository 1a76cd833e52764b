#pragma once

// The body of the tile kernel, compiled once for each vector unit (see
// TileKernel.cpp). `Unit` gives the word type (one 64-bit word, or several
// rows' words side by side), its loads and stores, and the conversions
// between bits and cells. Everything here has internal linkage, so that no
// copy built for a wider unit can stand in for the plain one.

#include "Generation.h"
#include "TileKernel.h"

#include <algorithm>
#include <cstdint>

namespace {

// The marks of one set from the rows' differences: all rows OR-ed, and the
// first and last row.
inline std::uint32_t marksOf(std::uint64_t any, std::uint64_t top, std::uint64_t bottom)
{
    std::uint32_t m = 0;
    m |= any != 0 ? BoardTiles::kChanged : 0;
    m |= top != 0 ? BoardTiles::kTop : 0;
    m |= bottom != 0 ? BoardTiles::kBottom : 0;
    m |= (any & 1u) ? BoardTiles::kLeft : 0;
    m |= (any >> 63) ? BoardTiles::kRight : 0;
    m |= (top & 1u) ? BoardTiles::kTopLeft : 0;
    m |= (top >> 63) ? BoardTiles::kTopRight : 0;
    m |= (bottom & 1u) ? BoardTiles::kBottomLeft : 0;
    m |= (bottom >> 63) ? BoardTiles::kBottomRight : 0;
    return m;
}

// A tile with gray cells: a cell that is not live and has two live neighbours
// keeps its value, gray or dead. Returns the row's gray cells; `fromCells`
// and `heldCells` say whether any value differs from `from` or from what the
// buffer held (gray cells change without their bits).
inline int writeGrayRow(std::uint64_t next, std::uint64_t keep, const std::uint8_t* from, std::uint8_t* out,
                        int cols, bool& fromCells, bool& heldCells)
{
    int grays = 0;
    for (int i = 0; i < cols; ++i) {
        std::uint8_t v = CellBitmap::kDead;
        if ((next >> i) & 1u)
            v = CellBitmap::kLive;
        else if ((keep >> i) & 1u)
            v = from[i];
        grays += v != CellBitmap::kLive && v != CellBitmap::kDead;
        fromCells |= v != from[i];
        heldCells |= v != out[i];
        out[i] = v;
    }
    return grays;
}

template <class Unit>
TileOutcome stepTile(const Generation& from, Generation& into, std::int64_t tile, bool againstHeld)
{
    using W = typename Unit::Word;
    constexpr int kLanes = Unit::kLanes;
    const std::int64_t wide = from.tiles.wide();
    const std::int64_t s = tile % wide;
    const std::int64_t x0 = s * BoardTiles::kWidth;
    const std::int64_t y0 = tile / wide * BoardTiles::kHeight;
    const std::int64_t stride = from.board->pixelsWide();
    const int cols = static_cast<int>(std::min<std::int64_t>(BoardTiles::kWidth, stride - x0));
    const int rows = static_cast<int>(std::min<std::int64_t>(BoardTiles::kHeight, from.board->pixelsHigh() - y0));
    const W colMask = Unit::broadcast(cols == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << cols) - 1);
    const std::uint64_t* centre = from.live.strip(s);
    const std::uint64_t* west = from.live.strip(s - 1);
    const std::uint64_t* east = from.live.strip(s + 1);
    std::uint64_t* held = into.live.strip(s);
    std::uint8_t* out = into.board->row(y0) + x0;
    const auto t = static_cast<std::size_t>(tile);
    const bool grayFrom = from.tiles.grays[t] != 0;
    const bool grayHeld = into.tiles.grays[t] != 0;

    // Each row's live cells with their left and right neighbours, summed
    // bit by bit into a two-bit count (s0 + 2 s1).
    auto rowSum = [&](std::int64_t y, W& s0, W& s1) {
        const W c = Unit::load(centre + y);
        const W left = (c << 1) | (Unit::load(west + y) >> 63);
        const W right = (c >> 1) | (Unit::load(east + y) << 63);
        const W x = left ^ c;
        s0 = x ^ right;
        s1 = (left & c) | (x & right);
    };

    W changedFrom = Unit::broadcast(0);  // rows' differences from `from`, OR-ed
    W changedHeld = Unit::broadcast(0);  // and from what the buffer held
    std::uint64_t topFrom = 0, topHeld = 0, bottomFrom = 0, bottomHeld = 0;
    bool cellsFrom = false, cellsHeld = false;
    typename Unit::Counter live{};
    int grays = 0;
    for (int r = 0; r < rows; r += kLanes) {
        const std::int64_t y = y0 + r;
        W a0, a1, b0, b1, c0, c1;
        rowSum(y - 1, a0, a1);
        rowSum(y, b0, b1);
        rowSum(y + 1, c0, c1);
        const W self = Unit::load(centre + y);
        // The 3 by 3 count with the cell itself, T = t0 + 2 (k0 + a1 + b1 + c1).
        const W t0 = a0 ^ b0 ^ c0;
        const W k0 = (a0 & b0) | (c0 & (a0 ^ b0));
        const W p = a1 ^ b1;
        const W q = a1 & b1;
        const W u = c1 ^ k0;
        const W v = c1 & k0;
        const W one = (p ^ u) & ~(q | v);             // k0 + a1 + b1 + c1 == 1
        const W two = (p & u) | ((q ^ v) & ~(p | u));  // == 2
        // Live next: T == 3, or T == 4 with the cell live. A cell that is
        // not live keeps its value when T == 2 (two live neighbours).
        W next = ((t0 & one) | (~t0 & two & self)) & colMask;
        const int lanes = std::min(kLanes, rows - r);
        if (lanes < kLanes)
            next &= Unit::rowsMask(lanes);  // below the board
        const W before = Unit::load(held + y);
        Unit::store(held + y, next);
        live = Unit::count(live, next);
        const W fromDiff = next ^ self;
        const W heldDiff = next ^ before;
        changedFrom |= fromDiff;
        changedHeld |= heldDiff;
        if (r == 0) {
            topFrom = Unit::lane(fromDiff, 0);
            topHeld = Unit::lane(heldDiff, 0);
        }
        if (r + kLanes >= rows) {
            bottomFrom = Unit::lane(fromDiff, lanes - 1);
            bottomHeld = Unit::lane(heldDiff, lanes - 1);
        }
        std::uint8_t* rowOut = out + r * stride;
        if (grayFrom) {
            const W keep = ~t0 & one & ~self;
            for (int j = 0; j < lanes; ++j)
                grays += writeGrayRow(Unit::lane(next, j), Unit::lane(keep, j), from.board->row(y + j) + x0,
                                      rowOut + j * stride, cols, cellsFrom, cellsHeld);
        } else {
            // Only the rows that differ from what the buffer holds are written
            // (all of them over gray cells, whose bits say nothing of them).
            const unsigned write = grayHeld ? (1u << lanes) - 1 : Unit::changedLanes(heldDiff);
            if (write != 0)
                Unit::writeRows(next, write, rowOut, stride, cols);
        }
    }

    const std::uint64_t anyFrom = Unit::orLanes(changedFrom);
    const std::uint64_t anyHeld = Unit::orLanes(changedHeld);
    TileOutcome outcome;
    outcome.live = static_cast<std::uint16_t>(Unit::total(live));
    outcome.grays = static_cast<std::uint16_t>(grays);
    const std::uint32_t first = marksOf(anyFrom, topFrom, bottomFrom) | (cellsFrom ? BoardTiles::kChanged : 0u);
    const std::uint32_t second = againstHeld && !grayHeld
                                     ? marksOf(anyHeld, topHeld, bottomHeld) | (cellsHeld ? BoardTiles::kChanged : 0u)
                                     : BoardTiles::kAllMarks;
    outcome.marks = first | (second << BoardTiles::kSecondShift);
    return outcome;
}

template <class Unit>
void scanBoard(const CellBitmap& board, LiveBits& live, BoardTiles& tiles)
{
    const std::int64_t width = board.pixelsWide();
    std::int64_t population = 0;
    for (std::int64_t y = 0; y < board.pixelsHigh(); ++y) {
        const std::uint8_t* row = board.row(y);
        const std::int64_t tileRow = y / BoardTiles::kHeight * tiles.wide();
        for (std::int64_t s = 0; s < live.strips(); ++s) {
            const int cols = static_cast<int>(std::min<std::int64_t>(64, width - s * 64));
            int grays = 0;
            const std::uint64_t bits = Unit::scan(row + s * 64, cols, grays);
            live.strip(s)[y] = bits;
            const auto t = static_cast<std::size_t>(tileRow + s);
            const int n = __builtin_popcountll(bits);
            tiles.live[t] = static_cast<std::uint16_t>(tiles.live[t] + n);
            tiles.grays[t] = static_cast<std::uint16_t>(tiles.grays[t] + grays);
            population += n;
        }
    }
    tiles.population = population;
}

}  // namespace
