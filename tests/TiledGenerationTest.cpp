#include "Boards.h"
#include "CurrentBoard.h"
#include "Generation.h"
#include "GenerationStep.h"
#include "ReferenceLife.h"
#include "TileKernel.h"
#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

// The engine's generations, tile by tile, against the plain per-cell rule,
// one generation at a time. The generations are driven as a run drives them
// (take the current generation, compute into the spare buffer, publish), on
// the test's own thread; on each vector unit the processor has, the plain
// one included.

namespace {

class Tiled : public ::testing::TestWithParam<TileKernel::Unit> {
protected:
    void SetUp() override { TileKernel::use(GetParam()); }
    void TearDown() override { TileKernel::use(TileKernel::units().back()); }

    void install(const CellBitmap& board, const LifeLikeRule& runs = LifeLikeRule::life())
    {
        rule = runs;
        expected = board.copy();
        life.setRule(rule);
        life.install(board);
        generation = 0;
    }

    // One generation on both sides, compared. `hold` keeps the generation
    // before, as a recorder does, so that the next one is computed into a
    // buffer that holds something else.
    void step(bool hold = false)
    {
        auto from = life.waitForCurrent({}, {});
        ASSERT_TRUE(from.generation);
        const auto& cells = *from.generation->board;
        auto next = life.takeBuffer(cells.pixelsWide(), cells.pixelsHigh());
        ASSERT_TRUE(next);
        ASSERT_TRUE(stepper.run(*from.generation, *next, &pool, {}));
        // Exactly the tiles with marks are listed: none left alone keeps marks from before.
        const auto& marks = next->tiles.marks;
        ASSERT_EQ(std::count_if(marks.begin(), marks.end(), [](auto m) { return m != 0; }), std::ssize(next->tiles.marked));
        held = hold ? CurrentBoard::boardOf(from.generation) : nullptr;
        from.generation.reset();
        ASSERT_TRUE(life.publishAfter(from.serial, next, {}));
        reference::step(*expected, rule);
        ++generation;
        check();
    }

    void check()
    {
        const auto now = life.snapshot();
        // Cells are made on demand: a rectangle somewhere on the board first, then all of it.
        const std::int64_t w = expected->pixelsWide(), h = expected->pixelsHigh();
        const std::int64_t x0 = std::int64_t(generation * 37) % w, y0 = std::int64_t(generation * 53) % h;
        std::int64_t grays = 0;
        for (std::int64_t y = y0; y < std::min(h, y0 + 70); ++y)
            for (std::int64_t x = x0; x < std::min(w, x0 + 90); ++x)
                ASSERT_EQ(now.board->getPixel(x, y), expected->getPixel(x, y)) << x << "," << y;
        const std::uint8_t* cells = expected->data();
        for (std::int64_t i = 0; i < w * h; ++i)
            grays += cells[i] != CellBitmap::kLive && cells[i] != CellBitmap::kDead;
        ASSERT_EQ(now.grayCells, grays) << "generation " << generation;
        ASSERT_TRUE(now.board->sameCells(*expected)) << "generation " << generation;
        ASSERT_EQ(now.population, expected->liveCells()) << "generation " << generation;
        ASSERT_EQ(now.generation, generation);
    }

    // Edits in place when no one else holds the board, on a copy when a
    // reader does (`read`); either way a published board never changes, the
    // serial grows and the generation count stays.
    void edit(std::initializer_list<CellEdit> edits, bool read = false)
    {
        for (const CellEdit& e : edits) {
            if (expected->contains(e.x, e.y))
                expected->setPixel(e.x, e.y, e.value);
        }
        edited([&] { return life.edit(edits); }, read);
    }
    // A rectangle of cells set at once, as a selection's command does.
    void editBlock(std::int64_t left, std::int64_t top, const CellBitmap& block, bool read = false)
    {
        for (std::int64_t y = 0; y < block.pixelsHigh(); ++y)
            for (std::int64_t x = 0; x < block.pixelsWide(); ++x)
                expected->setPixel(left + x, top + y, block.getPixel(x, y));
        edited([&] { return life.editBlock(left, top, block.pixelsWide(), block.pixelsHigh(), block.data()); }, read);
    }
    void edited(const std::function<bool()>& edit, bool read)
    {
        auto before = life.snapshot();
        const CellBitmap* cells = before.board.get();
        const auto reader = read ? std::move(before.board) : nullptr;
        const auto readerCells = read ? reader->copy() : nullptr;
        before.board.reset();
        ASSERT_TRUE(edit());
        EXPECT_EQ(life.snapshot().board.get() == cells, !read);
        EXPECT_GT(life.snapshot().serial, before.serial);
        EXPECT_TRUE(!read || reader->sameCells(*readerCells)) << "a board once published changed";
        check();
    }

