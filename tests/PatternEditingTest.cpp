#include "AppHarness.h"
#include "FileHelpers.h"
#include "PatternFile.h"
#include "PatternInterchange.h"
#include "PatternLibrary.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QWindow>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <span>

#include <gtest/gtest.h>

namespace {

bool editingWindowState(const AppHarness& h)
{
    const QMainWindow* w = h.app.window;
    return w->isWindowModified() && w->minimumSize() == w->maximumSize() && w->size() == w->minimumSize();
}

bool normalWindowState(const AppHarness& h)
{
    const QMainWindow* w = h.app.window;
    return !w->isWindowModified() && w->maximumSize() == QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}


// Enters pattern-editing mode on the board shown and toggles one cell.
void editAndChange(AppHarness& h)
{
    h.app.editPattern();
    h.app.theView->mouseDown({2, double(h.app.theView->height()) - 2});
    ASSERT_TRUE(h.app.theView->isCreatingAndSomethingChanged());
}

}  // namespace

// Points given to mouseDown count up from the bottom edge, as in the worked
// example; outside the mode a press changes nothing.
TEST(CellEditing, MouseDownCountsFromTheBottomEdgeAndEditsOnlyInTheMode)
{
    VandrelGameOfLifeView view;
    view.resize(400, 300);
    view.initWithBitmap(*CellBitmap::create(100, 75));
    view.startEditing();
    view.mouseDown({10.5, 299.0});
    view.mouseDown({399.9, 0.5});
    EXPECT_EQ(view.getBitmap()->getPixel(2, 0), CellBitmap::kLive);
    EXPECT_EQ(view.getBitmap()->getPixel(99, 74), CellBitmap::kLive);
    EXPECT_EQ(view.getBitmap()->liveCells(), 2);
    view.endCreating();
    view.mouseDown({10.5, 299.0});
    EXPECT_EQ(view.getBitmap()->getPixel(2, 0), CellBitmap::kLive);
    EXPECT_FALSE(view.isCreatingAndSomethingChanged());
}

TEST(PatternMode, SheetOkMakesABlankBoardCancelOrATooLargeSizeKeepsEverything)
{
    AppHarness h;
    const auto before = h.board();
    h.app.createNewPattern();
    ASSERT_TRUE(h.app.nnewPatternSheet->isVisible());
    EXPECT_EQ(h.app.nnewPatternSheet->windowModality(), Qt::WindowModal);
    // Too large to hold: a message, and the sheet stays with its fields.
    h.sheet("100000", "100000");
    h.app.newPatternOK();
    auto* message = qobject_cast<QMessageBox*>(h.lastDialog());
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), QStringLiteral("A pattern of 100000 by 100000 cells is too large."));
    EXPECT_EQ(message->informativeText(),  // the real limit: 100000 by 100 fits
              QStringLiteral("A board holds at most %1 cells in all, 16384 by 16384 for example.")
                  .arg(QLocale().toString(qlonglong{1} << 28)));
    EXPECT_EQ(h.board(), before);
    EXPECT_TRUE(h.app.nnewPatternSheet->isVisible());
    message->close();
    h.sheet("30", "");
    h.app.newPatternCancel();
    EXPECT_EQ(h.board(), before);
    EXPECT_FALSE(h.app.isCreating());
    EXPECT_EQ(h.sheet(), QStringLiteral("30 x "));

    h.app.createNewPattern();
    h.app.nnewPatternPixelsHighTextField->setText(QStringLiteral("20"));
    h.app.newPatternOK();
    EXPECT_FALSE(h.app.nnewPatternSheet->isVisible());
    EXPECT_TRUE(h.board()->sameCells(*CellBitmap::create(30, 20)));
    EXPECT_EQ(h.board()->size(), (LogicalSize{480, 360}));
    EXPECT_TRUE(h.app.isCreating());
    EXPECT_TRUE(editingWindowState(h));
    EXPECT_EQ(h.sheet(), QStringLiteral(" x "));

    // With the fields empty there is no blank board: a random one is drawn and edited.
    h.app.createNewPattern();
    h.app.newPatternOK();
    EXPECT_TRUE(h.app.isCreating());
    (void)h.app.theView->grab();
    EXPECT_EQ(h.board()->pixelsWide(), 120);
}

