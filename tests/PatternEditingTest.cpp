#include "AppHarness.h"
#include "PatternFile.h"

#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QWindow>
#include <QTemporaryDir>

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
    h.app.nnewPatternPixelsWideTextField->setText(QStringLiteral("100000"));
    h.app.nnewPatternPixelsHighTextField->setText(QStringLiteral("100000"));
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
    h.app.nnewPatternPixelsWideTextField->setText(QStringLiteral("30"));
    h.app.newPatternCancel();
    EXPECT_EQ(h.board(), before);
    EXPECT_FALSE(h.app.isCreating());
    EXPECT_EQ(h.app.nnewPatternPixelsWideTextField->text(), QStringLiteral("30"));

    h.app.createNewPattern();
    h.app.nnewPatternPixelsHighTextField->setText(QStringLiteral("20"));
    h.app.newPatternOK();
    EXPECT_FALSE(h.app.nnewPatternSheet->isVisible());
    EXPECT_EQ(h.board()->pixelsWide(), 30);
    EXPECT_EQ(h.board()->pixelsHigh(), 20);
    EXPECT_EQ(h.board()->liveCells(), 0);
    EXPECT_EQ(h.board()->size(), (LogicalSize{480, 360}));
    EXPECT_TRUE(h.app.isCreating());
    EXPECT_TRUE(editingWindowState(h));
    EXPECT_TRUE(h.app.nnewPatternPixelsWideTextField->text().isEmpty());
    EXPECT_TRUE(h.app.nnewPatternPixelsHighTextField->text().isEmpty());

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

TEST(Guard, QuestionHasItsTextsAndButtonsInOrder)
{
    AppHarness h;
    editAndChange(h);
    h.app.reset();
    QMessageBox* box = h.question();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Do you want to save this pattern?"));
    EXPECT_EQ(box->informativeText(), QStringLiteral("If you don't save this pattern, your pattern will get lost."));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    QList<QAbstractButton*> buttons = box->buttons();
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("Save"));
    EXPECT_EQ(buttons[1]->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(buttons[2]->text(), QStringLiteral("Don't save"));
    EXPECT_EQ(box->defaultButton(), buttons[0]);
    QTest::keyClick(box, Qt::Key_Escape);  // Escape keeps the pattern, as Cancel does
    AppHarness::pump();
    EXPECT_TRUE(h.app.isCreating());
}

// Every command that passes the guard, against every answer to its question.
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
    enum Answer { DontSave, Cancel, SaveChosen, SaveDismissed };
    for (const Command& command : commands) {
        for (Answer answer : {DontSave, Cancel, SaveChosen, SaveDismissed}) {
            SCOPED_TRACE(std::string(command.name) + ", answer " + std::to_string(answer));
            QTemporaryDir dir;
            AppHarness h;
            h.app.iterationsTextfield->setText(QStringLiteral("1000000"));
            editAndChange(h);
            const auto edited = h.board();
            (h.app.*command.issue)();
            h.settle();  // a paste reads the clipboard first
            ASSERT_NE(h.question(), nullptr);
            EXPECT_FALSE(command.done(h, edited));
            switch (answer) {
            case DontSave: h.answer("dontSaveButton"); break;
            case Cancel: h.answer("cancelButton"); break;
            case SaveChosen:
            case SaveDismissed:
                h.answer("saveButton");
                ASSERT_NE(h.panel(), nullptr);
                EXPECT_EQ(h.panel()->windowTitle(), QStringLiteral("Save pattern"));
                if (answer == SaveDismissed)
                    h.dismissPanel();
                else
                    h.choose(dir.filePath(QStringLiteral("mine")));
                break;
            }
            h.settle();
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
    QTest::mouseMove(view, {10, 10});  // the mode showed the window anew; the pointer comes back
    QTest::mousePress(view, Qt::LeftButton, {}, {10, 10});
    QTest::mouseMove(view, {100, 50});
    QTest::mouseMove(view, {200, 60});
    QTest::mouseRelease(view, Qt::LeftButton, {}, {200, 60});
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

TEST(Guard, FailedSaveKeepsTheModeAndSaysSo)
{
    AppHarness h;
    editAndChange(h);
    h.app.reset();
    h.answer("saveButton");
    QTemporaryDir dir;
    h.chooseInVanishingFolder(dir, QStringLiteral("pattern.golpattern"));
    EXPECT_TRUE(h.app.isCreating());
    EXPECT_TRUE(editingWindowState(h));
    auto* message = qobject_cast<QMessageBox*>(h.lastDialog());
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().contains(QStringLiteral("pattern.golpattern")));
}
