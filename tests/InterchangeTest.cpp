#include "Boards.h"
#include "FileHelpers.h"
#include "GzipStream.h"
#include "PatternFile.h"
#include "PatternInterchange.h"
#include "PatternReader.h"
#include "PlaintextPattern.h"
#include "ReferenceLife.h"
#include "RleReader.h"
#include "RleWriter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <functional>
#include <sstream>

namespace {

using Reader = std::function<BoardLoad(std::string_view, const std::string&, PatternTarget)>;
const Reader rle = RleReader::parse;
const Reader plaintext = PlaintextPattern::parse;
const Reader byContent = PatternInterchange::parse;

using Picture = std::vector<std::string>;

// The smallest box holding the live cells, drawn with "O" (live) and "."
// (anything else); its top-left corner goes to `corner`.
Picture picture(const CellBitmap& board, std::pair<std::int64_t, std::int64_t>* corner = nullptr)
{
    std::int64_t left = board.pixelsWide(), top = board.pixelsHigh(), right = -1, bottom = -1;
    for (std::int64_t y = 0; y < board.pixelsHigh(); ++y)
        for (std::int64_t x = 0; x < board.pixelsWide(); ++x)
            if (board.getPixel(x, y) == CellBitmap::kLive) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (corner)
        *corner = {right < 0 ? -1 : left, right < 0 ? -1 : top};
    Picture rows;
    for (std::int64_t y = top; y <= bottom; ++y) {
        rows.emplace_back();
        for (std::int64_t x = left; x <= right; ++x)
            rows.back() += board.getPixel(x, y) == CellBitmap::kLive ? 'O' : '.';
    }
    return rows;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

const Picture kGlider{".O.", "..O", "OOO"};
const Picture kGun{
    "........................O...........", "......................O.O...........",
    "............OO......OO............OO", "...........O...O....OO............OO",
    "OO........O.....O...OO..............", "OO........O...O.OO....O.O...........",
    "..........O.....O.......O...........", "...........O...O....................",
    "............OO......................",
};

}  // namespace

TEST(Interchange, BoardsComeBackExactlyFromRleAndAsTheSamePatternFromPlaintext)
{
    // The rule, and the world's letter.
    struct Case {
        std::int64_t w, h;
        unsigned seed;
        bool grays;
        std::string rule;
        std::string name = "board";
        PatternInfo info = {};  // what the file says of the pattern, written and read back
    };
    const PatternInfo info{"Pulsar \u00fc", "J. H. Conway", {"period 3", "", "the most common period-3 oscillator"}};
    std::string longName;  // longer than a line, its cut inside a two-byte character
    for (int i = 0; i < 40; ++i)
        longName += "\u00fc";
    for (const Case& c : {Case{1, 1, 1, false, "B3/S23:P"}, {3, 5, 2, false, "B36/S23:T"},
                          {71, 3, 3, true, "B0/S8:P", longName}, {37, 23, 4, true, "B3678/S34678:T"},
                          {129, 65, 5, true, "B/S012345678:P"}, {9, 7, 6, false, "B2/S:T"},
                          {13, 13, 7, false, "B3/S23:P", info.name, info}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        auto board = boards::seeded(c.w, c.h, c.seed, c.grays);
        if (c.seed == 6) {  // live cells only in the middle: empty rows and columns around them
            board->fill(CellBitmap::kDead);
            board->setPixel(4, 3, CellBitmap::kLive);
        }
        auto expected = board->copy();
        std::int64_t grays = 0;
        for (std::uint8_t* cell = expected->data(); cell != expected->data() + expected->cellCount(); ++cell) {
            grays += *cell != CellBitmap::kLive && *cell != CellBitmap::kDead;
            *cell = *cell == CellBitmap::kLive ? CellBitmap::kLive : CellBitmap::kDead;
        }

        std::int64_t written = -1;
        const std::string world = c.rule + std::to_string(c.w) + "," + std::to_string(c.h);
        const LifeLikeRule rule = RuleName::read(world).rule;
        const std::string text = RleWriter::toText(*board, c.info.empty() ? c.name : "file name", &written, rule, &c.info);
        EXPECT_EQ(written, grays);
        const std::string size = std::to_string(c.w) + ", y = " + std::to_string(c.h);
        EXPECT_EQ(lines(text).at(0), "#CXRLE Pos=" + std::to_string(-c.w / 2) + "," + std::to_string(-c.h / 2));
        EXPECT_EQ(lines(text).at(2 + !c.info.author.empty() + c.info.comments.size()),
                  "x = " + size + ", rule = " + world);
        // The name whole, or cut short on a character's boundary where the line would be too long.
        const std::string named = lines(text).at(1), kept = named.substr(3);
        EXPECT_TRUE(named.starts_with("#N ") && c.name.starts_with(kept)) << named;
        EXPECT_EQ(QString::fromUtf8(kept).toStdString(), kept) << "cut inside a character";
        EXPECT_GE(kept.size(), std::min(c.name.size(), RleWriter::kLineLength - 3 - 1));
        for (const std::string& line : lines(text))
            EXPECT_LE(line.size(), RleWriter::kLineLength) << line;
        const BoardLoad back = rle(text, "board.rle", PatternTarget::shown(300, 300));
        ASSERT_TRUE(back) << back.error;
        EXPECT_TRUE(back.board->sameCells(*expected)) << text;
        EXPECT_EQ(back.rule, rule);
        EXPECT_EQ(back.info.author, c.info.author);
        EXPECT_EQ(back.info.comments, c.info.comments);

        written = -1;
        const std::string plain = PlaintextPattern::toText(*board, "board", &written, &c.info);
        EXPECT_EQ(written, grays);
        const auto rows = lines(plain);
        EXPECT_EQ(rows.front(), "!Name: " + (c.info.name.empty() ? "board" : c.info.name));
        for (std::size_t i = 1 + !c.info.author.empty() + c.info.comments.size(); i < rows.size(); ++i)
            EXPECT_TRUE(rows[i] == "." || rows[i].back() == 'O') << "trailing dead cells in row " << rows[i];
        const BoardLoad pattern = plaintext(plain, "board.cells", PatternTarget::shown(3, 3));
        ASSERT_TRUE(pattern) << pattern.error;
        EXPECT_EQ(picture(*pattern.board), picture(*expected)) << plain;
        EXPECT_EQ(pattern.info, (c.info.empty() ? PatternInfo{"board", {}, {}} : c.info));
    }
    // Life 1.05 keeps its comments on "#D" lines.
    const BoardLoad life = byContent("#Life 1.05\n#D period 3\n#D\n#P 0 0\n*\n", "p.lif", PatternTarget::shown(3, 3));
    ASSERT_TRUE(life) << life.error;
    EXPECT_EQ(life.info.comments, (std::vector<std::string>{"period 3", ""}));
}

// Rule names in the spellings Life programs write, each read as its
// canonical name and world; and what is no Life-like rule on a bounded
// plane or a torus, refused with the reason, the file's text printable.
TEST(Interchange, RuleNamesInEverySpellingAndWhatIsRefusedWithItsReason)
{
    const std::string runs = "; Game of Life runs Life-like rules on a bounded plane or a torus only.";
    const std::string notLifeLike = ", which is not a Life-like rule: ";
    const std::string counts = "a Life-like rule gives its birth and survival counts, such as B3/S23.";
    struct Case { std::string text, expected; };  // the canonical name (" torus" on one), or ", " and the refusal
    const std::vector<Case> cases{
        {"B3/S23", "B3/S23"}, {" b3/s23 ", "B3/S23"}, {"23/3", "B3/S23"}, {"S23/B3", "B3/S23"}, {"B3S23", "B3/S23"},
        {"B63/S32", "B36/S23"}, {"B3678/S34678:P200,100", "B3678/S34678"}, {"B2/S", "B2/S"}, {"/2", "B2/S"},
        {"B/S", "B/S"}, {"B0/S8/C2", "B0/S8"}, {"34678/3678/2", "B3678/S34678"}, {"B3/S23:T72,48", "B3/S23 torus"},
        {"B36/S23:t10", "B36/S23 torus"}, {"B9/S23", notLifeLike + counts}, {"B3/S23/B3", notLifeLike + counts},
        {"B3/", notLifeLike + counts}, {"WireWorld", notLifeLike + counts},
        {"B2/S/C3", notLifeLike + "it has 3 cell states (a Generations rule), not two."},
        {"R2,C0,M1,S34..58,B34..45,NM",
         notLifeLike + "it is a Larger than Life rule, with a range beyond the eight neighbours."},
        {"B3/S23:K10,10", ", on a Klein bottle" + runs}, {"B3/S23:C10,10", ", on a cross-surface" + runs},
        {"B3/S23:S10", ", on a sphere" + runs}, {"B3/S23:T30+7,20", ", on a torus with a shift" + runs},
        {"B3/S23:T0,68", ", on a torus with an unbounded side" + runs},
        {"B3/S23:Tx", ", on a torus whose size it cannot read" + runs},
        {"B3/S23:P-4", ", on a bounded plane whose size it cannot read" + runs},
        {"B3/S23:Q", ", on a surface it does not know" + runs},
    };
    for (const Case& c : cases) {
        const RuleName read = RuleName::read(c.text);
        const bool refused = c.expected.starts_with(",");
        EXPECT_EQ(read.accepted() ? read.rule.name() + (read.rule.world == World::Torus ? " torus" : "") : read.refusal,
                  refused ? "This pattern uses the rule " + c.text + c.expected : c.expected);
    }
    EXPECT_EQ(RuleName::printable("B3\x1b[2J\x7f" + std::string(70, 'x')),
              "B3\\x1B[2J\\x7F" + std::string(RuleName::kMaxQuoted - 7, 'x') + "\u2026");
}

TEST(Interchange, WellKnownPatternsAsPeopleWriteThemOpenAndRunAsThoseFilesMean)
{
    const std::string gosperGun = "#N Gosper glider gun\n#O Bill Gosper\n#C A true period 30 glider gun.\n"
                                  "#C The first known gun.\nx = 36, y = 9, rule = B3/S23\n"
                                  "24bo$22bobo$12b2o6b2o12b2o$11bo3bo4b2o12b2o$2o8bo5bo3b2o$2o8bo3bob2o4bobo$"
                                  "10bo5bo7bo$11bo3bo$12b2o!\n";
    // Wrapped by hand: counts split across line ends, spaces between items,
    // a comment among the runs and no "!" at the end.
    const std::string wrappedGun = "#C wrapped\r\nx = 36, y = 9\r\n24bo$22bobo$1\r\n2b2o6b2o12b2o$11bo3bo4b2o1\n"
                                   "2b 2o $ 2o8bo5bo3b2o$2o8b\n#C between the runs\no3bob2o4bo\n"
                                   "  bo$10bo5bo7bo$11bo3bo$12b2o";
    std::string plainGun = "!Name: Gosper glider gun\n";
    for (const std::string& row : kGun)
        plainGun += row + "\n";
    struct Case { Reader read; std::string text; Picture start; int generations; std::int64_t liveAfter; };
    const std::vector<Case> cases{
        {rle, "#N Glider\n#O Richard K. Guy\nx = 3, y = 3, rule = B3/S23\nbob$2bo$3o!\n", kGlider, 4, 5},
        {rle, "x=3,y=3,rule=b3/s23\r\nbob$2bo$3o!", kGlider, 8, 5},
        {rle, "#r 23/3\nx = 3, y = 3, rule = 23/3\n.A.$2.A$3A!trailing text is ignored", kGlider, 4, 5},
        {byContent, "x = 0, y = 0, rule = B3S23\nbo$2bo$3o!", kGlider, 4, 5},
        {plaintext, "!Name: Glider\n!\n.*\n..*\n***\n\n", kGlider, 4, 5},
        {byContent, "!Name: Glider\r.O\r..O\rOOO\r", kGlider, 4, 5},  // old Macintosh line ends
        {byContent, "#N Glider\rx = 3, y = 3\rbob$2bo$\r3o!\r", kGlider, 4, 5},
        {byContent, "\xEF\xBB\xBF#N Glider\nx = 3, y = 3\nbob$2bo$3o!", kGlider, 4, 5},  // a byte-order mark first
        {byContent, "\xEF\xBB\xBF.O.\n..O\nOOO\n", kGlider, 4, 5},
        {byContent, "#Life 1.05\n#D Glider\n#N\n#P -1 -1\n.*.\n..*\n***\n", kGlider, 4, 5},
        {byContent, "#Life 1.05\r\n#P 11 -5\r\n.*\r\n#P 11 -3\r\n***\r\n#P 13 -4\r\n*\r\n", kGlider, 4, 5},
        {byContent, "#Life 1.06\n0 -1\n1 0\n-1 1\n0 1\n 1  1 \n", kGlider, 4, 5},
        {byContent, "[M2] (by hand)\n#R B3/S23\n$.*$..*$***$\n4 0 0 0 1\n", kGlider, 4, 5},
        {byContent, "[M2]\n#C a glider across four leaves\n$$$$$$.......*$\n$$$$$$$*$\n......**$\n*$\n4 1 2 3 4\n5 5 0 0 0\n", kGlider,
         8, 5},
        {rle, gosperGun, kGun, 30, 36 + 5},
        {rle, wrappedGun, kGun, 60, 36 + 10},
        {byContent, plainGun, kGun, 30, 41},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        const BoardLoad load = c.read(c.text, "pattern", PatternTarget::shown(120, 90));
        ASSERT_TRUE(load) << load.error;
        EXPECT_EQ(load.board->pixelsWide(), 120);
        std::pair<std::int64_t, std::int64_t> corner, later;
        ASSERT_EQ(picture(*load.board, &corner), c.start);
        const auto history = reference::history(*load.board, c.generations);
        EXPECT_EQ(history.back()->liveCells(), c.liveAfter);
        if (c.start == kGlider) {  // a glider is itself again every 4 generations, one cell down and right
            EXPECT_EQ(picture(*history.back(), &later), kGlider);
            EXPECT_EQ(later, std::pair(corner.first + c.generations / 4, corner.second + c.generations / 4));
        }
    }
}

TEST(Interchange, PatternsAreCentredOnTheBoardShownOrOnTheirOwnPlane)
{
    struct Case { std::string text; PatternTarget target; std::int64_t w, h, liveX, liveY; };
    const std::string glider = "bob$2bo$3o!";
    for (const Case& c : std::vector<Case>{
             {"x = 3, y = 3\n" + glider, PatternTarget::shown(10, 10), 10, 10, 3, 3},
             {"x = 3, y = 3\n" + glider, PatternTarget::shown(4, 1), 7, 7, 2, 2},  // a margin of 2 on each side
             {"x = 3, y = 3, rule = B3/S23:P20,11\n" + glider, PatternTarget::shown(500, 500), 20, 11, 9, 4},
             {"#CXRLE Pos=-10,3 Gen=7\nx = 3, y = 3, rule = B3/S23:P20,11\n" + glider, PatternTarget::shown(1, 1),
              20, 11, 0, 8},
             {"#CXRLE Pos=9,5\nx = 3, y = 3, rule = B3/S23:P20,11\n" + glider, PatternTarget::shown(1, 1), 0, 0,
              0, 0},  // outside its plane: refused
             {"x = 3, y = 3, rule = B3/S23:P5\n" + glider, PatternTarget::shown(500, 500), 5, 5, 1, 1},
             {"x = 3, y = 3, rule = B3/S23:P20,0\n" + glider, PatternTarget::shown(10, 10), 20, 10, 9, 3},
             {"x = 5, y = 4, rule = B3/S23:P9,9\n2$2bo!", PatternTarget::shown(1, 1), 9, 9, 4, 4},
             {"x = 6, y = 1, rule = B3/S23:P5,5\nbo!", PatternTarget::shown(1, 1), 5, 5, 0, 2},  // wider than its plane
             {"x = 3, y = 3, rule = B3/S23:P20,11\n" + glider, PatternTarget::board(4, 5), 4, 5, 0, 1},
             {"x = 1, y = 1\n3o$o!", PatternTarget::shown(1, 1), 7, 4, 2, 1},  // cells beyond x and y
             {"x = 0, y = 0\n!", PatternTarget::shown(6, 5), 6, 5, -1, -1},
             {"!\n.O\nOOO\n\n\n", PatternTarget::shown(8, 1), 8, 4, 2, 1},
         }) {
        SCOPED_TRACE(c.text);
        const BoardLoad load = byContent(c.text, "p", c.target);
        ASSERT_EQ(static_cast<bool>(load), c.w > 0) << load.error;
        if (!load)
            continue;
        EXPECT_EQ(load.generation, c.text.starts_with("#CXRLE Pos=-10,3 Gen=7") ? 7u : 0u);
        std::pair<std::int64_t, std::int64_t> corner;
        picture(*load.board, &corner);
        EXPECT_EQ(std::tuple(load.board->pixelsWide(), load.board->pixelsHigh(), corner.first, corner.second),
                  std::tuple(c.w, c.h, c.liveX, c.liveY));
    }
}

// Every refusal names the file and says what is wrong, and where; hostile
// texts are refused without allocating for the size they claim. (More
// refusals, with their messages, are the fuzzers' seeds.)
TEST(Interchange, EveryRefusedInputSaysWhatIsWrongAndWhereWithoutLargeAllocations)
{
    const std::string glider = "x = 3, y = 3\nbob$2bo$3o!";
    const std::string longComment = "#C " + std::string(10'000'000, 'c') + "\n" + glider;
    const std::string manyRows = "x = 1000, y = 1\n" + std::string(1'000'000, '$') + "o!";
    struct Case { Reader read; std::string text; PatternTarget target; std::string message; };
    const auto shown = PatternTarget::shown(64, 48);
    // Cells in two far corners of a tree 63 levels deep, each level one line:
    // refused from the box, without expanding a node.
    std::string corners = "[M2]\n*\n.......*$$$$$$$.......*$\n4 1 0 0 0\n4 0 0 0 2\n";
    for (int level = 5, node = 3; level <= 63; ++level, node += 2)
        corners += std::to_string(level) + " " + std::to_string(node) + " 0 0 0\n" + std::to_string(level) + " 0 0 0 " +
                   std::to_string(node + 1) + "\n";
    corners += "63 " + std::to_string(3 + 2 * 58) + " 0 0 " + std::to_string(3 + 2 * 58 + 1) + "\n";
    const std::string asMc = " as a macrocell pattern: ";
    const std::string asRle = " as an RLE pattern: ", largest = " is larger than the largest board (268435456 cells).";
    const std::vector<Case> cases{  // the messages after "“p” cannot be opened"
        {rle, "x = 3, y = 3, rule = LifeHistory\n!", shown,
         ". This pattern uses the rule LifeHistory, which is not a Life-like rule: a Life-like rule gives its birth "
         "and survival counts, such as B3/S23."},
        {rle, "x = 3, y = 3, rule = B3/S23:T4,4\n5o!", shown,
         asRle + "on line 2, a live cell lies outside its torus of 4 \u00d7 4 cells."},
        {rle, "x = 3, y = 3, rule = \x1b]0;B3\a\x7f\xc2\x9b\r\n!", shown,  // control bytes shown escaped
         ". This pattern uses the rule \\x1B]0;B3\\x07\\x7F\\x9B, which is not a Life-like rule: a Life-like rule gives its birth "
         "and survival counts, such as B3/S23."},
        {rle, "x = 2147483648, y = 2147483648\n!", shown,
         asRle + "on line 1, its size of 2147483648 \u00d7 2147483648 cells" + largest},
        {rle, "x = 3, y = 3\nbo$\n1000000000000000000o!", shown,
         asRle + "on line 3, the count 1000000000000000000" + largest},
        {rle, manyRows, shown, asRle + "the pattern of 1000 \u00d7 1000001 cells" + largest},
        {rle, "x = 3\nbo!", shown, asRle + "on line 1, the header is not \u201cx = \u2026, y = \u2026\u201d."},
        {rle, "x = -3, y = 3\nbo!", shown, asRle + "on line 1, x is not a whole number."},
        {rle, "x = 3, y = 3\nbo%!", shown, asRle + "on line 2, \u201c%\u201d is not part of an RLE pattern."},
        {rle, glider, PatternTarget::board(2, 9),
         asRle + "the pattern of 3 \u00d7 3 cells does not fit on a board of 2 \u00d7 9 cells."},
        {plaintext, ".O.\n..O\nOOO", PatternTarget::board(9, 2),
         " as a plaintext pattern: the pattern of 3 \u00d7 3 cells does not fit on a board of 9 \u00d7 2 cells."},
        {byContent, "", shown, " as a pattern: it is empty."},
        {byContent, "#Life 1.05\n#R 23/3/3\n*\n", shown,
         ". This pattern uses the rule 23/3/3, which is not a Life-like rule: it has 3 cell states (a Generations "
         "rule), not two."},
        {byContent, "#Life 1.06\n0 0\n-99999999999999999999 3\n", shown,
         " as a Life 1.06 pattern: the pattern of 1099511627777 \u00d7 4 cells" + largest},
        {byContent, "#Life 1.06\n0 0\n3 zero\n", shown,
         " as a Life 1.06 pattern: on line 3, \u201c3 zero\u201d is not a cell\u2019s x and y."},
        {byContent, "#Life 1.05\n#P 1\n*\n", shown,
         " as a Life 1.05 pattern: on line 2, \u201c#P\u201d does not give a block\u2019s x and y."},
        {byContent, "#Life 1.05\n.*o\n", shown,
         " as a Life 1.05 pattern: on line 2, \u201co\u201d is not a cell (\u201c.\u201d dead, \u201c*\u201d live)."},
        {byContent, "[M2]\n4 0 0 0 2\n$*$\n", shown, asMc + "on line 2, node 2 is referred to before it is given."},
        {byContent, "[M2]\n*\n4 1 1 1 1\n5 2 2 2 1\n", shown, asMc + "on line 4, a node of level 5 holds one of level 3."},
        {byContent, "[M2]\n*\n4 99999999999999999999999 0 0 1\n", shown,
         asMc + "on line 3, node 1099511627776 is referred to before it is given."},
        {byContent, "[M2]\n64 0 0 0 0\n", shown, asMc + "on line 2, the node\u2019s level 64 is beyond 63."},
        {byContent, "[M2]\n1 0 1 0 1\n", shown,
         asMc + "it holds cells of more than two states (a node of level 1); Game of Life runs live and dead cells only."},
        {byContent, "[M2]\n#R B3/S23:K8,8\n*\n", shown,
         ". This pattern uses the rule B3/S23:K8,8, on a Klein bottle; Game of Life runs Life-like rules on a bounded "
         "plane or a torus only."},
        {byContent, corners, shown, asMc + "the pattern of 9223372036854775808 \u00d7 9223372036854775808 cells" + largest},
        {byContent, "[M2]\n#R B3/S23:P8,8\n*\n4 1 0 0 0\n", shown,
         asMc + "a live cell lies outside its bounded plane of 8 \u00d7 8 cells."},
        {byContent, longComment, PatternTarget::board(3, 3), ""},  // a long comment is no fault
    };
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    for (const Case& c : cases) {
        const BoardLoad load = c.read(c.text, "p", c.target);
        EXPECT_EQ(load.error, c.message.empty() ? "" : "\u201cp\u201d cannot be opened" + c.message)
            << c.text.substr(0, 60);
        EXPECT_EQ(static_cast<bool>(load), c.message.empty());
    }
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 32 * 1024) << "kilobytes more at the peak";
}

// Golly (bgolly) runs the same hand-written files: after some generations the
// shape, which on a bounded plane depends on exactly where the pattern lies,
// and its generation count agree.
TEST(Interchange, FilesRunAsGollyRunsThem)
{
    if (!QFileInfo::exists("/usr/bin/bgolly"))
        GTEST_SKIP() << "bgolly (Debian package golly) is not installed";
    QTemporaryDir dir;
    struct Case { const char* name; std::string text; int generations; bool hashlife = false; };
    // A glider that meets the plane's edges and a block that stays: where
    // the debris lies against the block shows where the pattern was put.
    const std::string gliderAndBlock = "5bo$6bo$4b3o6$2o$2o!\n";
    for (const Case& c : std::vector<Case>{
             {"odd-on-even.rle", "x = 7, y = 9, rule = B3/S23:P14,12\n" + gliderAndBlock, 30},
             {"odd-on-odd.rle", "x = 7, y = 9, rule = B3/S23:P15,13\n" + gliderAndBlock, 30},
             {"even-on-odd.rle", "x = 8, y = 10, rule = B3/S23:P15,13\n" + gliderAndBlock, 30},
             {"position.rle", "#CXRLE Pos=-5,-5\nx = 7, y = 9, rule = B3/S23:P14,12\n" + gliderAndBlock, 30},
             {"generation.rle", "#CXRLE Pos=-4,-5 Gen=100\nx = 7, y = 9, rule = B3/S23:P14,12\n" + gliderAndBlock,
              30},
             {"mac.cells", "!Name: R\r.OO\rOO.\r.O.\r", 30},
             {"position.rle.gz", "#CXRLE Pos=-5,-5\nx = 7, y = 9, rule = B3/S23:P14,12\n" + gliderAndBlock, 30},
             {"blocks.lif", "#Life 1.05\n#D by hand\n#N\n#P -1 -1\n.*.\n..*\n***\n#P 5 5\n**\n**\n", 20},
             {"r.lif", "#Life 1.06\n0 0\n1 0\n-1 1\n0 1\n0 2\n", 40},
             {"gliders.mc", "[M2] (by hand)\n#R B3/S23\n#G 3\n.....*$......*$....***$\n**$**$\n4 1 0 2 0\n", 30, true},
             {"gliders.mc.gz", "[M2] (by hand)\n#R B3/S23\n.....*$......*$....***$\n**$**$\n4 1 0 2 0\n", 9, true},
             // Other rules and the torus: the glider crosses the edges.
             {"torus.rle", "#CXRLE Pos=-2,-5\nx = 7, y = 9, rule = B3/S23:T14,12\n" + gliderAndBlock, 30},
             {"highlife.lif", "#Life 1.05\n#R 23/36\n#P -1 -1\n.*.\n..*\n***\n#P 5 5\n**\n**\n", 20},
             {"highlife.mc", "[M2] (by hand)\n#R B36/S23\n.....*$......*$....***$\n**$**$\n4 1 0 2 0\n", 30, true},
         }) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name), out = dir.filePath("golly.rle");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (path.endsWith(".gz")) {
            GzipStream gzip(file);
            ASSERT_TRUE(gzip.write(c.text.data(), c.text.size()) && gzip.finish());
        } else {
            ASSERT_EQ(file.write(c.text.data(), qint64(c.text.size())), qint64(c.text.size()));
        }
        file.close();
        const BoardLoad load = PatternReader::read(path.toStdString(), PatternTarget::shown(64, 64));
        ASSERT_TRUE(load) << load.error;
        QProcess golly;
        QFile::remove(out);
        golly.start("/usr/bin/bgolly", (c.hashlife ? QStringList{"-h"} : QStringList{}) +
                                           QStringList{"-q", "-q", "-m", QString::number(load.generation + c.generations),
                                                       "-o", out, path});
        ASSERT_TRUE(golly.waitForFinished(60000));
        const BoardLoad theirs = PatternReader::read(out.toStdString(), PatternTarget::shown(64, 64));
        ASSERT_TRUE(theirs) << theirs.error;
        const LifeLikeRule rule = load.rule.value_or(LifeLikeRule::life());
        EXPECT_EQ(theirs.rule.value_or(LifeLikeRule::life()), rule);
        EXPECT_EQ(picture(*reference::history(*load.board, c.generations, rule).back()), picture(*theirs.board));
    }
}

