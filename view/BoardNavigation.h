#pragma once

#include <QList>
#include <QRect>
#include <QSizeF>
#include <QString>

#include <optional>
#include <utility>

class BoardViewport;
class CellBitmap;

// Getting about the board from the keyboard, as in other Life programs: the
// arrow keys move a zoomed board, Home centres it; and Fit Pattern, which
// zooms to the live cells.
class BoardNavigation {
public:
    // The keys of the board, each with what it does, for a list of shortcuts.
    static QList<std::pair<QString, QString>> keys();
    // Whether `key`, pressed with `modifiers`, is one of the board's keys.
    static bool handles(int key, Qt::KeyboardModifiers modifiers);
    // Does what the key does to the viewport of a view `view` points large:
    // an arrow moves the board an eighth of the view the other way, so that
    // the view goes the arrow's way. False when nothing changed.
    static bool press(int key, BoardViewport& viewport, QSizeF view);
    // The smallest rectangle of cells that holds every live cell; none when
    // no cell lives.
    static std::optional<QRect> liveBounds(const CellBitmap& board);
};
