#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

struct Generation;
class GenerationHistory;

// What a run found when its board settled: at which generation, and the
// period it repeats with (0: the board is empty; 1: it is still).
struct Settling {
    std::uint64_t generation = 0;
    int period = 0;
    bool operator==(const Settling&) const = default;
};

// Finds when a line of generations has died out, stopped changing or
// repeats with a period of up to kLongestPeriod, at a cost that follows what
// changes. Each generation gets a tally of its tiles' live and gray counts,
// kept tile by tile and brought up to date only in the tiles its marks say
// changed; only a generation whose tally one of the last kLongestPeriod had
// too is checked: against the generation before by comparing the boards,
// and two back by the marks; else it is hashed (its live bits, tile by tile,
// again only the tiles changed since that parity was last hashed), and a
// hash seen before is confirmed by comparing the boards when the history
// keeps the earlier one whole, and otherwise by the next generation
// repeating at the same period too. The first generation of a
// line is hashed too, so that a board that repeats from the start is found
// where it first repeats; later a repeat is found once a generation repeats
// one that was hashed. Safe from any thread.
class SettlingWatch {
public:
    static constexpr int kLongestPeriod = 1000;

    // `next`, publication `nextSerial`, was computed from `from`, publication
    // `fromSerial`; `marksTwoBack`: the marks of `next` were taken against
    // the generation before `from` (see GenerationStep), otherwise against
    // `from`. A `from` that is not the last generation seen begins a new line.
    std::optional<Settling> see(const Generation& from, std::uint64_t fromSerial, const Generation& next,
                                std::uint64_t nextSerial, bool marksTwoBack, const GenerationHistory* history);

private:
    struct Seen {
        std::uint64_t tally = 0;
        std::uint64_t hash = 0;
        std::uint64_t number = 0;
        bool hashed = false;
        bool valid = false;
    };
    std::uint64_t tallyLocked(const Generation& g, bool whole);
    void addLocked(const Seen& seen);
    std::optional<Settling> periodLocked(const Generation& from, const Generation& g, Seen& seen, bool marksTwoBack,
                                         const GenerationHistory* history);

    std::mutex mutex_;
    std::uint64_t serial_ = 0;    // the last publication seen; 0: none
    std::vector<Seen> seen_;      // a ring of the last kLongestPeriod generations
    std::size_t next_ = 0;        // where the next one goes
    std::unordered_map<std::uint64_t, int> tallies_;  // how many in the ring have each tally
    int unconfirmed_ = 0;         // a period the last generation matched by its hash alone
    // What is kept of the last generation of each parity, tile by tile: the
    // marks say what changed since two back.
    struct Parity {
        std::vector<std::uint32_t> counts;  // live and gray cells
        std::uint64_t tally = 0;
        std::vector<std::uint64_t> hashes;  // of the live bits, where not stale
        std::vector<std::uint8_t> stale;    // changed since hashed
        std::vector<std::uint32_t> staleTiles;
        bool allStale = true;
        std::uint64_t hash = 0;  // the sum of `hashes`
    };
    std::uint64_t hashLocked(const Generation& g);
    Parity parities_[2];
    std::vector<std::uint64_t> keys_;  // each tile's, odd
};
