#pragma once

#include "BoardLoad.h"
#include "CellBitmap.h"

#include <cstddef>
#include <string>

// Boards as ordinary images: export as PNG, one 8-bit gray pixel per cell, and
// import of PNG and JPEG images, one cell per pixel.
//
// On import every pixel becomes its 8-bit gray value: black 0 (a live cell),
// white 255, colours by their luminance (0.299 R + 0.587 G + 0.114 B), pixels
// with transparency composited on white, 16-bit samples reduced to 8 bits.
// Gray values are kept as they are. The board's logical size is the image's
// size in points: pixels x 72 / dpi where the image gives its resolution,
// otherwise its size in pixels.
class ImageFile {
public:
    // Images whose decoded form would need more than this are refused
    // before they are decoded: enough for the largest board in 32-bit colour.
    static constexpr int kAllocationLimitMiB = 1024;

    // Writes the board as an 8-bit grayscale PNG, atomically. Returns "" on
    // success, otherwise a message naming the file; on failure an existing
    // file stays untouched.
    static std::string writePng(const CellBitmap& board, const std::string& path);

    // Reads a PNG or JPEG file as a board.
    static BoardLoad read(const std::string& path);

    // Reads a PNG or JPEG image from memory; fileName is used in messages only.
    static BoardLoad decode(const char* data, std::size_t size, const std::string& fileName);
};
