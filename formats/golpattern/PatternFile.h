#pragma once

#include "BoardLoad.h"
#include "CellBitmap.h"
#include "LifeLikeRule.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CancelFlag;

// The ".golpattern" file: a property list whose root dictionary holds
//   "bitMapPixelSize"  array (W, H) of two integers
//   "bitMapPixelData"  array of W columns, each an array of H integers;
//                      element y of column x is the cell at (x, y), 0 to 255.
//   "rule"             optional string: the rule and world ("B36/S23",
//                      "B3/S23:T64,48"); B3/S23 on the bounded plane without it.
// The writer writes the XML form with the first two keys, and the rule only
// when it is not B3/S23 on the bounded plane (PatternWriter). The reader takes the XML form (XmlPatternReader, or
// ExactPatternReader for a file exactly as the writer writes it) and the
// binary form (BinaryPatternReader), looks only at these three keys, each at
// most once, and ignores anything else (other keys, extra columns, extra
// cells in a column).
class PatternFile {
public:
    static constexpr const char* kExtension = "golpattern";
    // Files larger than this are refused before they are read: room for
    // the largest board as the writer writes it (at most 26 bytes a cell).
    static constexpr std::int64_t kMaxFileBytes = CellBitmap::kMaxCells * 32;

    static std::string toXml(const CellBitmap* board, const LifeLikeRule& rule = LifeLikeRule::life());

    // Writes the board to path atomically: the file at path is replaced only
    // once the whole list has been written. Returns "" on success, otherwise
    // a message naming the file; on failure, or when `cancel` is called, an
    // existing file stays untouched.
    static std::string write(const CellBitmap* board, const std::string& path, CancelFlag* cancel = nullptr,
                             const LifeLikeRule& rule = LifeLikeRule::life());

    // Reads a pattern file with plain reads (never mapped: another program
    // may shorten the file meanwhile). The board's logical size is set to
    // logicalSize (the frame size of the view that is to show it). Stops
    // early, with no board, when `cancel` is called.
    static BoardLoad read(const std::string& path, LogicalSize logicalSize, const CancelFlag* cancel = nullptr);

    // Reads a pattern from memory; fileName is used in messages only.
    static BoardLoad parse(const char* data, std::size_t size, const std::string& fileName,
                           LogicalSize logicalSize);
};