// Entering and leaving the mode, maximized or not, the window stays where
// it is and as large as it is, and is never hidden and shown again.
TEST(PatternMode, TheModeKeepsTheWindowWhereAndAsLargeAsItIsWithoutHidingIt)
{
    AppHarness h;
    QMainWindow* w = h.app.window;
    int hides = 0;
    QObject::connect(w->windowHandle(), &QWindow::visibleChanged, [&](bool visible) { hides += !visible; });
    for (bool maximized : {false, true}) {
        if (maximized) {
            const QSize normal = w->frameGeometry().size();
            w->showMaximized();
            ASSERT_TRUE(AppHarness::waitUntil([&] { return w->isMaximized() && w->frameGeometry().size() != normal; }));
            AppHarness::pump(200);  // the window manager's last word on the frame
        }
        const QRect frame = w->frameGeometry();
        for (void (AppDelegate::*command)() : {&AppDelegate::editPattern, &AppDelegate::reset}) {
            (h.app.*command)();
            AppHarness::pump();
            EXPECT_EQ(w->frameGeometry(), frame);
            EXPECT_EQ(w->isMaximized(), maximized) << maximized;
        }
    }
    EXPECT_EQ(hides, 0);
}

TEST(PatternMode, EditPatternStopsARunAndAnUnchangedPatternLetsCommandsGoOn)
{
    AppHarness h;
    h.app.iterationsTextfield->setText(QStringLiteral("1000000"));
    h.app.startGameOfLife();
    AppHarness::pump(30);
    h.app.editPattern();
    EXPECT_FALSE(h.indicatorShown());
    ASSERT_TRUE(h.runEnds());
    EXPECT_TRUE(editingWindowState(h));

    h.app.startGameOfLife();
    EXPECT_EQ(h.question(), nullptr);
    EXPECT_FALSE(h.app.isCreating());
    EXPECT_TRUE(normalWindowState(h));
    EXPECT_TRUE(h.indicatorShown());

    // Likewise the window closes at once.
    h.app.editPattern();
    h.app.window->close();
    EXPECT_EQ(h.question(), nullptr);
    EXPECT_FALSE(h.app.window->isVisible());
}

