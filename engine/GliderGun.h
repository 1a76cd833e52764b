#pragma once

#include "CellBitmap.h"

#include <memory>

// The preset board: a Gosper glider gun near the top-left corner of a board
// sized from the board view, all other cells dead.
class GliderGun {
public:
    // The smallest view the preset is sized for, in points.
    static constexpr double kMinWidth = 200;
    static constexpr double kMinHeight = 120;
    static constexpr int kLiveCells = 36;

    // A board for a view of the given size: width and height raised to 200
    // and 120 points where smaller, then 4 points a cell (truncated); the
    // logical size is the raised size. Null only when the view is so large
    // that the board does not fit.
    static std::unique_ptr<CellBitmap> make(double viewWidth, double viewHeight);
};
