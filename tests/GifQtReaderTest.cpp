// A recorded animation read back through Qt's GIF reader, the one the
// application itself would use to show it.

#include "Boards.h"
#include "GameOfLife.h"
#include "GifRecorder.h"
#include "ReferenceLife.h"
#include "RunWatcher.h"
#include "TempFolder.h"

#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

TEST(GifQtReader, DefaultRunReadsAsOneHundredImagesOfItsGenerations)
{
    TempFolder folder;
    RunWatcher watcher;
    GameOfLife life;
    life.pacer().setSpeed(RunPacer::kFastest);
    life.setRecorderFactory([](const std::string& file) { return std::make_unique<GifRecorder>(file); });
    const auto board = boards::seeded(41, 29, 17);  // odd sizes, gray cells
    life.replaceBitmap(board->copy());
    const auto path = (folder.path() / "run.gif").string();
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, path, watcher.indicators()));
    ASSERT_TRUE(watcher.waitFor(1, std::chrono::seconds(120)));
    ASSERT_TRUE(watcher.last().recording.written) << watcher.last().recording.message;

    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.imageCount(), 100);
    EXPECT_EQ(reader.loopCount(), -1);  // Qt's word for "forever"
    const auto expected = reference::history(*board, 100);
    for (std::size_t g = 1; g <= 100; ++g) {
        QImage image;
        ASSERT_TRUE(reader.read(&image)) << "image " << g << ": " << reader.errorString().toStdString();
        EXPECT_EQ(reader.nextImageDelay(), 50) << "image " << g;
        ASSERT_EQ(image.size(), QSize(41, 29)) << "image " << g;
        for (int y = 0; y < 29; ++y) {
            for (int x = 0; x < 41; ++x) {
                const int cell = expected[g]->getPixel(x, y);
                ASSERT_EQ(image.pixel(x, y), qRgb(cell, cell, cell)) << "image " << g << " at " << x << "," << y;
            }
        }
    }
}
