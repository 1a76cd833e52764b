#include "Generation.h"

#include "TileKernel.h"

#include <algorithm>
#include <new>

namespace {

std::int64_t rowsRounded(std::int64_t height)
{
    return (height + BoardTiles::kHeight - 1) / BoardTiles::kHeight * BoardTiles::kHeight;
}

bool isGray(std::uint8_t value) { return value != CellBitmap::kLive && value != CellBitmap::kDead; }

}  // namespace

std::unique_ptr<Generation> Generation::blank(std::int64_t width, std::int64_t height)
{
    auto board = CellBitmap::create(width, height);
    if (!board)
        return nullptr;
    try {
        auto g = std::make_unique<Generation>();
        g->live = LiveBits(width, rowsRounded(height));
        g->tiles = BoardTiles(width, height);
        g->board = std::move(board);
        g->dead = true;
        return g;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<Generation> Generation::of(std::unique_ptr<CellBitmap> board, const LifeLikeRule& rule)
{
    if (!board)
        return nullptr;
    const auto width = board->pixelsWide();
    const auto height = board->pixelsHigh();
    try {
        auto g = std::make_unique<Generation>();
        g->live = LiveBits(width, rowsRounded(height));
        g->tiles = BoardTiles(width, height);
        TileKernel::scan(*board, g->live, g->tiles);
        g->tiles.markInstalled();
        g->board = std::move(board);
        g->rule = rule;
        g->setEdges();
        return g;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<Generation> Generation::copy() const
{
    auto cells = board->copy();
    if (!cells)
        return nullptr;
    try {
        auto g = std::make_unique<Generation>();
        g->live = live;
        g->tiles = tiles;
        g->rule = rule;
        g->board = std::move(cells);
        g->serial = serial;
        g->base = base;
        g->number = number;
        return g;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool Generation::covers(std::span<const CellEdit> edits) const
{
    return std::any_of(edits.begin(), edits.end(), [&](const CellEdit& e) { return board->contains(e.x, e.y); });
}

std::size_t Generation::apply(std::span<const CellEdit> edits)
{
    std::size_t inside = 0;
    for (const CellEdit& e : edits) {
        if (!board->contains(e.x, e.y))
            continue;
        ++inside;
        const std::uint8_t old = board->getPixel(e.x, e.y);
        if (old == e.value)
            continue;
        board->setPixel(e.x, e.y, e.value);
        const bool wasLive = old == CellBitmap::kLive;
        const bool isLive = e.value == CellBitmap::kLive;
        const auto t = tiles.tileOf(e.x, e.y);
        const auto i = static_cast<std::size_t>(t);
        if (wasLive != isLive) {
            live.set(e.x, e.y, isLive);
            tiles.live[i] = static_cast<std::uint16_t>(tiles.live[i] + (isLive ? 1 : -1));
            tiles.population += isLive ? 1 : -1;
        }
        tiles.grays[i] = static_cast<std::uint16_t>(tiles.grays[i] + isGray(e.value) - isGray(old));
        tiles.mark(t, BoardTiles::marksOfCell(e.x, e.y, board->pixelsWide(), board->pixelsHigh()) |
                          BoardTiles::kEdited);
    }
    setEdges();
    return inside;
}
