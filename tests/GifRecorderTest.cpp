#include "Boards.h"
#include "GameOfLife.h"
#include "GifRecorder.h"
#include "ReferenceLife.h"
#include "RunWatcher.h"
#include "TempFolder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <thread>

#include <sys/resource.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Generations = std::vector<std::unique_ptr<CellBitmap>>;

namespace {

struct Image {
    int width = 0, height = 0, delay = -1;  // delay in hundredths of a second; -1: none given
    std::vector<int> gray;                  // a pixel's gray level; -1 where it is not gray
};
struct Gif {
    int loopCount = -1;  // of the NETSCAPE2.0 extension; -1: none
    std::vector<Image> images;
};

// The file as giflib's own reader sees it; nothing when it cannot read it.
std::optional<Gif> decode(const fs::path& path)
{
    int error = 0;
    GifFileType* file = DGifOpenFileName(path.c_str(), &error);
    if (!file)
        return std::nullopt;
    std::optional<Gif> gif;
    if (DGifSlurp(file) == GIF_OK)
        gif.emplace();
    for (int i = 0; gif && i < file->ImageCount; ++i) {
        const SavedImage& saved = file->SavedImages[i];
        Image image{saved.ImageDesc.Width, saved.ImageDesc.Height, -1, {}};
        const ColorMapObject* map = saved.ImageDesc.ColorMap ? saved.ImageDesc.ColorMap : file->SColorMap;
        for (int p = 0; p < image.width * image.height; ++p) {
            const int index = saved.RasterBits[p];
            const GifColorType c = map && index < map->ColorCount ? map->Colors[index] : GifColorType{1, 2, 3};
            image.gray.push_back(c.Red == c.Green && c.Green == c.Blue ? c.Red : -1);
        }
        const ExtensionBlock* blocks = saved.ExtensionBlocks;
        for (int b = 0; b < saved.ExtensionBlockCount; ++b) {
            GraphicsControlBlock control{};
            if (blocks[b].Function == GRAPHICS_EXT_FUNC_CODE &&
                DGifExtensionToGCB(static_cast<std::size_t>(blocks[b].ByteCount), blocks[b].Bytes, &control) == GIF_OK)
                image.delay = control.DelayTime;
            if (blocks[b].Function == APPLICATION_EXT_FUNC_CODE && blocks[b].ByteCount == 11 &&
                std::memcmp(blocks[b].Bytes, "NETSCAPE2.0", 11) == 0 && b + 1 < saved.ExtensionBlockCount &&
                blocks[b + 1].ByteCount == 3 && blocks[b + 1].Bytes[0] == 1)
                gif->loopCount = blocks[b + 1].Bytes[1] | (blocks[b + 1].Bytes[2] << 8);
        }
        gif->images.push_back(std::move(image));
    }
    DGifCloseFile(file, &error);
    return gif;
}

// The file holds `count` images of generations[first], generations[first + 1]...,
// each shown for 5 hundredths of a second, looping forever.
void expectAnimation(const fs::path& path, const Generations& generations, std::size_t count, std::size_t first = 1)
{
    const auto gif = decode(path);
    ASSERT_TRUE(gif) << path << " cannot be read";
    EXPECT_EQ(gif->loopCount, 0);
    ASSERT_EQ(gif->images.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const Image& image = gif->images[i];
        const CellBitmap& board = *generations[first + i];
        EXPECT_EQ(image.delay, 5) << "image " << i;
        ASSERT_EQ(std::pair(image.width, image.height), std::pair(int(board.pixelsWide()), int(board.pixelsHigh())))
            << "image " << i;
        ASSERT_EQ(image.gray, std::vector<int>(board.data(), board.data() + board.cellCount())) << "image " << i;
    }
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> entries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class GifRecording : public ::testing::Test {
protected:
    void SetUp() override
    {
        life.pacer().setSpeed(RunPacer::kFastest);
        life.setRecorderFactory([this](const std::string& file) {
            return std::make_unique<GifRecorder>(file, limit);
        });
    }
    // Records a run into `path`; with `runFor`, aborts the run after that long.
    RunReport record(const fs::path& path, std::chrono::milliseconds runFor = {})
    {
        const auto before = watcher.reports().size();
        EXPECT_TRUE(life.startGameOfLifeAndWriteToFile(true, path.string(), watcher.indicators()));
        if (runFor.count() > 0) {
            std::this_thread::sleep_for(runFor);
            life.abortGameOfLife();
        }
        EXPECT_TRUE(watcher.waitFor(before + 1, 120s));
        return watcher.last();
    }
    TempFolder folder;
    std::size_t limit = GifRecorder::kDefaultFrameMemoryLimit;
    RunWatcher watcher;
    GameOfLife life;
};

}  // namespace

TEST_F(GifRecording, EachRunWritesOneImagePerGenerationOfItsOwn)
{
    // The default count over an earlier file, then a run of 7 into a file of its own.
    const auto first = boards::seeded(30, 20, 6);
    const auto second = boards::seeded(19, 27, 22);
    writeText(folder.path() / "first.gif", "an earlier file");
    life.replaceBitmap(first->copy());
    const auto report = record(folder.path() / "first.gif");
    EXPECT_EQ(report.generations, 100);
    EXPECT_TRUE(report.recording.written);
    EXPECT_EQ(report.recording.message, "");
    life.replaceBitmap(second->copy());
    life.setIterations(7);
    EXPECT_TRUE(record(folder.path() / "second.gif").recording.written);

    expectAnimation(folder.path() / "first.gif", reference::history(*first, 100), 100);
    expectAnimation(folder.path() / "second.gif", reference::history(*second, 7), 7);
    EXPECT_EQ(entries(folder.path()), (std::set<std::string>{"first.gif", "second.gif"}));
}

TEST_F(GifRecording, CancelledRunHoldsTheGenerationsItCompleted)
{
    auto board = boards::seeded(160, 120, 8);
    life.setIterations(INT32_MAX);
    std::size_t completed = 0;
    for (int trial = 0; trial < 6 && completed == 0; ++trial) {
        life.replaceBitmap(board->copy());
        const fs::path path = folder.path() / ("cancelled" + std::to_string(trial) + ".gif");
        const auto report = record(path, std::chrono::milliseconds(10 + 20 * trial));
        EXPECT_EQ(report.end, RunEnd::Cancelled);
        completed = static_cast<std::size_t>(report.generations);
        EXPECT_EQ(report.recording.written, completed > 0);
        EXPECT_EQ(fs::exists(path), completed > 0);
        if (completed > 0)
            expectAnimation(path, reference::history(*board, report.generations), completed);
    }
    EXPECT_GT(completed, 0u) << "no run got through a generation before it was stopped";
}

TEST_F(GifRecording, NoGenerationsWritesNoFileAndLeavesAnEarlierOne)
{
    life.replaceBitmap(boards::seeded(20, 20, 4));
    writeText(folder.path() / "old.gif", "an earlier file");
    for (int count : {0, -5}) {
        life.setIterations(count);
        EXPECT_FALSE(record(folder.path() / "old.gif").recording.written);
        EXPECT_FALSE(record(folder.path() / "none.gif").recording.written);
    }
    EXPECT_EQ(readText(folder.path() / "old.gif"), "an earlier file");
    EXPECT_EQ(entries(folder.path()), std::set<std::string>{"old.gif"});
}

TEST_F(GifRecording, FrameMemoryLimitEndsTheRunAndStillWritesTheFile)
{
    limit = 16 * 1024;
    auto board = boards::seeded(64, 64, 9);
    life.replaceBitmap(board->copy());
    life.setIterations(100000);
    const fs::path path = folder.path() / "limited.gif";
    const auto report = record(path);
    EXPECT_EQ(report.end, RunEnd::Cancelled);
    ASSERT_GT(report.generations, 0);
    ASSERT_LT(report.generations, 100000);
    EXPECT_TRUE(report.recording.written);
    EXPECT_EQ(report.recording.message, "The recording stopped after " + std::to_string(report.generations) +
                                            " generations: its frames reached the 16 KB limit.");
    expectAnimation(path, reference::history(*board, report.generations), static_cast<std::size_t>(report.generations));
}

TEST(GifRecorder, UnwritableDestinationGivesAMessageAndLeavesWhatWasThere)
{
    TempFolder folder;
    const fs::path file = folder.path() / "x.gif";
    // Records into `path`, with files limited to `maxBytes` when not 0.
    const auto attempt = [](const fs::path& path, rlim_t maxBytes) {
        GifRecorder recorder(path.string());
        for (unsigned seed = 0; seed < 8; ++seed)
            recorder.capture(boards::seeded(128, 128, seed));
        rlimit old{};
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const rlimit limited{maxBytes ? maxBytes : old.rlim_cur, old.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const auto result = recorder.finish(RunEnd::Completed);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(result.written);
        return result.message;
    };
    const std::string cannot = "The animation could not be written to \u201Cx.gif\u201D: ";
    EXPECT_EQ(attempt(folder.path() / "missing" / "x.gif", 0), cannot + "No such file or directory.");

    fs::create_directory(file);
    writeText(file / "inside", "kept");
    EXPECT_EQ(attempt(file, 0), cannot + "There is a folder of that name.");
    EXPECT_EQ(entries(file), std::set<std::string>{"inside"});
    EXPECT_EQ(readText(file / "inside"), "kept");

    fs::remove_all(file);
    writeText(file, "an earlier file");
    EXPECT_EQ(attempt(file, 4096), cannot + "File too large.");  // the write fails midway
    EXPECT_EQ(readText(file), "an earlier file");
    EXPECT_EQ(entries(folder.path()), std::set<std::string>{"x.gif"});
}

TEST(GifRecorder, GrayAndOddSizedBoards)
{
    TempFolder folder;
    const fs::path path = folder.path() / "odd.gif";
    for (auto [w, h] : {std::pair{1, 1}, {7, 3}, {1, 13}, {13, 1}, {33, 65}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        auto first = boards::seeded(w, h, static_cast<unsigned>(w * 100 + h));
        first->setPixel(0, 0, 128);
        const auto generations = reference::history(*first, 3);
        GifRecorder recorder(path.string());
        for (const auto& board : generations)
            recorder.capture(board->copy());
        EXPECT_TRUE(recorder.finish(RunEnd::Completed).written);
        expectAnimation(path, generations, generations.size(), 0);
    }
}
