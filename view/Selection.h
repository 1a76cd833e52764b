#pragma once

#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class CellBitmap;

// The cells of a rectangle of the board, row by row, before and after a
// command: one step of the undo history however many cells it touches.
struct BlockChange {
    QRect rect;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

// The selection: a rectangle of cells of the board, and every command on
// it. A command reads the board and says what it would become (a
// BlockChange, or nothing when it changes no cell); the view applies it
// through the undo history. Gray cells keep their value wherever a command
// moves them.
class Selection {
public:
    enum class Command {
        Clear, ClearOutside, Fill, RandomFill, RotateClockwise, RotateAnticlockwise, FlipLeftRight, FlipTopBottom
    };

    bool isEmpty() const { return rect_.isEmpty(); }
    QRect rect() const { return rect_; }
    // The rectangle from one cell to another (corners, in any order), cut to the board.
    void span(QPoint from, QPoint to, QSize board);
    void setRect(QRect rect, QSize board) { rect_ = rect.intersected(QRect(QPoint(0, 0), board)); }
    void remove() { rect_ = QRect(); }
    // The selection made as small as the live cells in it; none when it has none.
    void shrink(const CellBitmap& board);

    // What the command would make of the board; nothing when no cell would
    // change. A turn that would reach past the board is refused with its
    // reason in `refusal`. After a turn the selection is the turned rectangle.
    std::optional<BlockChange> apply(Command command, const CellBitmap& board, QString* refusal = nullptr,
                                     double density = 0.5, std::uint64_t seed = 0);

    // The rectangle's cells, row by row.
    static std::vector<std::uint8_t> cellsOf(const CellBitmap& board, QRect rect);
    // Turns w by h cells (`inStride` a row) a quarter turn into h by w
    // (`outStride` a row): clockwise, the left column becomes the top row.
    static void turnCells(const std::uint8_t* in, int w, int h, std::size_t inStride, std::uint8_t* out,
                          std::size_t outStride, bool clockwise);

private:
    std::optional<BlockChange> turn(bool clockwise, const CellBitmap& board, QString* refusal);

    QRect rect_;
};
