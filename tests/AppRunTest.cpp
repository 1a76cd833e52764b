#include "AppHarness.h"
#include "Boards.h"
#include "ReferenceLife.h"

#include <QLineEdit>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

bool isSomeGeneration(const CellBitmap& board, const std::vector<std::unique_ptr<CellBitmap>>& generations)
{
    for (const auto& g : generations) {
        if (g->sameCells(board))
            return true;
    }
    return false;
}

}  // namespace

TEST(AppStartUp, FirstDrawingMakesA120By90Board)
{
    AppHarness h;
    EXPECT_EQ(h.app.theView->size(), QSize(480, 360));
    ASSERT_TRUE(h.board());
    EXPECT_EQ(h.board()->pixelsWide(), 120);
    EXPECT_EQ(h.board()->pixelsHigh(), 90);
    EXPECT_FALSE(h.indicatorShown());
    EXPECT_EQ(h.app.iterationsTextfield->text(), QStringLiteral("100"));
    EXPECT_FALSE(h.app.isCreating());
}

TEST(AppRuns, StartShowsTheIndicatorAndACompletedRunHidesIt)
{
    AppHarness h;
    const auto before = h.board()->copy();
    h.app.theView->setSpeed(RunPacer::kFastest);
    h.app.startGameOfLife();
    EXPECT_TRUE(h.indicatorShown());
    ASSERT_TRUE(AppHarness::waitUntil([&] { return !h.indicatorShown(); }));
    auto expected = reference::history(*before, 100);
    EXPECT_TRUE(h.board()->sameCells(*expected[100]));
}

TEST(AppRuns, StopHidesTheIndicatorAtOnceAndLeavesAWholeGeneration)
{
    AppHarness h;
    const auto before = h.board()->copy();
    const auto generations = reference::history(*before, 400);
    h.app.iterationsTextfield->setText(QStringLiteral("400"));
    h.app.theView->setSpeed({false, 200});
    h.app.startGameOfLife();
    AppHarness::pump(50);
    h.app.stopGameOfLife();
    EXPECT_FALSE(h.indicatorShown());
    ASSERT_TRUE(h.runEnds());
    EXPECT_TRUE(isSomeGeneration(*h.board(), generations));
}

TEST(AppRuns, StopRightAfterStartCancelsTheRun)
{
    AppHarness h;
    const auto before = h.board()->copy();
    h.app.iterationsTextfield->setText(QStringLiteral("1000000"));
    h.app.startGameOfLife();
    h.app.stopGameOfLife();
    AppHarness::pump(100);
    EXPECT_FALSE(h.app.theView->isRunning());
    EXPECT_FALSE(h.indicatorShown());
    EXPECT_TRUE(h.board()->sameCells(*before));
}

TEST(AppRuns, EmptyFieldGivesZeroGenerations)
{
    AppHarness h;
    const auto before = h.board()->copy();
    h.app.iterationsTextfield->clear();
    EXPECT_EQ(h.app.theView->iterations(), 0);
    h.app.startGameOfLife();
    EXPECT_TRUE(h.indicatorShown());
    ASSERT_TRUE(AppHarness::waitUntil([&] { return !h.indicatorShown(); }));
    EXPECT_TRUE(h.board()->sameCells(*before));
}

TEST(AppRuns, CountFollowsTheFieldAtEveryKeystroke)
{
    AppHarness h;
    QLineEdit* field = h.app.iterationsTextfield;
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(h.app.theView->iterations(), 0);
    QTest::keyClick(field, Qt::Key_2);
    EXPECT_EQ(h.app.theView->iterations(), 2);
    QTest::keyClick(field, Qt::Key_5);
    EXPECT_EQ(h.app.theView->iterations(), 25);
    QTest::keyClick(field, Qt::Key_0);
    EXPECT_EQ(h.app.theView->iterations(), 250);
}

TEST(AppRuns, ResetDuringARunShowsANewBoardAndKeepsTheCount)
{
    AppHarness h;
    h.app.iterationsTextfield->setText(QStringLiteral("100000"));
    h.app.theView->setSpeed({false, 100});
    const auto before = h.board();
    h.app.startGameOfLife();
    AppHarness::pump(50);
    h.app.reset();
    EXPECT_FALSE(h.indicatorShown());
    AppHarness::pump(50);
    ASSERT_TRUE(h.runEnds());
    ASSERT_TRUE(h.board());
    EXPECT_NE(h.board(), before);
    EXPECT_FALSE(h.board()->sameCells(*before));
    EXPECT_EQ(h.board()->pixelsWide(), 120);
    EXPECT_EQ(h.app.theView->iterations(), 100000);
}

TEST(AppRuns, StartDuringARunContinuesFromTheBoardTheCancelledRunLeft)
{
    AppHarness h;
    const auto before = h.board()->copy();
    const auto generations = reference::history(*before, 600);
    h.app.iterationsTextfield->setText(QStringLiteral("500"));
    h.app.theView->setSpeed({false, 300});
    h.app.startGameOfLife();
    AppHarness::pump(60);
    h.app.iterationsTextfield->setText(QStringLiteral("5"));
    h.app.startGameOfLife();
    EXPECT_TRUE(h.indicatorShown());
    ASSERT_TRUE(AppHarness::waitUntil([&] { return !h.indicatorShown(); }));
    ASSERT_TRUE(h.runEnds());
    // Whole generations only: the board is one of the original's generations,
    // at least five past the start.
    bool found = false;
    for (std::size_t g = 5; g < generations.size() && !found; ++g)
        found = generations[g]->sameCells(*h.board());
    EXPECT_TRUE(found);
}

TEST(AppView, DrawingTwiceWithoutAChangeDrawsTheSamePicture)
{
    AppHarness h;
    const auto board = h.board();
    const QImage first = h.app.theView->grab().toImage();
    const QImage second = h.app.theView->grab().toImage();
    EXPECT_EQ(first, second);
    EXPECT_EQ(h.board(), board);
}

TEST(AppView, OneByOneBoardFillsTheView)
{
    AppHarness h;
    auto one = CellBitmap::create(1, 1);
    one->setPixel(0, 0, 0);
    ASSERT_TRUE(h.app.theView->initWithBitmap(*one));
    const QImage picture = h.app.theView->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    ASSERT_EQ(picture.size(), QSize(480, 360));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ASSERT_EQ(qGray(picture.pixel(x, y)), 0) << x << "," << y;
}

TEST(AppView, BoardIsStretchedRowZeroAtTheTopWithGraysKept)
{
    AppHarness h;
    auto board = CellBitmap::create(3, 2);
    board->setPixel(0, 0, 0);
    board->setPixel(2, 1, 128);
    ASSERT_TRUE(h.app.theView->initWithBitmap(*board));
    h.app.theView->resize(300, 200);
    const QImage picture = h.app.theView->grab().toImage();
    ASSERT_EQ(picture.size(), QSize(300, 200));
    EXPECT_EQ(qGray(picture.pixel(50, 50)), 0);     // column 0, row 0: top left
    EXPECT_EQ(qGray(picture.pixel(150, 50)), 255);
    EXPECT_EQ(qGray(picture.pixel(250, 150)), 128); // column 2, row 1: bottom right
    EXPECT_EQ(qGray(picture.pixel(99, 99)), 0);
    EXPECT_EQ(qGray(picture.pixel(100, 100)), 255);
}

TEST(AppView, ViewTooSmallForABoardStaysWhiteAndTriesAgain)
{
    AppHarness h;
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
