#pragma once

// The life rule done the plain way, cell by cell: every neighbour read through
// the per-cell accessor with a bounds test, a change list of (value, x, y)
// for every cell, written back once the whole board has been examined. It is
// the yardstick the fast kernel is checked and measured against.

#include "CellBitmap.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace reference {

struct Change {
    std::intptr_t value;
    std::int32_t x;
    std::int32_t y;
};

inline void step(CellBitmap& board)
{
    const auto w = board.pixelsWide();
    const auto h = board.pixelsHigh();
    std::vector<Change> changes;
    for (std::int64_t x = 0; x < w; ++x) {
        for (std::int64_t y = 0; y < h; ++y) {
            int n = 0;
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    if (dx == 0 && dy == 0)
                        continue;
                    const auto nx = x + dx;
                    const auto ny = y + dy;
                    if (nx < 0 || nx >= w || ny < 0 || ny >= h)
                        continue;
                    if (board.getPixel(nx, ny) == 0)
                        ++n;
                }
            }
            std::intptr_t value = 255;
            if (n == 3)
                value = 0;
            else if (n == 2)
                value = board.getPixel(x, y);
            changes.push_back({value, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
        }
    }
    for (const auto& c : changes)
        board.setPixel(c.x, c.y, static_cast<std::uint8_t>(c.value));
}

// The board and the `count` generations that follow it: element g is the
// board after g generations.
inline std::vector<std::unique_ptr<CellBitmap>> history(const CellBitmap& board, int count)
{
    std::vector<std::unique_ptr<CellBitmap>> out;
    out.push_back(board.copy());
    for (int g = 0; g < count; ++g) {
        auto next = out.back()->copy();
        step(*next);
        out.push_back(std::move(next));
    }
    return out;
}

}  // namespace reference
