#include "GliderGun.h"
#include "LifeRule.h"

#include <gtest/gtest.h>

#include <map>

TEST(GliderGun, SizedFromTheViewAndFiringGliders)
{
    struct Case { double viewWidth, viewHeight; std::int64_t cellsWide, cellsHigh; LogicalSize size; };
    for (const Case c : {Case{100, 100, 50, 30, {200, 120}}, Case{803, 482, 200, 120, {803, 482}}}) {
        SCOPED_TRACE(testing::Message() << c.viewWidth << "x" << c.viewHeight);
        auto board = GliderGun::make(c.viewWidth, c.viewHeight);
        ASSERT_TRUE(board);
        EXPECT_EQ(board->pixelsWide(), c.cellsWide);
        EXPECT_EQ(board->pixelsHigh(), c.cellsHigh);
        EXPECT_EQ(board->size(), c.size);
        EXPECT_EQ(board->liveCells(), 36);

        auto next = CellBitmap::create(c.cellsWide, c.cellsHigh);
        std::map<int, std::int64_t> live;
        for (int g = 1; g <= 90; ++g) {
            LifeRule::step(*board, *next);
            std::swap(board, next);
            if (g == 1 || g % 30 == 0)
                live[g] = board->liveCells();
        }
        EXPECT_EQ(live, (std::map<int, std::int64_t>{{1, 39}, {30, 41}, {60, 46}, {90, 51}}));
    }
}
