#pragma once

#include "CellBitmap.h"

#include <cstdint>
#include <memory>
#include <string>

// The outcome of reading a board from a file: either a board, or no board
// and a message for the user that names the file and says what is wrong.
struct BoardLoad {
    std::unique_ptr<CellBitmap> board;  // null when the file cannot be used
    std::string error;                  // empty on success
    std::uint64_t generation = 0;       // the generation the file says the board is at

    explicit operator bool() const { return board != nullptr; }
};
