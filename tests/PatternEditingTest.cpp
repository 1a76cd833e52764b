#include "AppHarness.h"
#include "Boards.h"
#include "PatternFile.h"

#include <QLineEdit>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CellBitmap> board(std::int64_t w, std::int64_t h)
{
    return CellBitmap::create(w, h);
}

// A standalone view of the given size showing `cells`, in pattern-editing mode.
struct EditingView {
    EditingView(int width, int height, const CellBitmap& cells)
    {
        view.resize(width, height);
        view.initWithBitmap(cells);
        view.startEditing();
    }
    std::uint8_t cell(std::int64_t x, std::int64_t y) const { return view.getBitmap()->getPixel(x, y); }
    VandrelGameOfLifeView view;
};

bool editingWindowState(const AppHarness& h)
{
    const QMainWindow* w = h.app.window;
    return w->isWindowModified() && w->minimumSize() == w->maximumSize() &&
           !w->windowFlags().testFlag(Qt::WindowMaximizeButtonHint);
}

bool normalWindowState(const AppHarness& h)
{
    const QMainWindow* w = h.app.window;
    return !w->isWindowModified() && w->maximumSize() == QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX) &&
           w->windowFlags().testFlag(Qt::WindowMaximizeButtonHint);
}

// Enters pattern-editing mode on the board shown and toggles one cell.
void editAndChange(AppHarness& h)
{
    h.app.editPattern();
    h.app.theView->mouseDown({2, double(h.app.theView->height()) - 2});
    ASSERT_TRUE(h.app.theView->isCreatingAndSomethingChanged());
}

}  // namespace

// --- Presses ---

TEST(CellEditing, PressesMapToCellsAsInTheWorkedExamples)
{
    EditingView v(400, 300, *board(100, 75));
    v.view.mouseDown({10.5, 299.0});  // 1 point below the top edge
    EXPECT_EQ(v.cell(2, 0), 0);
    v.view.mouseDown({399.9, 0.5});  // 0.5 points above the bottom edge
    EXPECT_EQ(v.cell(99, 74), 0);
    EXPECT_EQ(v.view.getBitmap()->liveCells(), 2);
    EXPECT_TRUE(v.view.isCreatingAndSomethingChanged());
}

TEST(CellEditing, SixBlocksOfAHundredPoints)
{
    EditingView v(300, 200, *board(3, 2));
    v.view.mouseDown({150, 50});
    EXPECT_EQ(v.cell(1, 1), 0);
    EXPECT_EQ(v.view.getBitmap()->liveCells(), 1);
}

TEST(CellEditing, PressesOnTheFarEdgesAreClampedToTheBoard)
{
    EditingView v(300, 200, *board(3, 2));
    v.view.mouseDown({300.0, 0.0});  // right edge, bottom edge
    EXPECT_EQ(v.cell(2, 1), 0);
    v.view.mouseDown({0.0, 200.0});  // left edge, top edge
    EXPECT_EQ(v.cell(0, 0), 0);
    EXPECT_EQ(v.view.getBitmap()->liveCells(), 2);
}

TEST(CellEditing, RealMouseClickTogglesTheCellUnderThePointer)
{
    EditingView v(400, 300, *board(100, 75));
    v.view.show();
    QTest::mouseClick(&v.view, Qt::LeftButton, {}, QPoint(10, 1));
    EXPECT_EQ(v.cell(2, 0), 0);
    QTest::mouseClick(&v.view, Qt::LeftButton, {}, QPoint(399, 299));
    EXPECT_EQ(v.cell(99, 74), 0);
}

TEST(CellEditing, TogglesLiveDeadAndGrayCells)
{
    auto cells = board(3, 1);
    cells->setPixel(0, 0, 0);
    cells->setPixel(2, 0, 128);
    EditingView v(300, 100, *cells);
    v.view.mouseDown({50, 50});
    EXPECT_EQ(v.cell(0, 0), 255);
    v.view.mouseDown({150, 50});
    EXPECT_EQ(v.cell(1, 0), 0);
    v.view.mouseDown({250, 50});
    EXPECT_EQ(v.cell(2, 0), 0);
    v.view.mouseDown({250, 50});
    EXPECT_EQ(v.cell(2, 0), 255);
    EXPECT_TRUE(v.view.isCreatingAndSomethingChanged());
}

