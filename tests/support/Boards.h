#pragma once

// Small helpers for building boards in tests.

#include "CellBitmap.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <random>
#include <utility>

namespace boards {

// A board of dead cells with the listed (x, y) cells live.
inline std::unique_ptr<CellBitmap> withLive(std::int64_t w, std::int64_t h,
                                            std::initializer_list<std::pair<int, int>> live)
{
    auto b = CellBitmap::create(w, h);
    for (auto [x, y] : live)
        b->setPixel(x, y, 0);
    return b;
}

// A repeatable board: mostly 0 and 255, with some gray cells when `grays`.
inline std::unique_ptr<CellBitmap> seeded(std::int64_t w, std::int64_t h, unsigned seed, bool grays = true)
{
    auto b = CellBitmap::create(w, h);
    std::mt19937 rng(seed);
    for (std::int64_t y = 0; y < h; ++y) {
        for (std::int64_t x = 0; x < w; ++x) {
            const unsigned r = rng() % 10;
            std::uint8_t v = r < 4 ? 0 : 255;
            if (grays && r == 9)
                v = static_cast<std::uint8_t>(1 + rng() % 254);
            b->setPixel(x, y, v);
        }
    }
    return b;
}

}  // namespace boards
