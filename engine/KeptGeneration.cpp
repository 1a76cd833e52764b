#include "KeptGeneration.h"

#include "CellBitmap.h"
#include "Generation.h"
#include "WorkerPool.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

std::uint64_t grayCount(const Generation& g) { return std::uint64_t(g.tiles.grayCells); }

std::shared_ptr<const std::vector<KeptGray>> graysOf(const CellBitmap& board, const KeptGeneration* before,
                                                     std::uint64_t count)
{
    if (count == 0)
        return nullptr;
    if (before && before->grays && before->width == board.pixelsWide() && before->height == board.pixelsHigh()) {
        if (before->grays->size() == count)
            return before->grays;
        auto still = std::make_shared<std::vector<KeptGray>>();
        still->reserve(count);
        for (const KeptGray& g : *before->grays) {
            if (board.data()[g.index] == g.value)
                still->push_back(g);
        }
        return still;
    }
    auto all = std::make_shared<std::vector<KeptGray>>();
    all->reserve(count);
    const std::uint8_t* cells = board.data();
    const auto size = std::uint64_t(board.pixelsWide()) * std::uint64_t(board.pixelsHigh());
    for (std::uint64_t i = 0; i < size; ++i) {
        if (cells[i] != CellBitmap::kLive && cells[i] != CellBitmap::kDead)
            all->push_back({i, cells[i]});
    }
    return all;
}

// The rows of tile `t`'s live bits into `out`, those past the board's
// edges dead (on a torus the kernel's edges hold the cells across).
void tileRows(const Generation& g, std::int64_t t, std::uint64_t* out)
{
    const BoardTiles& tiles = g.tiles;
    const std::int64_t x0 = t % tiles.wide() * BoardTiles::kWidth;
    const std::int64_t y0 = t / tiles.wide() * BoardTiles::kHeight;
    std::memcpy(out, g.live.strip(t % tiles.wide()) + y0, BoardTiles::kHeight * 8);
    const std::int64_t rows = std::min(BoardTiles::kHeight, g.board->pixelsHigh() - y0);
    std::fill(out + rows, out + BoardTiles::kHeight, std::uint64_t{0});
    const std::int64_t columns = g.board->pixelsWide() - x0;
    if (columns < BoardTiles::kWidth) {
        const std::uint64_t mask = (std::uint64_t{1} << columns) - 1;
        for (std::int64_t r = 0; r < rows; ++r)
            out[r] &= mask;
    }
}

}  // namespace

void KeptGeneration::keep(const Generation& from, KeptGeneration& into, const KeptGeneration* before,
                          WorkerPool* workers)
{
    const CellBitmap& board = *from.board;
    into.width = board.pixelsWide();
    into.height = board.pixelsHigh();
    const BoardTiles& tiles = from.tiles;
    into.tiles.clear();
    // Four tiles' counts at a time: on a sparse board most are none.
    const auto count = static_cast<std::size_t>(tiles.count());
    std::size_t at = 0;
    for (; at + 4 <= count; at += 4) {
        std::uint64_t four;
        std::memcpy(&four, tiles.live.data() + at, sizeof four);
        for (std::size_t k = at; four != 0; ++k, four >>= 16) {
            if ((four & 0xffff) != 0)
                into.tiles.push_back(std::uint32_t(k));
        }
    }
    for (; at < count; ++at) {
        if (tiles.live[at] != 0)
            into.tiles.push_back(std::uint32_t(at));
    }
    const auto words = into.tiles.size() * std::size_t(BoardTiles::kHeight);
    if (into.bits.size() < words)
        into.bits = LargeBuffer<std::uint64_t>::untouched(words);
    const auto copy = [&](std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i)
            tileRows(from, into.tiles[i], into.bits.data() + i * BoardTiles::kHeight);
    };
    // Many tiles a task: on large boards the copying is shared out like a generation's tiles.
    constexpr std::size_t kTilesPerTask = 64;
    const std::size_t tasks = (into.tiles.size() + kTilesPerTask - 1) / kTilesPerTask;
    if (workers && tasks > 1 && words >= (std::size_t{1} << 16))
        workers->run(tasks, [&](std::size_t t) {
            copy(t * kTilesPerTask, std::min(into.tiles.size(), (t + 1) * kTilesPerTask));
        });
    else
        copy(0, into.tiles.size());
    into.grays = graysOf(board, before, grayCount(from));
    into.rule = from.rule;
    into.number = from.number;
    into.population = tiles.population;
}