// Every command that passes the guard, against every answer to its question
// (Escape keeps the pattern as Cancel does; a save that fails says so).
TEST(Guard, EachAnswerEndsOrKeepsTheModeAndReissuesOrDropsTheCommand)
{
    struct Command {
        const char* name;
        void (AppDelegate::*issue)();
        std::function<bool(AppHarness&, const std::shared_ptr<const CellBitmap>&)> done;
    };
    const Command commands[] = {
        {"start", &AppDelegate::startGameOfLife, [](AppHarness& h, auto&) { return h.indicatorShown(); }},
        {"record", &AppDelegate::startGameOfLifeAndMakeGif,
         [](AppHarness& h, auto&) { return h.panel() && h.panel()->windowTitle() == QStringLiteral("Save gif"); }},
        {"reset", &AppDelegate::reset, [](AppHarness& h, auto& before) { return h.board() != before; }},
        {"new pattern", &AppDelegate::createNewPattern,
         [](AppHarness& h, auto&) { return h.app.nnewPatternSheet->isVisible(); }},
        {"glider gun", &AppDelegate::showGliderGun, [](AppHarness& h, auto&) { return h.board()->liveCells() == 36; }},
        {"close", &AppDelegate::quit, [](AppHarness& h, auto&) { return !h.app.window->isVisible(); }},
        {"import", &AppDelegate::importPattern,
         [](AppHarness& h, auto&) {
             return h.panel() && h.panel()->windowTitle() == QStringLiteral("Import pattern");
         }},
        {"paste", &AppDelegate::paste, [](AppHarness& h, auto&) { return h.board()->liveCells() == 5; }},
        {"step", &AppDelegate::stepGameOfLife,
         [](AppHarness& h, auto&) { return QTest::qWaitFor([&] { return h.generation() == 1; }, 500); }},
    };
    QGuiApplication::clipboard()->setText(QStringLiteral("x = 3, y = 3\nbo$2bo$3o!"));
    enum Answer { DontSave, Cancel, Escape, SaveChosen, SaveDismissed, SaveFails };
    for (const Command& command : commands) {
        for (Answer answer : {DontSave, Cancel, Escape, SaveChosen, SaveDismissed, SaveFails}) {
            SCOPED_TRACE(std::string(command.name) + ", answer " + std::to_string(answer));
            QTemporaryDir dir;
            AppHarness h;
            h.app.iterationsTextfield->setText(QStringLiteral("1000000"));
            editAndChange(h);
            const auto edited = h.board();
            (h.app.*command.issue)();
            h.settle();  // a paste reads the clipboard first
            QMessageBox* box = h.question();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), QStringLiteral("Do you want to save this pattern?"));
            EXPECT_EQ(box->informativeText(),
                      QStringLiteral("If you don't save this pattern, your pattern will get lost."));
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            EXPECT_EQ(box->windowModality(), Qt::WindowModal);
            QList<QAbstractButton*> buttons = box->buttons();
            std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
            QStringList texts;
            for (QAbstractButton* button : buttons)
                texts << button->text();
            EXPECT_EQ(texts, (QStringList{"Save", "Cancel", "Don't save"}));
            EXPECT_EQ(box->defaultButton(), buttons.value(0));
            EXPECT_FALSE(command.done(h, edited));
            if (answer == DontSave || answer == Cancel) {
                h.answer(answer == DontSave ? "dontSaveButton" : "cancelButton");
            } else if (answer == Escape) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                h.answer("saveButton");
                ASSERT_NE(h.panel(), nullptr);
                EXPECT_EQ(h.panel()->windowTitle(), QStringLiteral("Save pattern"));
                if (answer == SaveDismissed)
                    h.dismissPanel();
                else if (answer == SaveFails)
                    h.chooseInVanishingFolder(dir, QStringLiteral("mine"));
                else
                    h.choose(dir.filePath(QStringLiteral("mine")));
            }
            h.settle();
            const bool failureTold = !h.told.isEmpty() && h.told.back().contains(QStringLiteral("mine.golpattern"));
            EXPECT_EQ(failureTold, answer == SaveFails);
            const bool goesOn = answer == DontSave || answer == SaveChosen;
            EXPECT_EQ(h.app.isCreating(), !goesOn);
            EXPECT_EQ(h.app.theView->isCreatingAndSomethingChanged(), !goesOn);
            EXPECT_EQ(command.done(h, edited), goesOn);
            if (!goesOn) {
                EXPECT_TRUE(editingWindowState(h));
                EXPECT_EQ(h.board(), edited);
            }
            const auto saved = PatternFile::read(dir.filePath(QStringLiteral("mine.golpattern")).toStdString(), {});
            EXPECT_EQ(saved.board != nullptr, answer == SaveChosen);
            if (saved.board) {
                EXPECT_TRUE(saved.board->sameCells(*edited));
            }
            h.app.stopGameOfLife();
        }
    }
}

