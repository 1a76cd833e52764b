#include "BoardNavigation.h"

#include "BoardViewport.h"
#include "CellBitmap.h"

#include <QCoreApplication>
#include <QKeySequence>

#include <cstring>

QList<std::pair<QString, QString>> BoardNavigation::keys()
{
    const auto name = [](Qt::Key key) { return QKeySequence(key).toString(QKeySequence::NativeText); };
    return {
        {QStringLiteral("%1 %2 %3 %4").arg(name(Qt::Key_Left), name(Qt::Key_Right), name(Qt::Key_Up), name(Qt::Key_Down)),
         QCoreApplication::translate("BoardNavigation", "Move the zoomed board")},
        {name(Qt::Key_Home), QCoreApplication::translate("BoardNavigation", "Centre the zoomed board")},
    };
}

bool BoardNavigation::handles(int key, Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down ||
           key == Qt::Key_Home;
}

bool BoardNavigation::press(int key, BoardViewport& viewport, QSizeF view)
{
    const double across = view.width() / 8;
    const double down = view.height() / 8;
    switch (key) {
    case Qt::Key_Left: return viewport.pan({across, 0});
    case Qt::Key_Right: return viewport.pan({-across, 0});
    case Qt::Key_Up: return viewport.pan({0, down});
    case Qt::Key_Down: return viewport.pan({0, -down});
    case Qt::Key_Home: return viewport.centre();
    default: return false;
    }
}

std::optional<QRect> BoardNavigation::liveBounds(const CellBitmap& board)
{
    const auto width = static_cast<std::size_t>(board.pixelsWide());
    std::int64_t left = board.pixelsWide(), right = -1, top = -1, bottom = -1;
    for (std::int64_t y = 0; y < board.pixelsHigh(); ++y) {
        const std::uint8_t* row = board.row(y);
        const auto* first = static_cast<const std::uint8_t*>(std::memchr(row, CellBitmap::kLive, width));
        if (!first)
            continue;
        const std::uint8_t* last = row + width - 1;
        while (*last != CellBitmap::kLive)
            --last;
        left = std::min<std::int64_t>(left, first - row);
        right = std::max<std::int64_t>(right, last - row);
        top = top < 0 ? y : top;
        bottom = y;
    }
    if (right < 0)
        return std::nullopt;
    return QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)));
}
