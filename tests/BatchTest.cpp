// Runs the real gameoflife-batch executable.
#include "Boards.h"
#include "CellBitmap.h"
#include "GliderGun.h"
#include "ImageFile.h"
#include "LifeRule.h"
#include "PatternFile.h"

#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gif_lib.h>
#include <gtest/gtest.h>

namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result batch(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(GOL_BINARY_DIR "/batch/gameoflife-batch"), arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

std::unique_ptr<CellBitmap> readPattern(const QString& path)
{
    auto load = PatternFile::read(path.toStdString(), {});
    EXPECT_TRUE(load.board) << load.error;
    return std::move(load.board);
}

std::unique_ptr<CellBitmap> advanced(const CellBitmap& board, int generations)
{
    auto current = board.copy();
    auto next = CellBitmap::create(board.pixelsWide(), board.pixelsHigh());
    for (int g = 0; g < generations; ++g) {
        LifeRule::step(*current, *next);
        std::swap(current, next);
    }
    return current;
}

class Batch : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(Batch, GliderGunAfterThirtyGenerationsMatchesTheApplicationsPreset)
{
    const auto r = batch({QStringLiteral("--glider-gun"), QStringLiteral("100x100"), QStringLiteral("-n"),
                          QStringLiteral("30"), QStringLiteral("-o"), path("gun.golpattern")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("50x30 cells, 30 generations, 41 live cells"))) << r.out.toStdString();
    auto written = readPattern(path("gun.golpattern"));
    ASSERT_TRUE(written);
    EXPECT_TRUE(written->sameCells(*advanced(*GliderGun::make(100, 100), 30)));
}

TEST_F(Batch, RoundTripsThroughEveryFormat)
{
    // A seeded random board, run 10 generations into a pattern file...
    auto r = batch({QStringLiteral("--random"), QStringLiteral("64x48"), QStringLiteral("--seed"), QStringLiteral("7"),
                    QStringLiteral("-n"), QStringLiteral("10"), QStringLiteral("-o"), path("a.golpattern")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    auto a = readPattern(path("a.golpattern"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->pixelsWide(), 64);
    // ...the same seed gives the same board...
    r = batch({QStringLiteral("--random"), QStringLiteral("64x48"), QStringLiteral("--seed"), QStringLiteral("7"),
               QStringLiteral("-n"), QStringLiteral("10"), QStringLiteral("-o"), path("again.golpattern")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(readPattern(path("again.golpattern"))->sameCells(*a));
    // ...pattern to PNG with no generation keeps every cell...
    r = batch({path("a.golpattern"), QStringLiteral("-n"), QStringLiteral("0"), QStringLiteral("-o"), path("a.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QImage png(path("a.png"));
    ASSERT_EQ(png.format(), QImage::Format_Grayscale8);
    ASSERT_EQ(png.size(), QSize(64, 48));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(png.constScanLine(y)[x], a->getPixel(x, y));
    // ...and PNG back to a pattern, five generations on.
    r = batch({path("a.png"), QStringLiteral("-n"), QStringLiteral("5"), QStringLiteral("-o"), path("b.golpattern")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(readPattern(path("b.golpattern"))->sameCells(*advanced(*a, 5)));
}

TEST_F(Batch, RecordsTheRunAsTheApplicationDoes)
{
    auto r = batch({QStringLiteral("--random"), QStringLiteral("40x30"), QStringLiteral("--seed"), QStringLiteral("3"),
                    QStringLiteral("-n"), QStringLiteral("0"), QStringLiteral("-o"), path("start.golpattern")});
    ASSERT_EQ(r.exitCode, 0);
    auto start = readPattern(path("start.golpattern"));
    r = batch({path("start.golpattern"), QStringLiteral("-n"), QStringLiteral("12"), QStringLiteral("--gif"),
               path("run.gif"), QStringLiteral("--quiet")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());

    int error = 0;
    GifFileType* gif = DGifOpenFileName(path("run.gif").toLocal8Bit().constData(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 12);
    auto expected = start->copy();
    for (int i = 0; i < gif->ImageCount; ++i) {
        expected = advanced(*expected, 1);
        const SavedImage& image = gif->SavedImages[i];
        ASSERT_EQ(image.ImageDesc.Width, 40);
        ASSERT_EQ(image.ImageDesc.Height, 30);
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        ASSERT_NE(map, nullptr);
        GraphicsControlBlock gcb;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &gcb), GIF_OK);
        EXPECT_EQ(gcb.DelayTime, 5);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const GifColorType c = map->Colors[image.RasterBits[y * 40 + x]];
                ASSERT_EQ(c.Red, expected->getPixel(x, y)) << "image " << i << " at " << x << "," << y;
            }
        }
    }
    DGifCloseFile(gif, &error);
}

TEST_F(Batch, UnreadableInputGivesItsMessageAndStatusOne)
{
    QFile broken(path("broken.golpattern"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("this is not a property list");
    broken.close();
    for (const QString& input : {path("missing.golpattern"), path("broken.golpattern"), path("missing.png")}) {
        const auto r = batch({input, QStringLiteral("-o"), path("out.png")});
        EXPECT_EQ(r.exitCode, 1) << input.toStdString();
        EXPECT_TRUE(r.err.contains(QFileInfo(input).fileName())) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path("out.png")));
    }
}

TEST_F(Batch, UnwritableOutputGivesStatusOne)
{
    auto r = batch({QStringLiteral("--random"), QStringLiteral("8x8"), QStringLiteral("-o"),
                    QStringLiteral("/nonexistent-folder/x.golpattern")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("x.golpattern"))) << r.err.toStdString();
    r = batch({QStringLiteral("--random"), QStringLiteral("8x8"), QStringLiteral("-n"), QStringLiteral("3"),
               QStringLiteral("--gif"), QStringLiteral("/nonexistent-folder/x.gif")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("x.gif"))) << r.err.toStdString();
}

TEST_F(Batch, BadArgumentsGiveTheUsageAndStatusTwo)
{
    const QStringList cases[] = {
        {},
        {QStringLiteral("--random"), QStringLiteral("0x5")},
        {QStringLiteral("--random"), QStringLiteral("abc")},
        {QStringLiteral("--random"), QStringLiteral("99999x99999")},
        {QStringLiteral("--random"), QStringLiteral("5x5"), QStringLiteral("-n"), QStringLiteral("-4")},
        {QStringLiteral("--random"), QStringLiteral("5x5"), QStringLiteral("-o"), QStringLiteral("out.txt")},
        {QStringLiteral("--glider-gun"), QStringLiteral("5x5"), QStringLiteral("--seed"), QStringLiteral("1")},
        {QStringLiteral("a.golpattern"), QStringLiteral("b.golpattern")},
        {QStringLiteral("notes.txt")},
        {QStringLiteral("--no-such-option")},
    };
    for (const auto& arguments : cases) {
        const auto r = batch(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage:"))) << r.err.toStdString();
    }
}

TEST_F(Batch, HelpAndVersion)
{
    auto r = batch({QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("--glider-gun")));
    r = batch({QStringLiteral("--version")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("gameoflife-batch ")));
}
