#include "PatternEditing.h"

#include "GameOfLife.h"

PatternEditing::PatternEditing(GameOfLife& life, std::function<void()> changed)
    : life_(life), changed_(std::move(changed)), history_([this](std::span<const CellEdit> edits) {
          // Unshared (no run in pattern-editing mode, no reader), the board is edited in place.
          const bool edited = life_.editCells(edits);
          changed_();
          return edited;
      },
      [this](const BlockChange& change, bool undo) {
          const auto& cells = undo ? change.before : change.after;
          const bool edited = life_.editBlock(change.rect.left(), change.rect.top(), change.rect.width(),
                                              change.rect.height(), cells.data());
          changed_();
          return edited;
      })
{
}

void PatternEditing::start()
{
    if (!isCreating_)
        history_.restart(false);
    isCreating_ = true;
}

void PatternEditing::end()
{
    stroke_.end();
    isCreating_ = false;
    cursor_.show(false);
    somethingChanged_ = false;
    history_.restart(false);
}

void PatternEditing::boardReplaced()
{
    stroke_.end();
    history_.restart(somethingChanged_);
}

bool PatternEditing::setRule(const LifeLikeRule& rule)
{
    const LifeLikeRule before = life_.rule();
    if (before == rule)
        return true;
    if (!isCreating_)
        return life_.setRule(rule);
    stroke_.end();
    if (!history_.recordRule(before, rule, [this](const LifeLikeRule& r) { return life_.setRule(r); }))
        return false;
    somethingChanged_ = !history_.atStart();
    changed_();
    return true;
}

void PatternEditing::beginStroke(Cell cell)
{
    auto board = life_.getBitmap();
    if (!isCreating_ || !board)
        return;
    const CellChange change = stroke_.begin(*board, cell);
    board.reset();  // no reader left: the board is edited in place
    cursor_.place(cell);
    record({change}, true);
}

void PatternEditing::continueStroke(std::optional<Cell> cell)
{
    auto board = life_.getBitmap();
    if (!board)
        return;
    const auto changes = stroke_.moveTo(*board, cell);
    board.reset();
    record(changes, false);
}

void PatternEditing::toggleCursorCell(QSize cells)
{
    auto board = life_.getBitmap();
    if (!board)
        return;
    const CellChange change = stroke_.begin(*board, cursor_.cell(cells));
    board.reset();  // no reader left: the board is edited in place
    record({change}, true);
    stroke_.end();
}

void PatternEditing::record(const std::vector<CellChange>& changes, bool newStep)
{
    history_.record(changes, newStep);
    somethingChanged_ = !history_.atStart();
}

void PatternEditing::record(BlockChange change)
{
    stroke_.end();
    history_.record(std::move(change));
    somethingChanged_ = !history_.atStart();
}

void PatternEditing::undo()
{
    stroke_.end();
    history_.undo();
    somethingChanged_ = isCreating_ && !history_.atStart();
}

void PatternEditing::redo()
{
    stroke_.end();
    history_.redo();
    somethingChanged_ = isCreating_ && !history_.atStart();
}
