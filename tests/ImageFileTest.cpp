#include "Boards.h"
#include "ImageFile.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ImageFileExport, BoardIsOneGrayPixelPerCell)
{
    auto board = boards::seeded(120, 80, 11);
    board->setSize({1200, 800});  // shown much larger than its cell count
    QTemporaryDir dir;
    const QString path = dir.filePath("board.png");
    ASSERT_EQ(ImageFile::writePng(*board, path.toStdString()), "");

    QImageReader reader(path);
    EXPECT_EQ(reader.format(), "png");
    const QImage image = reader.read();
    ASSERT_EQ(image.size(), QSize(120, 80));
    ASSERT_EQ(image.format(), QImage::Format_Grayscale8);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(image.constScanLine(y)[x], board->getPixel(x, y)) << x << ", " << y;

    // Scaled: each cell a square of pixels; too large a scale is refused.
    ASSERT_EQ(ImageFile::writePng(*board, path.toStdString(), 3), "");
    const QImage scaled = QImageReader(path).read();
    ASSERT_EQ(scaled.size(), QSize(360, 240));
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 360; ++x)
            ASSERT_EQ(scaled.constScanLine(y)[x], board->getPixel(x / 3, y / 3)) << x << ", " << y;
    EXPECT_EQ(ImageFile::writePng(*board, path.toStdString(), 1000),
              "\u201cboard.png\u201d could not be saved: at 1000 pixels a cell the image would be 120000 \u00d7 80000 "
              "pixels, more than the 1073741824 an exported image may have.");
    EXPECT_EQ(QImageReader(path).size(), QSize(360, 240));  // left as it was
}

TEST(ImageFileImport, PixelsBecomeTheirGrayValues)
{
    // One pixel high, one pixel of each colour; the JPEG is scaled to 16 pixel blocks.
    auto row = [](QImage::Format format, std::initializer_list<QColor> colours) {
        QImage image(static_cast<int>(colours.size()), 1, format);
        int x = 0;
        for (const QColor& c : colours)
            image.setPixelColor(x++, 0, c);
        return image;
    };
    const QColor black(0, 0, 0), white(255, 255, 255), gray(128, 128, 128);
    const struct {
        const char* what;
        QImage image;
        const char* format;
        int depth;  // of the PNG as written, to be sure of what is tested
        std::vector<int> cells;
        int tolerance;
    } cases[] = {
        {"gray", row(QImage::Format_Grayscale8, {black, white, gray}), "png", 8, {0, 255, 128}, 0},
        {"colour", row(QImage::Format_RGB32, {Qt::red, Qt::blue}), "png", 8, {76, 29}, 0},
        {"transparent", row(QImage::Format_ARGB32, {QColor(0, 0, 0, 0), black}), "png", 8, {255, 0}, 0},
        {"16-bit", row(QImage::Format_Grayscale16, {black, white, gray}), "png", 16, {0, 255, 128}, 0},
        {"jpeg", row(QImage::Format_RGB32, {black, gray, white}).scaled(48, 16), "jpeg", 0, {0, 128, 255}, 6},
    };
    for (const auto& c : cases) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        ASSERT_TRUE(c.image.save(&buffer, c.format, 95)) << c.what;
        ASSERT_EQ(c.depth ? static_cast<unsigned char>(bytes.at(24)) : 0, c.depth) << c.what;
        const BoardLoad load = ImageFile::decode(bytes.constData(), static_cast<std::size_t>(bytes.size()), "image");
        ASSERT_TRUE(load.board) << c.what << ": " << load.error;
        ASSERT_EQ(load.board->pixelsWide(), c.image.width()) << c.what;
        ASSERT_EQ(load.board->pixelsHigh(), c.image.height()) << c.what;
        const int side = c.image.height();
        for (std::size_t i = 0; i < c.cells.size(); ++i)  // the middle of each block
            EXPECT_NEAR(load.board->getPixel(static_cast<int>(i) * side + side / 2, side / 2), c.cells[i], c.tolerance)
                << c.what << " block " << i;
    }
    // (Broken images are in the seed corpus's table.)
    EXPECT_EQ(ImageFile::read("/nonexistent/absent.png").error,
              "\u201cabsent.png\u201d cannot be opened as an image: the file cannot be read (No such file or directory).");
}
