#pragma once

// Small helpers for building boards in tests.

#include "CellBitmap.h"

#include <initializer_list>
#include <random>
#include <utility>

namespace boards {

// A board of dead cells with the listed (x, y) cells live.
inline std::unique_ptr<CellBitmap> withLive(std::int64_t w, std::int64_t h,
                                            std::initializer_list<std::pair<int, int>> live)
{
    auto b = CellBitmap::create(w, h);
    for (auto [x, y] : live)
        b->setPixel(x, y, CellBitmap::kLive);
    return b;
}

// A repeatable board: about 40% live, the rest dead except, when `grays`,
// about one cell in ten of a random gray level.
inline std::unique_ptr<CellBitmap> seeded(std::int64_t w, std::int64_t h, unsigned seed, bool grays = true)
{
    auto b = CellBitmap::create(w, h);
    std::mt19937 rng(seed);
    for (std::uint8_t* cell = b->data(); cell != b->data() + b->cellCount(); ++cell) {
        const unsigned r = rng() % 10;
        *cell = r < 4 ? 0 : 255;
        if (grays && r == 9)
            *cell = static_cast<std::uint8_t>(1 + rng() % 254);
    }
    return b;
}

// A board of w by h dead cells with a pattern drawn at (x, y): one string a
// row, 'O' live, any other character dead.
inline std::unique_ptr<CellBitmap> drawn(std::int64_t w, std::int64_t h, int x, int y,
                                         std::initializer_list<const char*> rows)
{
    auto b = CellBitmap::create(w, h);
    int dy = 0;
    for (const char* row : rows) {
        for (int dx = 0; row[dx]; ++dx) {
            if (row[dx] == 'O')
                b->setPixel(x + dx, y + dy, CellBitmap::kLive);
        }
        ++dy;
    }
    return b;
}

}  // namespace boards
