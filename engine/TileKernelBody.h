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
// first and last row. `last` is the tile's last column (63 but at the right
// edge of a board whose width is not a multiple of 64).
inline std::uint32_t marksOf(std::uint64_t any, std::uint64_t top, std::uint64_t bottom, int last)
{
    std::uint32_t m = 0;
    m |= any != 0 ? BoardTiles::kChanged : 0;
    m |= top != 0 ? BoardTiles::kTop : 0;
    m |= bottom != 0 ? BoardTiles::kBottom : 0;
    m |= (any & 1u) ? BoardTiles::kLeft : 0;
    m |= ((any >> last) & 1u) ? BoardTiles::kRight : 0;
    m |= (top & 1u) ? BoardTiles::kTopLeft : 0;
    m |= ((top >> last) & 1u) ? BoardTiles::kTopRight : 0;
    m |= (bottom & 1u) ? BoardTiles::kBottomLeft : 0;
    m |= ((bottom >> last) & 1u) ? BoardTiles::kBottomRight : 0;
    return m;
}

// The rule on words of cells, from the 3 by 3 count T of live cells with the
// cell itself: T = t0 + 2 m, where m = p + u + 2 (q + v) (see stepTile).

// B3/S23, the rule most boards run, in the fewest operations.
struct LifeCounts {
    template <class W>
    W next(W t0, W p, W q, W u, W v, W self) const
    {
        const W one = (p ^ u) & ~(q | v);             // m == 1
        const W two = (p & u) | ((q ^ v) & ~(p | u));  // m == 2
        // Live next: T == 3, or T == 4 with the cell live.
        return (t0 & one) | (~t0 & two & self);
    }
    // The cells that are not live and keep their value: T == 2.
    template <class W>
    W keep(W t0, W p, W q, W u, W v, W self) const
    {
        return ~t0 & (p ^ u) & ~(q | v) & ~self;
    }
};

// Any birth and survival sets. T is worked out in binary (t0, its bits 1 to
// 3), and the rule is a tree of selections on those bits. Each pair of
// leaves (T = 2j and 2j + 1) is selected on t0 straight from constants of
// the rule and the cell itself: leaf T is born(T) for a cell that is not
// live, survives(T - 1) for a live one.
template <class W>
struct AnyCounts {
    // For each pair j: the leaf T = 2j for a cell that is not live, what a
    // live cell changes in it, and both again for T = 2j + 1, as differences.
    W even[5], evenLive[5], odd[5], oddLive[5];
    W kept[10];  // T in the survival set and not in the birth set

    template <class Unit>
    static AnyCounts make(const LifeLikeRule& rule)
    {
        const auto all = [](bool b) { return Unit::broadcast(b ? ~std::uint64_t{0} : 0); };
        const auto born = [&](int t) { return t < 9 && ((rule.birth >> t) & 1u); };
        const auto lives = [&](int t) { return t > 0 ? ((rule.survival >> (t - 1)) & 1u) != 0 : born(t); };
        AnyCounts a;
        for (int j = 0; j < 5; ++j) {
            const int t = 2 * j;
            a.even[j] = all(born(t));
            a.evenLive[j] = all(born(t) != lives(t));
            a.odd[j] = all(born(t) != born(t + 1));
            a.oddLive[j] = all((born(t) != lives(t)) != (born(t + 1) != lives(t + 1)));
        }
        for (int t = 0; t < 10; ++t)
            a.kept[t] = all(t < 9 && ((rule.survival >> t) & 1u) && !born(t));
        return a;
    }

    // The tree above the pairs: on T's bits 1, 2 and 3 (T >= 8 has bits 1
    // and 2 clear).
    static W pick(const W* x, W p, W q, W u, W v)
    {
        const W t1 = p ^ u;
        const W t2 = q ^ v ^ (p & u);
        const W t3 = q & v;
        const W y0 = x[0] ^ (t1 & (x[0] ^ x[1]));
        const W y1 = x[2] ^ (t1 & (x[2] ^ x[3]));
        return y0 ^ (t2 & (y0 ^ y1)) ^ (t3 & (y0 ^ x[4]));
    }

    W next(W t0, W p, W q, W u, W v, W self) const
    {
        W x[5];
        for (int j = 0; j < 5; ++j)
            x[j] = even[j] ^ (self & evenLive[j]) ^ (t0 & (odd[j] ^ (self & oddLive[j])));
        return pick(x, p, q, u, v);
    }
    W keep(W t0, W p, W q, W u, W v, W self) const
    {
        W x[5];
        for (int j = 0; j < 5; ++j)
            x[j] = kept[2 * j] ^ (t0 & (kept[2 * j] ^ kept[2 * j + 1]));
        return pick(x, p, q, u, v) & ~self;
    }
};

