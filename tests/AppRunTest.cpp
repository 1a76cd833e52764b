#include "AppHarness.h"
#include "ReferenceLife.h"

#include <QLineEdit>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

class AppRuns : public ::testing::Test {
protected:
    // Starts a run of `count` generations at `speed` from the board shown.
    void start(const char* count, RunPacer::Speed speed = RunPacer::kFastest)
    {
        h.app.iterationsTextfield->setText(QString::fromLatin1(count));
        h.app.theView->setSpeed(speed);
        h.app.startGameOfLife();
    }
    bool indicatorHides() { return AppHarness::waitUntil([&] { return !h.indicatorShown(); }); }

    AppHarness h;
    const std::unique_ptr<CellBitmap> before = h.board()->copy();
};

// The index of the generation of `before` that `board` is, or -1.
int generationOf(const CellBitmap& board, const std::vector<std::unique_ptr<CellBitmap>>& generations)
{
    for (std::size_t g = 0; g < generations.size(); ++g) {
        if (generations[g]->sameCells(board))
            return int(g);
    }
    return -1;
}

}  // namespace

TEST_F(AppRuns, CompletedRunHidesTheIndicatorAndLeavesItsLastGeneration)
{
    // The window opens with a 480 by 360 view: a board of 120 by 90 cells.
    EXPECT_EQ(h.app.theView->size(), QSize(480, 360));
    EXPECT_EQ(before->pixelsWide(), 120);
    EXPECT_EQ(before->pixelsHigh(), 90);
    EXPECT_FALSE(h.indicatorShown());
    start("100");
    EXPECT_TRUE(h.indicatorShown());
    ASSERT_TRUE(indicatorHides());
    EXPECT_TRUE(h.board()->sameCells(*reference::history(*before, 100)[100]));
}

TEST_F(AppRuns, StopHidesTheIndicatorAtOnceAndLeavesAWholeGeneration)
{
    // Right after the start: the run is cancelled before it changes anything.
    start("1000000");
    h.app.stopGameOfLife();
    AppHarness::pump(100);
    EXPECT_FALSE(h.app.theView->isRunning());
    EXPECT_FALSE(h.indicatorShown());
    EXPECT_TRUE(h.board()->sameCells(*before));

    start("400", {false, 200});
    AppHarness::pump(50);
    h.app.stopGameOfLife();
    EXPECT_FALSE(h.indicatorShown());
    ASSERT_TRUE(h.runEnds());
    EXPECT_GE(generationOf(*h.board(), reference::history(*before, 400)), 0);
}

TEST_F(AppRuns, EmptyFieldRunsNoGeneration)
{
    start("");
    EXPECT_EQ(h.app.theView->iterations(), 0);
    EXPECT_TRUE(h.indicatorShown());
    ASSERT_TRUE(indicatorHides());
    EXPECT_TRUE(h.board()->sameCells(*before));
}

TEST_F(AppRuns, CountFollowsTheFieldAtEveryKeystroke)
{
    QLineEdit* field = h.app.iterationsTextfield;
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(h.app.theView->iterations(), 0);
    for (auto [key, count] : {std::pair{Qt::Key_2, 2}, {Qt::Key_5, 25}, {Qt::Key_0, 250}}) {
        QTest::keyClick(field, key);
        EXPECT_EQ(h.app.theView->iterations(), count);
    }
}

TEST_F(AppRuns, ResetDuringARunShowsANewBoardAndKeepsTheCount)
{
    start("100000", {false, 100});
    AppHarness::pump(50);
    h.app.reset();
    EXPECT_FALSE(h.indicatorShown());
    ASSERT_TRUE(h.runEnds());
    AppHarness::pump(50);
    ASSERT_TRUE(h.board());
    EXPECT_FALSE(h.board()->sameCells(*before));
    EXPECT_EQ(h.board()->pixelsWide(), 120);
    EXPECT_EQ(h.app.theView->iterations(), 100000);
}

TEST_F(AppRuns, StartDuringARunContinuesFromTheBoardTheCancelledRunLeft)
{
    start("500", {false, 300});
    AppHarness::pump(60);
    start("5");
    EXPECT_TRUE(h.indicatorShown());
    ASSERT_TRUE(indicatorHides());
    ASSERT_TRUE(h.runEnds());
    EXPECT_GE(generationOf(*h.board(), reference::history(*before, 600)), 5);
}

