#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The world a board lives in: the plane bounded by the board's edges (the
// cells beyond stay dead), or the torus, where the left edge touches the
// right and the top the bottom.
enum class World : std::uint8_t { Plane, Torus };

struct ParsedRule;

// A Life-like rule: two states and the eight neighbours. A cell that is not
// live is born when its count of live neighbours is in `birth`; a live cell
// stays live when its count is in `survival` (bit n of each set: n live
// neighbours). Gray cells are never live: a cell that is not live and whose
// count is in the survival set but not the birth set keeps its value (dead
// or gray); every other cell dies (255).
struct LifeLikeRule {
    static constexpr std::uint16_t kAllCounts = 0x1FF;

    std::uint16_t birth = 1u << 3;
    std::uint16_t survival = (1u << 2) | (1u << 3);
    World world = World::Plane;

    // B3/S23 on the bounded plane.
    static LifeLikeRule life() { return {}; }
    bool isLife() const { return birth == life().birth && survival == life().survival; }
    // Whether a cell with no live neighbour is born: then a dead region changes.
    bool bornAlone() const { return (birth & 1u) != 0; }

    // The canonical name: "B" and the birth counts ascending, "/S" and the
    // survival counts ascending ("B3/S23", "B2/S"). Says nothing of the world.
    std::string name() const;

    // Reads a rule name in the spellings Life programs use: B3/S23, b3/s23,
    // B3S23, S23/B3, 23/3 (survival first), with an optional state count of
    // 2 (B3/S23/C2, 23/3/2). Nothing may follow the name: a world suffix
    // (":T64,64") is the caller's to take off. The world is left Plane.
    static ParsedRule parse(std::string_view text);

    bool operator==(const LifeLikeRule&) const = default;
};

// What reading a rule name gave: a rule, or why the text is none.
struct ParsedRule {
    bool ok = false;
    LifeLikeRule rule;
    std::string error;  // why it is not a Life-like rule, as a clause: "it has 3 cell states …"
};
