// The board view as a person uses it: presses, drags, the wheel, checked
// against the picture the view draws (read back with QWidget::grab). Also run
// at a device pixel ratio of 1.5 (QT_SCALE_FACTOR, see CMakeLists.txt).

#include "BoardPainter.h"
#include "BoardViewport.h"
#include "Boards.h"
#include "Generation.h"
#include "CellBitmap.h"
#include "VandrelGameOfLifeView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <tuple>

namespace {

// Values that tell each cell from its neighbours along rows and columns,
// none of them live or dead: 1 + (x + 3y) mod 250.
std::unique_ptr<CellBitmap> numbered(std::int64_t columns, std::int64_t rows)
{
    auto board = CellBitmap::create(columns, rows);
    for (std::int64_t y = 0; y < rows; ++y)
        for (std::int64_t x = 0; x < columns; ++x)
            board->setPixel(x, y, static_cast<std::uint8_t>(1 + (x + 3 * y) % 250));
    return board;
}

// A view of its own window, shown and active, editing `board`.
struct ShownView {
    ShownView(QSize size, const CellBitmap& board, bool editing = true)
    {
        view.resize(size);
        view.initWithBitmap(board);
        if (editing)
            view.startEditing();
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&view));
        // The pointer comes over the view: presses edit. (Qt drops a move to
        // where the pointer already is.)
        QTest::mouseMove(&view, {2, 2});
        QTest::mouseMove(&view, {1, 1});
    }
    QImage picture() { return view.grab().toImage(); }
    std::unique_ptr<CellBitmap> board() const { return view.getBitmap()->copy(); }

    // A press as the platform reports a pointer over device pixel `pixel`
    // (at its top-left corner, in points), or a whole click.
    void send(QEvent::Type type, QPoint pixel, Qt::MouseButton button = Qt::LeftButton)
    {
        const double ratio = view.devicePixelRatioF();
        if (ratio == 1.0) {
            if (type == QEvent::MouseButtonPress)
                QTest::mousePress(&view, button, {}, pixel);
            else if (type == QEvent::MouseButtonRelease)
                QTest::mouseRelease(&view, button, {}, pixel);
            else
                QTest::mouseMove(&view, pixel);
            return;
        }
        const QPointF at = QPointF(pixel) / ratio;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, at, view.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held, {});
        QApplication::sendEvent(&view, &event);
    }
    void click(QPoint pixel)
    {
        send(QEvent::MouseButtonPress, pixel);
        send(QEvent::MouseButtonRelease, pixel);
    }
    void wheel(QPoint pixel, int notches)
    {
        const QPointF at = QPointF(pixel) / view.devicePixelRatioF();
        QWheelEvent event(at, view.mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    }

    VandrelGameOfLifeView view;
};

// The one cell in which two boards of a size differ; none when none or several do.
std::optional<Cell> changedCell(const CellBitmap& a, const CellBitmap& b)
{
    std::optional<Cell> changed;
    for (std::int64_t y = 0; y < a.pixelsHigh(); ++y) {
        if (std::equal(a.row(y), a.row(y) + a.pixelsWide(), b.row(y)))
            continue;
        for (std::int64_t x = 0; x < a.pixelsWide(); ++x) {
            if (a.getPixel(x, y) != b.getPixel(x, y)) {
                if (changed)
                    return std::nullopt;
                changed = Cell{x, y};
            }
        }
    }
    return changed;
}

// The cell a click on `pixel` toggles, the click then undone.
std::optional<Cell> cellClicked(ShownView& v, QPoint pixel)
{
    const auto before = v.board();
    v.click(pixel);
    const auto cell = changedCell(*before, *v.view.getBitmap());
    if (cell)
        v.view.undo();
    return cell;
}

// Whether a drawn gray value shows a cell of value `value` (on grid lines too).
bool shows(int drawn, std::uint8_t value)
{
    const auto line = BoardPainter::onGridLine(value);
    return drawn == value || drawn == line || drawn == BoardPainter::onGridLine(line);
}

std::vector<QPoint> cellEdges(const QImage& picture)
{
    // Both sides of every change of colour along the middle row and column of pixels.
    std::vector<QPoint> pixels;
    const int midX = picture.width() / 2;
    const int midY = picture.height() / 2;
    for (int x = 1; x < picture.width(); ++x)
        if (picture.pixel(x, midY) != picture.pixel(x - 1, midY))
            pixels.insert(pixels.end(), {QPoint(x - 1, midY), QPoint(x, midY)});
    for (int y = 1; y < picture.height(); ++y)
        if (picture.pixel(midX, y) != picture.pixel(midX, y - 1))
            pixels.insert(pixels.end(), {QPoint(midX, y - 1), QPoint(midX, y)});
    pixels.push_back({picture.width() - 1, picture.height() - 1});
    return pixels;
}

}  // namespace

