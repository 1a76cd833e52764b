#include "Boards.h"
#include "GameOfLife.h"
#include "GifRecorder.h"
#include "ReferenceLife.h"
#include "RunWatcher.h"
#include "TempFolder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// --- What giflib's own reader finds in a GIF ---

struct DecodedImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> gray;  // one gray level a pixel, rows top to bottom
    bool grayOnly = true;            // every colour used has red = green = blue
    int colourCount = 0;             // entries of the table the image uses
    bool localTable = false;
    int delay = -1;                  // hundredths of a second; -1: no control extension
    int controlExtensions = 0;
};

struct DecodedGif {
    std::string version;  // "GIF89a"
    int screenWidth = 0;
    int screenHeight = 0;
    int loopCount = -1;   // NETSCAPE2.0 repeat count; -1: none
    int loopExtensions = 0;
    bool loopBeforeFirstImage = false;
    std::vector<DecodedImage> images;
};

struct Bytes {
    const std::vector<std::uint8_t>* data;
    std::size_t at = 0;
};

int readBytes(GifFileType* gif, GifByteType* out, int length)
{
    auto* in = static_cast<Bytes*>(gif->UserData);
    const auto n = std::min(static_cast<std::size_t>(length), in->data->size() - in->at);
    std::memcpy(out, in->data->data() + in->at, n);
    in->at += n;
    return static_cast<int>(n);
}

void inspectExtensions(const ExtensionBlock* blocks, int count, DecodedGif& out, DecodedImage* image, bool beforeFirst)
{
    for (int i = 0; i < count; ++i) {
        const ExtensionBlock& b = blocks[i];
        if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
            std::memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0) {
            ++out.loopExtensions;
            out.loopBeforeFirstImage = beforeFirst;
            if (i + 1 < count && blocks[i + 1].Function == CONTINUE_EXT_FUNC_CODE &&
                blocks[i + 1].ByteCount == 3 && blocks[i + 1].Bytes[0] == 1)
                out.loopCount = blocks[i + 1].Bytes[1] | (blocks[i + 1].Bytes[2] << 8);
        }
        if (b.Function == GRAPHICS_EXT_FUNC_CODE && image) {
            GraphicsControlBlock gcb{};
            if (DGifExtensionToGCB(static_cast<std::size_t>(b.ByteCount), b.Bytes, &gcb) == GIF_OK)
                image->delay = gcb.DelayTime;
            ++image->controlExtensions;
        }
    }
}

std::optional<DecodedGif> decode(const std::vector<std::uint8_t>& bytes)
{
    Bytes source{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, readBytes, &error);
    if (!gif)
        return std::nullopt;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return std::nullopt;
    }
    DecodedGif out;
    out.version.assign(bytes.begin(), bytes.begin() + 6);
    out.screenWidth = gif->SWidth;
    out.screenHeight = gif->SHeight;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& saved = gif->SavedImages[i];
        DecodedImage image;
        image.left = saved.ImageDesc.Left;
        image.top = saved.ImageDesc.Top;
        image.width = saved.ImageDesc.Width;
        image.height = saved.ImageDesc.Height;
        image.localTable = saved.ImageDesc.ColorMap != nullptr;
        const ColorMapObject* map = saved.ImageDesc.ColorMap ? saved.ImageDesc.ColorMap : gif->SColorMap;
        image.colourCount = map ? map->ColorCount : 0;
        const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
        image.gray.resize(pixels);
        for (std::size_t p = 0; p < pixels; ++p) {
            const int index = saved.RasterBits[p];
            if (!map || index >= map->ColorCount) {
                image.grayOnly = false;
                continue;
            }
            const GifColorType c = map->Colors[index];
            image.grayOnly = image.grayOnly && c.Red == c.Green && c.Green == c.Blue;
            image.gray[p] = c.Red;
        }
        inspectExtensions(saved.ExtensionBlocks, saved.ExtensionBlockCount, out, &image, i == 0);
        out.images.push_back(std::move(image));
    }
    inspectExtensions(gif->ExtensionBlocks, gif->ExtensionBlockCount, out, nullptr, false);
    DGifCloseFile(gif, &error);
    return out;
}

