// A recorded animation read back through Qt's GIF reader, the one the
// application itself would use to show it.

#include "Boards.h"
#include "GameOfLife.h"
#include "GifRecorder.h"
#include "ReferenceLife.h"
#include "RunWatcher.h"
#include "TempFolder.h"

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

::testing::AssertionResult showsBoard(const QImage& image, const CellBitmap& board)
{
    if (image.width() != board.pixelsWide() || image.height() != board.pixelsHigh())
        return ::testing::AssertionFailure() << "image " << image.width() << "x" << image.height() << ", board "
                                             << board.pixelsWide() << "x" << board.pixelsHigh();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = image.pixel(x, y);
            const int cell = board.getPixel(x, y);
            if (qRed(rgb) != cell || qGreen(rgb) != cell || qBlue(rgb) != cell || qAlpha(rgb) != 255)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << qRed(rgb) << "/" << qGreen(rgb) << "/"
                       << qBlue(rgb) << "/" << qAlpha(rgb) << ", the cell " << cell;
        }
    }
    return ::testing::AssertionSuccess();
}

void recordAndRead(const CellBitmap& board, int generations)
{
    TempFolder folder;
    GameOfLife life;
    RunWatcher watcher;
    life.pacer().setSpeed(RunPacer::kFastest);
    life.setRecorderFactory([](const std::string& file) { return std::make_unique<GifRecorder>(file); });
    life.replaceBitmap(board.copy());
    if (generations != GameOfLife::kDefaultIterations)
        life.setIterations(generations);
    const std::string path = (folder.path() / "run.gif").string();
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, path, watcher.indicators()));
    ASSERT_TRUE(watcher.waitFor(1, 120s));
    ASSERT_TRUE(watcher.last().recording.written) << watcher.last().recording.message;

    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), QByteArray("gif"));
    EXPECT_TRUE(reader.supportsAnimation());
    EXPECT_EQ(reader.imageCount(), generations);
    EXPECT_EQ(reader.loopCount(), -1);  // Qt's word for "forever"

    auto expected = board.copy();
    for (int g = 0; g < generations; ++g) {
        reference::step(*expected);
        QImage image;
        ASSERT_TRUE(reader.read(&image)) << "image " << g << ": " << reader.errorString().toStdString();
        EXPECT_EQ(reader.nextImageDelay(), 50) << "image " << g;
        ASSERT_TRUE(showsBoard(image, *expected)) << "image " << g;
    }
    QImage extra;
    EXPECT_FALSE(reader.read(&extra));
}

}  // namespace

TEST(GifQtReader, DefaultRunReadsAsOneHundredImagesOfItsGenerations)
{
    recordAndRead(*boards::seeded(40, 30, 17), GameOfLife::kDefaultIterations);
}

TEST(GifQtReader, OddSizesAndGrayCells)
{
    recordAndRead(*boards::seeded(1, 13, 3), 4);
    recordAndRead(*boards::seeded(13, 1, 4), 4);
    recordAndRead(*boards::seeded(1, 1, 5), 2);
    recordAndRead(*boards::seeded(61, 7, 6), 12);
}
