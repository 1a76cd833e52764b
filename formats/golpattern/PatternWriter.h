#pragma once

#include <string>

class CancelFlag;
class CellBitmap;

// Writes the pattern file's XML property list: the size array (W, H), then
// W columns of H integers, byte for byte what libplist's plist_to_xml writes
// for the same dictionary. The XML is produced as a stream rather than
// through a property-list tree: the tree costs one allocated node per cell,
// which for a 1024 x 1024 board took about half a second and over 100 MB.
class PatternWriter {
public:
    // The whole XML for a board. A null board is written with size (0, 0)
    // and an empty data array (which the reader refuses).
    static std::string toXml(const CellBitmap* board);

    // Writes the board to path through the careful writer, a megabyte at a
    // time, so a large board never needs its whole XML in memory. Returns ""
    // or a message naming the file; the file is left as it was on failure or
    // when `cancel` (if any) is called.
    static std::string write(const CellBitmap* board, const std::string& path, CancelFlag* cancel);
};
