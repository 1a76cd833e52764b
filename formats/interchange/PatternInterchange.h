#pragma once

#include "BoardLoad.h"
#include "CellBitmap.h"
#include "LifeLikeRule.h"
#include "PatternPlacement.h"
#include "PatternSave.h"

#include <cstdint>
#include <string>
#include <string_view>

class CancelFlag;

// Patterns in the formats other Life programs read and write: RLE,
// plaintext, Life 1.05 and 1.06, and macrocell (read only). Text is told
// apart by its content; a file is written in the format its extension names
// (PatternTypes). Files are read through PatternReader.
class PatternInterchange {
public:
    enum class Format { None, Rle, Plaintext, Life, Macrocell };

    // Files larger than this are refused before they are read (and gzip
    // never inflates past it): room for the largest board in any of the
    // formats, with comments.
    static constexpr std::int64_t kMaxFileBytes = CellBitmap::kMaxCells * 4;

    // The format a path's extension names (PatternTypes); None for any other.
    static Format formatOf(const std::string& path);

    // The format of a text: Life 1.05/1.06 and macrocell by their first
    // line; RLE when it begins (after blank and "#" lines) with "x",
    // plaintext when it begins with "!", "." or a live cell.
    static Format formatOfText(std::string_view text);

    // Reads pattern text in the format of its content; when the content
    // names none, in the format of the name's extension (so that a damaged
    // ".rle" file is told what is wrong as RLE); name is used in messages.
    static BoardLoad parse(std::string_view text, const std::string& name, PatternTarget target);

    // Writes the board in the format of the path's extension (RLE when it
    // names none of them; RLE names the rule and world, the others cannot);
    // a cancel through `cancel` leaves the file as it was. RLE and plaintext
    // write the name, author and comments of `info` too (Life 1.06 has no place for them).
    static PatternSave write(const CellBitmap& board, const std::string& path, CancelFlag* cancel = nullptr,
                             const LifeLikeRule& rule = LifeLikeRule::life(), const PatternInfo* info = nullptr);

    // Line ends as line feeds: CRLF stays (the readers take CR as a blank),
    // a carriage return alone becomes a line feed.
    static bool hasLoneCarriageReturn(std::string_view text);
    static std::string withLineFeeds(std::string_view text);
};
