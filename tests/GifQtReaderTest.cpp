// A recorded animation read back through Qt's GIF reader, the one the
// application itself would use to show it.

#include "Boards.h"
#include "GifRecorder.h"
#include "ReferenceLife.h"

#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Many more frames than the recorder has on their way at once, streamed to the file.
TEST(GifQtReader, RecordingReadsAsOneImagePerGenerationLoopingForever)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("run.gif"));
    const auto generations = reference::history(*boards::seeded(41, 29, 17), 300);  // odd sizes, gray cells
    GifRecorder recorder(path.toStdString());
    for (const auto& board : generations)
        recorder.capture(board->copy());
    ASSERT_TRUE(recorder.finish(RunEnd::Completed).written);

    QImageReader reader(path);
    EXPECT_EQ(reader.imageCount(), 301);
    EXPECT_EQ(reader.loopCount(), -1);  // Qt's word for "forever"
    for (std::size_t g = 0; g < generations.size(); ++g) {
        QImage image;
        ASSERT_TRUE(reader.read(&image)) << "image " << g << ": " << reader.errorString().toStdString();
        EXPECT_EQ(reader.nextImageDelay(), 50) << "image " << g;
        ASSERT_EQ(image.size(), QSize(41, 29)) << "image " << g;
        for (int y = 0; y < 29; ++y) {
            for (int x = 0; x < 41; ++x) {
                const int cell = generations[g]->getPixel(x, y);
                ASSERT_EQ(image.pixel(x, y), qRgb(cell, cell, cell)) << "image " << g << " at " << x << "," << y;
            }
        }
    }
}