TEST(BoardView, EachPressTogglesTheCellDrawnUnderItsPixel)
{
    struct Case {
        QSize view;
        std::int64_t columns, rows;
        int zoom;  // wheel notches, at `around`
        QPoint around;
    };
    const Case cases[] = {
        {{480, 360}, 7, 5, 0, {}},      // a new 7 by 5 pattern in the window's first view
        {{481, 360}, 120, 90, 0, {}},   // the first board, the window one point wider
        {{480, 360}, 100, 100, 0, {}},  // cells of 4.8 by 3.6 points
        {{300, 200}, 3, 2, 0, {}},
        {{437, 311}, 100, 100, 1, {101, 80}},  // zoomed: square cells, the board moved by fractions of a pixel
        {{437, 311}, 300, 200, 4, {300, 17}},
        {{437, 311}, 200, 150, 6, {12, 300}},  // cells of 24 points, with grid lines
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.columns << " by " << c.rows << " cells in " << c.view.width() << " by "
                                        << c.view.height() << " points, zoomed " << c.zoom);
        ShownView v(c.view, *numbered(c.columns, c.rows));
        if (c.zoom)
            v.wheel(c.around, c.zoom);
        EXPECT_EQ(v.view.viewport().wholeBoard(), c.zoom == 0);
        const QImage picture = v.picture();
        const QRgb beside = v.view.palette().color(QPalette::Mid).rgb();
        const auto board = v.board();
        for (QPoint pixel : cellEdges(picture)) {
            const auto cell = cellClicked(v, pixel);
            if (!cell) {
                EXPECT_EQ(picture.pixel(pixel), beside) << "nothing toggled at " << pixel.x() << "," << pixel.y();
                continue;
            }
            EXPECT_TRUE(shows(qGray(picture.pixel(pixel)), board->getPixel(cell->x, cell->y)))
                << "at " << pixel.x() << "," << pixel.y() << " cell " << cell->x << "," << cell->y << " was toggled";
        }
        if (c.zoom == 0) {  // a press on the right and bottom edges themselves reaches the last cell
            QTest::mouseClick(&v.view, Qt::LeftButton, {}, QPoint(c.view.width(), c.view.height()));
            EXPECT_EQ(v.view.getBitmap()->getPixel(c.columns - 1, c.rows - 1), CellBitmap::kLive);
        }
    }
}

TEST(BoardView, ZoomKeepsTheCellUnderThePointerAndPanMovesTheBoardWithIt)
{
    ShownView v({437, 311}, *numbered(300, 200));
    const QImage whole = v.picture();
    // Each pointer zoomed in several times; the cell under it stays, drawn and pressed.
    for (QPoint pointer : {QPoint(217, 150), QPoint(3, 300), QPoint(400, 12)}) {
        v.view.zoomToFit();
        const auto cell = cellClicked(v, pointer);
        ASSERT_TRUE(cell);
        const std::uint8_t value = v.view.getBitmap()->getPixel(cell->x, cell->y);
        for (int notches : {1, 2, 3, 1, 2, 5}) {
            const double before = v.view.viewport().pointsPerCell();
            v.wheel(pointer, notches);
            EXPECT_GT(v.view.viewport().pointsPerCell(), before);
            EXPECT_TRUE(shows(qGray(v.picture().pixel(pointer)), value));
            EXPECT_EQ(cellClicked(v, pointer), cell) << "after " << notches << " more at " << pointer.x();
        }
    }
    EXPECT_EQ(v.view.viewport().pointsPerCell(), 64);

    // Dragging with the middle button moves the board with the pointer; with
    // the left button too, outside pattern-editing mode.
    v.view.zoomToFit();
    v.wheel({200, 150}, 3);
    const QPoint from(200, 150);
    const QPoint to(230, 170);
    for (Qt::MouseButton button : {Qt::MiddleButton, Qt::LeftButton}) {
        const auto cell = cellClicked(v, from);
        const auto before = v.board();
        if (button == Qt::LeftButton)
            v.view.endCreating();
        v.send(QEvent::MouseButtonPress, from, button);
        v.send(QEvent::MouseMove, (from + to) / 2, button);
        v.send(QEvent::MouseMove, to, button);
        v.send(QEvent::MouseButtonRelease, to, button);
        EXPECT_TRUE(v.view.getBitmap()->sameCells(*before));
        v.view.startEditing();
        EXPECT_EQ(cellClicked(v, to), cell);
    }
    // Dragged far past every edge at 8 points a cell: the board stops at its
    // edges, and the outermost pixels show their cells' own values, no grid line.
    v.view.zoomToFit();
    v.wheel({200, 150}, 5);
    ASSERT_EQ(v.view.viewport().pointsPerCell(), 8);
    const QPoint corner(whole.width() - 1, whole.height() - 1), first(1, 1);  // (QTest takes 0, 0 for the middle)
    for (const bool down : {true, false}) {  // to the right and down, then to the left and up
        for (int drag = 0; drag < 8; ++drag) {
            v.send(QEvent::MouseButtonPress, down ? first : corner, Qt::MiddleButton);
            v.send(QEvent::MouseMove, down ? corner : first, Qt::MiddleButton);
            v.send(QEvent::MouseButtonRelease, down ? corner : first, Qt::MiddleButton);
        }
        const Cell cell = down ? Cell{0, 0} : Cell{299, 199};
        EXPECT_EQ(cellClicked(v, down ? first : corner), cell) << "dragged down: " << down;
        EXPECT_EQ(qGray(v.picture().pixel(down ? QPoint(0, 0) : corner)), v.view.getBitmap()->getPixel(cell.x, cell.y));
    }
    v.view.zoomToFit();
    EXPECT_EQ(v.picture(), whole);
}

