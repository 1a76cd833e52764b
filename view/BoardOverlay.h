#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>

class BoardViewport;
class FloatingPaste;
class QPainter;

// What is drawn over the board's picture: the selection (a translucent
// fill and a border one device pixel wide) and a floating paste, drawn as
// it will land. Both at every zoom, at least a pixel however small their
// cells are drawn.
class BoardOverlay {
public:
    // `aligned`: where picture pixel 0 lies, in device pixels from the painter's origin.
    static void drawSelection(QPainter& painter, const BoardViewport& viewport, QRect cells, QPointF aligned);
    // The paste with its top-left cell at `at`; only its part on the board.
    static void drawPaste(QPainter& painter, const BoardViewport& viewport, const FloatingPaste& paste, QPoint at,
                          QPointF aligned);
    // The keyboard's cell: a frame around it, drawn at least a few pixels
    // wide however small cells are, light and dark so that it shows on
    // live and dead cells alike.
    static void drawCursor(QPainter& painter, const BoardViewport& viewport, QPoint cell, QPointF aligned);
    // The rectangle of cells of the board, in points: from the first picture
    // pixel that begins within its cells to the first that begins past them.
    static QRectF pointsOf(const BoardViewport& viewport, QRect cells, QPointF aligned);
};
