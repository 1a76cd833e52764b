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
};

// The life rule on one tile, worked out on 64 cells at a time from the live
// bits: the neighbour counts are added as bits. Cells are written only in
// tiles with gray cells; the others are made from the bits when they are
// read (writeBand). Chooses at run time the
// widest vector unit the processor has: 64 cells a word in plain C++, 256
// with AVX2, 512 with AVX-512 (counting bits in one instruction where the
// processor can).
class TileKernel {
public:
    // Avx512Popcount: AVX-512 that counts bits in one instruction (VPOPCNTDQ).
    enum class Unit { Plain, Avx2, Avx512, Avx512Popcount };

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
    // Writes the cells of band `band` (a row of tiles) of `cells` from the
    // live bits of `g`, in the tiles without gray cells.
    static void writeBand(const Generation& g, CellBitmap& cells, std::int64_t band);

    // The live bits of a board's cells, and each tile's live and gray counts
    // and the population (the bits and counts start at zero). The memory of
    // each band of rows without gray cells goes back to the system as soon
    // as it is read (CellBitmap::release): the board is to be made from the
    // bits from then on.
    static void scan(CellBitmap& board, LiveBits& live, BoardTiles& tiles);

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
    static void scanAvx2(CellBitmap& board, LiveBits& live, BoardTiles& tiles);
    static void writeBandAvx2(const Generation& g, CellBitmap& cells, std::int64_t band);
    static TileOutcome stepAvx512(const Generation& from, Generation& into, std::int64_t tile, Against against);
    static void scanAvx512(CellBitmap& board, LiveBits& live, BoardTiles& tiles);
    static TileOutcome stepAvx512Popcount(const Generation& from, Generation& into, std::int64_t tile,
                                          Against against);
    static void writeBandAvx512(const Generation& g, CellBitmap& cells, std::int64_t band);
};