TEST(BoardView, StrokesSetEveryCellCrossedToThePressesNewValueWithoutGaps)
{
    struct Case {
        std::uint8_t fill;
        std::vector<QPoint> path;  // the press, the moves, the release; far apart: fast moves
    };
    const Case cases[] = {
        {CellBitmap::kDead, {{10, 10}, {390, 290}, {20, 280}, {200, 5}, {201, 7}}},
        {CellBitmap::kLive, {{399, 0}, {0, 150}, {397, 299}}},
        {128, {{50, 50}, {52, 250}, {300, 60}}},
        {CellBitmap::kDead, {{10, 10}, {-60, 150}, {10, 290}, {420, 150}, {390, 10}}},  // off the board and back
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.fill));
        auto blank = CellBitmap::create(100, 75);
        blank->fill(c.fill);
        ShownView v({400, 300}, *blank);
        const double ratio = v.view.devicePixelRatioF();
        auto pixel = [&](QPoint p) { return QPoint(int(p.x() * ratio), int(p.y() * ratio)); };
        v.send(QEvent::MouseButtonPress, pixel(c.path.front()));
        for (std::size_t i = 1; i < c.path.size(); ++i)
            v.send(QEvent::MouseMove, pixel(c.path[i]));
        v.send(QEvent::MouseButtonRelease, pixel(c.path.back()));
        v.send(QEvent::MouseMove, {5, 295});  // no button held: nothing

        const std::uint8_t drawn = c.fill == CellBitmap::kLive ? CellBitmap::kDead : CellBitmap::kLive;
        const auto board = v.board();
        std::set<std::pair<std::int64_t, std::int64_t>> changed;
        for (std::int64_t y = 0; y < 75; ++y)
            for (std::int64_t x = 0; x < 100; ++x)
                if (board->getPixel(x, y) != c.fill) {
                    EXPECT_EQ(board->getPixel(x, y), drawn);
                    changed.insert({x, y});
                }
        // Every cell the pointer was over on the board, the line between two
        // such cells in a row no wider than one cell, and each run of them one
        // piece (cells touching at least by a corner): none across a gap.
        const QRect onBoard(0, 0, 400, 300);
        std::int64_t longest = 0;
        std::size_t runs = 0;
        for (std::size_t i = 0; i < c.path.size(); ++i) {
            if (!onBoard.contains(c.path[i]))
                continue;
            EXPECT_TRUE(changed.count({c.path[i].x() / 4, c.path[i].y() / 4})) << i;
            const bool joined = i > 0 && onBoard.contains(c.path[i - 1]);
            runs += !joined;
            longest += joined ? std::max(std::abs(c.path[i].x() / 4 - c.path[i - 1].x() / 4),
                                         std::abs(c.path[i].y() / 4 - c.path[i - 1].y() / 4))
                              : 1;
        }
        EXPECT_LE(std::int64_t(changed.size()), longest);
        std::set<std::pair<std::int64_t, std::int64_t>> reached;
        std::size_t pieces = 0;
        for (const auto& first : changed) {
            if (!reached.insert(first).second)
                continue;
            ++pieces;
            std::vector<std::pair<std::int64_t, std::int64_t>> open{first};
            while (!open.empty()) {
                const auto [x, y] = open.back();
                open.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (changed.count({x + dx, y + dy}) && reached.insert({x + dx, y + dy}).second)
                            open.push_back({x + dx, y + dy});
            }
        }
        EXPECT_EQ(pieces, runs) << "a stroke with gaps, or a line across one";
        // One stroke, one step.
        EXPECT_EQ(v.view.history().steps(), 1);
        v.view.undo();
        EXPECT_TRUE(v.view.getBitmap()->sameCells(*blank));
    }
}