// A tile with gray cells: a cell that is not live and has two live neighbours
// keeps its value, gray or dead. Returns the row's gray cells; `changed`
// says whether any value differs from what the buffer held (its cells where
// it held gray cells, else its live bits `held`), or from `from` (gray cells
// change without their bits).
inline int writeGrayRow(std::uint64_t next, std::uint64_t keep, const std::uint8_t* from, std::uint8_t* out,
                        int cols, bool againstHeld, bool grayHeld, std::uint64_t held, bool& changed)
{
    int grays = 0;
    for (int i = 0; i < cols; ++i) {
        std::uint8_t v = CellBitmap::kDead;
        if ((next >> i) & 1u)
            v = CellBitmap::kLive;
        else if ((keep >> i) & 1u)
            v = from[i];
        grays += v != CellBitmap::kLive && v != CellBitmap::kDead;
        const std::uint8_t was = !againstHeld ? from[i]
                                 : grayHeld   ? out[i]
                                              : ((held >> i) & 1u ? CellBitmap::kLive : CellBitmap::kDead);
        changed |= v != was;
        out[i] = v;
    }
    return grays;
}

// `kWhole`: a tile of 64 by 64 cells inside the board, whose generation
// has no gray cells, for which the masks and tests of the others fall away.
template <class Unit, bool kWhole, class Counts>
TileOutcome stepTileWith(const Generation& from, Generation& into, std::int64_t tile, TileKernel::Against against,
                         const Counts ruleShared)
{
    // The rule's constants in registers rather than read again after each store.
    const Counts rule = ruleShared;
    using W = typename Unit::Word;
    constexpr int kLanes = Unit::kLanes;
    const std::int64_t wide = from.tiles.wide();
    const std::int64_t s = tile % wide;
    const std::int64_t x0 = s * BoardTiles::kWidth;
    const std::int64_t y0 = tile / wide * BoardTiles::kHeight;
    const std::int64_t stride = from.board->pixelsWide();
    const int cols =
        kWhole ? 64 : static_cast<int>(std::min<std::int64_t>(BoardTiles::kWidth, stride - x0));
    const int rows =
        kWhole ? 64 : static_cast<int>(std::min<std::int64_t>(BoardTiles::kHeight, from.board->pixelsHigh() - y0));
    const W colMask = Unit::broadcast(cols == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << cols) - 1);
    const std::uint64_t* centre = from.live.strip(s);
    const std::uint64_t* west = from.live.strip(s - 1);
    const std::uint64_t* east = from.live.strip(s + 1);
    std::uint64_t* held = into.live.strip(s);
    std::uint8_t* out = into.board->rawRow(y0) + x0;
    const auto t = static_cast<std::size_t>(tile);
    const bool grayFrom = !kWhole && from.tiles.grays[t] != 0;
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

    // The rows' differences from what the marks are taken against, OR-ed.
    const bool againstHeld = against == TileKernel::Against::Held;
    W changed = Unit::broadcast(0);
    std::uint64_t top = 0, bottom = 0;
    bool cells = false;
    typename Unit::Counter live{};
    int grays = 0;
    // Each row's sum is worked out once; the rows above and below a group of
    // rows are its neighbours' sums moved by one row.
    W before0, before1, here0, here1, after0, after1;
    rowSum(y0 - kLanes, before0, before1);
    rowSum(y0, here0, here1);
