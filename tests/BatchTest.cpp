// Runs the real gameoflife-batch executable. What the formats themselves
// hold is checked in their own tests; here, the batch tool's options, exit
// statuses and messages.
#include "Boards.h"
#include "CellBitmap.h"
#include "FileHelpers.h"
#include "GifFrames.h"
#include "GliderGun.h"
#include "ImageFile.h"
#include "PatternFile.h"
#include "PatternInterchange.h"
#include "PatternReader.h"
#include "ReferenceLife.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

class Batch : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    // Runs the batch and returns its exit status, keeping what it printed in
    // out and err. The arguments are split at spaces; "@" stands for the scratch folder.
    int run(const QString& line, rlim_t memory = RLIM_INFINITY)
    {
        QProcess process;
        process.setChildProcessModifier([memory] {
            const rlimit limit{memory, memory};
            ::setrlimit(RLIMIT_AS, &limit);
        });
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
                                                    : PatternReader::read(file, PatternTarget::shown(1, 1)).board;
        return board ? std::move(board) : CellBitmap::create(1, 1);
    }

    QTemporaryDir dir;
    QString out, err;
};

}  // namespace

TEST_F(Batch, GliderGunAfterThirtyGenerationsMatchesThePreset)
{
    ASSERT_EQ(run("--glider-gun 100x100 -n 30 -o @gun.golpattern"), 0) << err.toStdString();
    EXPECT_TRUE(out.startsWith("50x30 cells, B3/S23 on a bounded plane, 30 generations, 41 live cells"))
        << out.toStdString();
    EXPECT_TRUE(board("gun.golpattern")->sameCells(*reference::history(*GliderGun::make(100, 100), 30).back()));
}

// The same seed gives the same board; the format goes by the extension, in
// any case; a board goes to a PNG (at the scale asked), RLE or plaintext and
// back unchanged.
TEST_F(Batch, WritesAndReadsEveryFormatByItsExtension)
{
    for (const char* line : {"--random 64x48 --seed 7 -n 10 -o @a.golpattern",
                             "--random 64x48 --seed 7 -n 10 -o @again.golpattern", "@a.golpattern -n 0 -o @a.png",
                             "@a.png -n 0 -o @png.golpattern", "@a.golpattern -n 0 -o @a.Rle",
                             "@a.Rle -n 0 -o @rle.golpattern", "@a.golpattern -n 0 -o @a.CELLS",
                             "@a.CELLS --board 64x48 -n 0 -o @cells.golpattern",
                             "@a.golpattern -n 0 -o @big.png --scale 3", "@a.golpattern -n 0 -o @a.rle.gz",
                             "@a.rle.gz -n 0 -o @gz.golpattern", "@a.golpattern -n 0 -o @a.lif",
                             "@a.lif --board 64x48 -n 0 -o @lif.golpattern"})
        ASSERT_EQ(run(line), 0) << line << ": " << err.toStdString();
    const auto a = board("a.golpattern");
    ASSERT_EQ(a->pixelsWide(), 64);
    for (const char* name : {"again.golpattern", "a.png", "png.golpattern", "rle.golpattern", "cells.golpattern",
                             "gz.golpattern", "lif.golpattern"})
        EXPECT_TRUE(board(name)->sameCells(*a)) << name;
    EXPECT_EQ(QImage(path("big.png")).size(), QSize(192, 144));
}

// A random board at a density: that share of the cells live, the same board for the same seed.
TEST_F(Batch, RandomBoardsTakeADensityAndASeed)
{
    for (const auto& [density, least, most] : {std::tuple{0, 0, 0}, {20, 380, 580}, {100, 2400, 2400}}) {
        for (const char* name : {"a.golpattern", "b.golpattern"})
            ASSERT_EQ(run(QStringLiteral("--random 60x40 --seed 9 --density %1 -n 0 -o @%2").arg(density).arg(name)), 0)
                << err.toStdString();
        const auto a = board("a.golpattern");
        EXPECT_TRUE(a->sameCells(*board("b.golpattern"))) << density;
        std::int64_t live = 0;
        for (std::int64_t y = 0; y < a->pixelsHigh(); ++y)
            for (std::int64_t x = 0; x < a->pixelsWide(); ++x)
                live += a->getPixel(x, y) == CellBitmap::kLive;
        EXPECT_GE(live, least) << density;
        EXPECT_LE(live, most) << density;
    }
}

TEST_F(Batch, RecordsEveryGenerationAsAGifAtTheScaleAskedAndQuietly)
{
    ASSERT_EQ(run("--random 40x30 --seed 3 -n 0 -o @start.golpattern"), 0) << err.toStdString();
    ASSERT_EQ(run("@start.golpattern -n 12 --gif @run.gif --scale 2 --quiet"), 0) << err.toStdString();
    EXPECT_TRUE(out.isEmpty()) << out.toStdString();
    expectAnimation(path("run.gif").toStdString(), reference::history(*board("start.golpattern"), 12), 12, 1, 2);
}

