#pragma once

#include "BoardLoad.h"
#include "CellBitmap.h"
#include "LifeLikeRule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CancelFlag;

// A property-list integer as a reader found it: an integer, or something
// else where an integer was expected. Values beyond 64 bits saturate, which
// puts them far outside anything a pattern accepts.
struct PlistInteger {
    bool isInteger = false;
    std::int64_t value = 0;
};

// What both pattern readers share: the checks on the size and on every
// cell, the board they fill and the reasons they give. So the XML and the
// binary form of one pattern open alike or are refused alike.
class PatternCells {
public:
    PatternCells(std::string fileName, LogicalSize logicalSize, const CancelFlag* cancel);

    // No board, and a message naming the file and giving `reason`.
    BoardLoad refuse(const std::string& reason) const;

    // Takes the size (width, height); "" or why it cannot be a board's.
    std::string setSize(PlistInteger width, PlistInteger height);
    std::int64_t width() const { return width_; }
    std::int64_t height() const { return height_; }

    // Makes the board of the size set: "" or why not. `live`: every cell
    // live, for a file with a size and no cell data.
    std::string makeBoard(bool live = false);

    // Sets the cell (x, y), inside the size: "" or why the value cannot be a cell.
    std::string setCell(std::int64_t x, std::int64_t y, PlistInteger value)
    {
        if (value.isInteger && value.value >= 0 && value.value <= 255) {
            board_->setPixel(x, y, static_cast<std::uint8_t>(value.value));
            return {};
        }
        return badCell(x, y, value);
    }

    std::string tooFewColumns() const;
    std::string shortColumn(std::int64_t x) const;
    static std::string notTwoIntegers();

    // Takes the value of the "rule" key: the refusal when it names a rule
    // or world Game of Life does not run.
    std::optional<BoardLoad> setRule(std::string_view text);

    bool cancelled() const;
    BoardLoad take();  // the board, once every cell is set

private:
    std::string badCell(std::int64_t x, std::int64_t y, PlistInteger value) const;

    std::string fileName_;
    LogicalSize logicalSize_;
    const CancelFlag* cancel_;
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    std::unique_ptr<CellBitmap> board_;
    std::optional<LifeLikeRule> rule_;
};
