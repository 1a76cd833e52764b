// Runs the real gameoflife-batch executable.
#include "CellBitmap.h"
#include "FileHelpers.h"
#include "GliderGun.h"
#include "PatternFile.h"
#include "ReferenceLife.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gif_lib.h>
#include <gtest/gtest.h>

namespace {

struct Result {
    int exitCode;
    QString out, err;
};

class Batch : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    // The arguments are split at spaces; "@" stands for the scratch folder.
    Result run(const QString& line) const
    {
        QProcess process;
        process.start(QStringLiteral(GOL_BINARY_DIR "/batch/gameoflife-batch"),
                      QString(line).replace('@', dir.path() + '/').split(' ', Qt::SkipEmptyParts));
        EXPECT_TRUE(process.waitForFinished(120000)) << line.toStdString();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    std::unique_ptr<CellBitmap> pattern(const QString& name) const
    {
        auto load = PatternFile::read(path(name).toStdString(), {});
        EXPECT_TRUE(load.board) << load.error;
        return load.board ? std::move(load.board) : CellBitmap::create(1, 1);
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(Batch, GliderGunAfterThirtyGenerationsMatchesThePreset)
{
    const Result r = run("--glider-gun 100x100 -n 30 -o @gun.golpattern");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("50x30 cells, 30 generations, 41 live cells")) << r.out.toStdString();
    EXPECT_TRUE(pattern("gun.golpattern")->sameCells(*reference::history(*GliderGun::make(100, 100), 30).back()));
}

TEST_F(Batch, RoundTripsThroughEveryFormat)
{
    // The same seed gives the same board...
    ASSERT_EQ(run("--random 64x48 --seed 7 -n 10 -o @a.golpattern").exitCode, 0);
    ASSERT_EQ(run("--random 64x48 --seed 7 -n 10 -o @again.golpattern").exitCode, 0);
    const auto a = pattern("a.golpattern");
    ASSERT_EQ(a->pixelsWide(), 64);
    EXPECT_TRUE(pattern("again.golpattern")->sameCells(*a));
    // ...pattern to PNG with no generation keeps every cell...
    ASSERT_EQ(run("@a.golpattern -n 0 -o @a.png").exitCode, 0);
    const QImage png(path("a.png"));
    ASSERT_EQ(png.format(), QImage::Format_Grayscale8);
    ASSERT_EQ(png.size(), QSize(64, 48));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(png.constScanLine(y)[x], a->getPixel(x, y)) << x << ", " << y;
    // ...and PNG back to a pattern, five generations on.
    ASSERT_EQ(run("@a.png -n 5 -o @b.golpattern").exitCode, 0);
    EXPECT_TRUE(pattern("b.golpattern")->sameCells(*reference::history(*a, 5).back()));
}

TEST_F(Batch, RecordsEveryGenerationAsAGif)
{
    ASSERT_EQ(run("--random 40x30 --seed 3 -n 0 -o @start.golpattern").exitCode, 0);
    const Result r = run("@start.golpattern -n 12 --gif @run.gif --quiet");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());

    int error = 0;
    GifFileType* gif = DGifOpenFileName(path("run.gif").toLocal8Bit().constData(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 12);
    const auto generations = reference::history(*pattern("start.golpattern"), 12);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        ASSERT_EQ(QSize(image.ImageDesc.Width, image.ImageDesc.Height), QSize(40, 30));
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        GraphicsControlBlock gcb;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &gcb), GIF_OK);
        EXPECT_EQ(gcb.DelayTime, 5);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(map->Colors[image.RasterBits[y * 40 + x]].Red, generations[i + 1]->getPixel(x, y))
                    << "image " << i << " at " << x << "," << y;
    }
    DGifCloseFile(gif, &error);
}

TEST_F(Batch, UnreadableInputOrUnwritableOutputGivesStatusOneAndNamesTheFile)
{
    ASSERT_TRUE(files::writeAll(path("broken.golpattern"), "this is not a property list"));
    for (const auto& [line, name] : {std::pair{"@missing.golpattern -o @out.png", "missing.golpattern"},
                                     {"@broken.golpattern -o @out.png", "broken.golpattern"},
                                     {"@missing.png -o @out.png", "missing.png"},
                                     {"--random 8x8 -o /nonexistent-folder/x.golpattern", "x.golpattern"},
                                     {"--random 8x8 -n 3 --gif /nonexistent-folder/x.gif", "x.gif"}}) {
        const Result r = run(line);
        EXPECT_EQ(r.exitCode, 1) << line;
        EXPECT_TRUE(r.err.contains(name)) << line << ": " << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path("out.png"))) << line;
    }
}

TEST_F(Batch, HelpVersionAndBadArguments)
{
    for (const auto& [line, text] : {std::pair{"--help", "--glider-gun"}, {"--version", "gameoflife-batch "}}) {
        const Result r = run(line);
        EXPECT_EQ(r.exitCode, 0) << line;
        EXPECT_TRUE(r.out.contains(text)) << r.out.toStdString();
    }
    for (const char* line : {"", "--random 0x5", "--random abc", "--random 99999x99999", "--random 5x5 -n -4",
                             "--random 5x5 -o out.txt", "--glider-gun 5x5 --seed 1", "a.golpattern b.golpattern",
                             "notes.txt", "--no-such-option"}) {
        const Result r = run(line);
        EXPECT_EQ(r.exitCode, 2) << line;
        EXPECT_TRUE(r.err.contains("Usage:")) << line << ": " << r.err.toStdString();
    }
}
