#include "Generation.h"

#include "TileKernel.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::int64_t rowsRounded(std::int64_t height)
{
    return (height + BoardTiles::kHeight - 1) / BoardTiles::kHeight * BoardTiles::kHeight;
}

bool isGray(std::uint8_t value) { return value != CellBitmap::kLive && value != CellBitmap::kDead; }

}  // namespace

std::uint64_t Generation::bytesFor(std::int64_t width, std::int64_t height)
{
    const auto strips = std::uint64_t((width + LiveBits::kStripWidth - 1) / LiveBits::kStripWidth);
    const auto bitRows = std::uint64_t(rowsRounded(height) + 2 * LiveBits::kPadding);
    const auto tiles = std::uint64_t((width + BoardTiles::kWidth - 1) / BoardTiles::kWidth) *
                       std::uint64_t((height + BoardTiles::kHeight - 1) / BoardTiles::kHeight);
    const std::uint64_t perTile = 2 * sizeof(std::uint16_t) + 2 * sizeof(std::uint32_t);
    return std::uint64_t(width) * std::uint64_t(height) + (strips + 2) * bitRows * sizeof(std::uint64_t) +
           tiles * perTile;
}

std::string Generation::memoryProblem(std::int64_t width, std::int64_t height, std::uint64_t memory)
{
    const std::uint64_t need = bytesFor(width, height) * kPerRun;
    if (need <= memory)
        return {};
    const auto gigabytes = [](std::uint64_t bytes) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f GB", double(bytes) / 1e9);
        return std::string(text);
    };
    return "a run on a board of " + std::to_string(width) + " \u00d7 " + std::to_string(height) + " cells needs " +
           gigabytes(need) + " of memory, " +
           (memory ? "and this computer has " + gigabytes(memory) : std::string("which could not be had"));
}

std::uint64_t Generation::memoryLimit()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    std::uint64_t memory = pages > 0 && pageSize > 0 ? std::uint64_t(pages) * std::uint64_t(pageSize)
                                                      : std::numeric_limits<std::uint64_t>::max();
    if (rlimit limit{}; ::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        memory = std::min<std::uint64_t>(memory, limit.rlim_cur);
    return memory;
}

std::unique_ptr<Generation> Generation::blank(std::int64_t width, std::int64_t height)
{
    if (!CellBitmap::sizeFits(width, height))
        return nullptr;
    try {
        auto g = std::make_unique<Generation>();
        g->live = LiveBits(width, rowsRounded(height));
        g->tiles = BoardTiles(width, height);
        g->board = CellBitmap::deferred(width, height, *g);
        if (!g->board)
            return nullptr;
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
        // The bands without gray cells were let go as they were read.
        g->board->defer(g.get());
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

void Generation::writeBand(CellBitmap& cells, std::int64_t band) const
{
    TileKernel::writeBand(*this, cells, band);
}

bool Generation::covers(std::span<const CellEdit> edits) const
{
    return std::any_of(edits.begin(), edits.end(), [&](const CellEdit& e) { return board->contains(e.x, e.y); });
}

bool Generation::applyBlock(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height,
                            const std::uint8_t* cells)
{
    const std::int64_t right = left + width, wide = board->pixelsWide(), high = board->pixelsHigh();
    bool changed = false;
    for (std::int64_t y = top; y < top + height; ++y) {
        std::uint8_t* row = board->row(y);
        const std::uint8_t* in = cells + (y - top) * width - left;
        // A word of live bits at a time: one strip of one tile.
        for (std::int64_t x0 = left; x0 < right;) {
            const std::int64_t x1 = std::min(right, (x0 / LiveBits::kStripWidth + 1) * LiveBits::kStripWidth);
            std::uint64_t born = 0, died = 0;
            int liveDelta = 0, grayDelta = 0;
            bool any = false;
            if (x1 - x0 == LiveBits::kStripWidth) {
                // A whole word: compared, counted and copied 64 cells at once.
                any = std::memcmp(row + x0, in + x0, LiveBits::kStripWidth) != 0;
                if (any) {
                    const std::uint64_t wasLive = CellBitmap::cellsEqual(row + x0, CellBitmap::kLive);
                    const std::uint64_t isLive = CellBitmap::cellsEqual(in + x0, CellBitmap::kLive);
                    const std::uint64_t wasGray = ~(wasLive | CellBitmap::cellsEqual(row + x0, CellBitmap::kDead));
                    const std::uint64_t nowGray = ~(isLive | CellBitmap::cellsEqual(in + x0, CellBitmap::kDead));
                    std::memcpy(row + x0, in + x0, LiveBits::kStripWidth);
                    born = isLive & ~wasLive;
                    died = wasLive & ~isLive;
                    liveDelta = std::popcount(isLive) - std::popcount(wasLive);
                    grayDelta = std::popcount(nowGray) - std::popcount(wasGray);
                }
            } else {
                for (std::int64_t x = x0; x < x1; ++x) {
                    const std::uint8_t old = row[x], value = in[x];
                    if (old == value)
                        continue;
                    any = true;
                    row[x] = value;
                    const std::uint64_t bit = std::uint64_t{1} << (x % LiveBits::kStripWidth);
                    born |= value == CellBitmap::kLive ? bit : 0;
                    died |= old == CellBitmap::kLive ? bit : 0;
                    liveDelta += int(value == CellBitmap::kLive) - int(old == CellBitmap::kLive);
                    grayDelta += int(isGray(value)) - int(isGray(old));
                }
            }
            if (any) {
                changed = true;
                std::uint64_t& word = live.strip(x0 / LiveBits::kStripWidth)[y];
                word = (word & ~died) | born;
                const auto t = tiles.tileOf(x0, y);
                const auto i = static_cast<std::size_t>(t);
                tiles.live[i] = static_cast<std::uint16_t>(tiles.live[i] + liveDelta);
                tiles.population += liveDelta;
                tiles.grays[i] = static_cast<std::uint16_t>(tiles.grays[i] + grayDelta);
                tiles.grayCells += grayDelta;
                // The span's ends carry every edge of the tile it touches.
                tiles.mark(t, BoardTiles::marksOfCell(x0, y, wide, high) | BoardTiles::marksOfCell(x1 - 1, y, wide, high) |
                                  BoardTiles::kEdited);
            }
            x0 = x1;
        }
    }
    setEdges();
    return changed;
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
        tiles.grayCells += isGray(e.value) - isGray(old);
        tiles.mark(t, BoardTiles::marksOfCell(e.x, e.y, board->pixelsWide(), board->pixelsHigh()) |
                          BoardTiles::kEdited);
    }
    setEdges();
    return inside;
}