TEST(CellEditing, PressesOutsideTheModeChangeNothing)
{
    EditingView v(300, 200, *board(3, 2));
    v.view.endCreating();
    v.view.mouseDown({150, 50});
    EXPECT_EQ(v.view.getBitmap()->liveCells(), 0);
    EXPECT_FALSE(v.view.isCreatingAndSomethingChanged());
}

TEST(CellEditing, BlankBoardOfTheChosenSizeWithTheViewsLogicalSize)
{
    VandrelGameOfLifeView view;
    view.resize(300, 200);
    view.prepareCreatingWithPixelsWide(10, 20);
    auto b = view.getBitmap();
    ASSERT_TRUE(b);
    EXPECT_EQ(b->pixelsWide(), 10);
    EXPECT_EQ(b->pixelsHigh(), 20);
    EXPECT_EQ(b->liveCells(), 0);
    EXPECT_EQ(b->size(), (LogicalSize{300, 200}));
    EXPECT_TRUE(view.isCreating());
    view.prepareCreatingWithPixelsWide(0, 5);
    EXPECT_EQ(view.getBitmap(), nullptr);
    EXPECT_TRUE(view.isCreating());
}

// --- The new-pattern sheet and the editing window state ---

TEST(PatternMode, OkMakesABlankBoardAndEmptiesTheFields)
{
    AppHarness h;
    h.app.createNewPattern();
    ASSERT_TRUE(h.app.nnewPatternSheet->isVisible());
    EXPECT_EQ(h.app.nnewPatternSheet->windowModality(), Qt::WindowModal);
    h.app.nnewPatternPixelsWideTextField->setText(QStringLiteral("30"));
    h.app.nnewPatternPixelsHighTextField->setText(QStringLiteral("20"));
    h.app.newPatternOK();
    EXPECT_FALSE(h.app.nnewPatternSheet->isVisible());
    ASSERT_TRUE(h.board());
    EXPECT_EQ(h.board()->pixelsWide(), 30);
    EXPECT_EQ(h.board()->pixelsHigh(), 20);
    EXPECT_EQ(h.board()->liveCells(), 0);
    EXPECT_TRUE(h.app.isCreating());
    EXPECT_TRUE(editingWindowState(h));
    EXPECT_TRUE(h.app.nnewPatternPixelsWideTextField->text().isEmpty());
    EXPECT_TRUE(h.app.nnewPatternPixelsHighTextField->text().isEmpty());
}

TEST(PatternMode, CancelKeepsTheBoardAndTheTypedText)
{
    AppHarness h;
    const auto before = h.board();
    h.app.createNewPattern();
    h.app.nnewPatternPixelsWideTextField->setText(QStringLiteral("30"));
    h.app.newPatternCancel();
    EXPECT_FALSE(h.app.nnewPatternSheet->isVisible());
    EXPECT_EQ(h.board(), before);
    EXPECT_FALSE(h.app.isCreating());
    EXPECT_EQ(h.app.nnewPatternPixelsWideTextField->text(), QStringLiteral("30"));
}

TEST(PatternMode, EmptyFieldsGiveARandomBoardToEdit)
{
    AppHarness h;
    h.app.createNewPattern();
    h.app.newPatternOK();
    EXPECT_TRUE(h.app.isCreating());
    AppHarness::pump();
    (void)h.app.theView->grab();
    ASSERT_TRUE(h.board());
    EXPECT_EQ(h.board()->pixelsWide(), 120);
}

TEST(PatternMode, TooLargeASizeIsRefusedWithAMessageAndNothingChanges)
{
    AppHarness h;
    const auto before = h.board();
    h.app.createNewPattern();
    h.app.nnewPatternPixelsWideTextField->setText(QStringLiteral("100000"));
    h.app.nnewPatternPixelsHighTextField->setText(QStringLiteral("100000"));
    h.app.newPatternOK();
    auto* message = qobject_cast<QMessageBox*>(h.lastDialog());
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().contains(QStringLiteral("too large")));
    EXPECT_EQ(h.board(), before);
    EXPECT_FALSE(h.app.isCreating());
    EXPECT_TRUE(normalWindowState(h));
}

TEST(PatternMode, EditPatternStopsARunAndKeepsTheBoard)
{
    AppHarness h;
    h.app.iterationsTextfield->setText(QStringLiteral("1000000"));
    h.app.startGameOfLife();
    AppHarness::pump(30);
    h.app.editPattern();
    EXPECT_FALSE(h.indicatorShown());
    ASSERT_TRUE(h.runEnds());
    EXPECT_TRUE(h.app.isCreating());
    EXPECT_TRUE(editingWindowState(h));
    EXPECT_FALSE(h.app.theView->isCreatingAndSomethingChanged());
}