TEST_F(AppRuns, StepStopsTheRunAndPublishesOneWholeGeneration)
{
    start("1000000", {false, 20});
    AppHarness::pump(200);
    h.app.stepGameOfLife();
    EXPECT_FALSE(h.indicatorShown());
    const auto stoppedAt = h.generation();  // the run publishes nothing more
    ASSERT_TRUE(AppHarness::waitUntil([&] { return h.generation() == stoppedAt + 1; }));
    ASSERT_TRUE(h.runEnds());
    AppHarness::pump(100);
    EXPECT_EQ(h.generation(), stoppedAt + 1);
    EXPECT_TRUE(h.board()->sameCells(*reference::history(*before, int(stoppedAt) + 1).back()));
    EXPECT_EQ(h.app.theView->iterations(), 1000000);
}

// The status bar after runs, steps, new boards, zooms and edits, the live
// cells counted on the plain rule's generations.
TEST_F(AppRuns, StatusBarCountsTheGenerationsOfEachBoardAndItsLiveCells)
{
    const auto generations = reference::history(*before, 7);
    auto says = [&](const QString& expected) { EXPECT_EQ(h.statusWhen(expected), expected); };
    says(AppHarness::statusOf(0, before->liveCells()));
    start("5");
    ASSERT_TRUE(indicatorHides());
    says(AppHarness::statusOf(5, generations[5]->liveCells()));
    h.app.stepGameOfLife();
    says(AppHarness::statusOf(6, generations[6]->liveCells()));
    // Space steps, also with a button focused; a text field takes the space as text.
    auto* button = h.app.window->findChild<QPushButton*>(QStringLiteral("startButton"));
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    says(AppHarness::statusOf(7, generations[7]->liveCells()));
    EXPECT_FALSE(h.indicatorShown());
    h.app.iterationsTextfield->setFocus();
    QTest::keyClick(h.app.iterationsTextfield, Qt::Key_Space);
    AppHarness::pump(100);
    EXPECT_EQ(h.app.iterationsTextfield->text(), QStringLiteral("5 "));
    EXPECT_EQ(h.generation(), 7u);

    h.app.showGliderGun();
    says(AppHarness::statusOf(0, 36));
    h.app.theView->zoomAt(1, {240, 180});
    says(AppHarness::statusOf(0, 36, 120, 90, QStringLiteral("Zoom 600%")));
    h.app.editPattern();
    h.app.theView->mouseDown({240, 180});
    says(AppHarness::statusOf(0, h.board()->liveCells(), 120, 90, QStringLiteral("Zoom 600%")));
    EXPECT_NE(h.board()->liveCells(), 36);
}

TEST(AppView, DrawsTheBoardStretchedOverTheViewRowZeroAtTheTop)
{
    AppHarness h;
    auto board = CellBitmap::create(3, 2);
    board->setPixel(0, 0, 0);
    board->setPixel(2, 1, 128);
    ASSERT_TRUE(h.app.theView->initWithBitmap(*board));
    h.app.theView->resize(300, 200);
    const QImage picture = h.app.theView->grab().toImage();
    ASSERT_EQ(picture.size(), QSize(300, 200));
    EXPECT_EQ(qGray(picture.pixel(50, 50)), 0);
    EXPECT_EQ(qGray(picture.pixel(99, 99)), 0);
    EXPECT_EQ(qGray(picture.pixel(100, 100)), 255);
    EXPECT_EQ(qGray(picture.pixel(250, 150)), 128);
    // Drawing again without a change draws the same picture from the same board.
    EXPECT_EQ(h.app.theView->grab().toImage(), picture);
    EXPECT_TRUE(h.board()->sameCells(*board));

    // A 1 by 1 board fills the whole view.
    auto one = CellBitmap::create(1, 1);
    one->setPixel(0, 0, 0);
    ASSERT_TRUE(h.app.theView->initWithBitmap(*one));
    const QImage filled = h.app.theView->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < filled.height(); ++y)
        for (int x = 0; x < filled.width(); ++x)
            ASSERT_EQ(qGray(filled.pixel(x, y)), 0) << x << "," << y;

    // A view too small for a board stays without one, and tries again at each drawing.
    h.app.theView->reset();
    h.app.theView->setMinimumSize(1, 1);
    h.app.theView->resize(3, 100);
    (void)h.app.theView->grab();
    EXPECT_EQ(h.board(), nullptr);
    h.app.theView->resize(40, 40);
    (void)h.app.theView->grab();
    ASSERT_TRUE(h.board());
    EXPECT_EQ(h.board()->pixelsWide(), 10);
}

TEST(AppSmoke, TheRealExecutableStartsAndQuitsCleanly)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(GOL_BINARY_DIR "/app/gameoflife"), {});
    ASSERT_TRUE(process.waitForStarted(10000));
    QTest::qWait(1000);
    EXPECT_EQ(process.state(), QProcess::Running);
    process.terminate();  // as the session does at logout
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}
