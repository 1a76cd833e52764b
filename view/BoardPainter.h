#pragma once

#include <QImage>
#include <QSize>

class CellBitmap;

// Turns a board into the picture of the view: every cell a hard-edged block,
// the board stretched over the whole picture with nearest-neighbour sampling,
// row 0 at the top, gray cells as their gray level. The work is one lookup
// per picture pixel, whatever the number of cells.
class BoardPainter {
public:
    // A grayscale picture of `pixels` (the view's size in device pixels).
    static QImage render(const CellBitmap& board, QSize pixels);
};
