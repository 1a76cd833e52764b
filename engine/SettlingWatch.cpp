#include "SettlingWatch.h"

#include "Generation.h"
#include "GenerationHistory.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// One word into a lane: a multiplication carries each bit only upwards, so
// the rotation brings the high bits down again; without it, differences in
// the top bits of two words could cancel out.
std::uint64_t mix(std::uint64_t lane, std::uint64_t word)
{
    constexpr std::uint64_t k1 = 0x9e3779b185ebca87ull, k2 = 0xc2b2ae3d27d4eb4full;
    return std::rotl(lane + word * k2, 31) * k1;
}

// The live bits of a tile and its place, four words at a time so that the
// multiplications do not wait for one another.
std::uint64_t tileHash(const Generation& g, std::int64_t t)
{
    const std::uint64_t* words = g.live.strip(t % g.tiles.wide()) + t / g.tiles.wide() * BoardTiles::kHeight;
    std::uint64_t h[4] = {1, 2, 3, std::uint64_t(t)};
    for (std::int64_t y = 0; y < BoardTiles::kHeight; y += 4) {
        for (int j = 0; j < 4; ++j)
            h[j] = mix(h[j], words[y + j]);
    }
    return mix(mix(mix(h[0], h[1]), h[2]), h[3]);
}

// The same live bits and as many gray cells (a run only ever turns a gray cell live).
bool sameCells(const Generation& a, const Generation& b)
{
    const std::int64_t height = a.board->pixelsHigh();
    if (a.board->pixelsWide() != b.board->pixelsWide() || height != b.board->pixelsHigh() ||
        a.tiles.population != b.tiles.population || a.tiles.grayCells != b.tiles.grayCells)
        return false;
    for (std::int64_t s = 0; s < a.live.strips(); ++s) {
        if (std::memcmp(a.live.strip(s), b.live.strip(s), std::size_t(height) * 8) != 0)
            return false;
    }
    return true;
}

}  // namespace

void SettlingWatch::addLocked(const Seen& seen)
{
    Seen& slot = seen_[next_];
    if (slot.valid) {
        const auto at = tallies_.find(slot.tally);
        if (--at->second == 0)
            tallies_.erase(at);
    }
    slot = seen;
    ++tallies_[seen.tally];
    next_ = (next_ + 1) % seen_.size();
}

std::uint64_t SettlingWatch::tallyLocked(const Generation& g, bool whole)
{
    // The sum over the tiles of a key of the tile times its counts: a
    // change of one tile moves it by one product. (Two different boards
    // with equal tallies only cost a hash.)
    const BoardTiles& tiles = g.tiles;
    const auto count = static_cast<std::size_t>(tiles.count());
    Parity& parity = parities_[g.number & 1u];
    if (keys_.size() != count) {
        keys_.resize(count);
        for (std::size_t t = 0; t < count; ++t)
            keys_[t] = mix(0x5851f42d4c957f2dull, t) | 1u;
    }
    const auto countsOf = [&](std::size_t t) {
        return std::uint32_t(tiles.live[t]) | std::uint32_t(tiles.grays[t]) << 16;
    };
    if (whole || parity.counts.size() != count || !tiles.listed || tiles.marked.size() * 8 >= count) {
        parity.counts.resize(count);
        parity.tally = 0;
        for (std::size_t t = 0; t < count; ++t) {
            parity.counts[t] = countsOf(t);
            parity.tally += keys_[t] * parity.counts[t];
        }
        parity.allStale = true;
        return parity.tally;
    }
    for (const std::uint32_t t : tiles.marked) {
        if ((tiles.marks[t] & BoardTiles::kChanged) == 0)
            continue;
        const std::uint32_t now = countsOf(t);
        parity.tally += keys_[t] * (std::uint64_t(now) - parity.counts[t]);
        parity.counts[t] = now;
        if (!parity.allStale && !parity.stale[t]) {
            parity.stale[t] = 1;
            parity.staleTiles.push_back(t);
        }
    }
    return parity.tally;
}

