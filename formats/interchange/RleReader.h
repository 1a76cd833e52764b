#pragma once

#include "BoardLoad.h"
#include "PatternPlacement.h"
#include "RuleName.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reads RLE, the run-length pattern text of Life programs:
//
//   #N Glider               any number of "#" lines, ignored but for Golly's
//   #CXRLE Pos=-1,-1 Gen=4  position on its plane and generation
//   x = 3, y = 3, rule = B3/S23
//   bob$2bo$3o!
//
// A count (1 when absent) goes before "b" or "." (dead cells), "o" or "A"
// (live cells) and "$" (ends the row; a count skips rows); "!" ends the
// pattern and nothing after it is read. Counts and runs may break across
// lines and whitespace may stand between any two items; rows may be shorter
// than the header's x. Live cells beyond the header's x or y grow the
// pattern, except on a bounded plane, where they are refused. Text that ends
// without "!" gives the cells read so far.
//
// The text is read twice: once to find the pattern's size and check it, and
// then, once the board has been made, to set its cells. Nothing is allocated
// in proportion to the header or the counts before their size is checked,
// and both passes take time in proportion to the text's length.
class RleReader {
public:
    static constexpr const char* kExtension = "rle";

    // Reads RLE text; fileName names the text in messages.
    static BoardLoad parse(std::string_view text, const std::string& fileName, PatternTarget target);

private:
    struct Header {
        std::int64_t width = 0;
        std::int64_t height = 0;
        RuleName rule;
        std::optional<std::int64_t> positionX;
        std::optional<std::int64_t> positionY;
        std::uint64_t generation = 0;
    };

    RleReader(std::string_view text, const std::string& fileName);

    bool fail(const std::string& reason);
    bool failOnLine(std::int64_t line, const std::string& what);

    // Before the cells: comment lines and the header.
    bool readHeader();
    bool readHeaderLine(std::string_view line);
    bool checkHeaderSize(std::string_view widthText, std::string_view heightText);
    void skipLine();
    void readExtendedLine(std::string_view line);

    // One pass over the cells. Without a board it measures the pattern and
    // checks every cell; with one it sets the live cells.
    bool scanCells(CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY);
    void readDigits(char first);
    bool takeCount(std::int64_t& count)
    {
        count = count_ < 0 ? 1 : count_;
        count_ = -1;
        return count <= CellBitmap::kMaxCells || countTooLarge();
    }
    bool countTooLarge();
    bool liveRun(std::int64_t count, CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY);
    bool unexpected(char c);

    std::string_view text_;
    std::string fileName_;
    std::string error_;
    PatternInfo info_;
    std::size_t pos_ = 0;
    std::int64_t line_ = 1;

    Header header_;
    std::size_t cellsStart_ = 0;
    std::int64_t cellsLine_ = 1;

    // The position within the pattern and the count being read.
    std::int64_t x_ = 0;
    std::int64_t y_ = 0;
    std::int64_t count_ = -1;  // -1: no count
    std::int64_t countLine_ = 0;
    std::size_t countStart_ = 0;  // where its first digit stands

    // Measured in the first pass: the right and bottom edges of the live cells.
    std::int64_t right_ = 0;
    std::int64_t bottom_ = 0;
    const char* worldName() const
    {
        return header_.rule.rule.world == World::Torus ? "its torus" : "its bounded plane";
    }
    bool hasRule_ = false;  // the header names a rule
    std::int64_t planeOffsetX_ = 0;
    std::int64_t planeOffsetY_ = 0;
};