TEST(PatternMode, UndoGoesBackStrokeByStrokeAndBackToTheStartNothingIsLeftToSave)
{
    AppHarness h;
    QAction* undo = h.app.window->findChild<QAction*>(QStringLiteral("actionUndo"));
    QAction* redo = h.app.window->findChild<QAction*>(QStringLiteral("actionRedo"));
    h.app.editPattern();
    const auto start = h.board()->copy();
    VandrelGameOfLifeView* view = h.app.theView;
    h.drag({{10, 10}, {100, 50}, {200, 60}});
    const auto stroked = h.board()->copy();
    EXPECT_FALSE(stroked->sameCells(*start));
    QTest::mouseClick(view, Qt::LeftButton, {}, {300, 300});
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    auto key = [&](Qt::KeyboardModifiers modifiers) { QTest::keyClick(h.app.window, Qt::Key_Z, modifiers); };
    key(Qt::ControlModifier);  // the click
    EXPECT_TRUE(h.board()->sameCells(*stroked));
    EXPECT_TRUE(view->isCreatingAndSomethingChanged());
    key(Qt::ControlModifier);  // the whole stroke
    EXPECT_TRUE(h.board()->sameCells(*start));
    EXPECT_FALSE(view->isCreatingAndSomethingChanged());
    EXPECT_TRUE(editingWindowState(h));  // the mark stays as the mode set it
    EXPECT_FALSE(undo->isEnabled());
    key(Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(h.board()->sameCells(*stroked));
    EXPECT_TRUE(view->isCreatingAndSomethingChanged());
    key(Qt::ControlModifier);
    QTest::keyClick(h.app.window, Qt::Key_Y, Qt::ControlModifier);  // Ctrl+Y redoes too
    EXPECT_TRUE(h.board()->sameCells(*stroked));

    // Back at the start, the guard has nothing to ask.
    key(Qt::ControlModifier);
    h.app.startGameOfLife();
    EXPECT_EQ(h.question(), nullptr);
    EXPECT_TRUE(h.indicatorShown());
    h.app.stopGameOfLife();
    // Leaving the mode forgets the history.
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    // A board replaced after changes (a pattern opened in the mode) leaves
    // nothing to undo back to: a stroke drawn and undone, the pattern is
    // still changed and the guard asks.
    h.app.editPattern();
    QTest::mouseMove(view, {300, 300});
    QTest::mouseClick(view, Qt::LeftButton, {}, {300, 300});
    ASSERT_TRUE(view->initWithBitmap(*start));
    QTest::mouseClick(view, Qt::LeftButton, {}, {10, 10});
    key(Qt::ControlModifier);
    EXPECT_TRUE(h.board()->sameCells(*start));
    EXPECT_TRUE(view->isCreatingAndSomethingChanged());
    h.app.startGameOfLife();
    EXPECT_NE(h.question(), nullptr);
}

TEST(CellEditing, APressThatOnlyActivatesTheWindowChangesNothing)
{
    AppHarness h;
    h.app.editPattern();
    const auto start = h.board()->copy();
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::mouseClick(h.app.theView, Qt::LeftButton, {}, {10, 10});  // the window is behind another
    // A click on the window behind: it comes to the front, then the press arrives.
    h.app.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(h.app.window));
    QTest::mouseClick(h.app.theView, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(h.board()->sameCells(*start));
    // The person's next click.
    QTest::mouseMove(h.app.theView, {12, 12});
    QTest::mouseClick(h.app.theView, Qt::LeftButton, {}, {12, 12});
    EXPECT_FALSE(h.board()->sameCells(*start));
}

namespace {

int floorHalf(int v) { return int(std::floor(v / 2.0)); }

// The command worked out cell by cell on a copy of the board: where each
// selected cell goes (turns about the doubled centre, rounded down), or
// what it becomes. Nothing when the command must be refused.
std::unique_ptr<CellBitmap> modelled(Selection::Command command, const CellBitmap& old, QRect r)
{
    using C = Selection::Command;
    auto cells = old.copy();
    const QRect board(0, 0, int(old.pixelsWide()), int(old.pixelsHigh()));
    const int cx2 = r.left() + r.right(), cy2 = r.top() + r.bottom();
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x) {
            const bool in = r.contains(x, y);
            switch (command) {
            case C::Clear: if (in) cells->setPixel(x, y, 255); break;
            case C::Fill: if (in) cells->setPixel(x, y, 0); break;
            case C::ClearOutside: if (!in) cells->setPixel(x, y, 255); break;
            case C::FlipLeftRight: if (in) cells->setPixel(cx2 - x, y, old.getPixel(x, y)); break;
            case C::FlipTopBottom: if (in) cells->setPixel(x, cy2 - y, old.getPixel(x, y)); break;
            default: if (in) cells->setPixel(x, y, 255);  // turns: emptied first, then filled
            }
        }
    if (command == C::RotateClockwise || command == C::RotateAnticlockwise) {
        const int sign = command == C::RotateClockwise ? 1 : -1;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QPoint to(floorHalf(cx2 - sign * (2 * y - cy2)), floorHalf(cy2 + sign * (2 * x - cx2)));
                if (!board.contains(to))
                    return nullptr;
                cells->setPixel(to.x(), to.y(), old.getPixel(x, y));
            }
    }
    return cells;
}

}  // namespace

