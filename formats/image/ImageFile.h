#pragma once

#include "BoardLoad.h"
#include "CellBitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CancelFlag;

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

    // The most pixels an exported image may have: a gigabyte, 8 bits each.
    static constexpr std::int64_t kMaxExportPixels = std::int64_t{1} << 30;

    // Writes the board as an 8-bit grayscale PNG, each cell `scale` by
    // `scale` pixels, through the careful writer. Returns "" on success,
    // otherwise a message naming the file (also when the scaled image would
    // be larger than kMaxExportPixels); on failure, or when `cancel` is
    // called, an existing file stays untouched.
    static std::string writePng(const CellBitmap& board, const std::string& path, int scale = 1,
                                CancelFlag* cancel = nullptr);

    // "" when the board, scaled, makes an image that can be exported;
    // otherwise why not, as a clause for a message.
    static std::string sizeProblem(std::int64_t width, std::int64_t height, int scale);

    // Reads a PNG or JPEG file as a board, with plain reads. Stops early,
    // with no board, when `cancel` is called.
    static BoardLoad read(const std::string& path, const CancelFlag* cancel = nullptr);

    // Reads a PNG or JPEG image from memory; fileName is used in messages only.
    static BoardLoad decode(const char* data, std::size_t size, const std::string& fileName);
};
