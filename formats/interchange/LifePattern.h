#pragma once

#include "BoardLoad.h"
#include "PatternPlacement.h"
#include "PatternSave.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CancelFlag;

// Life 1.05 and Life 1.06 (".lif", ".life"), the formats of older Life
// programs.
//
//   #Life 1.05              blocks of rows drawn with "." and "*", each
//   #D a description        placed by its "#P x y" line; "#N" names the
//   #N                      usual rule (B3/S23), "#R 23/36" any Life-like
//   #P -1 -1                rule; other "#" lines are comments
//   .*.
//   ..*
//   ***
//
//   #Life 1.06              one live cell a line: its x and y
//   0 -1
//   1 0
//
// Coordinates are those of an unbounded plane: the pattern's box of live
// cells is placed like any pattern without a plane of its own. The text is
// read twice, to measure and then to set the cells; nothing is allocated in
// proportion to the coordinates before the box is checked.
//
// The writer writes Life 1.06, the cells counted from the board's top-left
// corner; gray cells are written as dead, and counted.
class LifePattern {
public:
    // True when the text begins as either version does.
    static bool isLife(std::string_view text);

    // Reads either version; fileName names the text in messages.
    static BoardLoad parse(std::string_view text, const std::string& fileName, PatternTarget target);

    // The Life 1.06 text of the board.
    static std::string toText(const CellBitmap& board);

    // Writes the board as Life 1.06 through the careful writer. A cancel
    // through `cancel` leaves the file as it was.
    static PatternSave write(const CellBitmap& board, const std::string& path, CancelFlag* cancel = nullptr);

private:
    LifePattern(std::string_view text, const std::string& fileName) : text_(text), fileName_(fileName) {}

    // One pass over the lines: without a board it measures the box of live
    // cells and checks every line; with one it sets the cells.
    bool scan(CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY);
    bool readLine(std::string_view line, CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY);
    bool readRule(std::string_view line);
    void live(std::int64_t x, std::int64_t y, CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY);
    bool fail(const std::string& reason);
    bool failOnLine(const std::string& what);

    std::string_view text_;
    std::string fileName_;
    std::string error_;
    PatternInfo info_;  // the comments of "#D" lines
    std::optional<LifeLikeRule> rule_;  // the rule "#N" or "#R" names, if any
    bool v106_ = false;
    std::int64_t line_ = 0;
    // Life 1.05: where the current block's next row goes.
    std::int64_t blockX_ = 0;
    std::int64_t rowY_ = 0;
    // The box of live cells, measured in the first pass.
    bool any_ = false;
    std::int64_t left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};
