#include "AppHarness.h"
#include "Boards.h"
#include "PatternFile.h"

#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class AppFiles : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString writePattern(const char* name, const CellBitmap& board) const
    {
        EXPECT_EQ(PatternFile::write(&board, path(name).toStdString()), "");
        return path(name);
    }
    QString nameField() { return h.panel()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(); }

    QTemporaryDir dir;
    AppHarness h;
};

}  // namespace

TEST_F(AppFiles, OpenPatternShowsItsPanelAndSetsTheCountBackTo100)
{
    auto board = boards::seeded(33, 21, 5);
    const QString file = writePattern("p.golpattern", *board);
    h.app.iterationsTextfield->setText(QStringLiteral("7"));
    h.app.openPattern();
    ASSERT_NE(h.panel(), nullptr);
    EXPECT_EQ(h.panel()->windowTitle(), QStringLiteral("Open pattern"));
    EXPECT_EQ(h.panel()->labelText(QFileDialog::Accept), QStringLiteral("Open pattern"));
    EXPECT_EQ(h.panel()->findChild<QLabel*>(QStringLiteral("panelMessage"))->text(),
              QStringLiteral("Open a pattern from somewhere on your disk"));
    h.choose(file);
    EXPECT_TRUE(h.board()->sameCells(*board));
    EXPECT_EQ(h.app.theView->iterations(), 100);
    EXPECT_EQ(h.app.iterationsTextfield->text(), QStringLiteral("7"));
    EXPECT_EQ(h.app.theView->size(), QSize(480, 360));
}

TEST_F(AppFiles, FilesHandedOverNeedTheExactExtensionAndBrokenOnesChangeNothing)
{
    auto board = boards::seeded(12, 9, 2);
    h.app.editPattern();
    const auto before = h.board();
    EXPECT_FALSE(h.app.openFile(writePattern("x.txt", *board)));
    EXPECT_FALSE(h.app.openFile(writePattern("x.GOLPATTERN", *board)));
    QFile broken(path("broken.golpattern"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<plist version=\"1.0\"><dict><key>bitMapPixelSize</key><array><integer>4</integer></array></dict></plist>");
    broken.close();
    EXPECT_TRUE(h.app.openFile(broken.fileName()));
    EXPECT_EQ(h.board(), before);
    auto* message = qobject_cast<QMessageBox*>(h.lastDialog());
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().contains(QStringLiteral("broken.golpattern")));

    EXPECT_TRUE(h.app.openFile(writePattern("x.golpattern", *board)));
    EXPECT_TRUE(h.board()->sameCells(*board));
    EXPECT_TRUE(h.app.isCreating());  // opening leaves pattern-editing mode as it was
}

TEST_F(AppFiles, SavePatternAddsTheExtensionAndEndsTheModeUnlessDismissed)
{
    h.app.editPattern();
    h.app.savePattern();
    h.dismissPanel();
    EXPECT_TRUE(h.app.isCreating());
    EXPECT_TRUE(h.app.window->isWindowModified());

    h.app.savePattern();
    EXPECT_EQ(h.panel()->windowTitle(), QStringLiteral("Save pattern"));
    EXPECT_EQ(nameField(), QStringLiteral("GameOfLifePattern"));
    h.choose(path("drawn.txt"));
    const auto saved = PatternFile::read(path("drawn.txt.golpattern").toStdString(), {});
    ASSERT_TRUE(saved.board) << saved.error;
    EXPECT_TRUE(saved.board->sameCells(*h.board()));
    EXPECT_FALSE(h.app.isCreating());
    EXPECT_FALSE(h.app.window->isWindowModified());
}

TEST_F(AppFiles, ImagesGoOutOnePixelPerCellAndComeInOneCellPerPixel)
{
    // Export: the board's size in pixels whatever the window's size.
    h.app.window->resize(1200, 900);
    auto board = boards::seeded(120, 80, 4);
    ASSERT_TRUE(h.app.theView->initWithBitmap(*board));
    h.app.saveImage();
    EXPECT_EQ(h.panel()->windowTitle(), QStringLiteral("Save image"));
    h.choose(path("board"));
    const QImage exported = QImageReader(path("board.png")).read();
    EXPECT_EQ(exported.size(), QSize(120, 80));
    EXPECT_EQ(exported.format(), QImage::Format_Grayscale8);

    // Import during a run: the run stops, grays are kept, the count is back to 100.
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(128, 128, 128));
    ASSERT_TRUE(image.save(path("photo.png")));
    h.app.iterationsTextfield->setText(QStringLiteral("1000000"));
    h.app.startGameOfLife();
    h.app.openImage();
    EXPECT_EQ(h.panel()->windowTitle(), QStringLiteral("Open image"));
    h.choose(path("photo.png"));
    EXPECT_FALSE(h.indicatorShown());
    ASSERT_TRUE(h.runEnds());
    EXPECT_EQ(h.board()->pixelsWide(), 64);
    EXPECT_EQ(h.board()->pixelsHigh(), 48);
    EXPECT_EQ(h.board()->getPixel(0, 0), 0);
    EXPECT_EQ(h.board()->getPixel(1, 0), 128);
    EXPECT_EQ(h.app.theView->iterations(), 100);
}

TEST_F(AppFiles, RecordGifWritesTheRunOrSaysWhyNot)
{
    h.app.startGameOfLifeAndMakeGif();
    EXPECT_TRUE(h.indicatorShown());
    EXPECT_EQ(h.panel()->windowTitle(), QStringLiteral("Save gif"));
    EXPECT_EQ(nameField(), QStringLiteral("GameOfLifeAnimation"));
    h.dismissPanel();
    EXPECT_FALSE(h.indicatorShown());
    EXPECT_FALSE(h.app.theView->isRunning());

    h.app.theView->setSpeed(RunPacer::kFastest);
    h.app.iterationsTextfield->setText(QStringLiteral("20"));
    h.app.startGameOfLifeAndMakeGif();
    h.choose(path("run"));
    ASSERT_TRUE(AppHarness::waitUntil([&] { return !h.indicatorShown(); }));
    ASSERT_TRUE(h.runEnds());
    QImageReader reader(path("run.gif"));
    EXPECT_EQ(reader.imageCount(), 20);
    EXPECT_EQ(reader.size(), QSize(120, 90));

    h.app.startGameOfLifeAndMakeGif();
    h.chooseInVanishingFolder(dir, QStringLiteral("lost.gif"));
    ASSERT_TRUE(AppHarness::waitUntil([&] { return qobject_cast<QMessageBox*>(h.lastDialog()) != nullptr; }));
    EXPECT_TRUE(qobject_cast<QMessageBox*>(h.lastDialog())->text().contains(QStringLiteral("lost.gif")));
}
