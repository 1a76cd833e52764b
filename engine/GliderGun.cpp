#include "GliderGun.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The gun's live cells, (column, row) on the board.
constexpr std::array<std::pair<int, int>, GliderGun::kLiveCells> kCells{{
    {1, 6}, {1, 7}, {2, 6}, {2, 7},
    {11, 5}, {11, 6}, {11, 7}, {12, 4}, {12, 8}, {13, 3}, {13, 9}, {14, 3}, {14, 9},
    {15, 6}, {16, 4}, {16, 8}, {17, 5}, {17, 6}, {17, 7}, {18, 6},
    {21, 3}, {21, 4}, {21, 5}, {22, 3}, {22, 4}, {22, 5}, {23, 2}, {23, 6},
    {25, 1}, {25, 2}, {25, 6}, {25, 7},
    {35, 3}, {35, 4}, {36, 3}, {36, 4},
}};

}  // namespace

std::unique_ptr<CellBitmap> GliderGun::make(double viewWidth, double viewHeight)
{
    const double width = std::max(viewWidth, kMinWidth);
    const double height = std::max(viewHeight, kMinHeight);
    auto board = CellBitmap::create(CellBitmap::cellsForPoints(width), CellBitmap::cellsForPoints(height),
                                    {width, height});
    if (!board)
        return nullptr;
    for (auto [x, y] : kCells)
        board->setPixel(x, y, CellBitmap::kLive);
    return board;
}
