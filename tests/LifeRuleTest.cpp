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

std::int64_t live(const CellBitmap& b) { return b.liveCells(); }

}  // namespace

TEST(LifeRule, AllDeadStaysDead)
{
    auto b = CellBitmap::create(37, 11);
    auto n = next(*b);
    EXPECT_TRUE(n->sameCells(*b));
}

TEST(LifeRule, SingleCellDies)
{
    auto b = boards::withLive(5, 5, {{2, 2}});
    EXPECT_EQ(live(*next(*b)), 0);
}

TEST(LifeRule, BlinkerHasPeriodTwo)
{
    auto horizontal = boards::withLive(7, 7, {{2, 3}, {3, 3}, {4, 3}});
    auto vertical = boards::withLive(7, 7, {{3, 2}, {3, 3}, {3, 4}});
    auto g1 = next(*horizontal);
    EXPECT_TRUE(g1->sameCells(*vertical));
    EXPECT_TRUE(next(*g1)->sameCells(*horizontal));
}

TEST(LifeRule, BlockInEachCornerIsStill)
{
    for (auto corner : {std::pair{0, 0}, std::pair{8, 0}, std::pair{0, 4}, std::pair{8, 4}}) {
        auto [x, y] = corner;
        auto b = boards::withLive(10, 6, {{x, y}, {x + 1, y}, {x, y + 1}, {x + 1, y + 1}});
        EXPECT_TRUE(next(*b)->sameCells(*b)) << x << "," << y;
    }
}

TEST(LifeRule, AllLiveBoardLeavesOnlyTheFourCorners)
{
    for (auto [w, h] : {std::pair{3, 3}, std::pair{5, 4}, std::pair{40, 33}, std::pair{700, 400}}) {
        auto b = CellBitmap::create(w, h);
        b->fill(0);
        auto n = next(*b, 2);
        EXPECT_EQ(live(*n), 4) << w << "x" << h;
        EXPECT_EQ(n->getPixel(0, 0), 0);
        EXPECT_EQ(n->getPixel(w - 1, 0), 0);
        EXPECT_EQ(n->getPixel(0, h - 1), 0);
        EXPECT_EQ(n->getPixel(w - 1, h - 1), 0);
    }
}

TEST(LifeRule, GrayCellKeepsItsValueWithTwoLiveNeighbours)
{
    auto b = boards::withLive(5, 5, {{1, 1}, {3, 3}});
    b->setPixel(2, 2, 128);
    EXPECT_EQ(next(*b)->getPixel(2, 2), 128);
}

TEST(LifeRule, GrayCellWithThreeLiveNeighboursBecomesLive)
{
    auto b = boards::withLive(5, 5, {{1, 1}, {3, 3}, {1, 3}});
    b->setPixel(2, 2, 128);
    EXPECT_EQ(next(*b)->getPixel(2, 2), 0);
}

TEST(LifeRule, GrayCellWithOtherCountsBecomesDead)
{
    for (int count : {0, 1, 4, 8}) {
        auto b = CellBitmap::create(3, 3);
        const std::pair<int, int> around[] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
        for (int i = 0; i < count; ++i)
            b->setPixel(around[i].first, around[i].second, 0);
        b->setPixel(1, 1, 200);
        EXPECT_EQ(next(*b)->getPixel(1, 1), 255) << count;
    }
}

TEST(LifeRule, GrayNeighboursNeverCount)
{
    auto b = CellBitmap::create(3, 3);
    b->fill(1);  // every cell gray
    b->setPixel(1, 1, 0);
    auto n = next(*b);
    EXPECT_EQ(live(*n), 0);
    EXPECT_EQ(n->getPixel(1, 1), 255);
}

TEST(LifeRule, ThinAndTinyBoards)
{
    auto one = CellBitmap::create(1, 1);
    one->setPixel(0, 0, 0);
    EXPECT_EQ(next(*one)->getPixel(0, 0), 255);

    // In one row or one column a cell has at most two neighbours: a run of
    // three live cells keeps its middle, which keeps its value.
    auto row = boards::withLive(9, 1, {{3, 0}, {4, 0}, {5, 0}});
    auto rowNext = next(*row);
    EXPECT_EQ(live(*rowNext), 1);
    EXPECT_EQ(rowNext->getPixel(4, 0), 0);

    auto column = boards::withLive(1, 9, {{0, 3}, {0, 4}, {0, 5}});
    auto columnNext = next(*column);
    EXPECT_EQ(live(*columnNext), 1);
    EXPECT_EQ(columnNext->getPixel(0, 4), 0);
}

TEST(LifeRule, KernelMatchesPlainReferenceOnManySizes)
{
    unsigned seed = 1;
    for (int w : {1, 2, 3, 15, 16, 17, 31, 32, 33, 63, 64, 65, 97, 130}) {
        for (int h : {1, 2, 3, 5, 16, 41}) {
            auto board = boards::seeded(w, h, seed++);
            auto expected = board->copy();
            for (int g = 0; g < 4; ++g) {
                reference::step(*expected);
                board = next(*board);
                ASSERT_TRUE(board->sameCells(*expected)) << w << "x" << h << " generation " << g + 1;
            }
        }
    }
}

TEST(LifeRule, SplitOverCoresMatchesOneCore)
{
    // Large enough to be split, with an odd number of rows.
    auto board = boards::seeded(613, 611, 99);
    ASSERT_GE(board->pixelsWide() * board->pixelsHigh(), LifeRule::kParallelCells);
    auto one = next(*board, 1);
    for (unsigned threads : {2u, 3u, 0u})
        EXPECT_TRUE(next(*board, threads)->sameCells(*one)) << threads;
    auto expected = board->copy();
    reference::step(*expected);
    EXPECT_TRUE(one->sameCells(*expected));
}

TEST(LifeRule, StopRequestedBeforeAnyRowReportsCancellation)
{
    auto board = boards::seeded(64, 64, 5);
    auto out = CellBitmap::create(64, 64);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(LifeRule::step(*board, *out, stop.get_token(), 1));
    EXPECT_FALSE(LifeRule::step(*board, *out, stop.get_token(), 2));
}
