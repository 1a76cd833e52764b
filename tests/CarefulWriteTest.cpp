// Every kind of file the application writes goes through the one careful
// writer: an existing file keeps its permissions, a symbolic link stays a
// link and its target gets the content, a destination that cannot be
// written gives one message naming the file, and neither a failure nor a
// cancel leaves the old file changed or a temporary file behind.

#include "Boards.h"
#include "CancelFlag.h"
#include "GifRecorder.h"
#include "ImageFile.h"
#include "PatternFile.h"

#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Kind {
    const char* name;  // the file's name
    // Writes the board; "" or the message.
    std::function<std::string(const CellBitmap&, const fs::path&, CancelFlag*)> write;
    // The board as read back from the file.
    std::function<std::unique_ptr<CellBitmap>(const fs::path&)> read;
};

std::unique_ptr<CellBitmap> throughQt(const fs::path& path)
{
    QImage image = QImageReader(QString::fromStdString(path.string())).read().convertToFormat(QImage::Format_Grayscale8);
    if (image.isNull())
        return nullptr;
    auto board = CellBitmap::create(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            board->setPixel(x, y, image.constScanLine(y)[x]);
    return board;
}

const Kind kKinds[] = {
    {"p.golpattern",
     [](const CellBitmap& board, const fs::path& path, CancelFlag* cancel) {
         return PatternFile::write(&board, path.string(), cancel);
     },
     [](const fs::path& path) { return PatternFile::read(path.string(), {}).board; }},
    {"p.png",
     [](const CellBitmap& board, const fs::path& path, CancelFlag* cancel) {
         return ImageFile::writePng(board, path.string(), 1, cancel);
     },
     throughQt},
    {"p.gif",  // a recording of the board, twice; a recording is stopped, not cancelled
     [](const CellBitmap& board, const fs::path& path, CancelFlag*) {
         GifRecorder recorder(path.string());
         recorder.capture(board.copy());
         recorder.capture(board.copy());
         return recorder.finish(RunEnd::Completed).message;
     },
     throughQt},
};

std::set<std::string> entries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CarefulWrite : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "gol-write-XXXXXX").string();
        ASSERT_TRUE(::mkdtemp(pattern.data()));
        folder = pattern;
        file = folder / GetParam().name;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string write(const CellBitmap& cells, const fs::path& path, CancelFlag* cancel = nullptr)
    {
        return GetParam().write(cells, path, cancel);
    }
    bool holds(const fs::path& path, const CellBitmap& cells)
    {
        const auto read = GetParam().read(path);
        return read && read->sameCells(cells);
    }
    std::string cannot(const std::string& reason) const
    {
        return "\u201c" + std::string(GetParam().name) + "\u201d could not be saved: " + reason + ".";
    }

    fs::path folder;
    fs::path file;
    const std::unique_ptr<CellBitmap> board = boards::seeded(40, 30, 1);
};

}  // namespace

TEST_P(CarefulWrite, KeepsPermissionsAndWritesThroughLinks)
{
    std::ofstream(file) << "old";
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(write(*board, file), "");
    EXPECT_TRUE(holds(file, *board));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    fs::create_directory(folder / "real");
    const fs::path target = folder / "real" / GetParam().name;
    std::ofstream(target) << "old";
    const fs::path link = folder / "link";
    fs::create_symlink(target, link);
    ASSERT_EQ(write(*board, link), "");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), target);
    EXPECT_TRUE(holds(target, *board));
    EXPECT_EQ(entries(folder / "real"), std::set<std::string>{GetParam().name});
}

TEST_P(CarefulWrite, UnwritableDestinationIsOneMessageAndLeavesNothing)
{
    EXPECT_EQ(write(*board, folder / "missing" / GetParam().name), cannot("No such file or directory"));
    fs::create_directory(file);
    EXPECT_EQ(write(*board, file), cannot("there is a folder of that name"));
    EXPECT_EQ(entries(folder), std::set<std::string>{GetParam().name});
    EXPECT_TRUE(fs::is_empty(file));
}

TEST_P(CarefulWrite, FailureMidwayAndCancelKeepTheOldFile)
{
    std::ofstream(file) << "an earlier file";
    const auto big = boards::seeded(700, 700, 2);  // well over the limit below in every format
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit limited{8192, old.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not the end of the tests
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::string error = write(*big, file);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(error, cannot("File too large"));
    EXPECT_EQ(readText(file), "an earlier file");
    EXPECT_EQ(entries(folder), std::set<std::string>{GetParam().name});

    if (std::string(GetParam().name) != "p.gif") {
        CancelFlag cancel;
        cancel.cancel();
        EXPECT_EQ(write(*board, file, &cancel), cannot("the save was cancelled"));
        EXPECT_FALSE(cancel.beginCommit());
        EXPECT_EQ(readText(file), "an earlier file");
        EXPECT_EQ(entries(folder), std::set<std::string>{GetParam().name});
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, CarefulWrite, ::testing::ValuesIn(kKinds),
                         [](const auto& kind) { return std::string(kind.param.name).substr(2); });
