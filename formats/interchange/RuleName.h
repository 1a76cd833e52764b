#pragma once

#include "LifeLikeRule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A pattern file's rule, as Life programs write it: a Life-like rule in its
// usual spellings (B36/S23, b3/s23, B3S23, S23/B3, 23/3, with a state count
// of 2; see LifeLikeRule::parse), with an optional world suffix: ":Pw,h", the
// bounded plane the pattern was made on (":Pw" is a square; 0 leaves that
// direction unbounded), or ":Tw,h", a torus of that size. Any other rule
// (Generations, Larger than Life, named rule tables) and any other world (a
// Klein bottle, a cross-surface, a sphere, a torus with a shift or an
// unbounded side) is refused: a pattern is never run under a rule it was not
// made for.
class RuleName {
public:
    // Names in messages are cut to this length.
    static constexpr std::size_t kMaxQuoted = 60;

    // Empty when the rule is accepted, otherwise the sentence that tells the
    // person why the pattern cannot be run.
    std::string refusal;
    // The rule and its world, when accepted.
    LifeLikeRule rule;
    // The plane's or torus's width and height in cells, where the suffix gives them.
    std::optional<std::int64_t> planeWidth;
    std::optional<std::int64_t> planeHeight;

    bool accepted() const { return refusal.empty(); }

    static RuleName read(std::string_view text);
    // The rule as RLE writes it for a board of width by height cells:
    // "B36/S23:P20,10" on the bounded plane, "B3/S23:T20,10" on the torus.
    static std::string write(const LifeLikeRule& rule, std::int64_t width, std::int64_t height);
    // Text from a file as it can be shown in a message: control characters
    // escaped (FileMessage::printable), and cut to kMaxQuoted bytes (at a
    // character's start) with "…".
    static std::string printable(std::string_view text);

private:
    static bool readSize(std::string_view suffix, RuleName& into);
};
