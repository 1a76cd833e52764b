#pragma once

#include "CellBitmap.h"

#include <memory>
#include <string>

// The outcome of reading a board from a file: either a board, or no board
// and a message for the user that names the file and says what is wrong.
struct BoardLoad {
    std::unique_ptr<CellBitmap> board;  // null when the file cannot be used
    std::string error;                  // empty on success

    explicit operator bool() const { return board != nullptr; }
};
