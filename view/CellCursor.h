#pragma once

#include "BoardViewport.h"

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <Qt>

// The keyboard's cell in pattern-editing mode: the arrow keys move it a
// cell at a time (eight with Shift), always on the board; Return toggles
// the cell under it. A press with the pointer puts it on the cell pressed.
class CellCursor {
public:
    // The keys the cursor takes: the arrows, alone or with Shift, and Return or Enter.
    static bool handles(int key, Qt::KeyboardModifiers modifiers);
    static bool toggles(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

    // Moves for an arrow key on a board of `board` cells; whether it moved.
    bool move(int key, bool far, QSize board);
    // The cell, kept on a board of `board` cells (boards change size under it).
    Cell cell(QSize board) const;
    void place(Cell cell) { cell_ = cell; }
    // Drawn once the keys have moved it in this mode: a person with a
    // pointer sees no frame it never asked for.
    bool shown() const { return shown_; }
    void show(bool shown) { shown_ = shown; }

    // The pan, in points, that brings `frame` into a view of `view` points
    // (no pan when it is already in, or larger than the view).
    static QPointF follow(QRectF frame, QSizeF view);

private:
    Cell cell_;
    bool shown_ = false;
};