// Every command on the selection, on boards of odd and even sizes with
// grays, with selections at the corners, along the edges and inside, of odd
// and even sides: the board becomes what the plain model says, as one
// step, which undo takes back to the exact board and redo brings again.
// Larger boards, without grays or with one now and then, have selections
// over several squares of 64 cells, whole and cut short.
TEST(CellEditing, EachSelectionCommandMatchesThePlainModelAndUndoesToTheExactBoard)
{
    using C = Selection::Command;
    const struct {
        QSize size;
        unsigned grayOneIn;  // 0: none
    } boards[] = {{{9, 7}, 4}, {{10, 8}, 4}, {{150, 140}, 0}, {{150, 140}, 3000}};
    const QRect selections[] = {{0, 0, 3, 2}, {6, 4, 4, 4},    {3, 2, 3, 5},      {0, 3, 5, 2},
                                {2, 1, 4, 4}, {8, 6, 1, 1}, {10, 40, 131, 70}, {3, 5, 129, 129}};
    const C commands[] = {C::Clear, C::Fill, C::ClearOutside, C::FlipLeftRight, C::FlipTopBottom,
                          C::RotateClockwise, C::RotateAnticlockwise};
    std::mt19937 random(7);
    for (const auto& [size, grayOneIn] : boards)
        for (QRect selected : selections) {
            auto board = CellBitmap::create(size.width(), size.height());
            for (auto& cell : std::span(board->data(), board->cellCount()))
                cell = grayOneIn && random() % grayOneIn == 0 ? 128 : random() % 3 == 0 ? 0 : 255;
            selected = selected.intersected(QRect(QPoint(0, 0), size));
            if (selected.isEmpty())
                continue;
            for (const C command : commands) {
                SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << " selection "
                                                << selected.x() << "," << selected.y() << " " << selected.width()
                                                << "x" << selected.height() << " command " << int(command));
                VandrelGameOfLifeView view;
                view.resize(90, 70);
                view.initWithBitmap(*board);
                view.startEditing();
                view.select(selected);
                const auto expected = modelled(command, *board, selected);
                QString refusal;
                const bool changed = view.applyToSelection(command, &refusal);
                EXPECT_EQ(refusal.isEmpty(), expected != nullptr);
                EXPECT_TRUE(view.getBitmap()->sameCells(expected ? *expected : *board));
                EXPECT_EQ(changed, view.history().steps() == 1);
                EXPECT_EQ(view.isCreatingAndSomethingChanged(), changed);
                view.undo();
                EXPECT_TRUE(view.getBitmap()->sameCells(*board));
                view.redo();
                EXPECT_TRUE(view.getBitmap()->sameCells(expected ? *expected : *board));
            }
        }
}

// Shrink keeps the live cells' rectangle; Random Fill at 0% and 100% is
// Clear and Fill, and with one seed makes one board; outside the mode, no
// command changes the board.
TEST(CellEditing, ShrinkAndRandomFillKeepToTheSelectionAndOnlyInTheMode)
{
    auto board = CellBitmap::create(12, 10);
    board->setPixel(3, 4, 0);
    board->setPixel(6, 2, 0);
    board->setPixel(5, 8, 128);  // gray never counts as live
    VandrelGameOfLifeView view;
    view.resize(120, 100);
    view.initWithBitmap(*board);
    view.select({1, 1, 9, 9});
    view.shrinkSelection();
    EXPECT_EQ(view.selection().rect(), QRect(QPoint(3, 2), QPoint(6, 4)));
    EXPECT_FALSE(view.applyToSelection(Selection::Command::Fill));
    EXPECT_TRUE(view.getBitmap()->sameCells(*board));
    view.startEditing();
    std::vector<std::unique_ptr<CellBitmap>> filled;
    for (const double density : {1.0, 0.0, 0.5, 0.5}) {
        view.applyToSelection(Selection::Command::RandomFill, nullptr, density, 42);
        filled.push_back(view.getBitmap()->copy());
    }
    EXPECT_EQ(filled[0]->liveCells(), 12);
    EXPECT_EQ(filled[1]->liveCells(), 0);
    EXPECT_TRUE(filled[2]->sameCells(*filled[3]));
    // Outside the selection all is as it was: cleared inside, the two are the same.
    const auto cleared = [](const CellBitmap& b) { return modelled(Selection::Command::Clear, b, {3, 2, 4, 3}); };
    EXPECT_TRUE(cleared(*filled[2])->sameCells(*cleared(*board)));
}

