#pragma once

// What a recorded GIF holds, as giflib's own reader sees it and as Qt's GIF
// reader (the one the application would show it with) sees it.

#include "CellBitmap.h"

#include <QImage>
#include <QImageReader>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// `image` shows `board`, each cell a square of `scale` pixels of its gray; or where it does not.
inline ::testing::AssertionResult showsCells(const QImage& image, const CellBitmap& board, int scale = 1)
{
    const QSize size(int(board.pixelsWide()) * scale, int(board.pixelsHigh()) * scale);
    if (image.size() != size)
        return ::testing::AssertionFailure() << "the image is " << image.width() << "x" << image.height() << ", not "
                                             << size.width() << "x" << size.height();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const int cell = board.getPixel(x / scale, y / scale); image.pixel(x, y) != qRgb(cell, cell, cell))
                return ::testing::AssertionFailure() << "at " << x << "," << y << " not gray " << cell;
    return ::testing::AssertionSuccess();
}

// The file holds `count` images of generations[first], generations[first + 1]...,
// each cell `scale` pixels square, each image shown for 5 hundredths of a
// second, looping forever; to both readers.
inline void expectAnimation(const std::filesystem::path& path,
                            const std::vector<std::unique_ptr<CellBitmap>>& generations, std::size_t count,
                            std::size_t first = 1, int scale = 1)
{
    int error = 0;
    const std::unique_ptr<GifFileType, void (*)(GifFileType*)> file(DGifOpenFileName(path.c_str(), &error),
                                                                     [](GifFileType* f) { DGifCloseFile(f, nullptr); });
    ASSERT_TRUE(file && DGifSlurp(file.get()) == GIF_OK) << path << " cannot be read";
    ASSERT_EQ(file->ImageCount, int(count));
    // The NETSCAPE2.0 block ahead of the first image, then its loop count: 0, forever.
    std::string blocks;
    for (int b = 0; b < file->SavedImages[0].ExtensionBlockCount; ++b) {
        const ExtensionBlock& block = file->SavedImages[0].ExtensionBlocks[b];
        blocks.append(reinterpret_cast<const char*>(block.Bytes), std::size_t(block.ByteCount));
    }
    EXPECT_NE(blocks.find(std::string("NETSCAPE2.0\1\0\0", 14)), std::string::npos) << "not looping forever";
    QImageReader reader(QString::fromStdString(path.string()));
    EXPECT_EQ(reader.imageCount(), int(count));
    EXPECT_EQ(reader.loopCount(), -1);  // Qt's word for "forever"

    for (int i = 0; i < file->ImageCount; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const SavedImage& image = file->SavedImages[i];
        const CellBitmap& board = *generations[first + std::size_t(i)];
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(file.get(), i, &control);
        EXPECT_EQ(control.DelayTime, 5);
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : file->SColorMap;
        ASSERT_TRUE(map);
        QImage pixels(image.ImageDesc.Width, image.ImageDesc.Height, QImage::Format_RGB32);
        for (int p = 0; p < pixels.width() * pixels.height(); ++p) {
            ASSERT_LT(image.RasterBits[p], map->ColorCount) << "pixel " << p;
            const GifColorType c = map->Colors[image.RasterBits[p]];
            pixels.setPixel(p % pixels.width(), p / pixels.width(), qRgb(c.Red, c.Green, c.Blue));
        }
        ASSERT_TRUE(showsCells(pixels, board, scale)) << "as giflib reads it";
        ASSERT_TRUE(reader.read(&pixels)) << reader.errorString().toStdString();
        EXPECT_EQ(reader.nextImageDelay(), 50);
        ASSERT_TRUE(showsCells(pixels, board, scale)) << "as Qt reads it";
    }
}