TEST(PatternMode, UnchangedPatternEndsWithoutAQuestion)
{
    AppHarness h;
    h.app.editPattern();
    h.app.theView->setSpeed(RunPacer::kFastest);
    h.app.startGameOfLife();
    EXPECT_EQ(h.question(), nullptr);
    EXPECT_FALSE(h.app.isCreating());
    EXPECT_TRUE(normalWindowState(h));
    EXPECT_TRUE(h.indicatorShown());
}

// --- The guard's answers, for every command it re-issues ---

namespace {

struct Command {
    const char* name;
    std::function<void(AppDelegate&)> issue;
    // True when the command has been carried out.
    std::function<bool(AppHarness&, const std::shared_ptr<const CellBitmap>& before)> done;
};

std::vector<Command> guardedCommands()
{
    return {
        {"start", [](AppDelegate& a) { a.startGameOfLife(); },
         [](AppHarness& h, const auto&) { return h.indicatorShown(); }},
        {"record", [](AppDelegate& a) { a.startGameOfLifeAndMakeGif(); },
         [](AppHarness& h, const auto&) { return h.panel() && h.panel()->windowTitle() == QStringLiteral("Save gif"); }},
        {"reset", [](AppDelegate& a) { a.reset(); },
         [](AppHarness& h, const auto& before) { return h.board() != before; }},
        {"new pattern", [](AppDelegate& a) { a.createNewPattern(); },
         [](AppHarness& h, const auto&) { return h.app.nnewPatternSheet->isVisible(); }},
        {"glider gun", [](AppDelegate& a) { a.showGliderGun(); },
         [](AppHarness& h, const auto&) { return h.board()->liveCells() == 36; }},
        {"close", [](AppDelegate& a) { a.window->close(); },
         [](AppHarness& h, const auto&) { return !h.app.window->isVisible(); }},
    };
}

}  // namespace

TEST(Guard, DontSaveEndsTheModeAndReissuesTheCommand)
{
    for (const auto& command : guardedCommands()) {
        AppHarness h;
        h.app.iterationsTextfield->setText(QStringLiteral("1000000"));
        editAndChange(h);
        const auto before = h.board();
        command.issue(h.app);
        ASSERT_NE(h.question(), nullptr) << command.name;
        EXPECT_TRUE(editingWindowState(h)) << command.name;
        EXPECT_FALSE(command.done(h, before)) << command.name;
        h.answer("dontSaveButton");
        EXPECT_FALSE(h.app.isCreating()) << command.name;
        EXPECT_FALSE(h.app.theView->isCreatingAndSomethingChanged()) << command.name;
        EXPECT_TRUE(command.done(h, before)) << command.name;
        h.app.stopGameOfLife();
    }
}

TEST(Guard, CancelKeepsTheModeAndDropsTheCommand)
{
    for (const auto& command : guardedCommands()) {
        AppHarness h;
        editAndChange(h);
        const auto before = h.board();
        command.issue(h.app);
        ASSERT_NE(h.question(), nullptr) << command.name;
        h.answer("cancelButton");
        EXPECT_TRUE(h.app.isCreating()) << command.name;
        EXPECT_TRUE(h.app.theView->isCreatingAndSomethingChanged()) << command.name;
        EXPECT_TRUE(editingWindowState(h)) << command.name;
        EXPECT_FALSE(command.done(h, before)) << command.name;
        EXPECT_EQ(h.board(), before) << command.name;
        // Asking again asks again.
        command.issue(h.app);
        EXPECT_NE(h.question(), nullptr) << command.name;
    }
}

TEST(Guard, EscapeAnswersCancel)
{
    AppHarness h;
    editAndChange(h);
    h.app.startGameOfLife();
    QMessageBox* box = h.question();
    ASSERT_NE(box, nullptr);
    QTest::keyClick(box, Qt::Key_Escape);
    AppHarness::pump();
    EXPECT_TRUE(h.app.isCreating());
    EXPECT_FALSE(h.indicatorShown());
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
    const auto buttons = box->buttons();
    ASSERT_EQ(buttons.size(), 3);
    QList<QAbstractButton*> byPosition = buttons;
    std::sort(byPosition.begin(), byPosition.end(),
              [](QAbstractButton* a, QAbstractButton* b) { return a->x() < b->x(); });
    EXPECT_EQ(byPosition[0]->text(), QStringLiteral("Save"));
    EXPECT_EQ(byPosition[1]->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(byPosition[2]->text(), QStringLiteral("Don't save"));
    EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("Save"));
}

