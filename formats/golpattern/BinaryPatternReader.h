#pragma once

#include "BoardLoad.h"
#include "CellBitmap.h"

#include <cstddef>
#include <string>

class CancelFlag;

// Reads a pattern stored as a binary property list ("bplist00").
class BinaryPatternReader {
public:
    // `data` holds the whole file.
    static BoardLoad read(const unsigned char* data, std::size_t size, const std::string& fileName,
                          LogicalSize logicalSize, const CancelFlag* cancel);
};
