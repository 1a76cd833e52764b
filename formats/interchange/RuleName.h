#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A pattern file's rule, as Life programs write it: B3/S23 in its usual
// spellings (b3/s23, B3S23, S23/B3, 23/3, with a state count of 2), with an
// optional bounded-plane suffix ":Pw,h" that gives the size of the board the
// pattern was made on (":Pw" is a square; 0 leaves that direction unbounded).
// Any other rule, any other topology (torus, Klein bottle, cross-surface,
// sphere) and more than two states are refused: a pattern is never run under
// a rule it was not made for.
class RuleName {
public:
    // The rule Game of Life runs, as the writers write it.
    static constexpr const char* kLife = "B3/S23";
    // The names in messages are cut to this length.
    static constexpr std::size_t kMaxQuoted = 60;

    // Empty when the rule is B3/S23, otherwise the sentence that tells the
    // person why the pattern cannot be run.
    std::string refusal;
    // The plane's width and height in cells, where the suffix gives them.
    std::optional<std::int64_t> planeWidth;
    std::optional<std::int64_t> planeHeight;

    bool isLife() const { return refusal.empty(); }

    static RuleName read(std::string_view text);

private:
    static bool isLifeRule(std::string_view rule, int& states);
    static bool readPlane(std::string_view suffix, RuleName& into);
};
