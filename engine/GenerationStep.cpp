#include "GenerationStep.h"

#include "Generation.h"
#include "TileKernel.h"
#include "WorkerPool.h"

#include <algorithm>
#include <atomic>

namespace {

// Where each mark of a tile points: the tile whose ring holds those cells.
struct Direction {
    std::uint32_t mark;
    int dx;
    int dy;
};
constexpr Direction kDirections[] = {
    {BoardTiles::kChanged, 0, 0},      {BoardTiles::kTop, 0, -1},        {BoardTiles::kBottom, 0, 1},
    {BoardTiles::kLeft, -1, 0},        {BoardTiles::kRight, 1, 0},       {BoardTiles::kTopLeft, -1, -1},
    {BoardTiles::kTopRight, 1, -1},    {BoardTiles::kBottomLeft, -1, 1}, {BoardTiles::kBottomRight, 1, 1},
};

}  // namespace

void GenerationStep::touch(std::uint32_t tile, std::uint8_t need)
{
    if (stamp_[tile] != epoch_) {
        stamp_[tile] = epoch_;
        need_[tile] = 0;
        candidates_.push_back(tile);
    }
    need_[tile] |= need;
}

void GenerationStep::findActive(const Generation& from, bool againstHeld)
{
    const BoardTiles& tiles = from.tiles;
    const auto count = static_cast<std::size_t>(tiles.count());
    if (stamp_.size() != count) {
        stamp_.assign(count, 0);
        need_.assign(count, 0);
        epoch_ = 0;
    }
    if (++epoch_ == 0) {
        std::fill(stamp_.begin(), stamp_.end(), 0);
        epoch_ = 1;
    }
    candidates_.clear();
    active_.clear();
    const std::int64_t wide = tiles.wide();
    const std::int64_t high = tiles.high();
    for (const std::uint32_t m : tiles.marked) {
        const std::uint32_t marks = tiles.marks[m];
        const std::uint32_t first = marks & BoardTiles::kAllMarks;
        const std::uint32_t second = (marks >> BoardTiles::kSecondShift) & BoardTiles::kAllMarks;
        const std::int64_t mx = m % wide;
        const std::int64_t my = m / wide;
        for (const Direction& d : kDirections) {
            const auto need = static_cast<std::uint8_t>(((first & d.mark) ? 1 : 0) | ((second & d.mark) ? 2 : 0));
            const std::int64_t nx = mx + d.dx;
            const std::int64_t ny = my + d.dy;
            if (need != 0 && nx >= 0 && ny >= 0 && nx < wide && ny < high)
                touch(static_cast<std::uint32_t>(ny * wide + nx), need);
        }
    }
    // Against the generation two back only when the buffer holds the one before.
    const std::uint8_t needed = againstHeld ? 3 : 1;
    for (const std::uint32_t c : candidates_) {
        if ((need_[c] & needed) == needed)
            active_.push_back(c);
    }
}

bool GenerationStep::run(const Generation& from, Generation& into, WorkerPool* workers, std::stop_token stop)
{
    const BoardTiles& was = from.tiles;
    BoardTiles& now = into.tiles;
    const auto count = static_cast<std::size_t>(was.count());
    // The buffer holds the generation `from` was computed from.
    const bool againstHeld = !was.allMarked && into.serial != 0 && into.serial == from.base;
    // When most tiles changed, computing them all costs less than sorting
    // out the few that need not be (computing a tile is always right).
    const bool all = was.allMarked || was.marked.size() * 4 >= count * 3;
    into.serial = 0;
    if (!all && !againstHeld)
        into.copyCellsFrom(from);  // what the skipped tiles need
    else
        now.clearMarks();
    if (!all)
        findActive(from, againstHeld);

    const std::size_t n = all ? count : active_.size();
    computed_ = n;
    auto compute = [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const std::uint32_t t = all ? static_cast<std::uint32_t>(i) : active_[i];
            const bool edited = (was.marks[t] & BoardTiles::kEdited) != 0;
            const TileOutcome o = TileKernel::step(from, into, t, againstHeld && !edited);
            now.live[t] = o.live;
            now.grays[t] = o.grays;
            now.marks[t] = o.marks;
        }
    };
    const std::size_t tasks = (n + kTilesPerTask - 1) / kTilesPerTask;
    std::atomic<bool> stopped{false};
    auto task = [&](std::size_t i) {
        if (stop.stop_requested()) {
            stopped.store(true);
            return;
        }
        compute(i * kTilesPerTask, std::min(n, (i + 1) * kTilesPerTask));
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

    // Counts and the list of marked tiles. A tile that repeats every two
    // generations was not computed: it holds the generation two back, and it
    // changed against `from` just as `from` changed against the one before.
    std::int64_t delta = 0;
    auto settle = [&](std::uint32_t t) {
        delta += std::int64_t{now.live[t]} - std::int64_t{was.live[t]};
        if (now.marks[t] != 0)
            now.marked.push_back(t);
    };
    if (all) {
        for (std::uint32_t t = 0; t < n; ++t)
            settle(t);
    } else {
        for (const std::uint32_t c : candidates_) {
            if (againstHeld && need_[c] == 1)
                now.marks[c] = was.marks[c] & BoardTiles::kAllMarks;
            settle(c);
        }
    }
    now.listed = true;
    now.allMarked = false;
    now.population = was.population + delta;
    into.base = from.serial;
    into.number = from.number + 1;
    into.board->setSize(from.board->size());
    return true;
}
