#include "Boards.h"
#include "FileHelpers.h"
#include "ImageFile.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>

namespace {

// Encodes an image with Qt's own writer, as another program would.
QByteArray encode(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return bytes;
}

BoardLoad decodeBytes(const QByteArray& bytes, const char* name = "image.png")
{
    return ImageFile::decode(bytes.constData(), static_cast<std::size_t>(bytes.size()), name);
}

// Bit depth and colour type from a PNG's header chunk.
std::pair<int, int> pngDepthAndColourType(const QByteArray& png)
{
    if (png.size() < 26)
        return {-1, -1};
    return {static_cast<unsigned char>(png[24]), static_cast<unsigned char>(png[25])};
}

}  // namespace

TEST(ImageFileExport, BoardIsOneGrayPixelPerCell)
{
    auto board = boards::seeded(120, 80, 11);
    board->setSize({1200, 800});  // shown much larger than its cell count
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "board.png");
    ASSERT_EQ(ImageFile::writePng(*board, path), "");

    const QByteArray png = files::readAll(path);
    EXPECT_EQ(pngDepthAndColourType(png), std::make_pair(8, 0));  // 8-bit gray

    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), "png");
    EXPECT_EQ(reader.size(), QSize(120, 80));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.format(), QImage::Format_Grayscale8);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(image.constScanLine(y)[x], board->getPixel(x, y)) << x << ", " << y;
}

TEST(ImageFileExport, ExportedImageImportsAsTheSameBoard)
{
    const auto board = boards::seeded(33, 17, 3);
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "again.png");
    ASSERT_EQ(ImageFile::writePng(*board, path), "");
    const BoardLoad load = ImageFile::read(path);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_TRUE(load.board->sameCells(*board));
    // Written at one point per pixel.
    EXPECT_EQ(load.board->size(), (LogicalSize{33, 17}));
}

TEST(ImageFileExport, FailedWriteReportsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const auto board = boards::seeded(4, 4, 1);
    const std::string error = ImageFile::writePng(*board, files::pathIn(dir, "nowhere/b.png"));
    EXPECT_NE(error.find("\u201cb.png\u201d could not be saved"), std::string::npos) << error;

    // A folder in place of the file: the write fails and the folder stays.
    const std::string path = files::pathIn(dir, "taken.png");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.png"));
    const std::string taken = ImageFile::writePng(*board, path);
    EXPECT_NE(taken.find("\u201ctaken.png\u201d could not be saved"), std::string::npos) << taken;
    EXPECT_TRUE(QFileInfo(QString::fromStdString(path)).isDir());
}

TEST(ImageFileExport, WriteFailingPartWayKeepsTheOldFile)
{
    // The file size limit makes the write fail after its first few kilobytes,
    // as a full disk would.
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "b.png");
    ASSERT_EQ(ImageFile::writePng(*boards::seeded(4, 4, 1), path), "");
    const QByteArray before = files::readAll(path);

    const auto noisy = boards::seeded(300, 300, 2);  // compresses to well over the limit
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 8192;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = ImageFile::writePng(*noisy, path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(error.find("\u201cb.png\u201d could not be saved: "), std::string::npos) << error;
    EXPECT_EQ(files::readAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"b.png"});
}

TEST(ImageFileImport, WithoutAResolutionTheLogicalSizeIsThePixelCount)
{
    // A PNG of 3 by 2 gray pixels with no pHYs chunk.
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr;
    files::appendBE32(ihdr, 3);
    files::appendBE32(ihdr, 2);
    ihdr.append(QByteArray("\x08\x00\x00\x00\x00", 5));
    files::appendChunk(png, "IHDR", ihdr);
    const QByteArray rows("\x00\x00\x40\xff\x00\x10\x20\x30", 8);  // filter byte, then 3 pixels, per row
    files::appendChunk(png, "IDAT", qCompress(rows).mid(4));       // the zlib stream without Qt's length
    files::appendChunk(png, "IEND", QByteArray());
    ASSERT_EQ(png.indexOf("pHYs"), -1);

    const BoardLoad load = decodeBytes(png);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.board->size(), (LogicalSize{3, 2}));
    EXPECT_EQ(load.board->getPixel(0, 0), 0x00);
    EXPECT_EQ(load.board->getPixel(1, 0), 0x40);
    EXPECT_EQ(load.board->getPixel(2, 0), 0xff);
    EXPECT_EQ(load.board->getPixel(2, 1), 0x30);
}

