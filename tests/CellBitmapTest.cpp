#include "Boards.h"
#include "CellBitmap.h"

#include <gtest/gtest.h>

TEST(CellBitmapSizing, RectangleGivesFourPointsPerCell)
{
    auto b = CellBitmap::random(480, 360);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->pixelsWide(), 120);
    EXPECT_EQ(b->pixelsHigh(), 90);
    EXPECT_EQ(b->size(), (LogicalSize{480, 360}));
}

TEST(CellBitmapSizing, CountsAreTruncatedNotRounded)
{
    auto b = CellBitmap::random(483.9, 359.9);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->pixelsWide(), 120);
    EXPECT_EQ(b->pixelsHigh(), 89);
    EXPECT_EQ(b->size(), (LogicalSize{483.9, 359.9}));
}

TEST(CellBitmapSizing, TooSmallRectangleGivesNoBoard)
{
    EXPECT_FALSE(CellBitmap::random(3.9, 100));
    EXPECT_FALSE(CellBitmap::random(100, 3.9));
    EXPECT_FALSE(CellBitmap::random(0, 0));
    EXPECT_FALSE(CellBitmap::random(-40, 40));
    EXPECT_TRUE(CellBitmap::random(4, 4));
}

TEST(CellBitmapSizing, SizesBelowOneOrOverTheLimitGiveNoBoard)
{
    EXPECT_FALSE(CellBitmap::create(0, 5));
    EXPECT_FALSE(CellBitmap::create(5, 0));
    EXPECT_FALSE(CellBitmap::create(-3, 5));
    EXPECT_FALSE(CellBitmap::create(CellBitmap::kMaxCells, 2));
    EXPECT_FALSE(CellBitmap::create(std::int64_t{1} << 40, std::int64_t{1} << 40));
    EXPECT_TRUE(CellBitmap::sizeFits(16384, 16384));
    EXPECT_FALSE(CellBitmap::sizeFits(16385, 16384));
    EXPECT_FALSE(CellBitmap::random(1e300, 1e300));
}

TEST(CellBitmapFill, NewBoardIsAllDead)
{
    auto b = CellBitmap::create(10, 20, {480, 360});
    ASSERT_TRUE(b);
    EXPECT_EQ(b->cellCount(), 200u);
    EXPECT_EQ(b->size(), (LogicalSize{480, 360}));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(b->getPixel(x, y), 255);
}

TEST(CellBitmapFill, RandomBoardHoldsLiveAndDeadInRoughlyEqualNumbers)
{
    auto b = CellBitmap::random(800, 800);  // 40000 cells
    ASSERT_TRUE(b);
    std::int64_t live = 0, dead = 0;
    for (std::int64_t y = 0; y < b->pixelsHigh(); ++y) {
        for (std::int64_t x = 0; x < b->pixelsWide(); ++x) {
            const auto v = b->getPixel(x, y);
            ASSERT_TRUE(v == 0 || v == 255) << int(v);
            (v == 0 ? live : dead)++;
        }
    }
    EXPECT_EQ(live, b->liveCells());
    EXPECT_NEAR(double(live) / double(live + dead), 0.5, 0.02);
}

TEST(CellBitmapFill, TwoRandomBoardsDiffer)
{
    auto a = CellBitmap::random(400, 400);
    auto b = CellBitmap::random(400, 400);
    EXPECT_FALSE(a->sameCells(*b));
}

TEST(CellBitmapCopy, CopyIsIndependentAndKeepsSizeAndGrays)
{
    auto original = boards::seeded(13, 7, 1);
    original->setPixel(3, 4, 128);
    original->setSize({52, 28});
    auto copy = original->copy();
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->sameCells(*original));
    EXPECT_EQ(copy->size(), original->size());
    EXPECT_EQ(copy->getPixel(3, 4), 128);

    copy->setPixel(3, 4, 0);
    original->setPixel(0, 0, 77);
    EXPECT_EQ(original->getPixel(3, 4), 128);
    EXPECT_NE(copy->getPixel(0, 0), 77);
}

TEST(CellBitmapCells, GetAndSetAddressColumnAndRow)
{
    auto b = CellBitmap::create(4, 3);
    b->setPixel(3, 0, 1);
    b->setPixel(0, 2, 2);
    EXPECT_EQ(b->row(0)[3], 1);
    EXPECT_EQ(b->row(2)[0], 2);
    EXPECT_TRUE(b->contains(3, 2));
    EXPECT_FALSE(b->contains(4, 0));
    EXPECT_FALSE(b->contains(0, 3));
    EXPECT_FALSE(b->contains(-1, 0));
}