// In the window, with its menus and keys: a drag with Shift selects (the
// status bar gives its size), Delete clears it in pattern-editing mode as
// one step, Ctrl+C copies only the selection, a turn past the edge is
// refused with a message, and Esc removes the selection.
TEST(PatternMode, TheSelectionIsMadeWithShiftAndItsCommandsComeFromTheMenusAndKeys)
{
    AppHarness h;
    VandrelGameOfLifeView* view = h.app.theView;
    auto board = CellBitmap::create(120, 90);
    board->fill(CellBitmap::kLive);
    ASSERT_TRUE(view->initWithBitmap(*board));
    h.drag({{8, 8}, {27, 15}}, Qt::ShiftModifier);
    EXPECT_EQ(view->selection().rect(), QRect(2, 2, 5, 2));
    h.app.status().refresh();
    EXPECT_TRUE(h.app.status().text().endsWith(QStringLiteral("Selection 5 \u00d7 2")));

    QTest::keyClick(h.app.window, Qt::Key_C, Qt::ControlModifier);
    h.settle();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QStringLiteral("x = 5, y = 2")));
    QTest::keyClick(h.app.window, Qt::Key_Delete);
    EXPECT_TRUE(view->isCreating());
    EXPECT_EQ(h.board()->liveCells(), 120 * 90 - 10);
    QTest::keyClick(h.app.window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(h.board()->sameCells(*board));

    QTest::keyClick(h.app.window, Qt::Key_Escape);
    EXPECT_TRUE(view->selection().isEmpty());
    EXPECT_FALSE(h.app.window->findChild<QAction*>(QStringLiteral("actionClear"))->isEnabled());
    view->select({0, 0, 9, 1});
    h.trigger("actionRotateClockwise");
    EXPECT_EQ(h.told.size(), 1);
    EXPECT_TRUE(h.board()->sameCells(*board));
}

// Ctrl+V floats the clipboard's pattern under the pointer; R turns it, a
// click puts it down in the chosen mode over the cells there, one step.
TEST(PatternMode, APasteFloatsUnderThePointerTurnsAndLandsInEachMode)
{
    // "obo" over "oo": cells (0,0), (2,0), (0,1), (1,1) live; turned clockwise, 2 by 3.
    const struct {
        const char* mode;
        std::uint8_t under;
        std::vector<std::uint8_t> landed;  // the 2 by 3 cells under it, row by row
    } cases[] = {
        {"actionPasteCopy", 0, {0, 0, 0, 255, 255, 0}},
        {"actionPasteOr", 255, {0, 0, 0, 255, 255, 0}},
        {"actionPasteOr", 0, {0, 0, 0, 0, 0, 0}},
        {"actionPasteXor", 0, {255, 255, 255, 0, 0, 255}},
    };
    for (const auto& c : cases) {
        AppHarness h;
        VandrelGameOfLifeView* view = h.app.theView;
        auto board = CellBitmap::create(120, 90);
        board->fill(c.under);
        ASSERT_TRUE(view->initWithBitmap(*board));
        h.trigger(c.mode);
        QGuiApplication::clipboard()->setText(QStringLiteral("x = 3, y = 2\nobo$2o!"));
        QTest::keyClick(h.app.window, Qt::Key_V, Qt::ControlModifier);
        h.settle();
        ASSERT_TRUE(view->isPasting());
        QTest::keyClick(view, Qt::Key_R);
        QTest::mouseMove(view, {42, 42});
        EXPECT_EQ(view->pasteAt(), QPoint(9, 9));
        QTest::mouseClick(view, Qt::LeftButton, {}, {42, 42});
        EXPECT_FALSE(view->isPasting());
        EXPECT_EQ(Selection::cellsOf(*h.board(), {9, 9, 2, 3}), c.landed) << c.mode << " over " << int(c.under);
        EXPECT_EQ(view->history().steps(), c.landed == Selection::cellsOf(*board, {9, 9, 2, 3}) ? 0 : 1);
    }
    // A pattern that names another rule asks whether the board runs under it.
    AppHarness h;
    const LifeLikeRule life = h.app.theView->life().rule();
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QGuiApplication::clipboard()->setText(QStringLiteral("x = 1, y = 1, rule = B36/S23\no!"));
        QTest::keyClick(h.app.window, Qt::Key_V, Qt::ControlModifier);
        h.settle();
        EXPECT_TRUE(h.app.theView->isPasting());
        ASSERT_NE(h.question(), nullptr);
        h.question()->button(answer)->click();
        h.pump();
        EXPECT_EQ(h.app.theView->life().rule() == life, answer == QMessageBox::No);
    }
}

