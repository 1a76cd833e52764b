#include "PatternPlacement.h"

#include "CellBitmap.h"

#include <algorithm>

namespace {

std::string cells(std::int64_t w, std::int64_t h)
{
    return std::to_string(w) + " \u00d7 " + std::to_string(h);
}

}  // namespace

std::int64_t PatternPlacement::centred(std::int64_t board, std::int64_t extent)
{
    const std::int64_t free = board - extent;
    return free >= 0 ? free / 2 : -((1 - free) / 2);
}

std::int64_t PatternPlacement::onPlane(std::int64_t plane, std::int64_t header, std::optional<std::int64_t> position)
{
    return plane / 2 + (position ? *position : -(header / 2));
}

std::int64_t PatternPlacement::roomy(std::int64_t shown, std::int64_t extent)
{
    const std::int64_t margin = (extent + 1) / 2;
    return std::max<std::int64_t>({shown, extent + 2 * margin, 1});
}

std::optional<PatternPlacement> PatternPlacement::place(const Axis& x, const Axis& y, PatternTarget target,
                                                        std::string& why)
{
    PatternPlacement p;
    if (target.exact) {
        p.boardWidth = target.width;
        p.boardHeight = target.height;
        if (!CellBitmap::sizeFits(p.boardWidth, p.boardHeight)) {
            why = "a board of " + cells(p.boardWidth, p.boardHeight) + " cells cannot be made";
            return std::nullopt;
        }
        if (x.extent > p.boardWidth || y.extent > p.boardHeight) {
            why = "the pattern of " + cells(x.extent, y.extent) + " cells does not fit on a board of " +
                  cells(p.boardWidth, p.boardHeight) + " cells";
            return std::nullopt;
        }
        p.offsetX = centred(p.boardWidth, x.extent);
        p.offsetY = centred(p.boardHeight, y.extent);
        return p;
    }

    // Room around the pattern is a nicety: where it would take the board past
    // the largest one, the pattern gets the board shown, and failing that a
    // board of its own size.
    const auto size = [](const Axis& a, std::int64_t shown, int attempt) -> std::int64_t {
        if (a.plane)
            return *a.plane;
        if (attempt == 0)
            return roomy(shown, a.extent);
        if (attempt == 1)
            return std::max<std::int64_t>({shown, a.extent, 1});
        return std::max<std::int64_t>(a.extent, 1);
    };
    bool fits = false;
    for (int attempt = 0; attempt < 3 && !fits; ++attempt) {
        p.boardWidth = size(x, target.width, attempt);
        p.boardHeight = size(y, target.height, attempt);
        fits = CellBitmap::sizeFits(p.boardWidth, p.boardHeight);
    }
    if (!fits) {
        why = (x.plane || y.plane ? "its plane of " : "the pattern of ") + cells(p.boardWidth, p.boardHeight) +
              " cells is larger than the largest board (" + std::to_string(CellBitmap::kMaxCells) + " cells)";
        return std::nullopt;
    }
    p.offsetX = x.plane ? onPlane(*x.plane, x.header, x.position) : centred(p.boardWidth, x.extent);
    p.offsetY = y.plane ? onPlane(*y.plane, y.header, y.position) : centred(p.boardHeight, y.extent);
    return p;
}

std::unique_ptr<CellBitmap> PatternPlacement::placed(const Axis& x, const Axis& y, PatternTarget target,
                                                     std::string& why, const Fill& fill)
{
    const auto placement = place(x, y, target, why);
    if (!placement)
        return nullptr;
    auto board = placement->makeBoard(why);
    if (board)
        fill(*board, placement->offsetX, placement->offsetY);
    return board;
}

BoardLoad PatternPlacement::loaded(std::int64_t width, std::int64_t height, PatternTarget target, const Fill& fill,
                                   const Refuse& refuse, PatternInfo info)
{
    std::string why;
    auto board = placed({width, width, {}}, {height, height, {}}, target, why, fill);
    if (!board)
        return {nullptr, refuse(why)};
    BoardLoad load{std::move(board), {}};
    load.info = std::move(info);
    return load;
}

std::unique_ptr<CellBitmap> PatternPlacement::makeBoard(std::string& why) const
{
    auto board = CellBitmap::create(boardWidth, boardHeight,
                                    {double(boardWidth) * CellBitmap::kPointsPerCell,
                                     double(boardHeight) * CellBitmap::kPointsPerCell});
    if (!board)
        why = "there is not enough memory for a board of " + cells(boardWidth, boardHeight) + " cells";
    return board;
}
