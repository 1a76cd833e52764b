#pragma once

#include "CellBitmap.h"
#include "LifeLikeRule.h"
#include "PatternInfo.h"
#include "PatternSave.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class CancelFlag;

// Writes the whole board as RLE, so that it reads back as exactly this board:
//
//   #N glider
//   x = 20, y = 10, rule = B3/S23:P20,10
//   bo$2bo$3o!
//
// x and y are the board's size and the world's suffix gives the same size
// (":P" the bounded plane, ":T" the torus) after the board's rule, so a
// reader puts the cells back where they were and runs them alike. Rows are counted
// runs of dead ("b") and live ("o") cells; the dead cells at the end of a row
// and the empty rows at the end of the board are left out; no line is longer
// than 70 characters. RLE knows only live and dead cells: gray cells are
// written as dead, and counted.
class RleWriter {
public:
    static constexpr std::size_t kLineLength = 70;

    // The RLE text of the board, named `name` on its "#N" line (or the
    // name `info` gives, with its author and comments).
    static std::string toText(const CellBitmap& board, const std::string& name, std::int64_t* grayCells = nullptr,
                              const LifeLikeRule& rule = LifeLikeRule::life(), const PatternInfo* info = nullptr);

    // Writes the board to path through the careful writer; the "#N" line
    // holds the file's name without its extension. A cancel through `cancel`
    // leaves the file as it was. `compressed` writes it gzip-compressed.
    static PatternSave write(const CellBitmap& board, const std::string& path, CancelFlag* cancel = nullptr,
                             const LifeLikeRule& rule = LifeLikeRule::life(), bool compressed = false,
                             const PatternInfo* info = nullptr);
    // The "#N", "#O" and "#C" lines of a pattern named `name`, or as `info` names it.
    static std::string infoLines(const std::string& name, const PatternInfo* info);

    // Cells that are neither live nor dead.
    static std::int64_t grayCells(const CellBitmap& board);

    // The name as one line of at most maxBytes: control characters become
    // spaces, and a longer name is cut short.
    static std::string oneLine(const std::string& name, std::size_t maxBytes);

private:
    // Receives the text as it is made, a chunk at a time; false stops the writer.
    using Sink = std::function<bool(std::string& text)>;

    RleWriter(std::size_t chunk, Sink sink) : chunk_(chunk), sink_(std::move(sink)) {}

    bool encode(const CellBitmap& board, const std::string& name, const LifeLikeRule& rule, const PatternInfo* info);
    bool encodeRow(const std::uint8_t* row, std::int64_t end);
    void token(std::int64_t count, char tag);
    bool flushIfFull();

    std::size_t chunk_;
    Sink sink_;
    std::string out_;
    std::size_t lineLength_ = 0;
};
