#include "BoardViewport.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr int kStepCount = int(std::size(BoardViewport::kSteps));
// A zoom step shows the board zoomed only when its cells are clearly larger
// than those of the whole board; otherwise the whole board is the better view.
constexpr double kLargerThanWhole = 1.1;
// How near to a cell's edge the point kept under the pointer may come, in
// cells: rounding never carries it over into the neighbour.
constexpr double kEdgeMargin = 0.01;

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

std::int64_t BoardViewport::Axis::cellAt(std::int64_t pixel, bool whole, double scale) const
{
    if (cells <= 0 || pixels <= 0)
        return -1;
    // The cell whose span holds the pixel's centre, pixel + 0.5. Whole: cell
    // i covers [i * pixels / cells, (i + 1) * pixels / cells), exactly in integers.
    const std::int64_t cell = whole ? floorDiv((2 * pixel + 1) * cells, 2 * std::int64_t{pixels})
                                    : static_cast<std::int64_t>(std::floor((double(pixel) + 0.5 - offset) / scale));
    return cell >= 0 && cell < cells ? cell : -1;
}

std::int64_t BoardViewport::Axis::cellFrom(std::int64_t pixel, bool whole, double scale) const
{
    if (cells <= 0 || pixels <= 0)
        return 0;
    // Whole: cell i begins at i * pixels / cells, so the first at or after
    // the pixel's edge is ceil(pixel * cells / pixels).
    const std::int64_t cell = whole ? -floorDiv(-pixel * cells, std::int64_t{pixels})
                                    : static_cast<std::int64_t>(std::ceil((double(pixel) - offset) / scale));
    return std::clamp<std::int64_t>(cell, 0, cells);
}

double BoardViewport::Axis::positionAt(double at, bool whole, double scale) const
{
    return whole ? at * double(cells) / double(pixels) : (at - offset) / scale;
}

void BoardViewport::Axis::anchor(double at, std::int64_t cell, double position, double scale)
{
    const double within = std::clamp(position - double(cell), kEdgeMargin, 1.0 - kEdgeMargin);
    offset = at - (double(cell) + within) * scale;
}

void BoardViewport::Axis::clamp(double scale)
{
    const double span = double(cells) * scale;
    // A board wider than the view always covers it; a narrower one is centred.
    offset = span >= pixels ? std::clamp(offset, double(pixels) - span, 0.0) : (double(pixels) - span) / 2;
}

void BoardViewport::Axis::centreOn(double first, double count, double scale)
{
    offset = double(pixels) / 2 - (first + count / 2) * scale;
    clamp(scale);
}

void BoardViewport::setBoard(std::int64_t columns, std::int64_t rows)
{
    if (columns == x_.cells && rows == y_.cells)
        return;
    x_ = {columns, x_.pixels, 0};
    y_ = {rows, y_.pixels, 0};
    step_ = -1;
}

void BoardViewport::setView(QSizeF points, double ratio)
{
    if (ratio <= 0)
        ratio = 1;
    if (ratio != ratio_) {
        x_.offset *= ratio / ratio_;
        y_.offset *= ratio / ratio_;
        ratio_ = ratio;
    }
    x_.pixels = std::max(0, int(std::ceil(points.width() * ratio)));
    y_.pixels = std::max(0, int(std::ceil(points.height() * ratio)));
    if (wholeBoard())
        return;
    if (step_ >= stepsBelowWhole() && step_ < firstStep()) {  // about as large as the whole board's
        showWholeBoard();
        return;
    }
    x_.clamp(scale());
    y_.clamp(scale());
}

double BoardViewport::wholeSide() const
{
    if (x_.cells <= 0 || y_.cells <= 0 || x_.pixels <= 0 || y_.pixels <= 0)
        return 0;
    return std::min(double(x_.pixels) / double(x_.cells), double(y_.pixels) / double(y_.cells)) / ratio_;
}

int BoardViewport::firstStep() const
{
    const double whole = wholeSide();
    if (whole <= 0)
        return kStepCount;
    int step = 0;
    while (step < kStepCount && kSteps[step] <= whole * kLargerThanWhole)
        ++step;
    return step;
}