TEST(ImageFileImport, GrayPixelsKeepTheirValues)
{
    QImage image(3, 2, QImage::Format_Grayscale8);
    const int values[2][3] = {{0, 255, 128}, {1, 254, 77}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.scanLine(y)[x] = static_cast<uchar>(values[y][x]);
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "gray.png");
    ASSERT_TRUE(files::writeAll(path, encode(image, "png")));
    const BoardLoad load = ImageFile::read(path);
    ASSERT_TRUE(load.board) << load.error;
    ASSERT_EQ(load.board->pixelsWide(), 3);
    ASSERT_EQ(load.board->pixelsHigh(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(load.board->getPixel(x, y), values[y][x]);
    EXPECT_EQ(load.board->liveCells(), 1);  // only pure black is live
}

TEST(ImageFileImport, ColourPixelsBecomeTheirLuminance)
{
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(255, 255, 255));
    image.setPixel(2, 0, qRgb(255, 0, 0));
    image.setPixel(3, 0, qRgb(0, 0, 255));
    const BoardLoad load = decodeBytes(encode(image, "png"));
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.board->getPixel(0, 0), 0);
    EXPECT_EQ(load.board->getPixel(1, 0), 255);
    EXPECT_EQ(load.board->getPixel(2, 0), 76);  // 0.299 * 255
    EXPECT_EQ(load.board->getPixel(3, 0), 29);  // 0.114 * 255
}

TEST(ImageFileImport, TransparencyIsCompositedOnWhite)
{
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));      // transparent black
    image.setPixel(1, 0, qRgba(0, 0, 0, 255));    // opaque black
    image.setPixel(2, 0, qRgba(0, 0, 0, 128));    // half-transparent black
    const QByteArray png = encode(image, "png");
    EXPECT_EQ(pngDepthAndColourType(png).second, 6);  // really stored with alpha
    const BoardLoad load = decodeBytes(png);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.board->getPixel(0, 0), 255);
    EXPECT_EQ(load.board->getPixel(1, 0), 0);
    EXPECT_NEAR(load.board->getPixel(2, 0), 127, 1);
}

TEST(ImageFileImport, SixteenBitSamplesAreReducedToEight)
{
    QImage image(4, 1, QImage::Format_Grayscale16);
    auto* row = reinterpret_cast<quint16*>(image.scanLine(0));
    row[0] = 0;
    row[1] = 65535;
    row[2] = 128 * 257;
    row[3] = 1000;  // 3.89 in 8 bits
    const QByteArray png = encode(image, "png");
    ASSERT_EQ(pngDepthAndColourType(png), std::make_pair(16, 0));
    const BoardLoad load = decodeBytes(png);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.board->getPixel(0, 0), 0);
    EXPECT_EQ(load.board->getPixel(1, 0), 255);
    EXPECT_EQ(load.board->getPixel(2, 0), 128);
    EXPECT_EQ(load.board->getPixel(3, 0), 4);

    QImage colour(2, 1, QImage::Format_RGBA64);
    colour.setPixelColor(0, 0, QColor::fromRgba64(65535, 65535, 65535, 0));
    colour.setPixelColor(1, 0, QColor::fromRgba64(0, 0, 65535, 65535));
    const QByteArray png16 = encode(colour, "png");
    ASSERT_EQ(pngDepthAndColourType(png16), std::make_pair(16, 6));
    const BoardLoad load16 = decodeBytes(png16);
    ASSERT_TRUE(load16.board) << load16.error;
    EXPECT_EQ(load16.board->getPixel(0, 0), 255);
    EXPECT_EQ(load16.board->getPixel(1, 0), 29);
}