namespace {

// The plain rule on the unbounded plane, for patterns whose gliders fly far.
using LiveCells = std::set<std::pair<int, int>>;

LiveCells next(const LiveCells& live)
{
    std::map<std::pair<int, int>, int> neighbours;
    for (const auto& [x, y] : live)
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx || dy)
                    ++neighbours[{x + dx, y + dy}];
    LiveCells out;
    for (const auto& [cell, n] : neighbours)
        if (n == 3 || (n == 2 && live.count(cell)))
            out.insert(cell);
    return out;
}

}  // namespace

// Each pattern of the library does what it is known for: it comes back,
// moved by its displacement, after its period and not before; a methuselah
// settles after its lifespan at its final population (its gliders counted);
// the gun adds a glider each period; the puffer's front comes back moved
// each period, and the debris it leaves behind keeps its population growing.
TEST(PatternLibraryTest, EachPatternHasItsKnownPeriodDisplacementLifespanAndFinalPopulation)
{
    const struct {
        const char* name;
        int period, dx, dy;  // or the lifespan, with no displacement
        int finalPopulation = -1;
    } known[] = {
        {"Block", 1, 0, 0}, {"Beehive", 1, 0, 0}, {"Loaf", 1, 0, 0}, {"Boat", 1, 0, 0},
        {"Blinker", 2, 0, 0}, {"Toad", 2, 0, 0}, {"Beacon", 2, 0, 0}, {"Pulsar", 3, 0, 0},
        {"Pentadecathlon", 15, 0, 0}, {"Glider", 4, 1, 1}, {"Lightweight Spaceship", 4, 2, 0},
        {"Middleweight Spaceship", 4, 2, 0}, {"Heavyweight Spaceship", 4, 2, 0},
        {"R-pentomino", 1103, 0, 0, 116}, {"Acorn", 5206, 0, 0, 633}, {"Diehard", 130, 0, 0, 0},
        {"Gosper Glider Gun", 30, 0, 0, 36 + 5}, {"Simkin Glider Gun", 120, 0, 0, 36 + 5},
        {"Blinker Puffer 1", 8, 4, 0},
    };
    ASSERT_EQ(PatternLibrary::entries().size(), std::size(known));
    for (std::size_t i = 0; i < std::size(known); ++i) {
        const auto& entry = PatternLibrary::entries()[i];
        const auto& k = known[i];
        SCOPED_TRACE(entry.name);
        EXPECT_STREQ(entry.name, k.name);
        const QByteArray text = PatternLibrary::text(entry).toUtf8();
        const BoardLoad load = PatternInterchange::parse({text.constData(), std::size_t(text.size())}, entry.file,
                                                         PatternTarget::shown(1, 1));
        ASSERT_TRUE(load.board) << load.error;
        LiveCells start;
        for (int y = 0; y < int(load.board->pixelsHigh()); ++y)
            for (int x = 0; x < int(load.board->pixelsWide()); ++x)
                if (load.board->getPixel(x, y) == CellBitmap::kLive)
                    start.insert({x, y});
        const bool puffer = std::string_view(k.name).find("Puffer") != std::string_view::npos;
        std::vector<LiveCells> generations{start};
        for (int g = 0; g < (puffer ? 4 * k.period : k.period + 2); ++g)
            generations.push_back(next(generations.back()));
        const int left = start.begin()->first, right = start.rbegin()->first;
        const auto [top, bottom] = std::minmax_element(start.begin(), start.end(), [](auto& a, auto& b) {
            return a.second < b.second;
        });
        // The start again, moved by the displacement (once for each whole
        // period gone by) one way or the other: the whole pattern, or
        // (`front`) the cells within its moved bounds but for their last
        // column or row behind, which the debris may touch.
        auto back = [&](int g, bool front = false) {
            const LiveCells& now = generations[std::size_t(g)];
            const int times = std::max(1, g / k.period);
            for (const int sx : {-k.dx * times, k.dx * times})
                for (const int sy : {-k.dy * times, k.dy * times}) {
                    auto inside = [&](int x, int y) {
                        return x >= left + sx + (front && sx > 0) && x <= right + sx - (front && sx < 0) &&
                               y >= top->second + sy + (front && sy > 0) && y <= bottom->second + sy - (front && sy < 0);
                    };
                    LiveCells moved, within;
                    for (const auto& [x, y] : start)
                        if (inside(x + sx, y + sy))
                            moved.insert({x + sx, y + sy});
                    for (const auto& [x, y] : now)
                        if (inside(x, y))
                            within.insert({x, y});
                    if (within == moved && (front || now.size() == start.size()))
                        return true;
                }
            return false;
        };
        if (puffer) {
            for (int g = 1; g < 4 * k.period; ++g)
                EXPECT_EQ(back(g, true), g % k.period == 0) << g;
            for (int p = 1; p < 4; ++p)
                EXPECT_LT(generations[std::size_t(p * k.period)].size(), generations[std::size_t((p + 1) * k.period)].size());
        } else if (k.finalPopulation < 0) {
            EXPECT_TRUE(back(k.period));
            for (int g = 1; g < k.period; ++g)
                EXPECT_FALSE(back(g)) << g;
        } else if (std::string_view(k.name).ends_with("Gun")) {
            const auto& next = generations[std::size_t(k.period)];
            EXPECT_EQ(next.size(), std::size_t(k.finalPopulation));
            EXPECT_TRUE(std::includes(next.begin(), next.end(), start.begin(), start.end()));
        } else {
            // Settled: from the lifespan on, every other generation is the same (gliders aside, which only move).
            const auto settled = generations[std::size_t(k.period)].size();
            EXPECT_EQ(settled, std::size_t(k.finalPopulation));
            EXPECT_EQ(generations[std::size_t(k.period) + 2].size(), settled);
            EXPECT_NE(generations[std::size_t(k.period) - 2].size(), settled);
        }
    }
}

