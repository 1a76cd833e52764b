#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
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
// repeats with a period of up to kLongestPeriod. Each generation's live
// bits are hashed; a hash seen before is confirmed by comparing the boards
// when the history still keeps the earlier one, and otherwise by the next
// generation repeating at the same period too. Safe from any thread.
class SettlingWatch {
public:
    static constexpr int kLongestPeriod = 1000;

    // `next`, publication `nextSerial`, was computed from `from`, publication
    // `fromSerial`. A `from` that is not the last generation seen begins a
    // new line.
    std::optional<Settling> see(const Generation& from, std::uint64_t fromSerial, const Generation& next,
                                std::uint64_t nextSerial, const GenerationHistory* history);

    // "Settled at generation 1,234: period 2".
    static std::string describe(const Settling& settling);
    // 1234 as "1,234".
    static std::string grouped(std::uint64_t number);

private:
    struct Seen {
        std::uint64_t hash = 0;
        std::uint64_t number = 0;
        bool valid = false;
    };
    void addLocked(const Generation& g);
    std::optional<Settling> periodLocked(const Generation& g, std::uint64_t hash, const GenerationHistory* history);

    std::mutex mutex_;
    std::uint64_t serial_ = 0;    // the last publication seen; 0: none
    std::vector<Seen> seen_;      // a ring of the last kLongestPeriod generations' hashes
    std::size_t next_ = 0;        // where the next one goes
    int unconfirmed_ = 0;         // a period the last generation matched by its hash alone
};
