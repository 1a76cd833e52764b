#include "GliderGun.h"
#include "LifeRule.h"

#include <gtest/gtest.h>

#include <map>

TEST(GliderGun, SmallViewsAreRaisedTo50By30Cells)
{
    auto board = GliderGun::make(100, 100);
    ASSERT_TRUE(board);
    EXPECT_EQ(board->pixelsWide(), 50);
    EXPECT_EQ(board->pixelsHigh(), 30);
    EXPECT_EQ(board->size(), (LogicalSize{200, 120}));
}

TEST(GliderGun, LargerViewsKeepTheirSize)
{
    auto board = GliderGun::make(803, 482);
    ASSERT_TRUE(board);
    EXPECT_EQ(board->pixelsWide(), 200);
    EXPECT_EQ(board->pixelsHigh(), 120);
    EXPECT_EQ(board->size(), (LogicalSize{803, 482}));
}

TEST(GliderGun, HoldsThirtySixLiveCellsInItsBox)
{
    auto board = GliderGun::make(0, 0);
    EXPECT_EQ(board->liveCells(), 36);
    EXPECT_EQ(board->getPixel(36, 3), 0);
    EXPECT_EQ(board->getPixel(36, 4), 0);
    EXPECT_EQ(board->getPixel(13, 9), 0);
    EXPECT_EQ(board->getPixel(14, 9), 0);
    EXPECT_EQ(board->getPixel(1, 6), 0);
    EXPECT_EQ(board->getPixel(1, 5), 255);
    for (std::int64_t y = 0; y < board->pixelsHigh(); ++y) {
        for (std::int64_t x = 0; x < board->pixelsWide(); ++x) {
            if (board->getPixel(x, y) == 0) {
                EXPECT_TRUE(x >= 1 && x <= 36 && y >= 1 && y <= 9) << x << "," << y;
            }
        }
    }
}

TEST(GliderGun, LiveCountsFollowTheGun)
{
    for (auto [w, h] : {std::pair{100.0, 100.0}, std::pair{803.0, 482.0}}) {
        auto board = GliderGun::make(w, h);
        auto next = CellBitmap::create(board->pixelsWide(), board->pixelsHigh());
        std::map<int, std::int64_t> counts;
        for (int g = 1; g <= 90; ++g) {
            LifeRule::step(*board, *next);
            std::swap(board, next);
            counts[g] = board->liveCells();
        }
        EXPECT_EQ(counts[1], 39);
        EXPECT_EQ(counts[30], 41);
        EXPECT_EQ(counts[60], 46);
        EXPECT_EQ(counts[90], 51);
    }
}
