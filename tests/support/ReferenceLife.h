#pragma once

// A Life-like rule done the plain way, cell by cell: every neighbour read
// through the per-cell accessor with a bounds test (or, on a torus, taken
// across the opposite edge), a change list of (value, x, y) for every cell,
// written back once the whole board has been examined. It is the yardstick
// the fast kernel is checked and measured against.

#include "CellBitmap.h"
#include "LifeLikeRule.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace reference {

struct Change {
    std::intptr_t value;
    std::int32_t x;
    std::int32_t y;
};

inline void step(CellBitmap& board, const LifeLikeRule& rule = LifeLikeRule::life())
{
    const bool torus = rule.world == World::Torus;
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
                    auto nx = x + dx;
                    auto ny = y + dy;
                    if (torus) {
                        nx = (nx + w) % w;
                        ny = (ny + h) % h;
                    }
                    if (nx < 0 || nx >= w || ny < 0 || ny >= h)
                        continue;
                    if (board.getPixel(nx, ny) == 0)
                        ++n;
                }
            }
            const std::uint8_t self = board.getPixel(x, y);
            std::intptr_t value = 255;
            if (self == 0 ? (rule.survival >> n) & 1u : (rule.birth >> n) & 1u)
                value = 0;
            else if (self != 0 && ((rule.survival >> n) & 1u))
                value = self;
            changes.push_back({value, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
        }
    }
    for (const auto& c : changes)
        board.setPixel(c.x, c.y, static_cast<std::uint8_t>(c.value));
}

// The board and the `count` generations that follow it: element g is the
// board after g generations.
inline std::vector<std::unique_ptr<CellBitmap>> history(const CellBitmap& board, int count,
                                                         const LifeLikeRule& rule = LifeLikeRule::life())
{
    std::vector<std::unique_ptr<CellBitmap>> out;
    out.push_back(board.copy());
    for (int g = 0; g < count; ++g) {
        auto next = out.back()->copy();
        step(*next, rule);
        out.push_back(std::move(next));
    }
    return out;
}

}  // namespace reference
