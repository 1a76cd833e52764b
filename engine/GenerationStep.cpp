#include "GenerationStep.h"

#include "Generation.h"
#include "TileKernel.h"
#include "WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <numeric>

namespace {

// Where each mark of a tile points, by the mark's bit: the tile whose ring
// holds those cells.
struct Direction {
    int dx;
    int dy;
};
constexpr Direction kDirections[] = {
    {0, 0},    // kChanged
    {0, -1},   // kTop
    {0, 1},    // kBottom
    {-1, 0},   // kLeft
    {1, 0},    // kRight
    {-1, -1},  // kTopLeft
    {1, -1},   // kTopRight
    {-1, 1},   // kBottomLeft
    {1, 1},    // kBottomRight
};

}  // namespace

void GenerationStep::findActive(const Generation& from)
{
    const BoardTiles& tiles = from.tiles;
    const auto count = static_cast<std::size_t>(tiles.count());
    if (stamp_.size() != count) {
        stamp_.assign(count, 0);
        epoch_ = 0;
    }
    if (++epoch_ == 0) {
        std::fill(stamp_.begin(), stamp_.end(), 0);
        epoch_ = 1;
    }
    active_.clear();
    const std::int64_t wide = tiles.wide();
    const std::int64_t high = tiles.high();
    const bool torus = from.rule.world == World::Torus;
    if (tiles.marked.size() * 8 >= count) {
        findActiveDense(tiles, torus);
        return;
    }
    auto touch = [this](std::uint32_t t) {
        if (stamp_[t] != epoch_) {
            stamp_[t] = epoch_;
            active_.push_back(t);
        }
    };
    for (const std::uint32_t m : tiles.marked) {
        std::uint32_t bits = tiles.marks[m] & BoardTiles::kAllMarks;
        if ((bits & BoardTiles::kChanged) != 0) {
            touch(m);
            bits &= ~BoardTiles::kChanged;
        }
        if (bits == 0)
            continue;  // a change inside the tile, away from its edges
        const std::int64_t mx = m % wide;
        const std::int64_t my = m / wide;
        for (; bits != 0; bits &= bits - 1) {
            const int d = __builtin_ctz(bits);
            std::int64_t nx = mx + kDirections[d].dx;
            std::int64_t ny = my + kDirections[d].dy;
            if (torus) {  // the tiles across the edges
                nx = (nx + wide) % wide;
                ny = (ny + high) % high;
            }
            if (nx >= 0 && ny >= 0 && nx < wide && ny < high)
                touch(static_cast<std::uint32_t>(ny * wide + nx));
        }
    }
    // Many tiles go in the board's order, so that their cells are written
    // front to back.
    if (active_.size() * 8 >= count) {
        active_.clear();
        for (std::uint32_t t = 0; t < count; ++t) {
            if (stamp_[t] == epoch_)
                active_.push_back(t);
        }
    }
}

void GenerationStep::findActiveDense(const BoardTiles& tiles, bool torus)
{
    // Where every tile changed, every tile is computed: the common case
    // of a dense board, found without gathering.
    const auto everyTile = static_cast<std::size_t>(tiles.count());
    if (tiles.marked.size() == everyTile &&
        std::all_of(tiles.marks.begin(), tiles.marks.end(),
                    [](std::uint32_t m) { return (m & BoardTiles::kChanged) != 0; })) {
        active_.resize(everyTile);
        std::iota(active_.begin(), active_.end(), std::uint32_t{0});
        return;
    }
    // Otherwise each tile gathers the marks of the tiles around it that
    // point at it, in the board's order, from a copy of the marks with a ring
    // of tiles around it: the tiles across the edges on a torus, none on a
    // plane.
    const std::int64_t wide = tiles.wide();
    const std::int64_t high = tiles.high();
    const std::int64_t w = wide + 2;
    ringed_.assign(static_cast<std::size_t>(w * (high + 2)), 0);
    for (std::int64_t y = -1; y <= high; ++y) {
        const std::int64_t sy = torus ? (y + high) % high : y;
        if (sy < 0 || sy >= high)
            continue;
        std::uint32_t* row = ringed_.data() + (y + 1) * w + 1;
        std::copy_n(tiles.marks.data() + sy * wide, wide, row);
        if (torus) {
            row[-1] = row[wide - 1];
            row[wide] = row[0];
        }
    }
    for (std::int64_t y = 0; y < high; ++y) {
        const std::uint32_t* above = ringed_.data() + y * w + 1;
        const std::uint32_t* here = above + w;
        const std::uint32_t* below = here + w;
        for (std::int64_t x = 0; x < wide; ++x) {
            const std::uint32_t bits =
                (here[x] & BoardTiles::kChanged) | (above[x] & BoardTiles::kBottom) | (below[x] & BoardTiles::kTop) |
                (here[x - 1] & BoardTiles::kRight) | (here[x + 1] & BoardTiles::kLeft) |
                (above[x - 1] & BoardTiles::kBottomRight) | (above[x + 1] & BoardTiles::kBottomLeft) |
                (below[x - 1] & BoardTiles::kTopRight) | (below[x + 1] & BoardTiles::kTopLeft);
            if (bits != 0)
                active_.push_back(static_cast<std::uint32_t>(y * wide + x));
        }
    }
}