std::vector<std::uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<DecodedGif> decodeFile(const fs::path& path)
{
    if (!fs::is_regular_file(path))
        return std::nullopt;
    return decode(readFile(path));
}

void writeText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The board as giflib decoded it matches `board` cell for cell.
::testing::AssertionResult showsBoard(const DecodedImage& image, const CellBitmap& board)
{
    if (image.width != board.pixelsWide() || image.height != board.pixelsHigh())
        return ::testing::AssertionFailure() << "image " << image.width << "x" << image.height << ", board "
                                             << board.pixelsWide() << "x" << board.pixelsHigh();
    if (!image.grayOnly)
        return ::testing::AssertionFailure() << "a pixel is not gray";
    for (std::int64_t y = 0; y < board.pixelsHigh(); ++y) {
        for (std::int64_t x = 0; x < board.pixelsWide(); ++x) {
            const auto got = image.gray[static_cast<std::size_t>(y * board.pixelsWide() + x)];
            if (got != board.getPixel(x, y))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << int(got)
                                                     << ", the cell " << int(board.getPixel(x, y));
        }
    }
    return ::testing::AssertionSuccess();
}

// Checks the file's animation: n images of the board's generations 1..n,
// each with delay 5, looping forever, GIF89a.
void expectAnimationOf(const DecodedGif& gif, const std::vector<std::unique_ptr<CellBitmap>>& generations,
                       std::size_t n)
{
    EXPECT_EQ(gif.version, "GIF89a");
    EXPECT_EQ(gif.loopExtensions, 1);
    EXPECT_TRUE(gif.loopBeforeFirstImage);
    EXPECT_EQ(gif.loopCount, 0);
    ASSERT_EQ(gif.images.size(), n);
    ASSERT_GE(generations.size(), n + 1);
    for (std::size_t i = 0; i < n; ++i) {
        const DecodedImage& image = gif.images[i];
        EXPECT_EQ(image.left, 0);
        EXPECT_EQ(image.top, 0);
        EXPECT_EQ(image.controlExtensions, 1) << "image " << i;
        EXPECT_EQ(image.delay, 5) << "image " << i;
        ASSERT_TRUE(showsBoard(image, *generations[i + 1])) << "image " << i;
    }
}

// Names in `folder` other than the given ones.
std::vector<std::string> strayEntries(const fs::path& folder, std::initializer_list<std::string> expected)
{
    std::vector<std::string> stray;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const auto name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end())
            stray.push_back(name);
    }
    return stray;
}

GameOfLife::RecorderFactory gifFactory(std::size_t limit = GifRecorder::kDefaultFrameMemoryLimit)
{
    return [limit](const std::string& file) -> std::unique_ptr<RunRecorder> {
        return std::make_unique<GifRecorder>(file, limit);
    };
}

class GifRecording : public ::testing::Test {
protected:
    void SetUp() override
    {
        life.pacer().setSpeed(RunPacer::kFastest);
        life.setRecorderFactory(gifFactory());
    }
    RunReport record(const fs::path& path)
    {
        const auto before = watcher.reports().size();
        EXPECT_TRUE(life.startGameOfLifeAndWriteToFile(true, path.string(), watcher.indicators()));
        EXPECT_TRUE(watcher.waitFor(before + 1, 120s));
        return watcher.last();
    }
    TempFolder folder;
    GameOfLife life;
    RunWatcher watcher;
};

// Records `boards` straight into a recorder and returns what finish said.
RecordingResult recordBoards(const fs::path& path, const std::vector<std::shared_ptr<const CellBitmap>>& boards,
                             std::size_t limit = GifRecorder::kDefaultFrameMemoryLimit)
{
    GifRecorder recorder(path.string(), limit);
    for (const auto& board : boards)
        recorder.capture(board);
    return recorder.finish(RunEnd::Completed);
}

