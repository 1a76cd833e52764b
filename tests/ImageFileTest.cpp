#include "Boards.h"
#include "GifFrames.h"
#include "ImageFile.h"
#include "PatternFile.h"
#include "PatternReader.h"

#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ImageFileExport, IsOneGraySquareOfPixelsPerCellAndTooLargeAScaleIsRefused)
{
    auto board = boards::seeded(120, 80, 11);
    board->setSize({1200, 800});  // shown much larger than its cell count
    QTemporaryDir dir;
    const QString path = dir.filePath("board.png");
    for (const int scale : {1, 3}) {
        ASSERT_EQ(ImageFile::writePng(*board, path.toStdString(), scale), "");
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), "png");
        const QImage image = reader.read();
        EXPECT_EQ(image.format(), QImage::Format_Grayscale8);
        EXPECT_TRUE(showsCells(image, *board, scale));
    }
    EXPECT_EQ(ImageFile::writePng(*board, path.toStdString(), 1000),
              "\u201cboard.png\u201d could not be saved: at 1000 pixels a cell the image would be 120000 \u00d7 80000 "
              "pixels, more than the 1073741824 an exported image may have.");
    EXPECT_EQ(QImageReader(path).size(), QSize(360, 240));  // left as it was
}

// (What each kind of file opens as, or why not, is in the seed corpus's table.)
TEST(FileRead, AFileThatCannotBeReadIsNamedWithTheReason)
{
    const struct {
        BoardLoad load;
        std::string name, as;
    } reads[] = {{ImageFile::read("/nonexistent/absent.png"), "absent.png", "an image"},
                 {PatternFile::read("/nonexistent/absent.golpattern", {}), "absent.golpattern", "a pattern"},
                 {PatternReader::read("/nonexistent/absent.rle", PatternTarget::shown(1, 1)), "absent.rle",
                  "a pattern"}};
    for (const auto& r : reads)
        EXPECT_EQ(r.load.error, "\u201c" + r.name + "\u201d cannot be opened as " + r.as +
                                    ": the file cannot be read (No such file or directory).");
}