TEST(Guard, SaveWritesThePatternThenReissuesTheCommand)
{
    for (const auto& command : guardedCommands()) {
        QTemporaryDir dir;
        AppHarness h;
        h.app.iterationsTextfield->setText(QStringLiteral("1000000"));
        editAndChange(h);
        const auto edited = h.board();
        command.issue(h.app);
        h.answer("saveButton");
        QFileDialog* panel = h.panel();
        ASSERT_NE(panel, nullptr) << command.name;
        EXPECT_EQ(panel->windowTitle(), QStringLiteral("Save pattern"));
        const QString path = dir.filePath(QStringLiteral("mine"));
        h.choose(path);
        const auto saved = PatternFile::read((path + QStringLiteral(".golpattern")).toStdString(), {});
        ASSERT_TRUE(saved.board) << command.name << ": " << saved.error;
        EXPECT_TRUE(saved.board->sameCells(*edited)) << command.name;
        EXPECT_FALSE(h.app.isCreating()) << command.name;
        EXPECT_TRUE(command.done(h, edited)) << command.name;
        h.app.stopGameOfLife();
    }
}

TEST(Guard, DismissingTheSavePanelKeepsThePattern)
{
    for (const auto& command : guardedCommands()) {
        AppHarness h;
        editAndChange(h);
        const auto before = h.board();
        command.issue(h.app);
        h.answer("saveButton");
        h.dismissPanel();
        EXPECT_TRUE(h.app.isCreating()) << command.name;
        EXPECT_TRUE(h.app.theView->isCreatingAndSomethingChanged()) << command.name;
        EXPECT_TRUE(editingWindowState(h)) << command.name;
        EXPECT_FALSE(command.done(h, before)) << command.name;
    }
}

TEST(Guard, CloseWithoutAChangedPatternClosesAtOnce)
{
    AppHarness h;
    h.app.editPattern();
    h.app.window->close();
    EXPECT_EQ(h.question(), nullptr);
    EXPECT_FALSE(h.app.window->isVisible());
    EXPECT_TRUE(normalWindowState(h));
}

TEST(Guard, QuitAsksLikeTheCloseButton)
{
    AppHarness h;
    editAndChange(h);
    h.app.quit();
    EXPECT_NE(h.question(), nullptr);
    EXPECT_TRUE(h.app.window->isVisible());
    h.answer("cancelButton");
    EXPECT_TRUE(h.app.window->isVisible());
}

TEST(Guard, FailedSaveKeepsTheModeAndSaysSo)
{
    AppHarness h;
    editAndChange(h);
    h.app.reset();
    h.answer("saveButton");
    // The folder goes away after it was chosen: no file can be made there.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("gone"));
    ASSERT_TRUE(QDir().mkdir(folder));
    QFileDialog* panel = h.panel();
    ASSERT_NE(panel, nullptr);
    panel->setDirectory(folder);
    panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("pattern.golpattern"));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QMetaObject::invokeMethod(panel, "accept");
    AppHarness::pump();
    EXPECT_TRUE(h.app.isCreating());
    EXPECT_TRUE(editingWindowState(h));
    auto* message = qobject_cast<QMessageBox*>(h.lastDialog());
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().contains(QStringLiteral("pattern.golpattern")));
}

// --- The glider gun ---

TEST(GliderGunCommand, InstallsThePresetAndSetsTheCountBackTo100)
{
    AppHarness h;
    h.app.iterationsTextfield->setText(QStringLiteral("7"));
    ASSERT_EQ(h.app.theView->iterations(), 7);
    h.app.showGliderGun();
    ASSERT_TRUE(h.board());
    EXPECT_EQ(h.board()->liveCells(), 36);
    EXPECT_EQ(h.board()->pixelsWide(), 120);
    EXPECT_EQ(h.board()->pixelsHigh(), 90);
    EXPECT_EQ(h.app.theView->iterations(), 100);
    EXPECT_EQ(h.app.theView->size(), QSize(480, 360));
}