std::shared_ptr<const CellBitmap> share(std::unique_ptr<CellBitmap> board)
{
    return std::shared_ptr<const CellBitmap>(std::move(board));
}

}  // namespace

// --- One frame ---

TEST(GifFrame, IsACompleteGifOfTheBoard)
{
    auto board = boards::seeded(37, 23, 5);
    const auto bytes = GifRecorder::encodeFrame(*board);
    const auto gif = decode(bytes);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->images.size(), 1u);
    EXPECT_EQ(gif->screenWidth, 37);
    EXPECT_EQ(gif->screenHeight, 23);
    EXPECT_TRUE(showsBoard(gif->images[0], *board));
    EXPECT_EQ(bytes.back(), 0x3B);  // the trailer
}

TEST(GifFrame, ColourTableHoldsOnlyTheLevelsOnTheBoard)
{
    auto twoLevels = boards::seeded(64, 48, 3, false);
    auto gif = decode(GifRecorder::encodeFrame(*twoLevels));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->images[0].colourCount, 2);
    EXPECT_TRUE(showsBoard(gif->images[0], *twoLevels));

    auto three = CellBitmap::create(5, 4);
    three->setPixel(1, 1, 0);
    three->setPixel(2, 3, 77);
    gif = decode(GifRecorder::encodeFrame(*three));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->images[0].colourCount, 4);
    EXPECT_TRUE(showsBoard(gif->images[0], *three));

    // Only one level: still a table of two.
    auto dead = CellBitmap::create(9, 9);
    gif = decode(GifRecorder::encodeFrame(*dead));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->images[0].colourCount, 2);
    EXPECT_TRUE(showsBoard(gif->images[0], *dead));
}

TEST(GifFrame, EveryGrayLevelKeepsItsValue)
{
    auto board = CellBitmap::create(16, 17);
    for (int i = 0; i < 16 * 17; ++i)
        board->setPixel(i % 16, i / 16, static_cast<std::uint8_t>((i * 7) % 256));
    const auto gif = decode(GifRecorder::encodeFrame(*board));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->images[0].colourCount, 256);
    EXPECT_TRUE(showsBoard(gif->images[0], *board));
}

TEST(GifFrame, RandomBoardTakesAtMostAQuarterOfItsCells)
{
    auto board = CellBitmap::random(4 * 256, 4 * 256);
    ASSERT_TRUE(board);
    const auto bytes = GifRecorder::encodeFrame(*board);
    EXPECT_LE(bytes.size(), board->cellCount() / 4);
    // Once the board has thinned out it costs far less.
    for (int g = 0; g < 30; ++g)
        reference::step(*board);
    EXPECT_LE(GifRecorder::encodeFrame(*board).size(), board->cellCount() / 10);
}

TEST(GifFrame, BoardTooLargeForAGifIsRefused)
{
    auto board = CellBitmap::create(65536, 1);
    ASSERT_TRUE(board);
    EXPECT_THROW(GifRecorder::encodeFrame(*board), std::runtime_error);
}

// --- Recording runs of GameOfLife ---

TEST_F(GifRecording, DefaultRunWritesOneImagePerGeneration)
{
    auto board = boards::seeded(30, 20, 6);
    const auto expected = reference::history(*board, 100);
    life.replaceBitmap(board->copy());
    const fs::path path = folder.path() / "run.gif";
    const auto report = record(path);
    EXPECT_EQ(report.end, RunEnd::Completed);
    EXPECT_EQ(report.generations, 100);
    EXPECT_TRUE(report.recording.written);
    EXPECT_EQ(report.recording.message, "");
    const auto gif = decodeFile(path);
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->screenWidth, 30);
    EXPECT_EQ(gif->screenHeight, 20);
    expectAnimationOf(*gif, expected, 100);
    EXPECT_EQ(strayEntries(folder.path(), {"run.gif"}), std::vector<std::string>{});
}

