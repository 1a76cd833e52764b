// Runs the real gameoflife-batch executable.
#include "CellBitmap.h"
#include "FileHelpers.h"
#include "GliderGun.h"
#include "ImageFile.h"
#include "Boards.h"
#include "PatternFile.h"
#include "PatternInterchange.h"
#include "ReferenceLife.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gif_lib.h>
#include <gtest/gtest.h>

namespace {

class Batch : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    // Runs the batch and returns its exit status, keeping what it printed in
    // out and err. The arguments are split at spaces; "@" stands for the scratch folder.
    int run(const QString& line)
    {
        QProcess process;
        process.start(QStringLiteral(GOL_BINARY_DIR "/batch/gameoflife-batch"),
                      QString(line).replace('@', dir.path() + '/').split(' ', Qt::SkipEmptyParts));
        EXPECT_TRUE(process.waitForFinished(120000)) << line.toStdString();
        out = QString::fromUtf8(process.readAllStandardOutput());
        err = QString::fromUtf8(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // The board of a file the batch wrote; one cell, matching nothing, when it cannot be read.
    std::unique_ptr<CellBitmap> board(const QString& name) const
    {
        const std::string file = path(name).toStdString();
        auto board = name.endsWith(".png")          ? ImageFile::read(file).board
                     : name.endsWith(".golpattern") ? PatternFile::read(file, {}).board
                                                    : PatternInterchange::read(file, PatternTarget::shown(1, 1)).board;
        return board ? std::move(board) : CellBitmap::create(1, 1);
    }

    QTemporaryDir dir;
    QString out, err;
};

}  // namespace

TEST_F(Batch, GliderGunAfterThirtyGenerationsMatchesThePreset)
{
    ASSERT_EQ(run("--glider-gun 100x100 -n 30 -o @gun.golpattern"), 0) << err.toStdString();
    EXPECT_TRUE(out.startsWith("50x30 cells, 30 generations, 41 live cells")) << out.toStdString();
    EXPECT_TRUE(board("gun.golpattern")->sameCells(*reference::history(*GliderGun::make(100, 100), 30).back()));
}

TEST_F(Batch, RoundTripsThroughEveryFormat)
{
    // The same seed gives the same board; pattern to PNG, RLE or plaintext
    // (whose live cells reach every edge) and back with no generation keeps
    // every cell, and PNG back to a pattern five generations on.
    for (const char* line : {"--random 64x48 --seed 7 -n 10 -o @a.golpattern",
                             "--random 64x48 --seed 7 -n 10 -o @again.golpattern", "@a.golpattern -n 0 -o @a.png",
                             "@a.png -n 5 -o @b.golpattern", "@a.golpattern -n 0 -o @a.Rle",
                             "@a.Rle -n 0 -o @rle.golpattern", "@a.golpattern -n 0 -o @a.CELLS",
                             "@a.CELLS --board 64x48 -n 0 -o @cells.golpattern"})
        ASSERT_EQ(run(line), 0) << line << ": " << err.toStdString();
    const auto a = board("a.golpattern");
    ASSERT_EQ(a->pixelsWide(), 64);
    for (const char* name : {"again.golpattern", "a.png", "rle.golpattern", "cells.golpattern"})
        EXPECT_TRUE(board(name)->sameCells(*a)) << name;
    EXPECT_TRUE(board("b.golpattern")->sameCells(*reference::history(*a, 5).back()));
}

TEST_F(Batch, RecordsEveryGenerationAsAGifAndDrawsCellsAtTheScaleAsked)
{
    ASSERT_EQ(run("--random 40x30 --seed 3 -n 0 -o @start.golpattern"), 0) << err.toStdString();
    ASSERT_EQ(run("@start.golpattern -n 12 --gif @run.gif --scale 2 --quiet"), 0) << err.toStdString();
    EXPECT_TRUE(out.isEmpty()) << out.toStdString();

    int error = 0;
    GifFileType* gif = DGifOpenFileName(path("run.gif").toLocal8Bit().constData(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 12);
    const auto generations = reference::history(*board("start.golpattern"), 12);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        ASSERT_EQ(std::pair(image.ImageDesc.Width, image.ImageDesc.Height), std::pair(80, 60));
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        GraphicsControlBlock gcb;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &gcb), GIF_OK);
        EXPECT_EQ(gcb.DelayTime, 5);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x)
                ASSERT_EQ(map->Colors[image.RasterBits[y * 80 + x]].Red, generations[i + 1]->getPixel(x / 2, y / 2))
                    << "image " << i << " at " << x << "," << y;
    }
    DGifCloseFile(gif, &error);

    // A PNG at three pixels a cell.
    ASSERT_EQ(run("@start.golpattern -n 0 -o @big.png --scale 3"), 0) << err.toStdString();
    const QImage png(path("big.png"));
    ASSERT_EQ(png.size(), QSize(120, 90));
    const auto start = board("start.golpattern");
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(qGray(png.pixel(x, y)), start->getPixel(x / 3, y / 3)) << x << "," << y;
}

