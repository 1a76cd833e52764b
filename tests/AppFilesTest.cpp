#include "AppHarness.h"
#include "Boards.h"
#include "PatternFile.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString writePattern(const QTemporaryDir& dir, const char* name, const CellBitmap& board)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_EQ(PatternFile::write(&board, path.toStdString()), "");
    return path;
}

}  // namespace

TEST(AppFiles, OpenPatternThroughItsPanel)
{
    QTemporaryDir dir;
    auto board = boards::seeded(33, 21, 5);
    const QString path = writePattern(dir, "p.golpattern", *board);
    AppHarness h;
    h.app.iterationsTextfield->setText(QStringLiteral("7"));
    h.app.openPattern();
    QFileDialog* panel = h.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Open pattern"));
    EXPECT_EQ(panel->labelText(QFileDialog::Accept), QStringLiteral("Open pattern"));
    ASSERT_NE(panel->findChild<QLabel*>(QStringLiteral("panelMessage")), nullptr);
    EXPECT_EQ(panel->findChild<QLabel*>(QStringLiteral("panelMessage"))->text(),
              QStringLiteral("Open a pattern from somewhere on your disk"));
    EXPECT_TRUE(panel->nameFilters().join(' ').contains(QStringLiteral("*.golpattern")));
    h.choose(path);
    ASSERT_TRUE(h.board());
    EXPECT_TRUE(h.board()->sameCells(*board));
    EXPECT_EQ(h.app.theView->iterations(), 100);
    EXPECT_EQ(h.app.iterationsTextfield->text(), QStringLiteral("7"));
    EXPECT_EQ(h.app.theView->size(), QSize(480, 360));
}

TEST(AppFiles, FilesHandedOverByTheDesktopNeedTheExactExtension)
{
    QTemporaryDir dir;
    auto board = boards::seeded(12, 9, 2);
    const QString good = writePattern(dir, "x.golpattern", *board);
    const QString text = writePattern(dir, "x.txt", *board);
    const QString capitals = writePattern(dir, "x.GOLPATTERN", *board);
    AppHarness h;
    const auto before = h.board();
    EXPECT_FALSE(h.app.openFile(text));
    EXPECT_FALSE(h.app.openFile(capitals));
    EXPECT_EQ(h.board(), before);
    EXPECT_TRUE(h.app.openFile(good));
    EXPECT_TRUE(h.board()->sameCells(*board));
}

