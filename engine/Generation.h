#pragma once

#include "BoardTiles.h"
#include "CellBitmap.h"
#include "LifeLikeRule.h"
#include "LiveBits.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// One generation of the board as the engine keeps it: the live bits, the
// tiles' bookkeeping and the cells, of which a computed generation writes
// only the tiles with gray cells: the others are made from the bits as they
// are first read (a band of rows at a time, see CellSource), so that a
// generation nobody looks at costs its bits alone. Once published it is
// never changed, but in place by an edit when no one else holds it (making
// cells on demand changes nothing anyone can see).
struct Generation : CellSource {
    std::unique_ptr<CellBitmap> board;
    LiveBits live;
    BoardTiles tiles;
    // The rule and world the next generation is computed under.
    LifeLikeRule rule;
    // The publication that holds these cells; 0 when they are not known to
    // be one (a generation thrown away half-computed).
    std::uint64_t serial = 0;
    // The publication this generation was computed from (0: none): when the
    // buffer the next generation goes into still holds those cells, only the
    // tiles that can change need computing.
    std::uint64_t base = 0;
    // Generations computed since the board was installed.
    std::uint64_t number = 0;
    // Every cell dead, as made: a board just installed computes into it only
    // the tiles its cells can change.
    bool dead = false;

    // What a run holds at most at once: the current generation, the one it
    // computes and the spare one two back.
    static constexpr int kPerRun = 3;

    // The bytes a generation of width by height cells takes: its cells, its
    // live bits (a board one cell wide or high pays for whole strips and
    // tiles of bits) and its tiles' bookkeeping.
    static std::uint64_t bytesFor(std::int64_t width, std::int64_t height);
    // Empty when a run on a board of this size fits in `memory` bytes,
    // otherwise the sentence that says how much it needs (0: the memory was
    // asked for and could not be had).
    static std::string memoryProblem(std::int64_t width, std::int64_t height, std::uint64_t memory);
    // What a run may hope to have: the machine's memory, or the process's
    // limit on its address space where that is lower.
    static std::uint64_t memoryLimit();

    // A generation of dead cells. Null when the size does not fit or the
    // memory cannot be had.
    static std::unique_ptr<Generation> blank(std::int64_t width, std::int64_t height);
    // A board installed as it is: its cells counted and its tiles marked as
    // installed (BoardTiles::markInstalled). Null when `board` is null or the
    // memory cannot be had.
    static std::unique_ptr<Generation> of(std::unique_ptr<CellBitmap> board,
                                          const LifeLikeRule& rule = LifeLikeRule::life());
    // An independent copy; null when the memory cannot be had.
    std::unique_ptr<Generation> copy() const;

    // Sets the cells and keeps the counts and marks right. Cells outside the
    // board are left out; returns how many were inside.
    std::size_t apply(std::span<const CellEdit> edits);
    // Sets the cells of a rectangle inside the board to `cells` (row by row,
    // `width` a row), keeping the counts and marks right a word of cells at
    // a time; returns whether any cell changed.
    bool applyBlock(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height,
                    const std::uint8_t* cells);
    // The live bits around the board, for its world (LiveBits::setEdges).
    void setEdges() { live.setEdges(board->pixelsWide(), board->pixelsHigh(), rule.world == World::Torus); }
    bool covers(std::span<const CellEdit> edits) const;

    // The cells of a band of rows from the bits, in the tiles without gray cells.
    void writeBand(CellBitmap& cells, std::int64_t band) const override;
};
