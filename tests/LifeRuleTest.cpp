#include "Boards.h"
#include "CellBitmap.h"
#include "LifeRule.h"
#include "ReferenceLife.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CellBitmap> next(const CellBitmap& board, unsigned threads = 1)
{
    auto out = CellBitmap::create(board.pixelsWide(), board.pixelsHigh());
    out->fill(17);  // every cell must be written
    EXPECT_TRUE(LifeRule::step(board, *out, {}, threads));
    return out;
}

}  // namespace

// The rule itself, for the kernel and the plain reference alike: a cell is
// born with three live neighbours, stays as it is (here gray) with two, and
// is dead otherwise; only 0 counts as live, so the gray cells around count
// for nothing.
TEST(LifeRule, AGrayCellByItsNumberOfLiveNeighbours)
{
    const std::pair<int, int> around[] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
    const int expected[] = {255, 255, 200, 0, 255, 255, 255, 255, 255};
    for (int count = 0; count <= 8; ++count) {
        auto b = CellBitmap::create(3, 3);
        b->fill(1);
        for (int i = 0; i < count; ++i)
            b->setPixel(around[i].first, around[i].second, 0);
        b->setPixel(1, 1, 200);
        EXPECT_EQ(next(*b)->getPixel(1, 1), expected[count]) << count << " live neighbours";
        reference::step(*b);
        EXPECT_EQ(b->getPixel(1, 1), expected[count]) << count << " live neighbours, by the reference";
    }
}

// Everything else (births, deaths and survivals at the edges and corners and
// inside) against the reference, on random boards of many sizes; also the
// only check of one-cell-wide or -high boards and odd widths.
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
    const auto expected = std::move(reference::history(*board, 1)[1]);
    for (unsigned threads : {1u, 2u, 3u, 0u})
        EXPECT_TRUE(next(*board, threads)->sameCells(*expected)) << threads << " threads";
}