std::unique_ptr<CellBitmap> KeptGeneration::cells() const
{
    auto board = CellBitmap::create(width, height);
    if (!board)
        return nullptr;
    board->fill(CellBitmap::kDead);
    const std::int64_t wide = (width + BoardTiles::kWidth - 1) / BoardTiles::kWidth;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const std::int64_t x0 = tiles[i] % wide * BoardTiles::kWidth;
        const std::int64_t y0 = tiles[i] / wide * BoardTiles::kHeight;
        const std::int64_t n = std::min<std::int64_t>(BoardTiles::kWidth, width - x0);
        for (std::int64_t y = y0; y < std::min(height, y0 + BoardTiles::kHeight); ++y) {
            const std::uint64_t word = bits[i * BoardTiles::kHeight + std::size_t(y - y0)];
            std::uint8_t* row = board->row(y) + x0;
            if (n == BoardTiles::kWidth) {
                CellBitmap::cellsOfBits(word, row);
            } else {
                for (std::int64_t x = 0; x < n; ++x)
                    row[x] = (word >> x) & 1u ? CellBitmap::kLive : CellBitmap::kDead;
            }
        }
    }
    if (grays) {
        std::uint8_t* cells = board->row(0);
        for (const KeptGray& g : *grays)
            cells[g.index] = g.value;
    }
    return board;
}

std::unique_ptr<Generation> KeptGeneration::generation(std::unique_ptr<Generation> reuse) const
{
    if (grays) {
        auto g = Generation::of(cells(), rule);
        if (g)
            g->number = number;
        return g;
    }
    std::unique_ptr<Generation> g;
    if (reuse && reuse->board->pixelsWide() == width && reuse->board->pixelsHigh() == height) {
        g = std::move(reuse);
        g->tiles = BoardTiles(width, height);
        g->board->defer(g.get());
        g->serial = 0;
        g->base = 0;
    } else {
        g = Generation::blank(width, height);
    }
    if (!g)
        return nullptr;
    for (std::int64_t s = 0; s < g->live.strips(); ++s)
        std::fill_n(g->live.strip(s), g->tiles.high() * BoardTiles::kHeight, std::uint64_t{0});
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const std::int64_t t = tiles[i];
        std::uint64_t* into = g->live.strip(t % g->tiles.wide()) + t / g->tiles.wide() * BoardTiles::kHeight;
        const std::uint64_t* rows = bits.data() + i * BoardTiles::kHeight;
        std::memcpy(into, rows, BoardTiles::kHeight * 8);
        int live = 0;
        for (std::int64_t r = 0; r < BoardTiles::kHeight; ++r)
            live += std::popcount(rows[r]);
        g->tiles.live[std::size_t(t)] = std::uint16_t(live);
    }
    g->tiles.population = population;
    g->tiles.markInstalled();
    g->dead = false;
    g->rule = rule;
    g->number = number;
    g->setEdges();
    return g;
}

bool KeptGeneration::sameCells(const Generation& generation) const
{
    const CellBitmap& board = *generation.board;
    const BoardTiles& now = generation.tiles;
    if (board.pixelsWide() != width || board.pixelsHigh() != height || now.population != population ||
        grayCount(generation) != (grays ? grays->size() : 0))
        return false;
    // Gray cells only go, so an equal count is the same gray cells.
    std::size_t i = 0;
    for (std::int64_t t = 0; t < now.count(); ++t) {
        if (now.live[std::size_t(t)] == 0)
            continue;
        if (i == tiles.size() || tiles[i] != t)
            return false;
        std::uint64_t rows[BoardTiles::kHeight];
        tileRows(generation, t, rows);
        if (std::memcmp(bits.data() + i * BoardTiles::kHeight, rows, sizeof rows) != 0)
            return false;
        ++i;
    }
    return i == tiles.size();
}

std::uint64_t KeptGeneration::bytesFor(const Generation& generation)
{
    const auto tiles = std::uint64_t(std::min<std::int64_t>(generation.tiles.count(), generation.tiles.population));
    return sizeof(KeptGeneration) + tiles * (BoardTiles::kHeight * 8 + sizeof(std::uint32_t));
}

std::uint64_t KeptGeneration::bytes() const
{
    return sizeof(*this) + bits.size() * sizeof(std::uint64_t) + tiles.capacity() * sizeof(std::uint32_t) +
           (grays ? grays->capacity() * sizeof(KeptGray) : 0);
}
