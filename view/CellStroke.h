#pragma once

#include "BoardViewport.h"

#include <cstdint>
#include <optional>
#include <vector>

class CellBitmap;

// One cell's change: where, and its value before and after.
struct CellChange {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::uint8_t before = 0;
    std::uint8_t after = 0;
};

// A stroke of the mouse in pattern-editing mode. The press toggles its cell
// (a live cell becomes dead, any other value live), and that new value is
// the stroke's: every cell the pointer then crosses takes it. The mouse
// reports the pointer only now and then, so the cells on the straight line
// between two reports are taken too (each touching the one before at least
// by a corner): a fast move leaves no gaps.
class CellStroke {
public:
    // Starts a stroke at `cell`; the change of that cell.
    CellChange begin(const CellBitmap& board, Cell cell);
    // The pointer is over `cell` (none: off the board, which lifts the
    // stroke until the pointer comes back). The changes of the cells from
    // the last one to this one; cells that already have the stroke's value
    // are left out.
    std::vector<CellChange> moveTo(const CellBitmap& board, std::optional<Cell> cell);
    void end() { active_ = false; }
    bool active() const { return active_; }

private:
    bool active_ = false;
    std::uint8_t value_ = 0;
    std::optional<Cell> last_;
};