int BoardViewport::stepsBelowWhole() const
{
    const double whole = wholeSide();
    int step = 0;
    while (step < kStepCount && kSteps[step] * kLargerThanWhole < whole)
        ++step;
    return step;
}

bool BoardViewport::zoom(int steps, QPoint aroundPixel)
{
    // The order of the views: the steps below the whole board, the whole
    // board, the steps above it.
    const int first = firstStep();
    const int below = std::min(stepsBelowWhole(), first);
    if (steps == 0 || wholeSide() <= 0)
        return false;
    const int now = wholeBoard() ? below : step_ < below ? step_ : below + 1 + step_ - first;
    const int to = std::clamp(now + steps, 0, below + kStepCount - first);
    if (to == now)
        return false;
    if (to == below)
        return showWholeBoard();
    const int target = to < below ? to : first + to - below - 1;
    const QPoint pixel(std::clamp(aroundPixel.x(), 0, x_.pixels - 1), std::clamp(aroundPixel.y(), 0, y_.pixels - 1));
    const bool whole = wholeBoard();
    const double oldScale = scale();
    const double newScale = kSteps[target] * ratio_;
    for (auto [axis, at] : {std::pair{&x_, pixel.x()}, std::pair{&y_, pixel.y()}}) {
        const double centre = at + 0.5;
        const double position = axis->positionAt(centre, whole, oldScale);
        const std::int64_t cell = axis->cellAt(at, whole, oldScale);
        if (cell >= 0)
            axis->anchor(centre, cell, position, newScale);
        else
            axis->offset = centre - position * newScale;  // beside the board: keep the point
    }
    step_ = target;
    x_.clamp(newScale);
    y_.clamp(newScale);
    return true;
}

bool BoardViewport::showWholeBoard()
{
    if (wholeBoard())
        return false;
    step_ = -1;
    x_.offset = 0;
    y_.offset = 0;
    return true;
}

bool BoardViewport::centre()
{
    if (wholeBoard())
        return false;
    const Axis x = x_;
    const Axis y = y_;
    x_.centreOn(0, double(x_.cells), scale());
    y_.centreOn(0, double(y_.cells), scale());
    return !(x == x_ && y == y_);
}

bool BoardViewport::showCells(std::int64_t left, std::int64_t top, std::int64_t columns, std::int64_t rows)
{
    const double whole = wholeSide();
    if (whole <= 0 || columns <= 0 || rows <= 0)
        return false;
    int step = kStepCount - 1;
    auto fits = [&](int s) {
        const double side = kSteps[s] * ratio_;
        return double(columns) * side <= x_.pixels && double(rows) * side <= y_.pixels;
    };
    while (step >= 0 && !fits(step))
        --step;
    if (step < firstStep())
        return showWholeBoard();
    const Axis x = x_;
    const Axis y = y_;
    const int before = step_;
    step_ = step;
    x_.centreOn(double(left), double(columns), scale());
    y_.centreOn(double(top), double(rows), scale());
    return !(x == x_ && y == y_ && before == step_);
}

bool BoardViewport::pan(QPointF points)
{
    if (wholeBoard())
        return false;
    const Axis x = x_;
    const Axis y = y_;
    x_.offset += points.x() * ratio_;
    y_.offset += points.y() * ratio_;
    x_.clamp(scale());
    y_.clamp(scale());
    return !(x == x_ && y == y_);
}

std::optional<Cell> BoardViewport::cellAt(QPoint pixel) const
{
    if (x_.pixels <= 0 || y_.pixels <= 0)
        return std::nullopt;
    const std::int64_t column = columnAt(std::clamp(pixel.x(), 0, x_.pixels - 1));
    const std::int64_t row = rowAt(std::clamp(pixel.y(), 0, y_.pixels - 1));
    if (column < 0 || row < 0)
        return std::nullopt;
    return Cell{column, row};
}

bool BoardViewport::showsGrid() const
{
    return (wholeBoard() ? wholeSide() * ratio_ : scale()) >= kGridPixels;
}