TEST_F(GifRecording, CancelledRunHoldsTheGenerationsItCompleted)
{
    auto board = boards::seeded(160, 120, 8);
    life.setIterations(INT32_MAX);
    std::vector<std::unique_ptr<CellBitmap>> expected;
    bool sawSome = false;
    for (int trial = 0; trial < 6 && !sawSome; ++trial) {
        life.replaceBitmap(board->copy());
        life.setIterations(INT32_MAX);
        const fs::path path = folder.path() / ("cancelled" + std::to_string(trial) + ".gif");
        const auto before = watcher.reports().size();
        ASSERT_TRUE(life.startGameOfLifeAndWriteToFile(true, path.string(), watcher.indicators()));
        std::this_thread::sleep_for(std::chrono::milliseconds(10 + 20 * trial));
        life.abortGameOfLife();
        ASSERT_TRUE(watcher.waitFor(before + 1, 120s));
        const auto report = watcher.last();
        EXPECT_EQ(report.end, RunEnd::Cancelled);
        const auto k = static_cast<std::size_t>(report.generations);
        if (k == 0) {
            EXPECT_FALSE(fs::exists(path));
            EXPECT_FALSE(report.recording.written);
            continue;
        }
        sawSome = true;
        EXPECT_TRUE(report.recording.written);
        if (expected.size() < k + 1)
            expected = reference::history(*board, static_cast<int>(k));
        const auto gif = decodeFile(path);
        ASSERT_TRUE(gif);
        expectAnimationOf(*gif, expected, k);
    }
    EXPECT_TRUE(sawSome) << "no run got through a generation before it was stopped";
}

TEST_F(GifRecording, TwoRecordingsInARowHoldOnlyTheirOwnFrames)
{
    auto first = boards::seeded(24, 18, 21);
    auto second = boards::seeded(19, 27, 22);
    const auto firstExpected = reference::history(*first, 5);
    const auto secondExpected = reference::history(*second, 7);

    life.replaceBitmap(first->copy());
    life.setIterations(5);
    const auto a = record(folder.path() / "a.gif");
    life.replaceBitmap(second->copy());
    life.setIterations(7);
    const auto b = record(folder.path() / "b.gif");
    EXPECT_TRUE(a.recording.written);
    EXPECT_TRUE(b.recording.written);

    const auto gifA = decodeFile(folder.path() / "a.gif");
    const auto gifB = decodeFile(folder.path() / "b.gif");
    ASSERT_TRUE(gifA);
    ASSERT_TRUE(gifB);
    expectAnimationOf(*gifA, firstExpected, 5);
    expectAnimationOf(*gifB, secondExpected, 7);
}

TEST_F(GifRecording, NoGenerationsWritesNoFileAndLeavesAnEarlierOne)
{
    life.replaceBitmap(boards::seeded(20, 20, 4));
    const fs::path path = folder.path() / "old.gif";
    writeText(path, "an earlier file");
    for (int count : {0, -5}) {
        life.setIterations(count);
        const auto report = record(path);
        EXPECT_EQ(report.generations, 0);
        EXPECT_FALSE(report.recording.written);
        EXPECT_EQ(readText(path), "an earlier file");
    }
    EXPECT_EQ(strayEntries(folder.path(), {"old.gif"}), std::vector<std::string>{});

    // Nothing at the path: still nothing afterwards.
    life.setIterations(0);
    const auto report = record(folder.path() / "none.gif");
    EXPECT_FALSE(report.recording.written);
    EXPECT_FALSE(fs::exists(folder.path() / "none.gif"));
}

TEST_F(GifRecording, FrameMemoryLimitEndsTheRunAndStillWritesTheFile)
{
    life.setRecorderFactory(gifFactory(16 * 1024));
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
    const auto expected = reference::history(*board, report.generations);
    // The run stops with the very frame whose bytes reach the limit.
    std::size_t bytes = 0;
    int reaching = 0;
    while (bytes < 16 * 1024 && reaching < report.generations)
        bytes += GifRecorder::encodeFrame(*expected[static_cast<std::size_t>(++reaching)]).size();
    EXPECT_GE(bytes, 16u * 1024);
    EXPECT_EQ(reaching, report.generations);
    const auto gif = decodeFile(path);
    ASSERT_TRUE(gif);
    expectAnimationOf(*gif, expected, static_cast<std::size_t>(report.generations));
}

