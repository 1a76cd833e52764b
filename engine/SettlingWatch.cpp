#include "SettlingWatch.h"

#include "Generation.h"
#include "GenerationHistory.h"

#include <bit>
#include <numeric>

namespace {

// One word into a lane: a multiplication carries each bit only upwards, so
// the rotation brings the high bits down again; without it, differences in
// the top bits of two words could cancel out.
std::uint64_t mix(std::uint64_t lane, std::uint64_t word)
{
    constexpr std::uint64_t k1 = 0x9e3779b185ebca87ull, k2 = 0xc2b2ae3d27d4eb4full;
    return std::rotl(lane + word * k2, 31) * k1;
}

// The live bits and the gray count, four words at a time so that the
// multiplications do not wait for one another.
std::uint64_t hashOf(const Generation& g)
{
    constexpr std::uint64_t k = 0x9e3779b97f4a7c15ull;
    std::uint64_t h[4] = {1, 2, 3, 4};
    const std::int64_t height = g.board->pixelsHigh();
    for (std::int64_t s = 0; s < g.live.strips(); ++s) {
        const std::uint64_t* words = g.live.strip(s);
        std::int64_t y = 0;
        for (; y + 4 <= height; y += 4) {
            for (int j = 0; j < 4; ++j)
                h[j] = mix(h[j], words[y + j]);
        }
        for (; y < height; ++y)
            h[0] = mix(h[0], words[y]);
    }
    const auto grays = std::accumulate(g.tiles.grays.begin(), g.tiles.grays.end(), std::uint64_t{0});
    return mix(mix(mix(mix(h[0], h[1]), h[2]), h[3]), grays * k);
}

}  // namespace

std::string SettlingWatch::grouped(std::uint64_t number)
{
    const std::string digits = std::to_string(number);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

std::string SettlingWatch::describe(const Settling& settling)
{
    const std::string found = settling.period == 0 ? "the board is empty"
                                                   : "period " + std::to_string(settling.period);
    return "Settled at generation " + grouped(settling.generation) + ": " + found;
}

void SettlingWatch::addLocked(const Generation& g)
{
    seen_[next_] = {hashOf(g), g.number, true};
    next_ = (next_ + 1) % seen_.size();
}

std::optional<Settling> SettlingWatch::periodLocked(const Generation& g, std::uint64_t hash,
                                                    const GenerationHistory* history)
{
    // The shortest period first: the most recent generation back.
    for (int period = 1; period <= kLongestPeriod; ++period) {
        const Seen& earlier = seen_[(next_ + seen_.size() - std::size_t(period)) % seen_.size()];
        if (!earlier.valid || earlier.number + std::uint64_t(period) != g.number)
            return std::nullopt;  // the line is not that long yet
        if (earlier.hash != hash)
            continue;
        if (history) {
            if (auto kept = history->find(earlier.number)) {
                if (kept->sameCells(g))
                    return Settling{g.number, period};
                continue;
            }
        }
        if (unconfirmed_ == period)  // a second generation in a row repeats at this period
            return Settling{g.number - 1, period};
        unconfirmed_ = period;
        return std::nullopt;
    }
    unconfirmed_ = 0;
    return std::nullopt;
}

std::optional<Settling> SettlingWatch::see(const Generation& from, std::uint64_t fromSerial, const Generation& next,
                                           std::uint64_t nextSerial, const GenerationHistory* history)
{
    std::lock_guard lock(mutex_);
    if (serial_ == 0 || fromSerial != serial_) {
        seen_.assign(std::size_t(kLongestPeriod), Seen{});
        next_ = 0;
        unconfirmed_ = 0;
        addLocked(from);
    }
    serial_ = nextSerial;
    if (next.tiles.population == 0)
        return Settling{next.number, 0};
    const std::uint64_t hash = hashOf(next);
    const auto found = periodLocked(next, hash, history);
    seen_[next_] = {hash, next.number, true};
    next_ = (next_ + 1) % seen_.size();
    return found;
}
