#include "EditHistory.h"

#include <QAction>
#include <QUndoCommand>


namespace {

// The cells one stroke changed; undone by putting back their values before.
class StrokeStep : public QUndoCommand {
public:
    StrokeStep(const EditHistory::Apply& apply, std::vector<CellChange> changes, int stroke)
        : apply_(apply), changes_(std::move(changes)), stroke_(stroke)
    {
    }
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const StrokeStep*>(other);
        if (next->stroke_ != stroke_)
            return false;
        if (next->isObsolete())
            return true;  // it changed nothing: dropped
        changes_.insert(changes_.end(), next->changes_.begin(), next->changes_.end());
        return true;
    }
    void redo() override
    {
        std::vector<CellEdit> edits;
        edits.reserve(changes_.size());
        for (const CellChange& c : changes_)
            edits.push_back({c.x, c.y, c.after});
        // A change the board could not take is no step (the stack drops it).
        if (!apply_(edits) && !applied_)
            setObsolete(true);
        applied_ = true;
    }
    void undo() override
    {
        std::vector<CellEdit> edits;
        edits.reserve(changes_.size());
        for (auto c = changes_.rbegin(); c != changes_.rend(); ++c)
            edits.push_back({c->x, c->y, c->before});
        apply_(edits);
    }

private:
    const EditHistory::Apply& apply_;
    std::vector<CellChange> changes_;
    int stroke_;
    bool applied_ = false;
};

// A command's block of cells, before and after.
class BlockStep : public QUndoCommand {
public:
    BlockStep(const EditHistory::ApplyBlock& apply, BlockChange change) : apply_(apply), change_(std::move(change)) {}
    void redo() override
    {
        if (!apply_(change_, false) && !applied_)
            setObsolete(true);
        applied_ = true;
    }
    void undo() override { apply_(change_, true); }

private:
    const EditHistory::ApplyBlock& apply_;
    BlockChange change_;
    bool applied_ = false;
};

// A change of the rule; undone by setting the rule before.
class RuleStep : public QUndoCommand {
public:
    RuleStep(LifeLikeRule before, LifeLikeRule after, std::function<bool(const LifeLikeRule&)> set)
        : before_(before), after_(after), set_(std::move(set))
    {
    }
    void redo() override { set_(after_); }
    void undo() override { set_(before_); }

private:
    LifeLikeRule before_, after_;
    std::function<bool(const LifeLikeRule&)> set_;
};

}  // namespace

EditHistory::EditHistory(Apply apply, ApplyBlock applyBlock, QObject* parent)
    : QObject(parent), apply_(std::move(apply)), applyBlock_(std::move(applyBlock))
{
    connect(&stack_, &QUndoStack::canUndoChanged, this, &EditHistory::canUndoChanged);
    connect(&stack_, &QUndoStack::canRedoChanged, this, &EditHistory::canRedoChanged);
}

void EditHistory::record(const std::vector<CellChange>& changes, bool newStep)
{
    if (newStep)
        ++stroke_;
    if (!changes.empty())
        stack_.push(new StrokeStep(apply_, changes, stroke_));
}

void EditHistory::record(BlockChange change)
{
    ++stroke_;  // the next stroke's changes do not join a step before this one
    stack_.push(new BlockStep(applyBlock_, std::move(change)));
}

bool EditHistory::recordRule(const LifeLikeRule& before, const LifeLikeRule& after,
                             std::function<bool(const LifeLikeRule&)> set)
{
    if (!set(after))
        return false;
    auto* step = new RuleStep(before, after, std::move(set));
    // Pushing redoes the step: the rule is set already, so once more does nothing new.
    stack_.push(step);
    ++stroke_;  // the next stroke is a step of its own
    return true;
}

void EditHistory::restart(bool changed)
{
    stack_.clear();
    if (changed)
        stack_.resetClean();
}

void EditHistory::enable(QAction* undoCommand, QAction* redoCommand)
{
    undoCommand->setEnabled(canUndo());
    redoCommand->setEnabled(canRedo());
    connect(this, &EditHistory::canUndoChanged, undoCommand, &QAction::setEnabled);
    connect(this, &EditHistory::canRedoChanged, redoCommand, &QAction::setEnabled);
}
