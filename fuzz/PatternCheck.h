#pragma once

// What every pattern reader must do with any input: return either a board or
// a message, never both and never neither; a board it returns fits, holds
// only live and dead cells, and a small one comes back the same from the RLE
// writer and the same pattern from the plaintext writer.

#include "BoardLoad.h"
#include "PlaintextPattern.h"
#include "RleReader.h"
#include "RleWriter.h"

#include <cstddef>
#include <cstdlib>

inline void check(const BoardLoad& load)
{
    if (static_cast<bool>(load.board) == !load.error.empty())
        std::abort();
    if (!load.board)
        return;
    const CellBitmap& board = *load.board;
    if (!CellBitmap::sizeFits(board.pixelsWide(), board.pixelsHigh()))
        std::abort();
    if (board.cellCount() > 4096)
        return;
    for (std::size_t i = 0; i < board.cellCount(); ++i) {
        if (board.data()[i] != CellBitmap::kLive && board.data()[i] != CellBitmap::kDead)
            std::abort();
    }
    const std::string rle = RleWriter::toText(board, "again");
    const BoardLoad again = RleReader::parse(rle, "again.rle", PatternTarget::shown(1, 1));
    if (!again.board || !again.board->sameCells(board))
        std::abort();
    // Plaintext has no size of its own: what comes back is the same number
    // of live cells, on a board at least as large as the pattern needs.
    const std::string plain = PlaintextPattern::toText(board, "again");
    const BoardLoad pattern = PlaintextPattern::parse(plain, "again.cells", PatternTarget::shown(1, 1));
    if (!pattern.board || pattern.board->liveCells() != board.liveCells())
        std::abort();
}
