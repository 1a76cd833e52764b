#pragma once

#include "BoardLoad.h"
#include "CellBitmap.h"
#include "PatternPlacement.h"
#include "PatternSave.h"

#include <cstdint>
#include <string>
#include <string_view>

class CancelFlag;

// Patterns in the formats other Life programs read and write: RLE (".rle")
// and plaintext (".cells"). Files are told apart by their extension, in any
// case; text without one (the clipboard's) by its content.
class PatternInterchange {
public:
    enum class Format { None, Rle, Plaintext };

    // Files larger than this are refused before they are read: room for the
    // largest board in either format, with comments.
    static constexpr std::int64_t kMaxFileBytes = CellBitmap::kMaxCells * 4;

    // The format a path's extension names; None for any other extension.
    static Format formatOf(const std::string& path);

    // The format of a text: RLE when it begins (after blank and "#" lines)
    // with "x", plaintext when it begins with "!", "." or a live cell.
    static Format formatOfText(std::string_view text);

    // Reads a pattern file, in the format of its extension (by its content
    // when the extension names neither), with plain reads; a cancel through
    // `cancel` ends the reading with a message.
    static BoardLoad read(const std::string& path, PatternTarget target, const CancelFlag* cancel = nullptr);

    // Reads pattern text in the format of its content; name is used in
    // messages only.
    static BoardLoad parse(std::string_view text, const std::string& name, PatternTarget target);

    // Writes the board in the format of the path's extension (RLE when it
    // names neither); a cancel through `cancel` leaves the file as it was.
    static PatternSave write(const CellBitmap& board, const std::string& path, CancelFlag* cancel = nullptr);

    // Line ends as line feeds: CRLF stays (the readers take CR as a blank),
    // a carriage return alone becomes a line feed.
    static bool hasLoneCarriageReturn(std::string_view text);
    static std::string withLineFeeds(std::string_view text);

private:
    static BoardLoad parseAs(Format format, std::string_view text, const std::string& name, PatternTarget target);
};
