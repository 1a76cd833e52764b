#pragma once

#include "BoardLoad.h"
#include "PatternPlacement.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads macrocell (".mc"), the format Golly keeps very large patterns in: a
// quadtree written bottom-up, each node once, however often it recurs.
//
//   [M2] (golly 3.3)
//   #R B3/S23                the rule; "#G 5" the generation
//   $.*.*$..**$..*$          a leaf: 8 by 8 cells, rows ended by "$"
//   4 0 0 0 1                a node of level 4 (16 by 16 cells) and its
//                            quarters NW NE SW SE: earlier nodes by number
//                            (from 1), 0 for an empty one
//
// The last node is the whole pattern, centred on the origin. Only two-state
// Life-like files are read (a node of level 1 to 3 belongs to a pattern of
// more states), under any Life-like rule on an unbounded plane, a bounded
// plane or a torus. Each node refers only to earlier
// ones, one level down, so there are no cycles; levels stop at 63. The box
// of live cells is worked out node by node before anything is expanded, and
// a pattern whose box does not fit the largest board is refused, saying how
// large it is: the reader never expands more than the board it makes.
class MacrocellReader {
public:
    static bool isMacrocell(std::string_view text) { return text.starts_with("[M2]"); }

    // Reads macrocell text; fileName names the text in messages.
    static BoardLoad parse(std::string_view text, const std::string& fileName, PatternTarget target);

private:
    // The live cells' box within a node, counted from its top-left corner.
    struct Box {
        std::uint64_t left = 0, top = 0, right = 0, bottom = 0;
        bool empty = true;
    };
    struct Node {
        std::uint64_t leaf = 0;  // the 8 by 8 cells of a leaf, row by row
        std::uint32_t quarter[4] = {};
        std::uint8_t level = 3;
        Box box;
    };

    MacrocellReader(std::string_view text, const std::string& fileName) : text_(text), fileName_(fileName) {}

    bool read();
    bool readLine(std::string_view line);
    bool readLeaf(std::string_view line);
    bool readNode(std::string_view line);
    void fill(std::uint32_t node, std::uint64_t x, std::uint64_t y, CellBitmap& board, std::int64_t offsetX,
              std::int64_t offsetY) const;
    bool fail(const std::string& reason);
    bool failOnLine(const std::string& what);

    std::string_view text_;
    std::string fileName_;
    std::string error_;
    std::int64_t line_ = 0;
    std::uint64_t generation_ = 0;
    std::optional<std::int64_t> planeWidth_, planeHeight_;
    std::optional<LifeLikeRule> rule_;  // the rule the file names, if it names one
    std::vector<Node> nodes_{Node{}};  // node 0: empty
};