// --- The recorder on its own ---

TEST(GifRecorder, UnwritableDestinationsGiveAMessageAndLeaveNothing)
{
    TempFolder folder;
    const std::vector<std::shared_ptr<const CellBitmap>> boards{share(boards::seeded(10, 10, 1))};

    // A folder that does not exist.
    auto result = recordBoards(folder.path() / "missing" / "x.gif", boards);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.message, "The animation could not be written to \u201Cx.gif\u201D: No such file or directory.");
    EXPECT_FALSE(fs::exists(folder.path() / "missing"));

    // A folder at the path itself: kept, with what it holds.
    fs::create_directory(folder.path() / "x.gif");
    writeText(folder.path() / "x.gif" / "inside", "kept");
    result = recordBoards(folder.path() / "x.gif", boards);
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.message.find("\u201Cx.gif\u201D"), std::string::npos) << result.message;
    EXPECT_TRUE(fs::is_directory(folder.path() / "x.gif"));
    EXPECT_EQ(readText(folder.path() / "x.gif" / "inside"), "kept");
    EXPECT_EQ(strayEntries(folder.path(), {"x.gif"}), std::vector<std::string>{});
    EXPECT_EQ(strayEntries(folder.path() / "x.gif", {"inside"}), std::vector<std::string>{});
}

TEST(GifRecorder, FolderThatCannotBeWrittenGivesAMessage)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not hold back the superuser";
    TempFolder folder;
    const fs::path locked = folder.path() / "locked";
    fs::create_directory(locked);
    writeText(locked / "x.gif", "an earlier file");
    ::chmod(locked.c_str(), 0555);
    const auto result = recordBoards(locked / "x.gif", {share(boards::seeded(10, 10, 1))});
    ::chmod(locked.c_str(), 0755);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.message, "The animation could not be written to \u201Cx.gif\u201D: Permission denied.");
    EXPECT_EQ(readText(locked / "x.gif"), "an earlier file");
    EXPECT_EQ(strayEntries(locked, {"x.gif"}), std::vector<std::string>{});
}

TEST(GifRecorder, FailedWriteRemovesItsTemporaryFileAndLeavesTheEarlierOne)
{
    TempFolder folder;
    const fs::path path = folder.path() / "x.gif";
    writeText(path, "an earlier file");
    std::vector<std::shared_ptr<const CellBitmap>> boards;
    for (unsigned seed = 0; seed < 8; ++seed)
        boards.push_back(share(boards::seeded(128, 128, seed)));

    // Files of this process may grow to 4 KiB only: the write fails midway.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto result = recordBoards(path, boards);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.message, "The animation could not be written to \u201Cx.gif\u201D: File too large.");
    EXPECT_EQ(readText(path), "an earlier file");
    EXPECT_EQ(strayEntries(folder.path(), {"x.gif"}), std::vector<std::string>{});
}

TEST(GifRecorder, ReplacesAnEarlierFile)
{
    TempFolder folder;
    const fs::path path = folder.path() / "x.gif";
    writeText(path, "an earlier file");
    auto board = share(boards::seeded(12, 9, 2));
    const auto result = recordBoards(path, {board});
    EXPECT_TRUE(result.written);
    const auto gif = decodeFile(path);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->images.size(), 1u);
    EXPECT_TRUE(showsBoard(gif->images[0], *board));
    EXPECT_EQ(strayEntries(folder.path(), {"x.gif"}), std::vector<std::string>{});
}

TEST(GifRecorder, NoFramesWritesNothing)
{
    TempFolder folder;
    const fs::path path = folder.path() / "x.gif";
    writeText(path, "an earlier file");
    {
        GifRecorder recorder(path.string());
        const auto result = recorder.finish(RunEnd::Cancelled);  // stopped during the first generation
        EXPECT_FALSE(result.written);
        EXPECT_EQ(result.message, "");
    }
    EXPECT_EQ(readText(path), "an earlier file");
    EXPECT_EQ(strayEntries(folder.path(), {"x.gif"}), std::vector<std::string>{});
}

