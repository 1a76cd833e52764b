#pragma once

#include "CellBitmap.h"
#include "LifeLikeRule.h"

#include <memory>
#include <optional>
#include <string>

// The outcome of reading a board from a file: either a board, or no board
// and a message for the user that names the file and says what is wrong.
struct BoardLoad {
    BoardLoad() = default;
    BoardLoad(std::unique_ptr<CellBitmap> cells, std::string message, std::optional<LifeLikeRule> runs = {})
        : board(std::move(cells)), error(std::move(message)), rule(runs)
    {
    }

    std::unique_ptr<CellBitmap> board;  // null when the file cannot be used
    std::string error;                  // empty on success
    std::optional<LifeLikeRule> rule;   // the rule and world the file names, if it names one

    explicit operator bool() const { return board != nullptr; }
};