TEST_F(Batch, ImportedPatternsGoOnTheBoardAskedForAndGrayCellsWrittenAsDeadAreCounted)
{
    ASSERT_TRUE(files::writeAll(path("glider.rle"), "#N Glider\nx = 3, y = 3, rule = B3/S23\nbob$2bo$3o!\n"));
    ASSERT_EQ(run("@glider.rle --board 9x7 -n 4 -o @g.golpattern"), 0) << err.toStdString();
    const auto placed = boards::withLive(9, 7, {{4, 2}, {5, 3}, {3, 4}, {4, 4}, {5, 4}});
    EXPECT_TRUE(board("g.golpattern")->sameCells(*reference::history(*placed, 4).back()));
    for (const char* small : {"2x9", "9x2"}) {  // too narrow, too low
        EXPECT_EQ(run(QStringLiteral("@glider.rle --board %1 -o @g.golpattern").arg(small)), 1) << small;
        EXPECT_TRUE(err.contains("\u201cglider.rle\u201d") && err.contains("does not fit")) << err.toStdString();
    }

    const auto dead = boards::seeded(21, 11, 5, false);
    auto gray = dead->copy();
    for (const int x : {0, 7, 20}) {
        dead->setPixel(x, 10, CellBitmap::kDead);
        gray->setPixel(x, 10, 99);
    }
    ASSERT_EQ(ImageFile::writePng(*gray, path("gray.png").toStdString()), "");
    ASSERT_EQ(run("@gray.png -n 0 -o @gray.rle"), 0) << err.toStdString();
    EXPECT_TRUE(out.startsWith("3 gray cells were written to \u201cgray.rle\u201d as dead cells.\n"))
        << out.toStdString();
    EXPECT_TRUE(board("gray.rle")->sameCells(*dead));
}

// The input's rule and world, or those of --rule and --torus, run the board,
// go into the summary and into the files written. With --until-settled the
// run stops where the plain rule's generations first repeat, and says so.
TEST_F(Batch, RunsTheRuleAndWorldOfItsInputOrOfItsOptions)
{
    ASSERT_TRUE(files::writeAll(path("h.rle"), "x = 3, y = 3, rule = B36/S23:T12,10\nbob$2bo$3o!\n"));
    const auto start = PatternReader::read(path("h.rle").toStdString(), PatternTarget::shown(1, 1));
    ASSERT_TRUE(start) << start.error;
    struct Case { const char* line; const char* rule; World world; bool untilSettled = false; };
    for (const Case& c : {Case{"@h.rle -n 37 -o @out.golpattern", "B36/S23", World::Torus},
                          {"@h.rle -n 37 --rule b2/s -o @out.rle", "B2/S", World::Plane},
                          {"@h.rle -n 37 --rule 34678/3678 --torus -o @out.golpattern", "B3678/S34678", World::Torus},
                          {"@h.rle -n 37 --rule B3/S23:T1,1 -o @out.rle", "B3/S23", World::Torus},
                          {"@h.rle -n 37 --rule B3/S23:T1,1 --until-settled -o @out.rle", "B3/S23", World::Torus, true},
                          {"@h.rle -n 37 --rule B3/S23 --until-settled -o @out.rle", "B3/S23", World::Plane, true}}) {
        SCOPED_TRACE(c.line);
        ASSERT_EQ(run(c.line), 0) << err.toStdString();
        const std::string world = c.world == World::Torus ? " on a torus" : " on a bounded plane";
        EXPECT_TRUE(out.section('\n', out.startsWith("Settled") ? 1 : 0)
                        .startsWith(QString::fromStdString("12x10 cells, " + std::string(c.rule) + world)))
            << out.toStdString();
        LifeLikeRule rule = LifeLikeRule::parse(c.rule).rule;
        rule.world = c.world;
        const std::string written = path(QString::fromLatin1(c.line).section('@', -1)).toStdString();
        const auto load = written.ends_with(".rle") ? PatternReader::read(written, PatternTarget::shown(1, 1))
                                                    : PatternFile::read(written, {});
        ASSERT_TRUE(load) << load.error;
        EXPECT_EQ(load.rule, rule);
        const auto generations = reference::history(*start.board, 37, rule);
        std::size_t last = 37;
        QString settled;
        for (std::size_t n = 1; n <= 37 && c.untilSettled && settled.isEmpty(); ++n) {
            for (std::size_t p = 1; p <= n && settled.isEmpty(); ++p) {
                if (generations[n]->sameCells(*generations[n - p])) {
                    settled = QStringLiteral("Settled at generation %1: period %2\n").arg(n).arg(p);
                    last = n;
                }
            }
        }
        EXPECT_EQ(out.contains(QStringLiteral("Settled at")), !settled.isEmpty()) << out.toStdString();
        EXPECT_TRUE(settled.isEmpty() || out.startsWith(settled)) << out.toStdString();
        EXPECT_TRUE(load.board->sameCells(*generations[last]));
    }
    EXPECT_EQ(run("--random 5x5 --rule B3/S23:K5,5"), 2);
    EXPECT_TRUE(err.contains("on a Klein bottle")) << err.toStdString();
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
    // A board one cell wide costs whole strips of bits a row: with 2 GB the
    // run is refused before it starts, saying what it needs. (The sanitizers
    // reserve more address space than that for themselves.)
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a limit on the address space leaves the sanitizers no room";
#endif
    ASSERT_TRUE(files::writeAll(path("thin.rle"), "x = 1, y = 268435456\no!\n"));
    for (const char* line : {"@thin.rle -n 0 -o @out.png", "@thin.rle -n 1 -o @out.png"}) {
        EXPECT_EQ(run(line, rlim_t{2} << 30), 1) << line;
        EXPECT_TRUE(err.contains("1 \u00d7 268435456 cells needs 2")) << line << ": " << err.toStdString();
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
                             "a.rle -o b.png --scale x", "a.rle --gif b.gif --scale 65", "a.rle -o b.rle --scale 2",
                             "a.rle --rule LifeHistory", "a.rle --rule", "a.rle --rule B3/S23:T30+7,20",
                             "--random 5x5 --density 101", "--random 5x5 --density x", "a.rle --density 5"}) {
        EXPECT_EQ(run(line), 2) << line;
        EXPECT_TRUE(err.contains("Usage:")) << line << ": " << err.toStdString();
    }
}
