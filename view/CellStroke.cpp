#include "CellStroke.h"

#include "CellBitmap.h"

#include <cstdlib>

CellChange CellStroke::begin(const CellBitmap& board, Cell cell)
{
    const std::uint8_t before = board.getPixel(cell.x, cell.y);
    value_ = before == CellBitmap::kLive ? CellBitmap::kDead : CellBitmap::kLive;
    active_ = true;
    last_ = cell;
    return {cell.x, cell.y, before, value_};
}

std::vector<CellChange> CellStroke::moveTo(const CellBitmap& board, std::optional<Cell> cell)
{
    std::vector<CellChange> changes;
    if (!active_ || !cell || !board.contains(cell->x, cell->y)) {
        last_.reset();
        return changes;
    }
    const Cell to = *cell;
    Cell at = last_.value_or(to);
    last_ = to;
    auto take = [&](Cell c) {
        const std::uint8_t before = board.getPixel(c.x, c.y);
        if (before != value_)
            changes.push_back({c.x, c.y, before, value_});
    };
    if (at == to) {
        take(to);
        return changes;
    }
    // Bresenham's line from the last cell (done already) to this one.
    const std::int64_t dx = std::llabs(to.x - at.x);
    const std::int64_t dy = -std::llabs(to.y - at.y);
    const std::int64_t sx = at.x < to.x ? 1 : -1;
    const std::int64_t sy = at.y < to.y ? 1 : -1;
    std::int64_t error = dx + dy;
    while (at != to) {
        const std::int64_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            at.y += sy;
        }
        take(at);
    }
    return changes;
}
