#include "BoardWorkbench.h"

#include "BoardOverlay.h"
#include "VandrelGameOfLifeView.h"

namespace {

QSize sizeOf(const CellBitmap* board)
{
    return board ? QSize(int(board->pixelsWide()), int(board->pixelsHigh())) : QSize();
}

}  // namespace

// ---------------------------------------------------------------- the selection

void BoardWorkbench::selectionChanged()
{
    view_.update();
    emit view_.selectionChanged();
}

bool BoardWorkbench::selectAll()
{
    const auto board = view_.getBitmap();
    if (!board)
        return false;
    select(QRect(QPoint(0, 0), sizeOf(board.get())));
    return true;
}

void BoardWorkbench::removeSelection()
{
    if (selection_.isEmpty())
        return;
    selection_.remove();
    selectionChanged();
}

void BoardWorkbench::select(QRect cells)
{
    selection_.setRect(cells, sizeOf(view_.getBitmap().get()));
    selectionChanged();
}

void BoardWorkbench::fitSelection()
{
    if (selection_.isEmpty())
        return;
    selection_.setRect(selection_.rect(), sizeOf(view_.getBitmap().get()));
    emit view_.selectionChanged();
}

void BoardWorkbench::shrinkSelection()
{
    const auto board = view_.getBitmap();
    if (!board || selection_.isEmpty())
        return;
    selection_.shrink(*board);
    selectionChanged();
}

bool BoardWorkbench::applyToSelection(Selection::Command command, QString* refusal, double density,
                                      std::uint64_t seed)
{
    view_.prepareEdit();
    auto board = view_.getBitmap();
    if (!view_.isCreating() || !board)
        return false;
    const QRect before = selection_.rect();
    auto change = selection_.apply(command, *board, refusal, density, seed);
    board.reset();  // no reader left: the board is edited in place
    if (selection_.rect() != before)
        selectionChanged();
    return change && view_.recordChange(std::move(*change));
}

bool BoardWorkbench::beginSelecting(QPointF point)
{
    const auto cell = view_.cellUnder(point);
    if (!cell)
        return false;
    selectFrom_ = *cell;
    continueSelecting(point);
    return true;
}

void BoardWorkbench::continueSelecting(QPointF point)
{
    const auto board = view_.getBitmap();
    const auto cell = view_.cellNearest(point);
    if (!board || !cell)
        return;
    selection_.span(selectFrom_, *cell, sizeOf(board.get()));
    selectionChanged();
}

// ---------------------------------------------------------------- pasting into place

bool BoardWorkbench::startPaste(const CellBitmap& pattern, QRect rect)
{
    const auto board = view_.getBitmap();
    if (!board || rect.width() > board->pixelsWide() || rect.height() > board->pixelsHigh())
        return false;
    paste_.start(pattern, rect);
    return true;
}

void BoardWorkbench::cancelPaste()
{
    paste_.cancel();
    view_.update();
}

void BoardWorkbench::turnPaste(bool clockwise)
{
    const QPoint centre = pasteAt_ + QPoint(paste_.size().width() / 2, paste_.size().height() / 2);
    paste_.turn(clockwise);
    pasteAt_ = centre - QPoint(paste_.size().width() / 2, paste_.size().height() / 2);
    view_.update();
}

void BoardWorkbench::flipPaste(bool leftRight)
{
    paste_.flip(leftRight);
    view_.update();
}

void BoardWorkbench::movePasteTo(QPointF point)
{
    if (const auto cell = view_.cellNearest(point); cell && paste_.active()) {
        pasteAt_ = *cell - QPoint(paste_.size().width() / 2, paste_.size().height() / 2);
        view_.update();
    }
}

bool BoardWorkbench::putDownPaste()
{
    if (!paste_.active())
        return false;
    view_.prepareEdit();
    auto board = view_.getBitmap();
    auto change = board && view_.isCreating() ? paste_.placeOn(*board, pasteAt_, pasteMode_) : std::nullopt;
    board.reset();
    cancelPaste();
    return change && view_.recordChange(std::move(*change));
}

bool BoardWorkbench::keyPress(int key, bool shift)
{
    if (!paste_.active() || (key != Qt::Key_R && key != Qt::Key_F))
        return false;
    if (key == Qt::Key_R)
        turnPaste(!shift);
    else
        flipPaste(!shift);
    return true;
}

void BoardWorkbench::draw(QPainter& painter, const BoardViewport& viewport, QPointF aligned) const
{
    BoardOverlay::drawSelection(painter, viewport, selection_.rect(), aligned);
    if (paste_.active())
        BoardOverlay::drawPaste(painter, viewport, paste_, pasteAt_, aligned);
}
