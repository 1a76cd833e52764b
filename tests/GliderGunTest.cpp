#include "GliderGun.h"
#include "ReferenceLife.h"

#include <gtest/gtest.h>

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
        // A glider more every 30 generations.
        const auto generations = reference::history(*board, 90);
        for (const auto& [g, live] : {std::pair{1, 39}, {30, 41}, {60, 46}, {90, 51}})
            EXPECT_EQ(generations[std::size_t(g)]->liveCells(), live) << "generation " << g;
    }
}
