#include "Boards.h"
#include "CellBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(CellBitmap, RectangleGivesFourPointsPerCellTruncatedOrNoBoard)
{
    struct Case { double w, h; std::int64_t cellsWide, cellsHigh; };
    for (const Case c : {Case{480, 360, 120, 90}, Case{483.9, 359.9, 120, 89}, Case{4, 4, 1, 1}}) {
        auto b = CellBitmap::random(c.w, c.h);
        ASSERT_TRUE(b) << c.w << "x" << c.h;
        EXPECT_EQ(b->pixelsWide(), c.cellsWide);
        EXPECT_EQ(b->pixelsHigh(), c.cellsHigh);
        EXPECT_EQ(b->size(), (LogicalSize{c.w, c.h}));
    }
    // Below one cell, or over the limit: no board.
    for (auto [w, h] : {std::pair{3.9, 100.0}, {100.0, 3.9}, {0.0, 0.0}, {-40.0, 40.0}, {1e300, 1e300}})
        EXPECT_FALSE(CellBitmap::random(w, h)) << w << "x" << h;
    for (auto [w, h] : {std::pair<std::int64_t, std::int64_t>{0, 5}, {5, 0}, {-3, 5}, {CellBitmap::kMaxCells, 2},
                        {std::int64_t{1} << 40, std::int64_t{1} << 40}, {16385, 16384}})
        EXPECT_FALSE(CellBitmap::create(w, h)) << w << "x" << h;
    EXPECT_TRUE(CellBitmap::sizeFits(16384, 16384));
}

TEST(CellBitmap, BlankIsAllDeadRandomIsHalfLiveAndACopyIsIndependent)
{
    auto blank = CellBitmap::create(10, 20, {480, 360});
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->size(), (LogicalSize{480, 360}));
    EXPECT_EQ(std::count(blank->data(), blank->data() + blank->cellCount(), 255), 200);

    auto random = CellBitmap::random(800, 800);
    ASSERT_TRUE(random);
    const auto live = std::count(random->data(), random->data() + random->cellCount(), 0);
    const auto dead = std::count(random->data(), random->data() + random->cellCount(), 255);
    EXPECT_EQ(live + dead, 200 * 200) << "cells other than 0 and 255";
    EXPECT_NEAR(double(live) / double(live + dead), 0.5, 0.02);
    EXPECT_FALSE(random->sameCells(*CellBitmap::random(800, 800)));

    auto original = boards::seeded(13, 7, 1);  // with gray cells
    original->setSize({52, 28});
    auto copy = original->copy();
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->sameCells(*original));
    EXPECT_EQ(copy->size(), original->size());
    original->setPixel(0, 0, 77);
    EXPECT_NE(copy->getPixel(0, 0), 77);
}