TEST(ImageFileImport, JpegGivesApproximateGrays)
{
    // 64 by 48: left third black, middle third mid-gray, right third white.
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, x < 21 ? qRgb(0, 0, 0) : x < 42 ? qRgb(128, 128, 128) : qRgb(255, 255, 255));
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "photo.jpg");
    ASSERT_TRUE(files::writeAll(path, encode(image, "jpeg", 95)));
    const BoardLoad load = ImageFile::read(path);
    ASSERT_TRUE(load.board) << load.error;
    ASSERT_EQ(load.board->pixelsWide(), 64);
    ASSERT_EQ(load.board->pixelsHigh(), 48);
    // Away from the edges where the blocks meet.
    for (int y = 0; y < 48; ++y) {
        EXPECT_NEAR(load.board->getPixel(8, y), 0, 6);
        EXPECT_NEAR(load.board->getPixel(31, y), 128, 6);
        EXPECT_NEAR(load.board->getPixel(56, y), 255, 6);
    }
}

TEST(ImageFileImport, ResolutionGivesTheLogicalSize)
{
    QImage image(100, 50, QImage::Format_Grayscale8);
    image.fill(255);
    image.setDotsPerMeterX(5669);  // 144 dpi
    image.setDotsPerMeterY(2835);  // 72 dpi
    const BoardLoad load = decodeBytes(encode(image, "png"));
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.board->pixelsWide(), 100);
    EXPECT_EQ(load.board->size(), (LogicalSize{50, 50}));
}

TEST(ImageFileImport, OversizedHeaderIsRefusedBeforeDecoding)
{
    for (auto [w, h] : {std::pair{20000u, 20000u}, std::pair{16385u, 16384u}, std::pair{0x7FFFFFFFu, 1u}}) {
        const BoardLoad load = decodeBytes(files::pngHeaderOnly(w, h), "huge.png");
        EXPECT_FALSE(load.board);
        EXPECT_EQ(load.error.rfind("\u201chuge.png\u201d cannot be opened as an image: ", 0), 0u) << load.error;
        if (w <= 0x7FFFFFFFu / 2) {
            EXPECT_NE(load.error.find("does not fit a board"), std::string::npos) << load.error;
        }
    }
    // Within the board's limit, but a 16-bit colour image that size would
    // need more memory to decode than the reader allows.
    QByteArray deep = files::pngHeaderOnly(16384, 16384);
    deep[24] = 16;  // bit depth
    deep[25] = 6;   // gray + alpha, RGBA
    // Fix the header's checksum after the change.
    const std::uint32_t crc = files::crc32(reinterpret_cast<const unsigned char*>(deep.constData()) + 12, 17);
    deep.replace(29, 4, QByteArray());
    QByteArray crcBytes;
    files::appendBE32(crcBytes, crc);
    deep.insert(29, crcBytes);
    const BoardLoad load = decodeBytes(deep, "deep.png");
    EXPECT_FALSE(load.board);
    EXPECT_FALSE(load.error.empty());
}

TEST(ImageFileImport, UnusableFilesAreRefused)
{
    QTemporaryDir dir;
    const BoardLoad missing = ImageFile::read(files::pathIn(dir, "gone.png"));
    EXPECT_FALSE(missing.board);
    EXPECT_NE(missing.error.find("\u201cgone.png\u201d cannot be opened as an image: the file cannot be read"),
              std::string::npos) << missing.error;

    const BoardLoad text = decodeBytes("just some text", "notes.png");
    EXPECT_FALSE(text.board);
    EXPECT_NE(text.error.find("it is not a PNG or JPEG image"), std::string::npos) << text.error;

    QImage image(8, 8, QImage::Format_Grayscale8);
    image.fill(0);
    const BoardLoad gif = decodeBytes(encode(image, "bmp"), "picture.png");
    EXPECT_FALSE(gif.board);
    EXPECT_NE(gif.error.find("it is not a PNG or JPEG image"), std::string::npos) << gif.error;

    const QByteArray png = encode(image, "png");
    const BoardLoad cut = decodeBytes(png.left(png.size() - 20), "cut.png");
    EXPECT_FALSE(cut.board);
    EXPECT_NE(cut.error.find("\u201ccut.png\u201d cannot be opened as an image: "), std::string::npos) << cut.error;

    const BoardLoad empty = decodeBytes(QByteArray(), "empty.png");
    EXPECT_FALSE(empty.board);
    EXPECT_FALSE(empty.error.empty());
}