std::uint64_t SettlingWatch::hashLocked(const Generation& g)
{
    Parity& parity = parities_[g.number & 1u];
    const auto count = static_cast<std::size_t>(g.tiles.count());
    if (parity.allStale || parity.hashes.size() != count) {
        parity.hashes.resize(count);
        parity.stale.assign(count, 0);
        parity.staleTiles.clear();
        parity.hash = 0;
        for (std::size_t t = 0; t < count; ++t) {
            parity.hashes[t] = tileHash(g, std::int64_t(t));
            parity.hash += parity.hashes[t];
        }
        parity.allStale = false;
    } else {
        for (const std::uint32_t t : parity.staleTiles) {
            const std::uint64_t now = tileHash(g, t);
            parity.hash += now - parity.hashes[t];
            parity.hashes[t] = now;
            parity.stale[t] = 0;
        }
        parity.staleTiles.clear();
    }
    return mix(parity.hash, std::uint64_t(g.tiles.grayCells));
}

std::optional<Settling> SettlingWatch::periodLocked(const Generation& from, const Generation& g, Seen& seen,
                                                    bool marksTwoBack, const GenerationHistory* history)
{
    const auto earlierBy = [&](int period) -> const Seen& {
        return seen_[(next_ + seen_.size() - std::size_t(period)) % seen_.size()];
    };
    // The generation before repeated at this period by its hash: this one does too.
    if (unconfirmed_ > 0 && earlierBy(unconfirmed_).tally == seen.tally)
        return Settling{g.number - 1, unconfirmed_};
    unconfirmed_ = 0;
    // The generation before is at hand; the one before that is where the
    // marks were taken against when none says a tile changed.
    if (earlierBy(1).tally == seen.tally && sameCells(from, g))
        return Settling{g.number, 1};
    if (marksTwoBack && earlierBy(2).valid && earlierBy(2).number + 2 == g.number && earlierBy(2).tally == seen.tally &&
        std::none_of(g.tiles.marked.begin(), g.tiles.marked.end(),
                     [&](std::uint32_t t) { return (g.tiles.marks[t] & BoardTiles::kChanged) != 0; }))
        return Settling{g.number, 2};
    seen.hash = hashLocked(g);
    seen.hashed = true;
    // The shortest period first: the most recent generation back.
    for (int period = 1; period <= kLongestPeriod; ++period) {
        const Seen& earlier = earlierBy(period);
        if (!earlier.valid || earlier.number + std::uint64_t(period) != g.number)
            return std::nullopt;  // the line is not that long yet
        if (earlier.tally != seen.tally || !earlier.hashed || earlier.hash != seen.hash)
            continue;
        if (period == 1)
            continue;  // not so, above (and two back, where the marks were taken against it)
        if (history) {
            if (auto kept = history->find(earlier.number)) {
                if (kept->sameCells(g))
                    return Settling{g.number, period};
                continue;
            }
        }
        unconfirmed_ = period;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Settling> SettlingWatch::see(const Generation& from, std::uint64_t fromSerial, const Generation& next,
                                           std::uint64_t nextSerial, bool marksTwoBack,
                                           const GenerationHistory* history)
{
    std::lock_guard lock(mutex_);
    if (serial_ == 0 || fromSerial != serial_) {
        seen_.assign(std::size_t(kLongestPeriod), Seen{});
        next_ = 0;
        tallies_.clear();
        unconfirmed_ = 0;
        const std::uint64_t tally = tallyLocked(from, true);
        addLocked({tally, hashLocked(from), from.number, true, true});
        marksTwoBack = false;  // the counts of the generation two back are not known
    }
    serial_ = nextSerial;
    if (next.tiles.population == 0)
        return Settling{next.number, 0};
    Seen seen{tallyLocked(next, !marksTwoBack), 0, next.number, false, true};
    std::optional<Settling> found;
    if (tallies_.count(seen.tally) != 0)
        found = periodLocked(from, next, seen, marksTwoBack, history);
    else
        unconfirmed_ = 0;
    addLocked(seen);
    return found;
}
