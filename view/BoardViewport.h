#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QSizeF>

#include <cstdint>
#include <optional>
#include <span>

// A cell of the board: column x, row y (row 0 at the top).
struct Cell {
    std::int64_t x = 0;
    std::int64_t y = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

// Where the board lies in the view, and so which cell each device pixel of
// the view shows. By default the whole board is stretched over the view, its
// cells as wide as the view divided by the columns and as high as the view
// divided by the rows. Zoomed, the cells are squares of one of the zoom
// steps, and the board can be moved under the view.
//
// The picture is the view's area in device pixels, pixel (0, 0) at its top
// left. Each pixel shows the cell under the pixel's centre: drawing asks
// columnAt and rowAt, and a press asks cellAt, so a press reaches the very
// cell drawn under it at any view size, zoom and device pixel ratio.
class BoardViewport {
public:
    // Cell sides of the zoom steps, in points: an eighth of a point up to 64.
    static constexpr double kSteps[] = {0.0625, 0.125, 0.25, 0.5, 1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64};
    // From this side on, in device pixels, thin lines show the cells.
    static constexpr double kGridPixels = 8.0;

    // The board's size in cells; a board of another size is shown whole.
    void setBoard(std::int64_t columns, std::int64_t rows);
    // The view's size in points and its device pixels per point.
    void setView(QSizeF points, double ratio);

    // The picture's size in device pixels.
    QSize pixels() const { return {x_.pixels, y_.pixels}; }
    double ratio() const { return ratio_; }
    bool wholeBoard() const { return step_ < 0; }
    // The side of a cell in points when zoomed; 0 for the whole board.
    double pointsPerCell() const { return wholeBoard() ? 0.0 : kSteps[step_]; }

    // Zooms `steps` steps in (or out, when negative) about the centre of a
    // picture pixel: the cell drawn there stays there. The whole board lies
    // between the steps clearly smaller than its cells and those clearly
    // larger; below it the board, smaller than the view, is centred in it.
    // Returns false when nothing changed.
    bool zoom(int steps, QPoint aroundPixel);
    bool showWholeBoard();
    // Zoomed, puts the board's centre at the view's centre.
    bool centre();
    // Shows the cells from column `left` and row `top`, `columns` by `rows`
    // of them, as large as a step lets them fit the view, centred in it;
    // the whole board when no step shows them larger than it does.
    bool showCells(std::int64_t left, std::int64_t top, std::int64_t columns, std::int64_t rows);
    // Moves the board by a distance in points, as far as it reaches past the
    // view. Returns false when nothing changed.
    bool pan(QPointF points);

    // The column (row) shown at a picture pixel column (row), -1 where the
    // board is not shown. Defined for pixels outside the picture too.
    std::int64_t columnAt(std::int64_t pixel) const { return x_.cellAt(pixel, step_ < 0, scale()); }
    std::int64_t rowAt(std::int64_t pixel) const { return y_.cellAt(pixel, step_ < 0, scale()); }
    // The first column (row) that begins at or after the left (top) edge of
    // a picture pixel column (row), from 0 to the number of columns (rows):
    // the cells that begin within pixel p are those from the value at p to
    // the value at p + 1.
    std::int64_t columnFrom(std::int64_t pixel) const { return x_.cellFrom(pixel, step_ < 0, scale()); }
    std::int64_t rowFrom(std::int64_t pixel) const { return y_.cellFrom(pixel, step_ < 0, scale()); }
    // The cell shown at a picture pixel, the pixel first clamped into the
    // picture (a press on the right or bottom edge reaches the last cell).
    // None where the board is not shown, or before there is a picture.
    std::optional<Cell> cellAt(QPoint pixel) const;
    // Whether thin lines show the cells: from kGridPixels device pixels per
    // cell on, both across and down, zoomed or the whole board.
    bool showsGrid() const;

    friend bool operator==(const BoardViewport&, const BoardViewport&) = default;

private:
    // One direction: cells across, the picture's pixels across, and where
    // the board's first cell begins when zoomed, in device pixels from the
    // picture's first pixel. `scale` is device pixels per cell when zoomed.
    struct Axis {
        std::int64_t cells = 0;
        int pixels = 0;
        double offset = 0;
        std::int64_t cellAt(std::int64_t pixel, bool whole, double scale) const;
        std::int64_t cellFrom(std::int64_t pixel, bool whole, double scale) const;
        // Where on the board (in cells, with fractions) a picture coordinate lies.
        double positionAt(double at, bool whole, double scale) const;
        // Puts the board so that `at` shows `cell` at the new scale, as near
        // `position` as the cell allows.
        void anchor(double at, std::int64_t cell, double position, double scale);
        void clamp(double scale);
        // Puts the span of cells from `first`, `count` long, at the middle of the pixels.
        void centreOn(double first, double count, double scale);
        friend bool operator==(const Axis&, const Axis&) = default;
    };
    double scale() const { return step_ < 0 ? 0.0 : kSteps[step_] * ratio_; }  // device pixels per cell
    // The smallest step whose cells are larger than the whole board's.
    int firstStep() const;
    // The number of steps whose cells are clearly smaller than the whole board's.
    int stepsBelowWhole() const;
    // The whole board's cell side in points (the smaller of its two sides).
    double wholeSide() const;

    Axis x_;
    Axis y_;
    double ratio_ = 1.0;
    int step_ = -1;  // -1: the whole board
};