// gzip is known by its content, Export writes it, and it is never inflated
// past the bound: a damaged or endless stream is refused with its reason.
TEST(Interchange, CompressedFilesAreKnownByContentWrittenOnExportAndNeverInflatedPastTheBound)
{
    QTemporaryDir dir;
    const auto board = boards::seeded(37, 23, 8, false);
    for (const char* name : {"b.rle.gz", "b.lif", "b.RLE.GZ"}) {
        const std::string path = dir.filePath(name).toStdString();
        ASSERT_TRUE(PatternInterchange::write(*board, path)) << name;
        const BoardLoad back = PatternReader::read(path, PatternTarget::board(37, 23));
        ASSERT_TRUE(back) << back.error;
        EXPECT_TRUE(back.board->sameCells(*board)) << name;
    }
    ASSERT_TRUE(QFile::rename(dir.filePath("b.rle.gz"), dir.filePath("b.txt")));
    EXPECT_TRUE(PatternReader::read(dir.filePath("b.txt").toStdString(), PatternTarget::board(37, 23)));
    QFile own(dir.filePath("b.golpattern"));  // the application's own file, compressed
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    const std::string xml = PatternFile::toXml(board.get());
    GzipStream ownGzip(own);
    ASSERT_TRUE(ownGzip.write(xml.data(), xml.size()) && ownGzip.finish());
    own.close();
    const BoardLoad ownBack = PatternReader::read(own.fileName().toStdString(), PatternTarget::shown(1, 1));
    ASSERT_TRUE(ownBack) << ownBack.error;
    EXPECT_TRUE(ownBack.board->sameCells(*board));

    QByteArray compressed;
    QBuffer sink(&compressed);
    sink.open(QIODevice::WriteOnly);
    GzipStream gzip(sink);
    const std::string dead(1 << 20, 'b');
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(gzip.write(dead.data(), dead.size()));
    ASSERT_TRUE(gzip.finish());
    struct Case { QByteArray bytes; std::int64_t bound; std::string reason; };
    for (const Case& c : std::vector<Case>{
             {compressed, 1 << 20, "it inflates to more than 1048576 bytes, more than the largest board needs"},
             {compressed.left(compressed.size() - 4) + QByteArray(4, '\0'), 1 << 20,  // its size hidden
              "it inflates to more than 1048576 bytes, more than the largest board needs"},
             {compressed.left(compressed.size() / 2), 16 << 20, "it is not a whole gzip file (it ends early)"},
             {compressed.left(10) + QByteArray(40, 'x'), 16 << 20, "it is not a whole gzip file (invalid stored block lengths)"},
             {compressed, 16 << 20, ""},
         }) {
        QBuffer in(const_cast<QByteArray*>(&c.bytes));
        in.open(QIODevice::ReadOnly);
        QByteArray out;
        EXPECT_EQ(GzipStream::inflate(in, c.bound, nullptr, out), c.reason);
        EXPECT_EQ(out.size(), c.reason.empty() ? 8 << 20 : out.size());
    }
}