TEST(AppFiles, BrokenPatternGivesAMessageAndKeepsTheBoard)
{
    QTemporaryDir dir;
    QFile broken(dir.filePath(QStringLiteral("broken.golpattern")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>bitMapPixelSize</key><array><integer>4</integer></array></dict></plist>");
    broken.close();
    AppHarness h;
    h.app.editPattern();
    const auto before = h.board();
    EXPECT_TRUE(h.app.openFile(broken.fileName()));
    EXPECT_EQ(h.board(), before);
    auto* message = qobject_cast<QMessageBox*>(h.lastDialog());
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().contains(QStringLiteral("broken.golpattern"))) << message->text().toStdString();
    EXPECT_TRUE(h.app.isCreating());  // opening leaves pattern-editing mode as it was
}

TEST(AppFiles, SavePatternEndsTheModeAndAddsTheExtension)
{
    QTemporaryDir dir;
    AppHarness h;
    h.app.editPattern();
    h.app.theView->mouseDown({2, 358});
    h.app.savePattern();
    QFileDialog* panel = h.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Save pattern"));
    EXPECT_EQ(panel->labelText(QFileDialog::Accept), QStringLiteral("Save pattern"));
    EXPECT_EQ(panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
              QStringLiteral("GameOfLifePattern"));
    h.choose(dir.filePath(QStringLiteral("drawn.txt")));
    const auto saved = PatternFile::read(dir.filePath(QStringLiteral("drawn.txt.golpattern")).toStdString(), {});
    ASSERT_TRUE(saved.board) << saved.error;
    EXPECT_TRUE(saved.board->sameCells(*h.board()));
    EXPECT_FALSE(h.app.isCreating());
    EXPECT_FALSE(h.app.window->isWindowModified());
}

TEST(AppFiles, CancelledSavePanelKeepsTheMode)
{
    AppHarness h;
    h.app.editPattern();
    h.app.savePattern();
    h.dismissPanel();
    EXPECT_TRUE(h.app.isCreating());
    EXPECT_TRUE(h.app.window->isWindowModified());
}

TEST(AppFiles, ImageExportHasOnePixelPerCellWhateverTheWindow)
{
    QTemporaryDir dir;
    AppHarness h;
    h.app.window->resize(1200, 900);
    auto board = boards::seeded(120, 80, 4);
    ASSERT_TRUE(h.app.theView->initWithBitmap(*board));
    h.app.saveImage();
    ASSERT_NE(h.panel(), nullptr);
    EXPECT_EQ(h.panel()->windowTitle(), QStringLiteral("Save image"));
    h.choose(dir.filePath(QStringLiteral("board")));
    QImageReader reader(dir.filePath(QStringLiteral("board.png")));
    EXPECT_EQ(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    ASSERT_EQ(image.size(), QSize(120, 80));
    ASSERT_EQ(image.format(), QImage::Format_Grayscale8);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(image.constScanLine(y)[x], board->getPixel(x, y));
}

TEST(AppFiles, ImageImportKeepsGraysAndSetsTheCountBackTo100)
{
    QTemporaryDir dir;
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(128, 128, 128));
    const QString path = dir.filePath(QStringLiteral("photo.png"));
    ASSERT_TRUE(image.save(path));
    AppHarness h;
    h.app.iterationsTextfield->setText(QStringLiteral("3"));
    h.app.openImage();
    ASSERT_NE(h.panel(), nullptr);
    EXPECT_EQ(h.panel()->windowTitle(), QStringLiteral("Open image"));
    h.choose(path);
    ASSERT_TRUE(h.board());
    EXPECT_EQ(h.board()->pixelsWide(), 64);
    EXPECT_EQ(h.board()->pixelsHigh(), 48);
    EXPECT_EQ(h.board()->getPixel(0, 0), 0);
    EXPECT_EQ(h.board()->getPixel(1, 0), 128);
    EXPECT_EQ(h.board()->getPixel(2, 0), 255);
    EXPECT_EQ(h.app.theView->iterations(), 100);
}

TEST(AppFiles, OpeningStopsARunningRun)
{
    QTemporaryDir dir;
    const QString path = writePattern(dir, "still.golpattern", *boards::withLive(6, 6, {{1, 1}, {2, 1}, {1, 2}, {2, 2}}));
    AppHarness h;
    h.app.iterationsTextfield->setText(QStringLiteral("1000000"));
    h.app.startGameOfLife();
    AppHarness::pump(30);
    EXPECT_TRUE(h.app.openFile(path));
    EXPECT_FALSE(h.indicatorShown());
    ASSERT_TRUE(h.runEnds());
    EXPECT_EQ(h.board()->pixelsWide(), 6);
    EXPECT_EQ(h.board()->liveCells(), 4);
}

TEST(AppGif, RecordsTheRunIntoTheChosenFile)
{
    QTemporaryDir dir;
    AppHarness h;
    h.app.theView->setSpeed(RunPacer::kFastest);
    h.app.iterationsTextfield->setText(QStringLiteral("20"));
    h.app.startGameOfLifeAndMakeGif();
    EXPECT_TRUE(h.indicatorShown());
    QFileDialog* panel = h.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Save gif"));
    EXPECT_EQ(panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
              QStringLiteral("GameOfLifeAnimation"));
    h.choose(dir.filePath(QStringLiteral("run")));
    ASSERT_TRUE(AppHarness::waitUntil([&] { return !h.indicatorShown(); }));
    ASSERT_TRUE(h.runEnds());
    QImageReader reader(dir.filePath(QStringLiteral("run.gif")));
    ASSERT_TRUE(reader.canRead());
    EXPECT_EQ(reader.imageCount(), 20);
    EXPECT_EQ(reader.size(), QSize(120, 90));
}

TEST(AppGif, CancellingThePanelHidesTheIndicator)
{
    AppHarness h;
    h.app.startGameOfLifeAndMakeGif();
    EXPECT_TRUE(h.indicatorShown());
    h.dismissPanel();
    EXPECT_FALSE(h.indicatorShown());
    EXPECT_FALSE(h.app.theView->isRunning());
}

TEST(AppGif, UnwritableDestinationIsReported)
{
    QTemporaryDir dir;
    AppHarness h;
    h.app.theView->setSpeed(RunPacer::kFastest);
    h.app.iterationsTextfield->setText(QStringLiteral("3"));
    h.app.startGameOfLifeAndMakeGif();
    const QString folder = dir.filePath(QStringLiteral("gone"));
    ASSERT_TRUE(QDir().mkdir(folder));
    QFileDialog* panel = h.panel();
    ASSERT_NE(panel, nullptr);
    panel->setDirectory(folder);
    panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("lost.gif"));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QMetaObject::invokeMethod(panel, "accept");
    ASSERT_TRUE(AppHarness::waitUntil([&] { return qobject_cast<QMessageBox*>(h.lastDialog()) != nullptr; }));
    EXPECT_TRUE(qobject_cast<QMessageBox*>(h.lastDialog())->text().contains(QStringLiteral("lost.gif")));
}
