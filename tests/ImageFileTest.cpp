#include "Boards.h"
#include "FileHelpers.h"
#include "ImageFile.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

// Encodes an image with Qt's own writer, as another program would.
QByteArray encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    EXPECT_TRUE(image.save(&buffer, format, 95)) << format;
    return bytes;
}

// A row of square blocks side by side, one of each colour.
QImage blocks(QImage::Format format, int side, std::initializer_list<QColor> colours)
{
    QImage image(side * static_cast<int>(colours.size()), side, format);
    int left = 0;
    for (const QColor& c : colours) {
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                image.setPixelColor(left + x, y, c);
        left += side;
    }
    return image;
}

}  // namespace

TEST(ImageFileExport, BoardIsOneGrayPixelPerCellAndImportsAgain)
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

    const BoardLoad load = ImageFile::read(path.toStdString());
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_TRUE(load.board->sameCells(*board));
    EXPECT_EQ(load.board->size(), (LogicalSize{120, 80}));  // one point per pixel

    const std::string error = ImageFile::writePng(*board, dir.filePath("none/b.png").toStdString());
    EXPECT_NE(error.find("\u201cb.png\u201d could not be saved"), std::string::npos) << error;
}

TEST(ImageFileImport, PixelsBecomeTheirGrayValues)
{
    const QColor black(0, 0, 0), white(255, 255, 255), gray(128, 128, 128);
    const struct {
        const char* what;
        QImage image;
        const char* format;
        int depth;  // of the PNG as written, to be sure of what is tested
        std::vector<int> cells;
        int tolerance;
    } cases[] = {
        {"gray", blocks(QImage::Format_Grayscale8, 1, {black, white, gray}), "png", 8, {0, 255, 128}, 0},
        {"colour", blocks(QImage::Format_RGB32, 1, {Qt::red, Qt::blue}), "png", 8, {76, 29}, 0},
        {"transparent", blocks(QImage::Format_ARGB32, 1, {QColor(0, 0, 0, 0), black}), "png", 8, {255, 0}, 0},
        {"16-bit", blocks(QImage::Format_Grayscale16, 1, {black, white, gray}), "png", 16, {0, 255, 128}, 0},
        {"jpeg", blocks(QImage::Format_RGB32, 16, {black, gray, white}), "jpeg", 0, {0, 128, 255}, 6},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = encode(c.image, c.format);
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
}

TEST(ImageFileImport, OversizedHeadersAndUndecodableFilesAreRefused)
{
    const QByteArray png = encode(blocks(QImage::Format_Grayscale8, 8, {Qt::black}), "png");
    const struct {
        const char* name;
        std::optional<QByteArray> bytes;  // none: no file at all
        const char* reason;
    } cases[] = {
        {"huge.png", files::readAll(GOL_FUZZ_CORPUS "/image/huge_header.png"), "does not fit a board"},  // 20000 square
        {"notes.png", QByteArray("just some text"), "it is not a PNG or JPEG image"},
        {"cut.png", png.left(png.size() - 20), ""},
        {"gone.png", std::nullopt, "the file cannot be read"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        ASSERT_TRUE(!c.bytes || files::writeAll(dir.filePath(c.name), *c.bytes));
        const BoardLoad load = ImageFile::read(dir.filePath(c.name).toStdString());
        EXPECT_FALSE(load.board) << c.name;
        EXPECT_EQ(load.error.rfind("\u201c" + std::string(c.name) + "\u201d cannot be opened as an image: ", 0), 0u)
            << load.error;
        EXPECT_NE(load.error.find(c.reason), std::string::npos) << load.error;
    }
}
