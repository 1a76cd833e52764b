#pragma once

#include <cstdint>

class CellBitmap;
class LiveBits;
struct BoardTiles;
struct Generation;

// What computing one tile gave: its counts and its marks (both sets).
struct TileOutcome {
    std::uint16_t live = 0;
    std::uint16_t grays = 0;
    std::uint32_t marks = 0;
};

// The life rule on one tile, worked out on 64 cells at a time from the live
// bits: the neighbour counts are added as bits, and the cells are written
// only in the rows where the new generation differs from what the buffer
// already holds. Chooses at run time the widest vector unit the processor has.
class TileKernel {
public:
    // Computes tile `tile` of the generation after `from` into `into` (a
    // generation of the same size): its live bits, its cells and its
    // outcome. The first set of marks is against `from`; the second against
    // what `into` held, which is to be the generation `from` was computed
    // from when `againstHeld`: otherwise every second mark is set.
    static TileOutcome step(const Generation& from, Generation& into, std::int64_t tile, bool againstHeld);

    // The live bits of a board's cells, and each tile's live and gray counts
    // and the population (the bits and counts start at zero).
    static void scan(const CellBitmap& board, LiveBits& live, BoardTiles& tiles);

    // Whether this processor runs the wide (AVX2) kernel.
    static bool usesWideUnit();

private:
    static TileOutcome stepAvx2(const Generation& from, Generation& into, std::int64_t tile, bool againstHeld);
    static void scanAvx2(const CellBitmap& board, LiveBits& live, BoardTiles& tiles);
};