// However small the cells are drawn, a live cell shows black; lines show the
// cells wherever they are 8 device pixels or more, stretched or not; and
// zooming out past the whole board shows it smaller, its cells square, centred.
TEST(BoardView, EveryLiveCellShowsLinesFromEightPixelsAndZoomingOutCentresTheBoard)
{
    const struct {
        QSize view;
        std::int64_t side;
        std::vector<Cell> live;
        int zoomOut;
    } cases[] = {
        {{1000, 800}, 100, {}, 0},
        {{700, 500}, 100, {}, 0},
        {{480, 360}, 4096, {{1, 0}, {2, 1}, {0, 2}, {1, 2}, {2, 2}}, 0},  // none of them at a pixel's centre
        {{480, 360}, 100, {{50, 35}}, 1},
    };
    for (const auto& c : cases) {
        auto board = CellBitmap::create(c.side, c.side * 7 / 10);
        for (const Cell& cell : c.live)
            board->setPixel(cell.x, cell.y, CellBitmap::kLive);
        ShownView v(c.view, *board, false);
        if (c.zoomOut)
            v.view.zoomOut();
        const QImage picture = v.picture();
        const BoardViewport& viewport = v.view.viewport();
        const double side = c.zoomOut ? viewport.pointsPerCell() * viewport.ratio()
                                      : std::min(picture.width() / double(c.side), picture.height() / (c.side * 0.7));
        std::set<int> values;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                values.insert(qGray(picture.pixel(x, y)));
        EXPECT_EQ(values.count(0) == 1, !c.live.empty()) << c.side;
        EXPECT_EQ(values.count(BoardPainter::onGridLine(CellBitmap::kDead)) == 1, side >= 8) << side;
        if (c.zoomOut) {
            EXPECT_LT(viewport.pointsPerCell(), double(c.view.width()) / double(c.side));
            EXPECT_EQ(viewport.cellAt({picture.width() / 2, picture.height() / 2}), (Cell{50, 35}));  // centred
        }
    }
    // A board without gray cells is drawn from its bits alone, pixel for
    // pixel as the cells themselves draw it, stretched, zoomed out and in.
    for (const auto& [side, view, zoom] : {std::tuple{4096, QSize(1000, 750), 0}, {1000, QSize(333, 250), 0},
                                          {4000, QSize(1000, 750), 1}, {130, QSize(97, 61), 0},
                                          {2500, QSize(700, 500), 3}, {300, QSize(1000, 750), 2}}) {
        const auto generation = Generation::of(boards::seeded(side, side * 7 / 10, unsigned(side), false));
        BoardViewport viewport;
        viewport.setBoard(side, side * 7 / 10);
        viewport.setView(QSizeF(view), 1.0);
        viewport.zoom(zoom, QPoint(view.width() / 3, view.height() / 2));
        const auto fromBits = BoardPainter::render(*generation->board, generation->live, false, viewport);
        const auto fromCells = BoardPainter::render(*generation->board, generation->live, true, viewport);
        EXPECT_EQ(fromBits.at, fromCells.at) << side;
        EXPECT_TRUE(fromBits.image == fromCells.image) << side << " zoomed " << zoom;
    }
}

// The arrow keys move a zoomed board a step the arrow's way, Home centres
// it; Fit Pattern shows the live cells as large as a step lets them fit.
TEST(BoardView, ArrowsMoveTheZoomedBoardHomeCentresItAndFitPatternFramesTheLiveCells)
{
    auto board = CellBitmap::create(300, 200);
    for (Cell cell : {Cell{250, 20}, Cell{262, 20}, Cell{256, 29}})
        board->setPixel(cell.x, cell.y, CellBitmap::kLive);
    ShownView v({400, 300}, *board, false);
    v.view.setFocus();
    v.view.zoomAt(3, {200, 150});
    const QPoint centre(v.picture().width() / 2, v.picture().height() / 2);
    const auto cellAtCentre = [&] { return v.view.viewport().cellAt(centre); };
    for (auto [key, dx, dy] : {std::tuple{Qt::Key_Right, 1, 0}, {Qt::Key_Down, 0, 1}, {Qt::Key_Left, -1, 0}}) {
        const Cell from = *cellAtCentre();
        QTest::keyClick(&v.view, key);
        const Cell to = *cellAtCentre();
        EXPECT_EQ((to.x > from.x) - (to.x < from.x), dx) << key;
        EXPECT_EQ((to.y > from.y) - (to.y < from.y), dy) << key;
    }
    QTest::keyClick(&v.view, Qt::Key_Home);
    EXPECT_NEAR(double(cellAtCentre()->x), 150, 1);
    EXPECT_NEAR(double(cellAtCentre()->y), 100, 1);

    // 13 by 10 cells in 400 by 300 points: 24 points a cell fits, 32 does not; centred on them.
    v.view.fitPattern();
    EXPECT_EQ(v.view.viewport().pointsPerCell(), 24);
    EXPECT_EQ(cellAtCentre()->x, 256);
}
