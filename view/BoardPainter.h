#pragma once

#include <QImage>
#include <QPoint>

class BoardViewport;
class CellBitmap;
class LiveBits;

// The part of the view's picture that shows the board: `image` is drawn with
// its top-left pixel at picture pixel `at`. The rest of the view shows no cell.
struct BoardPicture {
    QImage image;
    QPoint at;
};

// Turns a board into the picture of the view: each device pixel shows the
// cell the viewport gives it (the cell under the pixel's centre), every cell
// a hard-edged block, gray cells as their gray level. A pixel over several
// cells is black when any of them is live, so that no live cell vanishes
// however far the board is zoomed out; else it shows the gray of its cell.
// Where zoomed cells are large enough (BoardViewport::showsGrid), the first
// row and column of pixels of each cell after another are drawn a little
// nearer mid-gray: thin lines between the cells, on which a live cell still
// differs from a dead one. The work is one lookup per pixel shown and, where
// pixels lie over several cells, one read of each word of live bits under
// the picture. A board without gray cells is drawn from its bits alone; one
// with gray cells reads the cells of the rows shown.
class BoardPainter {
public:
    // `live` holds the board's live cells as bits (the generation's own);
    // `grays` says whether the board has gray cells.
    static BoardPicture render(const CellBitmap& board, const LiveBits& live, bool grays,
                               const BoardViewport& viewport);
    // The value drawn on a grid line over a cell of value `value`.
    static std::uint8_t onGridLine(std::uint8_t value);
};
