#include "Boards.h"
#include "CellBitmap.h"
#include "LifeRule.h"
#include "ReferenceLife.h"

#include <gtest/gtest.h>

using boards::withLive;

namespace {

std::unique_ptr<CellBitmap> next(const CellBitmap& board, unsigned threads = 1)
{
    auto out = CellBitmap::create(board.pixelsWide(), board.pixelsHigh());
    out->fill(17);  // every cell must be written
    EXPECT_TRUE(LifeRule::step(board, *out, {}, threads));
    return out;
}

}  // namespace

TEST(LifeRule, HandBuiltBoards)
{
    auto dead = CellBitmap::create(37, 11);
    EXPECT_TRUE(next(*dead)->sameCells(*dead)) << "all dead stays dead";
    EXPECT_EQ(next(*withLive(5, 5, {{2, 2}}))->liveCells(), 0) << "a single cell dies";

    auto horizontal = withLive(7, 7, {{2, 3}, {3, 3}, {4, 3}});
    auto vertical = next(*horizontal);
    EXPECT_TRUE(vertical->sameCells(*withLive(7, 7, {{3, 2}, {3, 3}, {3, 4}})));
    EXPECT_TRUE(next(*vertical)->sameCells(*horizontal));

    for (auto [x, y] : {std::pair{0, 0}, {8, 0}, {0, 4}, {8, 4}}) {
        auto block = withLive(10, 6, {{x, y}, {x + 1, y}, {x, y + 1}, {x + 1, y + 1}});
        EXPECT_TRUE(next(*block)->sameCells(*block)) << "block at " << x << "," << y;
    }

    // An all-live board leaves only its four corners.
    for (auto [w, h] : {std::pair{3, 3}, {5, 4}, {40, 33}, {700, 400}}) {
        auto b = CellBitmap::create(w, h);
        b->fill(0);
        EXPECT_TRUE(next(*b, 2)->sameCells(*withLive(w, h, {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})))
            << w << "x" << h;
    }

    // A gray cell by its number of live neighbours. The cells around that are not live are gray: only 0 counts as live.
    const std::pair<int, int> around[] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
    const int expected[] = {255, 255, 200, 0, 255, 255, 255, 255, 255};
    for (int count = 0; count <= 8; ++count) {
        auto b = CellBitmap::create(3, 3);
        b->fill(1);
        for (int i = 0; i < count; ++i)
            b->setPixel(around[i].first, around[i].second, 0);
        b->setPixel(1, 1, 200);
        EXPECT_EQ(next(*b)->getPixel(1, 1), expected[count]) << count << " live neighbours";
    }
}

// Also the only check of one-cell-wide or -high boards and odd widths.
TEST(LifeRule, KernelMatchesPlainReferenceOnManySizesAndWhenSplitOverCores)
{
    unsigned seed = 1;
    for (int w : {1, 2, 3, 15, 16, 17, 31, 32, 33, 63, 64, 65, 97, 130}) {
        for (int h : {1, 2, 3, 5, 16, 41}) {
            auto board = boards::seeded(w, h, seed++);
            const auto expected = reference::history(*board, 4);
            for (std::size_t g = 1; g < expected.size(); ++g) {
                board = next(*board);
                ASSERT_TRUE(board->sameCells(*expected[g])) << w << "x" << h << " generation " << g;
            }
        }
    }

    // Large enough to be split, with an odd number of rows.
    auto board = boards::seeded(613, 611, 99);
    ASSERT_GE(board->pixelsWide() * board->pixelsHigh(), LifeRule::kParallelCells);
    auto one = next(*board, 1);
    for (unsigned threads : {2u, 3u, 0u})
        EXPECT_TRUE(next(*board, threads)->sameCells(*one)) << threads << " threads";
}