TEST(GifRecorder, GrayAndOddSizedBoards)
{
    TempFolder folder;
    struct Size { int w, h; };
    for (const Size size : {Size{1, 1}, Size{7, 3}, Size{1, 13}, Size{13, 1}, Size{33, 65}}) {
        SCOPED_TRACE(std::to_string(size.w) + "x" + std::to_string(size.h));
        auto first = boards::seeded(size.w, size.h, static_cast<unsigned>(size.w * 100 + size.h));
        auto generations = reference::history(*first, 3);
        std::vector<std::shared_ptr<const CellBitmap>> captured;
        for (const auto& b : generations)
            captured.push_back(share(b->copy()));
        const fs::path path = folder.path() / (std::to_string(size.w) + "x" + std::to_string(size.h) + ".gif");
        const auto result = recordBoards(path, captured);
        EXPECT_TRUE(result.written) << result.message;
        const auto gif = decodeFile(path);
        ASSERT_TRUE(gif);
        EXPECT_EQ(gif->screenWidth, size.w);
        EXPECT_EQ(gif->screenHeight, size.h);
        ASSERT_EQ(gif->images.size(), generations.size());
        for (std::size_t i = 0; i < generations.size(); ++i) {
            EXPECT_TRUE(showsBoard(gif->images[i], *generations[i])) << i;
            EXPECT_EQ(gif->images[i].delay, 5);
        }
    }

    // A lone gray cell.
    auto gray = CellBitmap::create(1, 1);
    gray->setPixel(0, 0, 128);
    auto shared = share(std::move(gray));
    ASSERT_TRUE(recordBoards(folder.path() / "gray.gif", {shared}).written);
    const auto gif = decodeFile(folder.path() / "gray.gif");
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->images.size(), 1u);
    EXPECT_TRUE(showsBoard(gif->images[0], *shared));
}

TEST(GifRecorder, FramesWithTheirOwnLevelsAndSizes)
{
    // The board can be replaced during a run: each image keeps its board's
    // size and levels, and the screen is large enough for all of them.
    TempFolder folder;
    auto a = share(boards::seeded(10, 10, 1, false));
    auto b = share(boards::seeded(20, 5, 2, true));
    auto c = share(boards::seeded(10, 10, 3, false));
    const fs::path path = folder.path() / "mixed.gif";
    ASSERT_TRUE(recordBoards(path, {a, b, c}).written);
    const auto gif = decodeFile(path);
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->screenWidth, 20);
    EXPECT_EQ(gif->screenHeight, 10);
    ASSERT_EQ(gif->images.size(), 3u);
    EXPECT_TRUE(showsBoard(gif->images[0], *a));
    EXPECT_TRUE(showsBoard(gif->images[1], *b));
    EXPECT_TRUE(showsBoard(gif->images[2], *c));
    EXPECT_FALSE(gif->images[0].localTable);
    EXPECT_TRUE(gif->images[1].localTable);
    EXPECT_FALSE(gif->images[2].localTable);
}

TEST(GifRecorder, KeepsNoBoardOnceEncodedAndOnlyAFewWaiting)
{
    TempFolder folder;
    GifRecorder recorder((folder.path() / "x.gif").string());
    std::vector<std::weak_ptr<const CellBitmap>> handed;
    for (unsigned i = 0; i < 24; ++i) {
        auto board = share(boards::seeded(384, 384, i));
        handed.push_back(board);
        recorder.capture(std::move(board));
        std::size_t alive = 0;
        for (const auto& weak : handed)
            alive += weak.expired() ? 0 : 1;
        // The queue, and the one the encoder is working on.
        EXPECT_LE(alive, GifRecorder::kQueueDepth + 1) << "after " << i + 1 << " boards";
    }
    const auto result = recorder.finish(RunEnd::Completed);
    EXPECT_TRUE(result.written);
    for (const auto& weak : handed)
        EXPECT_TRUE(weak.expired());
    const auto gif = decodeFile(folder.path() / "x.gif");
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->images.size(), 24u);
}