    CurrentBoard life;
    LifeLikeRule rule;
    GenerationStep stepper;
    WorkerPool pool{2};
    std::unique_ptr<CellBitmap> expected;
    std::shared_ptr<const CellBitmap> held;
    std::uint64_t generation = 0;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Units, Tiled, testing::ValuesIn(TileKernel::units()),
                         [](const auto& unit) { return std::string(TileKernel::name(unit.param)); });

// Widths and heights around the tiles' 64 by 64 cells, with gray cells; and
// boards that settle, with and without gray cells, so that fewer and fewer
// tiles are computed.
TEST_P(Tiled, RandomBoardsOfManySizesAndBoardsThatSettle)
{
    unsigned seed = 1;
    for (int w : {1, 2, 63, 64, 65, 130}) {
        for (int h : {1, 3, 63, 64, 65, 100}) {
            SCOPED_TRACE(testing::Message() << w << "x" << h);
            install(*boards::seeded(w, h, seed++));
            for (int g = 0; g < 6; ++g)
                step(g % 2 == 1);
        }
    }
    for (const bool grays : {false, true}) {
        SCOPED_TRACE(grays ? "settling with gray cells" : "settling, live and dead");
        install(*boards::seeded(150, 97, 7, grays));
        for (int g = 0; g < 300; ++g)
            step(g % 50 == 0);
    }
}

LifeLikeRule named(const char* name, World world)
{
    LifeLikeRule rule = LifeLikeRule::parse(name).rule;
    rule.world = world;
    return rule;
}

// Rules whose empty regions change (B0, B1, B2), where no cell survives or
// every cell does, HighLife, Day & Night and Seeds, on both worlds, on
// boards as narrow as a cell and widths that are no multiple of 64, with gray
// cells: every tile the engine leaves alone is one the rule cannot change.
TEST_P(Tiled, EveryLifeLikeRuleOnThePlaneAndTheTorus)
{
    const char* rules[] = {"B3/S23", "B0/S", "B0/S8", "B1/S", "B2/S", "B8/S", "B/S0", "B/S8", "B/S",
                           "B012345678/S012345678", "B36/S23", "B3678/S34678", "B1357/S02468", "B3/S012345678"};
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 70}, {70, 1}, {2, 3}, {65, 66}, {130, 100}};
    unsigned seed = 11;
    for (const char* name : rules) {
        for (const World world : {World::Plane, World::Torus}) {
            for (auto [w, h] : sizes) {
                SCOPED_TRACE(testing::Message() << name << (world == World::Torus ? " torus " : " plane ") << w
                                                << "x" << h);
                const unsigned s = seed++;
                install(*boards::seeded(w, h, s, s % 2 == 0), named(name, world));
                for (int g = 0; g < 8; ++g)
                    step(g % 3 == 1);
            }
        }
    }
    // B3/S23 is today's rule: a gray cell with two live neighbours keeps its gray.
    auto board = boards::withLive(3, 3, {{0, 0}, {2, 2}});
    board->setPixel(1, 1, 100);
    install(*board);
    step();
    EXPECT_EQ(life.snapshot().board->getPixel(1, 1), 100);
}

// A glider in each diagonal direction, aimed at a corner, at the top or
// bottom edge and at the left or right edge of a board whose size is no
// multiple of the tile (on the plane it crashes there, on a torus it flies
// on across), and along five paths around the corner of four tiles
// at (64, 64), one of which goes right through it. A blinker stays away from
// the paths: once the glider has crashed, nothing is computed.
TEST_P(Tiled, GlidersCrossingTilesIntoEveryEdgeAndCorner)
{
    const int w = 130, h = 90;
    struct Flight { int dx, dy, x, y, generations; World world = World::Plane; };
    std::vector<Flight> flights;
    for (const int dx : {-1, 1}) {
        for (const int dy : {-1, 1}) {
            const int cornerX = dx > 0 ? w - 3 : 0;
            const int cornerY = dy > 0 ? h - 3 : 0;
            flights.push_back({dx, dy, cornerX - 45 * dx, cornerY - 45 * dy, 240});  // into the corner
            flights.push_back({dx, dy, 65, dy > 0 ? 40 : 47, 240});                 // the top or bottom edge
            flights.push_back({dx, dy, dx > 0 ? 90 : 37, 45, 240});                 // the left or right edge
            for (int k = -2; k <= 2; ++k)
                flights.push_back({dx, dy, 63 - 12 * dx + k, 63 - 12 * dy, 70});  // through the tiles' corner
            // On a torus: on across the corner, and across an edge at the
            // top or bottom and at the left or right.
            flights.push_back({dx, dy, cornerX - 12 * dx, cornerY - 12 * dy, 120, World::Torus});
            flights.push_back({dx, dy, 65, cornerY - 12 * dy, 120, World::Torus});
            flights.push_back({dx, dy, cornerX - 12 * dx, 45, 120, World::Torus});
        }
    }
    for (const Flight& f : flights) {
        SCOPED_TRACE(testing::Message() << "glider heading " << f.dx << "," << f.dy << " from " << f.x << "," << f.y);
        auto board = CellBitmap::create(w, h);
        // Three cells in a row with the two that steer it.
        for (auto [cx, cy] : {std::pair{0, 0}, {1, 0}, {2, 0}, {2, -1}, {1, -2}}) {
            const int px = f.dx > 0 ? cx : 2 - cx;
            const int py = f.dy > 0 ? 2 + cy : -cy;
            board->setPixel(f.x + px, f.y + py, CellBitmap::kLive);
        }
        const int bx = f.dx * f.dy > 0 ? 120 : 8;  // off the glider's diagonal
        for (int i = 0; i < 3; ++i)
            board->setPixel(bx + i - 1, 3, CellBitmap::kLive);
        install(*board, LifeLikeRule{.world = f.world});
        for (int g = 0; g < f.generations; ++g) {
            // Every seventh generation is held, so the next one goes into a
            // buffer that holds another and computes every tile.
            step(g % 7 == 3);
            if (f.world == World::Plane && g > 4 && g < 150 && g % 7 != 4) {
                EXPECT_LE(stepper.computed(), 4u) << "a flying glider touches at most four of the six tiles";
            }
        }
        if (f.world == World::Torus) {
            EXPECT_EQ(life.snapshot().population, 5 + 3) << "the glider flies on";
        } else if (f.generations > 200) {
            EXPECT_EQ(stepper.computed(), 0u) << "the crash has settled and the blinker repeats";
        }
    }
}

