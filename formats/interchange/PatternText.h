#pragma once

#include "PatternSave.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class CancelFlag;
class CellBitmap;

// Pattern text as a writer makes it, a chunk at a time: the whole text at
// once (the clipboard's), or a file through the careful writer, a megabyte
// at a time, so that a large board never needs all its text in memory.
class PatternText {
public:
    // The text: its first lines, and then `rows` rows, each appended by `row`.
    struct Layout {
        std::string header;
        std::int64_t rows = 0;
        std::function<void(std::int64_t y, std::string& out)> row;
    };

    static std::string whole(const Layout& layout);

    // Writes the text to path; a cancel through `cancel` leaves the file as
    // it was. The gray cells of `board` are counted, as written as dead.
    static PatternSave write(const CellBitmap& board, const std::string& path, CancelFlag* cancel,
                             const Layout& layout);

private:
    // Hands the text to `sink` whenever `chunk` bytes or more are ready, and
    // at the end; false when the sink stopped it.
    static bool encode(const Layout& layout, std::size_t chunk, const std::function<bool(std::string&)>& sink);
};
