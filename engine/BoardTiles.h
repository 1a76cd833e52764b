#pragma once

#include <cstdint>
#include <vector>

// The board cut into tiles of kWidth by kHeight cells (64 by 64: measured
// against 8, 16 and 32 rows, the per-tile costs outweigh the cells that
// smaller tiles save), and what the engine
// keeps about each tile between generations: how many of its cells are live
// and how many gray, and marks that say where its cells changed, so that the
// next generation computes only the tiles that can change.
//
// A tile's next cells follow from its own cells and the ring of cells around
// it. Its marks say where it changed against the generation whose buffer the
// next one will be computed into (see GenerationStep): at all, and in its top
// or bottom row, its left or right column or one of its corners, each of
// which lies in the ring of one neighbouring tile.
struct BoardTiles {
    static constexpr std::int64_t kWidth = 64;  // one 64-bit word of live bits per row
    static constexpr std::int64_t kHeight = 64;

    static constexpr std::uint32_t kChanged = 1;
    static constexpr std::uint32_t kTop = 2;
    static constexpr std::uint32_t kBottom = 4;
    static constexpr std::uint32_t kLeft = 8;
    static constexpr std::uint32_t kRight = 16;
    static constexpr std::uint32_t kTopLeft = 32;
    static constexpr std::uint32_t kTopRight = 64;
    static constexpr std::uint32_t kBottomLeft = 128;
    static constexpr std::uint32_t kBottomRight = 256;
    static constexpr std::uint32_t kAllMarks = 511;
    // Set by an edit: the tile's cells no longer follow from the generation
    // before, so the next generation cannot take it as a repeat.
    static constexpr std::uint32_t kEdited = 1u << 9;

    BoardTiles() = default;
    BoardTiles(std::int64_t boardWidth, std::int64_t boardHeight);

    std::int64_t wide() const { return wide_; }
    std::int64_t high() const { return high_; }
    std::int64_t count() const { return wide_ * high_; }
    std::int64_t tileOf(std::int64_t x, std::int64_t y) const { return (y / kHeight) * wide_ + x / kWidth; }

    // The marks a change of cell (x, y) gives its tile on a board of width
    // by height cells (its last column and row are edges too, which a torus
    // joins to the first).
    static std::uint32_t marksOfCell(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height);

    // Adds marks to a tile.
    void mark(std::int64_t tile, std::uint32_t marks);
    // A board just installed, with no generation before it: every tile with
    // live or gray cells is marked as changed everywhere, so that the next
    // generation computes those and their neighbours (into a buffer of dead
    // cells, which is what the others stay), or else every tile.
    void markInstalled();
    // No marks at all; or, when every tile's marks are about to be written
    // (`rewritten`), no list of them.
    void clearMarks(bool rewritten = false);

    std::vector<std::uint16_t> live;   // live cells per tile
    std::vector<std::uint16_t> grays;  // cells neither live nor dead (255)
    std::vector<std::uint32_t> marks;
    std::vector<std::uint32_t> marked;  // the tiles with marks, when `listed`
    bool listed = true;
    bool installed = false;  // marked by markInstalled()
    std::int64_t population = 0;  // live cells on the whole board
    std::int64_t grayCells = 0;   // gray cells on the whole board

private:
    std::int64_t wide_ = 0;
    std::int64_t high_ = 0;
};
