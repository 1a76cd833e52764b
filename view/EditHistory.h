#pragma once

#include "CellBitmap.h"
#include "CellStroke.h"
#include "Selection.h"
#include "LifeLikeRule.h"

#include <QObject>
#include <QUndoStack>

#include <functional>
#include <span>
#include <vector>

class QAction;

// The undo history of pattern-editing mode: one step per stroke (a press
// and the drag that follows it), each step the cells it changed with their
// values before and after, and one per command on the selection (a block
// of cells before and after). Every change of the board made through the
// history goes through `apply`. The history knows whether the board is as
// it was when the history began, which is what the unsaved-pattern guard
// asks about.
class EditHistory : public QObject {
    Q_OBJECT
public:
    // Sets cells of the board; false when it could not.
    using Apply = std::function<bool(std::span<const CellEdit>)>;
    // Puts a block of cells into the board (its cells before when `undo`).
    using ApplyBlock = std::function<bool(const BlockChange&, bool undo)>;
    EditHistory(Apply apply, ApplyBlock applyBlock, QObject* parent = nullptr);

    // Applies the changes. They begin a new step when `newStep`, and join the
    // step of the stroke under way otherwise.
    void record(const std::vector<CellChange>& changes, bool newStep);
    // Applies a command's change as a step of its own.
    void record(BlockChange change);
    // Sets the rule through `set`, as a step of its own; false (no step)
    // when it could not be set.
    bool recordRule(const LifeLikeRule& before, const LifeLikeRule& after,
                    std::function<bool(const LifeLikeRule&)> set);
    void undo() { stack_.undo(); }
    void redo() { stack_.redo(); }
    bool canUndo() const { return stack_.canUndo(); }
    bool canRedo() const { return stack_.canRedo(); }
    int steps() const { return stack_.count(); }
    // True while the board is as it was when the history began: nothing
    // done, or everything undone.
    bool atStart() const { return stack_.isClean(); }
    // Forgets every step. `changed`: the board already differs from the one
    // the mode began with, and no undo can bring that one back.
    void restart(bool changed);
    // Keeps the Undo and Redo commands enabled exactly when they can act.
    void enable(QAction* undoCommand, QAction* redoCommand);

signals:
    void canUndoChanged(bool canUndo);
    void canRedoChanged(bool canRedo);

private:
    Apply apply_;  // before the stack, whose steps use them
    ApplyBlock applyBlock_;
    QUndoStack stack_;
    int stroke_ = 0;  // numbers the strokes: the steps of one stroke merge
};