bool GenerationStep::marksAgainstHeld(const Generation& from, const Generation& into)
{
    return !from.tiles.installed && into.serial != 0 && into.serial == from.base;
}

bool GenerationStep::run(const Generation& from, Generation& into, WorkerPool* workers, std::stop_token stop)
{
    const BoardTiles& was = from.tiles;
    BoardTiles& now = into.tiles;
    const auto count = static_cast<std::size_t>(was.count());
    // The buffer holds the generation `from` was computed from; or `from` is
    // a board just installed, and the buffer holds dead cells.
    const bool againstHeld = marksAgainstHeld(from, into);
    // (A rule with birth on no live neighbour changes a dead region too.)
    const bool intoDead = was.installed && into.dead && !from.rule.bornAlone();
    const bool all = !againstHeld && !intoDead;
    into.serial = 0;
    into.dead = false;
    // Cells are written only in tiles with gray cells; the rest are made
    // from the bits when they are read.
    into.board->defer(&into);
    if (!all)
        findActive(from);
    // Every tile computed writes every tile's marks: only the list goes.
    now.clearMarks(all || active_.size() == count);

    // Marks against the generation two back need the buffer to hold the one
    // before; after computing every tile they are taken against `from`,
    // which the buffer of the next generation holds.
    const TileKernel::Against against = againstHeld ? TileKernel::Against::Held : TileKernel::Against::From;
    const std::size_t n = all ? count : active_.size();
    computed_ = n;
    std::atomic<std::int64_t> delta{0};  // live cells against what the buffer held
    std::atomic<std::int64_t> grayDelta{0};  // gray cells likewise
    // A task computes the bits of its tiles (and the cells of those with gray cells).
    auto compute = [&](std::size_t begin, std::size_t end) {
        std::uint32_t tiles[kTilesPerTask] = {};
        TileOutcome outcomes[kTilesPerTask];
        const std::size_t taken = end - begin;
        auto tileAt = [&](std::size_t i) { return all ? static_cast<std::uint32_t>(i) : active_[i]; };
        std::int64_t change = 0;
        std::int64_t grayChange = 0;
        for (std::size_t i = 0; i < taken; ++i) {
            if (begin + i + kPrefetchAhead < n)
                TileKernel::prefetch(from, into, tileAt(begin + i + kPrefetchAhead));
            const std::uint32_t t = tileAt(begin + i);
            // An edited tile's cells do not follow from the generation before.
            const bool edited = (was.marks[t] & BoardTiles::kEdited) != 0;
            tiles[i] = t;
            outcomes[i] = TileKernel::step(from, into, t, edited ? TileKernel::Against::Nothing : against);
        }
        for (std::size_t i = 0; i < taken; ++i) {
            change += std::int64_t{outcomes[i].live} - std::int64_t{now.live[tiles[i]]};
            grayChange += std::int64_t{outcomes[i].grays} - std::int64_t{now.grays[tiles[i]]};
            now.live[tiles[i]] = outcomes[i].live;
            now.grays[tiles[i]] = outcomes[i].grays;
            now.marks[tiles[i]] = outcomes[i].marks;
        }
        delta.fetch_add(change);
        grayDelta.fetch_add(grayChange);
    };
    // Tasks small enough that each thread gets several, large enough for
    // whole rows of a wide board.
    const std::size_t threads = workers ? workers->size() : 1;
    const std::size_t perTask = std::clamp<std::size_t>(n / (4 * threads), kMinTilesPerTask, kTilesPerTask);
    const std::size_t tasks = (n + perTask - 1) / perTask;
    std::atomic<bool> stopped{false};
    auto task = [&](std::size_t i) {
        if (stop.stop_requested()) {
            stopped.store(true);
            return;
        }
        compute(i * perTask, std::min(n, (i + 1) * perTask));
    };
    // Marks are left unlisted until they are listed below, so that a step
    // that ends early (stopped, or an exception) leaves no stale list.
    now.listed = false;
    if (workers && workers->size() > 1 && n >= kParallelTiles) {
        workers->run(tasks, task);
    } else {
        for (std::size_t i = 0; i < tasks && !stopped.load(); ++i)
            task(i);
    }
    if (stopped.load() || stop.stop_requested())
        return false;

    // The tiles not computed hold what they held, so the population moves
    // from the buffer's by what the computed tiles changed.
    if (all) {
        std::int64_t population = 0;
        std::int64_t grays = 0;
        for (std::uint32_t t = 0; t < count; ++t) {
            population += now.live[t];
            grays += now.grays[t];
            if (now.marks[t] != 0)
                now.marked.push_back(t);
        }
        now.population = population;
        now.grayCells = grays;
    } else {
        for (const std::uint32_t t : active_) {
            if (now.marks[t] != 0)
                now.marked.push_back(t);
        }
        now.population += delta.load();
        now.grayCells += grayDelta.load();
    }
    now.listed = true;
    into.base = from.serial;
    into.number = from.number + 1;
    into.board->setSize(from.board->size());
    into.rule = from.rule;
    into.setEdges();
    return true;
}