// What the window remembers comes back in the next session; a settings
// file that is missing, corrupt or out of range gives the defaults.
TEST(PatternMode, SettingsComeBackAndABadFileMeansTheDefaults)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    const struct {
        const char* text;  // written before the session; null: the last session's file
        int speed, count;
        PasteMode mode;
    } cases[] = {
        {"", 4, 100, PasteMode::Copy},  // the defaults
        {"[run]\nspeed=9\ngenerations=-4\n[edit]\npasteMode=7\n", 4, 100, PasteMode::Copy},
        {"\xff\xfe[[[=\n\x01", 4, 100, PasteMode::Copy},
        {"[run]\nspeed=3\ngenerations=250\n[edit]\npasteMode=2\n", 3, 250, PasteMode::Xor},
        {nullptr, 1, 7, PasteMode::Or},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "the last session's");
        ASSERT_TRUE(!c.text || files::writeAll(file, c.text));
        {
            AppHarness h;
            h.app.useSettings(file);
            auto* speed = h.app.window->findChild<QComboBox*>(QStringLiteral("speedBox"));
            EXPECT_EQ(speed->currentIndex(), c.speed);
            EXPECT_EQ(h.app.theView->iterations(), c.count);
            EXPECT_EQ(h.app.iterationsTextfield->text(), QString::number(c.count));
            EXPECT_EQ(h.app.theView->pasteMode(), c.mode);
            auto* recent = h.app.window->findChild<QMenu*>(QStringLiteral("menuOpenRecent"));
            ASSERT_EQ(recent->actions().size(), c.text ? 0 : 2);
            EXPECT_TRUE(c.text || recent->actions()[1]->text() == QStringLiteral("glider.rle"));
            EXPECT_EQ(h.app.window->size() == QSize(700, 520), !c.text);
            // What the next session (the last case) finds. Each panel opens
            // where it last chose a file, not where another panel did.
            const QString patterns = dir.filePath(QStringLiteral("patterns")), images = dir.filePath(QStringLiteral("images"));
            ASSERT_TRUE(QDir().mkpath(patterns) && QDir().mkpath(images));
            ASSERT_TRUE(files::writeAll(patterns + QStringLiteral("/glider.rle"), "x = 3, y = 3\nbo$2bo$3o!"));
            ASSERT_TRUE(QImage(4, 4, QImage::Format_Grayscale8).save(images + QStringLiteral("/photo.png")));
            h.trigger("actionOpenPattern");
            ASSERT_NE(h.panel(), nullptr);
            EXPECT_EQ(h.panel()->directory().path() == patterns, !c.text);
            h.choose(patterns + QStringLiteral("/glider.rle"));
            h.trigger("actionOpenImage");
            h.choose(images + QStringLiteral("/photo.png"));
            h.app.window->resize(700, 520);
            speed->setCurrentIndex(1);
            h.app.theView->setIterations(7);
            h.trigger("actionPasteOr");
            h.app.window->hide();
        }
    }
}
