#pragma once

#include "Selection.h"

#include <QImage>
#include <QPoint>
#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

// How a pasted pattern meets the cells under it: Copy puts every cell of
// it down (its dead cells clear what they cover), Or only its live cells,
// Xor turns the cells under its live cells over.
enum class PasteMode { Copy, Or, Xor };

// A pattern that floats over the board until it is put down: its cells,
// turned and flipped as the person asks, and a picture of them to draw over
// the board as they will land (made once per turn, so following the
// pointer costs one scaled drawing).
class FloatingPaste {
public:
    // Floats the cells of `rect` of `pattern`.
    void start(const CellBitmap& pattern, QRect rect);
    void cancel() { cells_.clear(); size_ = {}; }
    bool active() const { return !cells_.empty(); }
    QSize size() const { return size_; }
    void turn(bool clockwise);
    void flip(bool leftRight);
    // The picture: live cells dark, dead cells a light veil.
    const QImage& picture() const { return picture_; }

    // What the board becomes with the pattern's top-left cell at `at`
    // (the part of it off the board left out); nothing when no cell changes.
    std::optional<BlockChange> placeOn(const CellBitmap& board, QPoint at, PasteMode mode) const;

private:
    void draw();

    QSize size_;
    std::vector<std::uint8_t> cells_;  // row by row
    QImage picture_;
};
