#include "Boards.h"
#include "FileHelpers.h"
#include "GameOfLife.h"
#include "GifFrames.h"
#include "GifRecorder.h"
#include "ReferenceLife.h"
#include "RunWatcher.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Names = std::set<std::string>;

namespace {

class GifRecording : public ::testing::Test {
protected:
    void SetUp() override
    {
        life.pacer().setSpeed(RunPacer::kFastest);
        life.setRecorderFactory([](const std::string& file) { return std::make_unique<GifRecorder>(file); });
    }

    // Records a run into `path` and waits for it to end.
    RunReport record(const fs::path& path)
    {
        const auto before = watcher.reports().size();
        EXPECT_TRUE(life.startGameOfLifeAndWriteToFile(true, path.string(), watcher.indicators()));
        EXPECT_TRUE(watcher.waitFor(before + 1, 120s));
        return watcher.last();
    }

    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    RunWatcher watcher;
    RunWatcher replaced;  // for a run that a later one replaces
    GameOfLife life;
};

}  // namespace

TEST_F(GifRecording, DefaultCountWritesOneHundredImagesAndNoGenerationsWriteNothing)
{
    const auto board = boards::seeded(30, 20, 6);
    life.replaceBitmap(board->copy());
    EXPECT_EQ(record(folder / "run.gif").recording.message, "");
    expectAnimation(folder / "run.gif", reference::history(*board, 100), 100);

    const std::string earlier = files::readText(folder / "run.gif");
    life.setIterations(0);
    EXPECT_FALSE(record(folder / "run.gif").recording.written);
    EXPECT_EQ(files::readText(folder / "run.gif"), earlier);
    EXPECT_EQ(files::entries(folder), Names{"run.gif"});
}

TEST_F(GifRecording, StartDuringARunCancelsItAndEachRunRecordsItsOwnGenerations)
{
    const auto board = boards::seeded(64, 48, 8);
    life.replaceBitmap(board->copy());
    const auto start = life.snapshot().serial;
    life.setIterations(INT32_MAX);
    // Slow enough that the first run is still well short of the second's count
    // when that count is set, so that it ends cancelled, not completed.
    life.pacer().setSpeed({false, 100});
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, (folder / "first.gif").string(), replaced.indicators()));
    while (life.snapshot().serial < start + 3)
        std::this_thread::sleep_for(1ms);
    // The second run starts from the generation the first one left.
    ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, (folder / "second.gif").string(), watcher.indicators()));
    life.setIterations(7);
    ASSERT_TRUE(replaced.waitFor(1, 120s) && watcher.waitFor(1, 120s));

    const auto first = replaced.last();
    const auto second = watcher.last();
    EXPECT_EQ(first.end, RunEnd::Cancelled);
    EXPECT_EQ(second.end, RunEnd::Completed);
    ASSERT_GE(first.generations, 3);
    const auto expected = reference::history(*board, first.generations + second.generations);
    expectAnimation(folder / "first.gif", expected, std::size_t(first.generations));
    expectAnimation(folder / "second.gif", expected, std::size_t(second.generations), std::size_t(first.generations) + 1);
}

// A disk that fills up during the recording ends the run as if stopped, says
// so, and leaves the earlier file.
TEST_F(GifRecording, FullDiskEndsTheRunAndKeepsTheEarlierFile)
{
    const fs::path file = folder / "x.gif";
    std::ofstream(file) << "an earlier file";
    life.replaceBitmap(boards::seeded(256, 256, 9));
    life.setIterations(100000);
    const auto report = files::onAFullDisk(64 * 1024, [&] { return record(file); });
    EXPECT_EQ(report.end, RunEnd::RecordingEnded);
    EXPECT_LT(report.generations, 100000);
    EXPECT_FALSE(report.recording.written);
    EXPECT_EQ(report.recording.message, "\u201cx.gif\u201d could not be saved: File too large.");
    EXPECT_EQ(files::readText(file), "an earlier file");
    EXPECT_EQ(files::entries(folder), Names{"x.gif"});
}

TEST_F(GifRecording, ScaledGrayAndOddSizedBoards)
{
    const fs::path path = folder / "odd.gif";
    for (auto [w, h, scale] : {std::tuple{1, 1, 1}, {7, 3, 1}, {1, 13, 2}, {13, 1, 1}, {33, 65, 3}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " at " + std::to_string(scale));
        auto first = boards::seeded(w, h, static_cast<unsigned>(w * 100 + h));
        first->setPixel(0, 0, 128);
        const auto generations = reference::history(*first, 3);
        GifRecorder recorder(path.string(), scale);
        for (const auto& board : generations)
            recorder.capture(board->copy());
        EXPECT_TRUE(recorder.finish(RunEnd::Completed).written);
        expectAnimation(path, generations, generations.size(), 0, scale);
    }
}

// The images of one animation share the first one's screen: a board of
// another size ends the recording there, and a board too large for a GIF
// image at its scale is refused outright.
TEST_F(GifRecording, BoardsThatDoNotFitEndOrRefuseTheRecording)
{
    const auto generations = reference::history(*boards::seeded(20, 10, 4), 2);
    GifRecorder changing((folder / "changing.gif").string());
    changing.capture(generations[0]->copy());
    changing.capture(generations[1]->copy());
    changing.capture(boards::seeded(21, 10, 5));
    EXPECT_TRUE(changing.full());
    const auto result = changing.finish(RunEnd::Cancelled);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.message, "The recording stopped after 2 generations: the board changed size.");
    expectAnimation(folder / "changing.gif", generations, 2, 0);

    GifRecorder tooLarge((folder / "large.gif").string(), 4);
    tooLarge.capture(CellBitmap::create(16384, 2));
    EXPECT_TRUE(tooLarge.full());
    EXPECT_EQ(tooLarge.finish(RunEnd::Cancelled).message,
              "\u201clarge.gif\u201d could not be saved: at 4 pixels a cell the board of 16384 \u00d7 2 cells would be "
              "65536 \u00d7 8 pixels, more than a GIF image can hold (65535 a side).");
    EXPECT_EQ(files::entries(folder), Names{"changing.gif"});
}
