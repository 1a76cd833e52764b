#include "BoardOverlay.h"

#include "BoardViewport.h"
#include "FloatingPaste.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>

QRectF BoardOverlay::pointsOf(const BoardViewport& viewport, QRect cells, QPointF aligned)
{
    // The first picture pixel whose cells begin at or after `cell`.
    auto edge = [](std::int64_t cell, auto cellFrom) {
        std::int64_t low = -(std::int64_t{1} << 40), high = std::int64_t{1} << 40;
        while (low < high) {
            const std::int64_t mid = low + (high - low) / 2;
            if (cellFrom(mid) >= cell)
                high = mid;
            else
                low = mid + 1;
        }
        return low;
    };
    auto column = [&viewport](std::int64_t p) { return viewport.columnFrom(p); };
    auto row = [&viewport](std::int64_t p) { return viewport.rowFrom(p); };
    const std::int64_t left = edge(cells.left(), column), right = edge(cells.right() + 1, column);
    const std::int64_t top = edge(cells.top(), row), bottom = edge(cells.bottom() + 1, row);
    const QRectF pixels(QPointF(double(left), double(top)),
                        QPointF(double(std::max(right, left + 1)), double(std::max(bottom, top + 1))));
    const double ratio = viewport.ratio();
    return {(pixels.topLeft() + aligned) / ratio, pixels.size() / ratio};
}

void BoardOverlay::drawSelection(QPainter& painter, const BoardViewport& viewport, QRect cells, QPointF aligned)
{
    if (cells.isEmpty())
        return;
    const QRectF points = pointsOf(viewport, cells, aligned);
    painter.save();
    painter.fillRect(points, QColor(64, 128, 255, 64));
    QPen pen(QColor(32, 96, 224));
    pen.setCosmetic(true);
    pen.setWidth(1);
    painter.setPen(pen);
    const double pixel = 1 / viewport.ratio();
    painter.drawRect(points.adjusted(0, 0, -pixel, -pixel));
    painter.restore();
}

void BoardOverlay::drawCursor(QPainter& painter, const BoardViewport& viewport, QPoint cell, QPointF aligned)
{
    const double pixel = 1 / viewport.ratio();
    QRectF frame = pointsOf(viewport, QRect(cell, QSize(1, 1)), aligned);
    const double least = 7 * pixel;  // a small cell still gets a frame one sees
    if (frame.width() < least || frame.height() < least) {
        const QPointF centre = frame.center();
        frame.setSize(frame.size().expandedTo({least, least}));
        frame.moveCenter(centre);
    }
    painter.save();
    QPen pen(QColor(255, 140, 0));
    pen.setCosmetic(true);
    pen.setWidth(2);
    painter.setPen(pen);
    painter.drawRect(frame.adjusted(pixel, pixel, -pixel, -pixel));
    pen.setColor(QColor(96, 48, 0));
    pen.setWidth(1);
    painter.setPen(pen);
    painter.drawRect(frame.adjusted(0, 0, -pixel, -pixel));
    painter.restore();
}

void BoardOverlay::drawPaste(QPainter& painter, const BoardViewport& viewport, const FloatingPaste& paste, QPoint at,
                             QPointF aligned)
{
    const QSize board = viewport.boardCells();
    const QRect onBoard = QRect(at, paste.size()).intersected(QRect(QPoint(0, 0), board));
    if (onBoard.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(pointsOf(viewport, onBoard, aligned), paste.picture(), onBoard.translated(-at));
    painter.restore();
}
