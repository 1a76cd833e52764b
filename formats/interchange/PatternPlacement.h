#pragma once

#include "BoardLoad.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class CellBitmap;

// Where an imported pattern is to go: the board shown (its size in cells), or
// a board of exactly the size asked for.
struct PatternTarget {
    std::int64_t width = 0;
    std::int64_t height = 0;
    // True: the board has exactly this size and the pattern must fit on it.
    // False: the board is at least this size, grown to leave room around the
    // pattern.
    bool exact = false;

    static PatternTarget shown(std::int64_t w, std::int64_t h) { return {w, h, false}; }
    static PatternTarget board(std::int64_t w, std::int64_t h) { return {w, h, true}; }
};

// Puts a pattern on a board: the board's size and the cell of the board where
// the pattern's top-left corner goes.
//
// Along an axis where the file gives the size of its plane, the board has
// exactly that size and the pattern goes where the file's position puts it
// (counted from the plane's middle cell, floor(plane / 2)); without a
// position, its box as the header gives it starts at
// floor(plane / 2) - floor(header / 2), as Golly puts it.
// Along any other axis the board is as large as the board shown, grown so that
// the pattern has at least half its own extent of dead cells on each side, and
// the pattern is centred on it. A board of exactly the target size overrides
// both. Offsets round down: floor((board - pattern) / 2).
class PatternPlacement {
public:
    struct Axis {
        std::int64_t extent = 0;             // the pattern's box along this axis
        std::int64_t header = 0;             // its size in the header (centres it on a plane)
        std::optional<std::int64_t> plane;   // the file's own plane size along this axis
        // Where the pattern's box begins on that plane, counted from its
        // middle cell (Golly's "#CXRLE Pos="); without it, the box is centred.
        std::optional<std::int64_t> position = {};
    };

    std::int64_t boardWidth = 0;
    std::int64_t boardHeight = 0;
    std::int64_t offsetX = 0;
    std::int64_t offsetY = 0;

    // The placement, or an empty optional with `why` saying why the pattern
    // cannot be placed (it does not fit the target or the largest board).
    static std::optional<PatternPlacement> place(const Axis& x, const Axis& y, PatternTarget target,
                                                 std::string& why);

    // A board of dead cells of the placement's size (4 points a cell), or
    // null with `why` saying so when the memory cannot be had.
    std::unique_ptr<CellBitmap> makeBoard(std::string& why) const;

    // What every reader does once it has measured its pattern: places it,
    // makes the board and has `fill` set the live cells, the pattern's
    // top-left corner at (offsetX, offsetY). Null, with `why`, when the
    // pattern cannot be placed or the board cannot be made.
    using Fill = std::function<void(CellBitmap& board, std::int64_t offsetX, std::int64_t offsetY)>;
    static std::unique_ptr<CellBitmap> placed(const Axis& x, const Axis& y, PatternTarget target, std::string& why,
                                              const Fill& fill);

    // The end of a reader that has measured a pattern of `width` by `height`
    // cells with no plane of its own: the board placed, made and filled,
    // with the pattern's information; or the message `refuse` makes of why
    // not.
    using Refuse = std::function<std::string(const std::string& why)>;
    static BoardLoad loaded(std::int64_t width, std::int64_t height, PatternTarget target, const Fill& fill,
                            const Refuse& refuse, PatternInfo info);

    // The offset of the pattern's box on a plane (see the class comment).
    static std::int64_t onPlane(std::int64_t plane, std::int64_t header, std::optional<std::int64_t> position);

    // The offset of a pattern of `extent` cells centred on `board` cells,
    // rounded down (negative when the pattern is the larger).
    static std::int64_t centred(std::int64_t board, std::int64_t extent);

    // The board size along an axis without a plane of its own: the board shown,
    // or larger so that half the pattern's extent stays free on either side.
    static std::int64_t roomy(std::int64_t shown, std::int64_t extent);
};
