#include "CellCursor.h"

#include <algorithm>

bool CellCursor::handles(int key, Qt::KeyboardModifiers modifiers)
{
    const auto rest = modifiers & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (rest != Qt::NoModifier)
        return false;
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down || toggles(key);
}

bool CellCursor::move(int key, bool far, QSize board)
{
    const Cell before = cell(board);
    const std::int64_t step = far ? 8 : 1;
    Cell after = before;
    switch (key) {
    case Qt::Key_Left: after.x -= step; break;
    case Qt::Key_Right: after.x += step; break;
    case Qt::Key_Up: after.y -= step; break;
    case Qt::Key_Down: after.y += step; break;
    default: return false;
    }
    cell_ = after;
    cell_ = cell(board);
    return !(cell_ == before);
}

Cell CellCursor::cell(QSize board) const
{
    return {std::clamp<std::int64_t>(cell_.x, 0, std::max(board.width() - 1, 0)),
            std::clamp<std::int64_t>(cell_.y, 0, std::max(board.height() - 1, 0))};
}

QPointF CellCursor::follow(QRectF frame, QSizeF view)
{
    const auto along = [](double low, double high, double room) {
        if (high - low > room || (low >= 0 && high <= room))
            return 0.0;
        return low < 0 ? -low : room - high;
    };
    return {along(frame.left(), frame.right(), view.width()), along(frame.top(), frame.bottom(), view.height())};
}