TEST_F(Batch, ImportedPatternsGoOnTheBoardAskedForAndGrayCellsWrittenAsDeadAreCounted)
{
    ASSERT_TRUE(files::writeAll(path("glider.rle"), "#N Glider\nx = 3, y = 3, rule = B3/S23\nbob$2bo$3o!\n"));
    ASSERT_EQ(run("@glider.rle --board 9x7 -n 4 -o @g.golpattern"), 0) << err.toStdString();
    const auto placed = boards::withLive(9, 7, {{4, 2}, {5, 3}, {3, 4}, {4, 4}, {5, 4}});
    EXPECT_TRUE(board("g.golpattern")->sameCells(*reference::history(*placed, 4).back()));
    EXPECT_EQ(run("@glider.rle --board 2x2 -o @g.golpattern"), 1);
    EXPECT_TRUE(err.contains("\u201cglider.rle\u201d") && err.contains("does not fit")) << err.toStdString();

    const auto gray = boards::seeded(21, 11, 5);
    auto dead = gray->copy();
    int grays = 0;
    for (std::uint8_t* cell = dead->data(); cell != dead->data() + dead->cellCount(); ++cell) {
        grays += *cell != CellBitmap::kLive && *cell != CellBitmap::kDead;
        *cell = *cell == CellBitmap::kLive ? CellBitmap::kLive : CellBitmap::kDead;
    }
    ASSERT_EQ(ImageFile::writePng(*gray, path("gray.png").toStdString()), "");
    ASSERT_EQ(run("@gray.png -n 0 -o @gray.rle"), 0) << err.toStdString();
    const QString note = QString::number(grays) + " gray cells were written to \u201cgray.rle\u201d as dead cells.\n";
    EXPECT_TRUE(out.startsWith(note)) << out.toStdString();
    EXPECT_TRUE(board("gray.rle")->sameCells(*dead));
}

TEST_F(Batch, UnreadableInputOrUnwritableOutputGivesStatusOneAndNamesTheFile)
{
    ASSERT_TRUE(files::writeAll(path("broken.golpattern"), "this is not a property list"));
    for (const auto& [line, name] : {std::pair{"@missing.golpattern -o @out.png", "missing.golpattern"},
                                     {"@broken.golpattern -o @out.png", "broken.golpattern"},
                                     {"@missing.png -o @out.png", "missing.png"},
                                     {"@missing.cells -o @out.png", "missing.cells"},
                                     {"--random 8x8 -o /nonexistent-folder/x.rle", "x.rle"},
                                     {"--random 8x8 -o /nonexistent-folder/x.golpattern", "x.golpattern"},
                                     {"--random 8x8 -n 3 --gif /nonexistent-folder/x.gif", "x.gif"}}) {
        EXPECT_EQ(run(line), 1) << line;
        EXPECT_TRUE(err.contains(name)) << line << ": " << err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path("out.png"))) << line;
    }
}

TEST_F(Batch, HelpVersionAndBadArguments)
{
    for (const auto& [line, text] : {std::pair{"--help", "--glider-gun"}, {"-h", "--board <WxH>"},
                                     {"-h", "--scale <N>"}, {"--version", "gameoflife-batch "}}) {
        EXPECT_EQ(run(line), 0) << line;
        EXPECT_TRUE(out.contains(text)) << out.toStdString();
    }
    for (const char* line : {"", "--random 0x5", "--random abc", "--random 99999x99999", "--random 5x5 -n -4",
                             "--random 5x5 -o out.txt", "--glider-gun 5x5 --seed 1", "a.golpattern b.golpattern",
                             "notes.txt", "--no-such-option", "--random 5x5 --board 5x5", "a.golpattern --board 5x5",
                             "a.rle --board 0x5", "a.cells --board 99999x99999", "a.rle -o b.png --scale 0",
                             "a.rle --gif b.gif --scale 65", "a.rle -o b.png --scale x", "a.rle -o b.rle --scale 2"}) {
        EXPECT_EQ(run(line), 2) << line;
        EXPECT_TRUE(err.contains("Usage:")) << line << ": " << err.toStdString();
    }
}
