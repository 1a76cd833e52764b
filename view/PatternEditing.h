#pragma once

#include "CellCursor.h"
#include "CellStroke.h"
#include "EditHistory.h"

#include <functional>
#include <optional>

class GameOfLife;
class LifeLikeRule;

// Pattern-editing mode on the view's board: whether it is on, the stroke
// under way, the keyboard's cell, and the undo history, and whether the
// board differs from the one the mode began with (or was last saved). The
// view turns presses and keys into cells; this class changes the board
// and records each change as a step of the history.
class PatternEditing {
public:
    // `changed` runs after every change to the board (the view redraws).
    PatternEditing(GameOfLife& life, std::function<void()> changed);

    bool isCreating() const { return isCreating_; }
    // A cell was changed and not every change undone.
    bool somethingChanged() const { return somethingChanged_; }
    EditHistory& history() { return history_; }
    CellCursor& cursor() { return cursor_; }
    const CellCursor& cursor() const { return cursor_; }

    // Enters the mode; already in it, keeps its history.
    void start();
    void end();
    // The board was replaced: undoing can no longer lead back to the board
    // the mode began with; whether the board differs from it stays as it was.
    void boardReplaced();

    // The rule boards run under; in the mode a step of the history.
    bool setRule(const LifeLikeRule& rule);

    // A press on `cell` toggles it and starts a stroke with its new value.
    void beginStroke(Cell cell);
    // The pointer moved to `cell` (none: off the board) with a stroke under way.
    void continueStroke(std::optional<Cell> cell);
    bool stroking() const { return stroke_.active(); }
    void endStroke() { stroke_.end(); }
    // Toggles the keyboard's cell on a board of `cells`.
    void toggleCursorCell(QSize cells);

    // Records a change already made to the board as one step.
    void record(BlockChange change);
    void undo();
    void redo();

private:
    void record(const std::vector<CellChange>& changes, bool newStep);

    GameOfLife& life_;
    std::function<void()> changed_;
    bool isCreating_ = false;
    bool somethingChanged_ = false;
    CellStroke stroke_;
    CellCursor cursor_;
    EditHistory history_;
};