TEST(GifRecorder, FullRightAfterTheCaptureWhoseFrameReachesTheLimit)
{
    TempFolder folder;
    auto board = share(boards::seeded(50, 50, 4));
    const auto frameSize = GifRecorder::encodeFrame(*board).size();
    GifRecorder recorder((folder.path() / "x.gif").string(), 3 * frameSize);
    recorder.capture(board);
    EXPECT_FALSE(recorder.full());
    recorder.capture(board);
    EXPECT_FALSE(recorder.full());
    EXPECT_EQ(recorder.encodedBytes(), 2 * frameSize);
    recorder.capture(board);
    EXPECT_TRUE(recorder.full());
    EXPECT_EQ(recorder.encodedBytes(), 3 * frameSize);
    recorder.capture(board);  // not recorded
    const auto result = recorder.finish(RunEnd::Cancelled);
    EXPECT_TRUE(result.written);
    const std::string start = "The recording stopped after 3 generations: its frames reached the ";
    EXPECT_EQ(result.message.substr(0, start.size()), start) << result.message;
    EXPECT_TRUE(result.message.ends_with(" limit.")) << result.message;
    const auto gif = decodeFile(folder.path() / "x.gif");
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->images.size(), 3u);
}

TEST(GifRecorder, DefaultLimitIsTwoGigabytes)
{
    EXPECT_EQ(GifRecorder::kDefaultFrameMemoryLimit, std::size_t{2} * 1024 * 1024 * 1024);
}

TEST(GifRecorder, DroppedWithoutFinishingWritesNothing)
{
    TempFolder folder;
    {
        GifRecorder recorder((folder.path() / "x.gif").string());
        for (unsigned i = 0; i < 6; ++i)
            recorder.capture(share(boards::seeded(200, 200, i)));
    }
    EXPECT_EQ(strayEntries(folder.path(), {}), std::vector<std::string>{});
}

TEST(GifRecorder, BoardTooLargeForAGifEndsTheRecordingWithWhatItHas)
{
    TempFolder folder;
    auto small = share(boards::seeded(10, 10, 1));
    auto wide = share(CellBitmap::create(65536, 1));
    ASSERT_TRUE(wide);

    // Nothing to write: no file, and the reason.
    auto result = recordBoards(folder.path() / "none.gif", {wide});
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.message, "No animation was written: the board is 65536 by 1 cells, more than a GIF "
                              "image can hold (65535 a side).");
    EXPECT_FALSE(fs::exists(folder.path() / "none.gif"));

    // The frames before it are written; none after it.
    const fs::path path = folder.path() / "some.gif";
    {
        GifRecorder recorder(path.string());
        recorder.capture(small);
        recorder.capture(small);
        recorder.capture(wide);
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!recorder.full() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        EXPECT_TRUE(recorder.full());
        recorder.capture(small);
        result = recorder.finish(RunEnd::Cancelled);
    }
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.message, "The recording stopped after 2 generations: the board is 65536 by 1 cells, "
                              "more than a GIF image can hold (65535 a side).");
    const auto gif = decodeFile(path);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->images.size(), 2u);
    EXPECT_TRUE(showsBoard(gif->images[1], *small));
}

TEST_F(GifRecording, BoardTooLargeForAGifEndsTheRun)
{
    life.replaceBitmap(CellBitmap::create(65536, 2));
    life.setIterations(100000);
    const fs::path path = folder.path() / "wide.gif";
    const auto report = record(path);
    EXPECT_EQ(report.end, RunEnd::Cancelled);
    EXPECT_LT(report.generations, 100000);
    EXPECT_FALSE(report.recording.written);
    EXPECT_NE(report.recording.message.find("more than a GIF image can hold"), std::string::npos)
        << report.recording.message;
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(strayEntries(folder.path(), {}), std::vector<std::string>{});
}
