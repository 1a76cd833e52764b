#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CellBitmap;
class LiveBits;
struct BoardTiles;
struct Generation;

// What computing one tile gave: its counts and its marks (both sets).
struct TileOutcome {
    std::uint16_t live = 0;
    std::uint16_t grays = 0;
    std::uint32_t marks = 0;
    // The rows (bit r: the tile's row r) whose cells are still to be written
    // from the new live bits (TileKernel::writeCells).
    std::uint64_t rowsToWrite = 0;
};

// The life rule on one tile, worked out on 64 cells at a time from the live
// bits: the neighbour counts are added as bits, and the cells are written
// only in the rows where the new generation differs from what the buffer
// already holds. The cells are written in a second pass over a batch of
// tiles, row by row across the batch, so that a board's rows are written
// front to back rather than in pieces a row apart. Chooses at run time the
// widest vector unit the processor has: 64 cells a word in plain C++, 256
// with AVX2, 512 with AVX-512.
class TileKernel {
public:
    enum class Unit { Plain, Avx2, Avx512 };

    // What the marks of a computed tile are taken against.
    enum class Against {
        Held,     // what `into` held: the generation `from` was computed from
        From,     // `from` itself
        Nothing,  // every mark set (an edited tile)
    };

    // Computes tile `tile` of the generation after `from` into `into` (a
    // generation of the same size): its live bits and its outcome.
    static TileOutcome step(const Generation& from, Generation& into, std::int64_t tile, Against against);
    // Asks the processor for the live bits a later step() of `tile` reads:
    // the strips of a row of tiles lie far apart, beyond what the processor
    // foresees by itself.
    static void prefetch(const Generation& from, const Generation& into, std::int64_t tile);
    // Writes the cells of the rows each outcome asks for, from the tiles'
    // new live bits in `into`.
    static void writeCells(Generation& into, const std::uint32_t* tiles, const TileOutcome* outcomes,
                           std::size_t count);

    // The live bits of a board's cells, and each tile's live and gray counts
    // and the population (the bits and counts start at zero).
    static void scan(const CellBitmap& board, LiveBits& live, BoardTiles& tiles);

    // The units this processor runs, plain first; the one in use (the
    // widest unless told otherwise) and its name.
    static std::vector<Unit> units();
    static Unit unit();
    static const char* name(Unit unit);
    // Runs every later step on `unit`, which must be one of units(): for
    // comparing the units with one another.
    static void use(Unit unit);

private:
    static TileOutcome stepAvx2(const Generation& from, Generation& into, std::int64_t tile, Against against);
    static void scanAvx2(const CellBitmap& board, LiveBits& live, BoardTiles& tiles);
    static void writeCellsAvx2(Generation& into, const std::uint32_t* tiles, const TileOutcome* outcomes,
                               std::size_t count);
    static TileOutcome stepAvx512(const Generation& from, Generation& into, std::int64_t tile, Against against);
    static void scanAvx512(const CellBitmap& board, LiveBits& live, BoardTiles& tiles);
    static void writeCellsAvx512(Generation& into, const std::uint32_t* tiles, const TileOutcome* outcomes,
                                 std::size_t count);
};