// The first generation after a board is installed computes every tile;
// after an edit the edited tiles and their neighbours are computed whether
// the edit was made in place or on a copy (the board held by a reader).
TEST_P(Tiled, EditsAndReplacedBoardsBetweenGenerations)
{
    install(*boards::seeded(150, 100, 3));
    for (int g = 0; g < 20; ++g)
        step();
    // Corners and edges of tiles, gray values, and a cell outside the board.
    edit({{63, 63, 0}, {64, 64, 0}, {0, 0, 0}, {149, 99, 130}, {65, 65, 255}, {150, 3, 0}});
    for (int g = 0; g < 6; ++g)
        step();
    edit({{64, 63, 0}, {64, 62, 0}, {64, 61, 0}, {10, 70, 200}}, true);
    for (int g = 0; g < 10; ++g)
        step();
    // Blocks across tiles' edges, with gray cells, in place and on a copy; a block outside is refused.
    editBlock(60, 30, *boards::seeded(70, 40, 6, true));
    step();
    editBlock(0, 0, *boards::seeded(150, 100, 7), true);
    for (int g = 0; g < 4; ++g)
        step();
    EXPECT_FALSE(life.editBlock(100, 90, 51, 10, boards::seeded(51, 10, 8)->data()));

    const BoardTiles tiles(150, 100);
    install(*boards::seeded(150, 100, 4));
    step();
    EXPECT_EQ(stepper.computed(), static_cast<std::size_t>(tiles.count()));
    for (int g = 0; g < 10; ++g)
        step(g == 4);
}

// The first generation of a board just installed into a buffer of dead
// cells computes only the tiles with live or gray cells and their rings:
// births across a tile's edges and corner, and gray cells alone in a tile.
// A board whose tiles the engine no longer computes (a blinker repeats every
// two generations) is edited: next to the blinker, which changes what it
// becomes; apart from it in the same tile, where the new cell dies at once and
// the tile returns to the cells of two generations back; and in the left or
// right column of a tile, where the first births fall in the tile beside it.
TEST_P(Tiled, BoardsJustInstalledAndEditsAmongTilesThatAreNoLongerComputed)
{
    const std::vector<CellEdit> blinker = {{10, 5, 0}, {11, 5, 0}, {12, 5, 0}};
    struct Case { const char* name; std::vector<CellEdit> installed, added; };
    const Case cases[] = {
        {"blinker across a right edge", {{63, 5, 0}, {63, 6, 0}, {63, 7, 0}}, {}},
        {"blinker across a bottom edge", {{10, 63, 0}, {11, 63, 0}, {12, 63, 0}}, {}},
        {"birth in the tile diagonally below", {{63, 63, 0}, {64, 63, 0}, {63, 64, 0}}, {}},
        {"gray cells alone in a tile", {{70, 20, 40}, {100, 30, 200}}, {}},
        {"cell added next to the blinker", blinker, {{11, 4, 0}}},
        {"cell added apart from it", blinker, {{20, 10, 0}}},
        {"cells added in a tile's left column", blinker, {{64, 20, 0}, {64, 21, 0}, {64, 22, 0}}},
        {"cells added in a tile's right column", blinker, {{63, 30, 0}, {63, 31, 0}, {63, 32, 0}}},
    };
    int width = 130;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto board = CellBitmap::create(width++, 80);  // a new size: a new buffer
        for (const CellEdit& e : c.installed)
            board->setPixel(e.x, e.y, e.value);
        install(*board);
        for (int g = 0; g < 6; ++g)
            step();
        ASSERT_EQ(stepper.computed(), 0u);
        for (const CellEdit& e : c.added)
            edit({e});
        for (int g = 0; g < 8; ++g)
            step();
    }
}

// Large enough to be shared out among the pool's threads.
TEST_P(Tiled, SharedOutAmongThreadsOnALargeBoard)
{
    install(*boards::seeded(600, 400, 11));  // 70 tiles
    for (int g = 0; g < 20; ++g)
        step();
    EXPECT_GE(stepper.computed(), GenerationStep::kParallelTiles);
}
