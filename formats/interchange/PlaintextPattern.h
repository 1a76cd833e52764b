#pragma once

#include "BoardLoad.h"
#include "PatternPlacement.h"
#include "PatternSave.h"

#include <cstdint>
#include <string>
#include <string_view>

class CancelFlag;

// Plaintext patterns (".cells"): the pattern drawn with one character a cell.
//
//   !Name: Glider           "!" lines are comments
//   .O
//   ..O
//   OOO
//
// "." is a dead cell, "O" or "*" a live one; rows may be ragged, and an empty
// line is an empty row. The pattern is as wide as its longest row and as high
// as its rows down to the last one that is not empty; it is placed like any
// pattern without a plane of its own.
//
// The writer writes "!Name:" and the rows of the board, leaving out the dead
// cells at the end of each row and the empty rows at the end; an empty row is
// written as "." so that readers that skip blank lines keep it. Gray cells
// are written as dead, and counted.
class PlaintextPattern {
public:
    static constexpr const char* kExtension = "cells";

    // Reads plaintext; fileName names the text in messages.
    static BoardLoad parse(std::string_view text, const std::string& fileName, PatternTarget target);

    // The plaintext of the board, named `name` on its "!Name:" line.
    static std::string toText(const CellBitmap& board, const std::string& name, std::int64_t* grayCells = nullptr,
                              const PatternInfo* info = nullptr);

    // Writes the board to path through the careful writer; "!Name:" holds the
    // file's name without its extension. A cancel through `cancel` leaves the
    // file as it was.
    static PatternSave write(const CellBitmap& board, const std::string& path, CancelFlag* cancel = nullptr,
                             const PatternInfo* info = nullptr);

private:
    PlaintextPattern(std::string_view text, const std::string& fileName) : text_(text), fileName_(fileName) {}

    // One pass over the lines. Without a board it measures the pattern and
    // checks every character; with one it sets the live cells.
    bool scan(CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY);
    bool readRow(std::string_view row, CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY);
    bool fail(const std::string& reason);

    std::string_view text_;
    std::string fileName_;
    std::string error_;
    PatternInfo info_;
    std::int64_t line_ = 0;
    std::int64_t rows_ = 0;    // rows read so far, empty ones included
    std::int64_t width_ = 0;   // the longest row
    std::int64_t height_ = 0;  // down to the last row that is not empty
};
