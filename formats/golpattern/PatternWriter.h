#pragma once

#include <string>

#include "LifeLikeRule.h"

class CancelFlag;
class CellBitmap;

// Writes the pattern file's XML property list: the size array (W, H), then
// W columns of H integers, byte for byte what libplist's plist_to_xml writes
// for the same dictionary. The XML is produced as a stream rather than
// through a property-list tree: the tree costs one allocated node per cell,
// which for a 1024 x 1024 board took about half a second and over 100 MB.
// A board that is not B3/S23 on the bounded plane has a third key, "rule"
// (a string: "B36/S23", "B3/S23:T64,48"); a Life board's file has none, and
// is what it always was.
class PatternWriter {
public:
    // The whole XML for a board. A null board is written with size (0, 0)
    // and an empty data array (which the reader refuses).
    static std::string toXml(const CellBitmap* board, const LifeLikeRule& rule = LifeLikeRule::life());

    // Writes the board to path through the careful writer, a megabyte at a
    // time, so a large board never needs its whole XML in memory. Returns ""
    // or a message naming the file; the file is left as it was on failure or
    // when `cancel` (if any) is called.
    static std::string write(const CellBitmap* board, const std::string& path, CancelFlag* cancel,
                             const LifeLikeRule& rule = LifeLikeRule::life());
};
