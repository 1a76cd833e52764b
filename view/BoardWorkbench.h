#pragma once

#include "FloatingPaste.h"
#include "Selection.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>

#include <cstdint>

class BoardViewport;
class CellBitmap;
class QPainter;
class VandrelGameOfLifeView;

// The board view's tools beyond the stroke: the selection with its commands,
// and a pattern floating over the board until a click puts it down. Each
// change to the board goes through the view's undo history as one step.
class BoardWorkbench {
public:
    explicit BoardWorkbench(VandrelGameOfLifeView& view) : view_(view) {}

    // --- The selection ---
    const Selection& selection() const { return selection_; }
    // Every cell of the board; false when there is no board.
    bool selectAll();
    void removeSelection();
    // Selects the rectangle of cells (cut to the board).
    void select(QRect cells);
    void shrinkSelection();
    // Cuts the selection to a board that was replaced.
    void fitSelection();
    // Applies a command to the selection as one step of the history; in
    // pattern-editing mode only. False when it changed nothing; a turn
    // refused says why in `refusal`.
    bool applyToSelection(Selection::Command command, QString* refusal, double density, std::uint64_t seed);
    // A selecting drag from the cell under a point (false: beside the board) and on.
    bool beginSelecting(QPointF point);
    void continueSelecting(QPointF point);

    // --- Pasting into place ---
    // Floats the cells of `rect` of `pattern` over the board, under the
    // pointer, until a click puts it down. False when it is larger than the board.
    bool startPaste(const CellBitmap& pattern, QRect rect);
    bool isPasting() const { return paste_.active(); }
    void cancelPaste();
    void turnPaste(bool clockwise);
    void flipPaste(bool leftRight);
    // Floats the pattern centred on the cell under a point of the view.
    void movePasteTo(QPointF point);
    // Puts the pattern down where it floats, as one step of the history.
    bool putDownPaste();
    // R and Shift+R turn a floating pattern, F and Shift+F flip it; false
    // for any other key or when nothing floats.
    bool keyPress(int key, bool shift);
    QPoint pasteAt() const { return pasteAt_; }
    void setPasteMode(PasteMode mode) { pasteMode_ = mode; }
    PasteMode pasteMode() const { return pasteMode_; }

    // The selection and the floating pattern over the drawn board.
    void draw(QPainter& painter, const BoardViewport& viewport, QPointF aligned) const;

private:
    // The selection changed: redraw and say so.
    void selectionChanged();

    VandrelGameOfLifeView& view_;
    Selection selection_;
    QPoint selectFrom_;  // the cell where a selecting drag began
    FloatingPaste paste_;
    QPoint pasteAt_;  // the cell under the pattern's top-left cell
    PasteMode pasteMode_ = PasteMode::Copy;
};