#pragma GCC unroll 8
    for (int r = 0; r < rows; r += kLanes, before0 = here0, before1 = here1, here0 = after0, here1 = after1) {
        const std::int64_t y = y0 + r;
        rowSum(y + kLanes, after0, after1);
        const W a0 = Unit::rowAbove(before0, here0);
        const W a1 = Unit::rowAbove(before1, here1);
        const W b0 = here0;
        const W b1 = here1;
        const W c0 = Unit::rowBelow(here0, after0);
        const W c1 = Unit::rowBelow(here1, after1);
        // Beyond the board's last column and row the words may hold the
        // cells a torus wraps around to; they are no part of the tile.
        W self = Unit::load(centre + y) & colMask;
        // The 3 by 3 count with the cell itself, T = t0 + 2 (k0 + a1 + b1 + c1)
        // = t0 + 2 (p + u + 2 (q + v)).
        const W t0 = a0 ^ b0 ^ c0;
        const W k0 = (a0 & b0) | (c0 & (a0 ^ b0));
        const W p = a1 ^ b1;
        const W q = a1 & b1;
        const W u = c1 ^ k0;
        const W v = c1 & k0;
        W next = rule.next(t0, p, q, u, v, self) & colMask;
        W before = Unit::load(held + y) & colMask;
        const int lanes = std::min(kLanes, rows - r);
        if (lanes < kLanes) {  // below the board
            next &= Unit::rowsMask(lanes);
            self &= Unit::rowsMask(lanes);
            before &= Unit::rowsMask(lanes);
        }
        Unit::store(held + y, next);
        live = Unit::count(live, next);
        const W heldDiff = next ^ before;
        const W diff = againstHeld ? heldDiff : next ^ self;
        changed |= diff;
        if (r == 0)
            top = Unit::lane(diff, 0);
        if (r + kLanes >= rows)
            bottom = Unit::lane(diff, lanes - 1);
        std::uint8_t* rowOut = out + r * stride;
        if (grayFrom) {
            // A cell that is not live and whose count survives but is not
            // born keeps its value.
            const W keep = rule.keep(t0, p, q, u, v, self);
            for (int j = 0; j < lanes; ++j)
                grays += writeGrayRow(Unit::lane(next, j), Unit::lane(keep, j), from.board->rawRow(y + j) + x0,
                                      rowOut + j * stride, cols, againstHeld, grayHeld, Unit::lane(before, j), cells);
        }
    }

    const std::uint64_t any = Unit::orLanes(changed);
    TileOutcome outcome;
    outcome.live = static_cast<std::uint16_t>(Unit::total(live));
    outcome.grays = static_cast<std::uint16_t>(grays);
    // Against what the buffer held, its gray cells are not in the bits.
    const bool known = against == TileKernel::Against::From || (againstHeld && !grayHeld);
    outcome.marks =
        known ? marksOf(any, top, bottom, cols - 1) | (cells ? BoardTiles::kChanged : 0u) : BoardTiles::kAllMarks;
    return outcome;
}

template <class Unit, class Counts>
TileOutcome stepTileOf(const Generation& from, Generation& into, std::int64_t tile, TileKernel::Against against,
                       const Counts& rule)
{
    const std::int64_t wide = from.tiles.wide();
    const bool whole = from.tiles.grays[static_cast<std::size_t>(tile)] == 0 &&
                       (tile % wide + 1) * BoardTiles::kWidth <= from.board->pixelsWide() &&
                       (tile / wide + 1) * BoardTiles::kHeight <= from.board->pixelsHigh();
    return whole ? stepTileWith<Unit, true>(from, into, tile, against, rule)
                 : stepTileWith<Unit, false>(from, into, tile, against, rule);
}

template <class Unit>
TileOutcome stepTile(const Generation& from, Generation& into, std::int64_t tile, TileKernel::Against against)
{
    if (from.rule.isLife())
        return stepTileOf<Unit>(from, into, tile, against, LifeCounts{});
    // The rule's constants, made once for each rule a thread meets.
    thread_local LifeLikeRule made = LifeLikeRule::life();
    thread_local AnyCounts<typename Unit::Word> counts;
    if (made != from.rule) {
        counts = AnyCounts<typename Unit::Word>::template make<Unit>(from.rule);
        made = from.rule;
    }
    return stepTileOf<Unit>(from, into, tile, against, counts);
}

// The cells of one band of rows (a row of tiles) from the live bits, in the
// tiles without gray cells (those of tiles with gray cells are written as
// they are computed).
template <class Unit>
void writeBandCells(const Generation& g, CellBitmap& cells, std::int64_t band)
{
    const std::int64_t wide = g.tiles.wide();
    const std::int64_t width = cells.pixelsWide();
    const std::int64_t y0 = band * BoardTiles::kHeight;
    const int rows = static_cast<int>(std::min<std::int64_t>(BoardTiles::kHeight, cells.pixelsHigh() - y0));
    for (int r = 0; r < rows; ++r) {
        std::uint8_t* out = cells.rawRow(y0 + r);
        for (std::int64_t s = 0; s < wide; ++s) {
            if (g.tiles.grays[static_cast<std::size_t>(band * wide + s)] != 0)
                continue;
            const int cols = static_cast<int>(std::min<std::int64_t>(BoardTiles::kWidth, width - s * BoardTiles::kWidth));
            Unit::expand(g.live.strip(s)[y0 + r], out + s * BoardTiles::kWidth, cols);
        }
    }
}

template <class Unit>
void scanBoard(CellBitmap& board, LiveBits& live, BoardTiles& tiles)
{
    const std::int64_t width = board.pixelsWide();
    std::int64_t population = 0;
    std::int64_t grayCells = 0;
    std::int64_t bandGrays = 0;
    for (std::int64_t y = 0; y < board.pixelsHigh(); ++y) {
        if (y % BoardTiles::kHeight == 0 && y > 0) {
            if (bandGrays == grayCells)
                board.release(y / BoardTiles::kHeight - 1);
            bandGrays = grayCells;
        }
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
            grayCells += grays;
        }
    }
    if (bandGrays == grayCells)
        board.release((board.pixelsHigh() - 1) / BoardTiles::kHeight);
    tiles.population = population;
    tiles.grayCells = grayCells;
}

}  // namespace
