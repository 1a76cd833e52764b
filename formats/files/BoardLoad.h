#pragma once

#include "CellBitmap.h"
#include "LifeLikeRule.h"
#include "PatternInfo.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The outcome of reading a board from a file: either a board, or no board
// and a message for the user that names the file and says what is wrong.
struct BoardLoad {
    BoardLoad() = default;
    BoardLoad(std::unique_ptr<CellBitmap> cells, std::string message, std::uint64_t at = 0,
              std::optional<LifeLikeRule> runs = {})
        : board(std::move(cells)), error(std::move(message)), generation(at), rule(runs)
    {
    }

    std::unique_ptr<CellBitmap> board;  // null when the file cannot be used
    std::string error;                  // empty on success
    std::uint64_t generation = 0;       // the generation the file says the board is at
    std::optional<LifeLikeRule> rule;   // the rule and world the file names, if it names one
    PatternInfo info;                   // its name, author and comments, as far as the file gives them

    explicit operator bool() const { return board != nullptr; }
};
