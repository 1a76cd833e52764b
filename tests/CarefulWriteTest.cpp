// Every kind of file the application writes goes through the one careful
// writer: an existing file keeps its permissions, a symbolic link stays a
// link and its target gets the content, a destination that cannot be
// written gives one message naming the file, and neither a failure nor a
// cancel leaves the old file changed or a temporary file behind.

#include "Boards.h"
#include "CancelFlag.h"
#include "FileHelpers.h"
#include "GifFrames.h"
#include "GifRecorder.h"
#include "ImageFile.h"
#include "PatternFile.h"

#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace fs = std::filesystem;
using Names = std::set<std::string>;

namespace {

struct Kind {
    const char* name;  // the file's name
    bool image;        // read back through Qt's image reader, otherwise as a pattern
    // Writes the board; "" or the message.
    std::function<std::string(const CellBitmap&, const std::string&, CancelFlag*)> write;
};

const Kind kKinds[] = {
    {"p.golpattern", false, [](auto& b, auto& path, auto* cancel) { return PatternFile::write(&b, path, cancel); }},
    {"p.png", true, [](auto& b, auto& path, auto* cancel) { return ImageFile::writePng(b, path, 1, cancel); }},
    {"p.gif", true,  // a recording of the board, twice; a recording is stopped, not cancelled
     [](auto& b, auto& path, auto*) {
         GifRecorder recorder(path);
         recorder.capture(b.copy());
         recorder.capture(b.copy());
         return recorder.finish(RunEnd::Completed).message;
     }},
};

// In gtest's messages, the kind by its file's name.
void PrintTo(const Kind& kind, std::ostream* out) { *out << kind.name; }

class CarefulWrite : public ::testing::TestWithParam<Kind> {
protected:
    std::string write(const CellBitmap& cells, const fs::path& path, CancelFlag* cancel = nullptr)
    {
        return GetParam().write(cells, path.string(), cancel);
    }
    bool holds(const fs::path& path, const CellBitmap& cells)
    {
        if (!GetParam().image) {
            const auto read = PatternFile::read(path.string(), {}).board;
            return read && read->sameCells(cells);
        }
        return showsCells(QImageReader(QString::fromStdString(path.string())).read(), cells);
    }
    std::string cannot(const std::string& reason) const
    {
        return "\u201c" + std::string(GetParam().name) + "\u201d could not be saved: " + reason + ".";
    }

    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    const fs::path file = folder / GetParam().name;
    const std::unique_ptr<CellBitmap> board = boards::seeded(40, 30, 1);
};

}  // namespace

// A read-only file is replaced only by a user who may write it anyway (root).
TEST_P(CarefulWrite, KeepsPermissionsAndWritesThroughLinks)
{
    for (const auto perms : {fs::perms(0640), fs::perms(0444)}) {
        fs::remove(file);
        std::ofstream(file) << "old";
        fs::permissions(file, perms);
        const bool writable = ::access(file.c_str(), W_OK) == 0;
        EXPECT_EQ(write(*board, file), writable ? "" : cannot("the file is read-only"));
        EXPECT_EQ(holds(file, *board), writable);
        EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, perms);
    }

    fs::create_directory(folder / "real");
    const fs::path target = folder / "real" / GetParam().name;
    std::ofstream(target) << "old";
    fs::create_symlink(target, folder / "link");
    ASSERT_EQ(write(*board, folder / "link"), "");
    EXPECT_EQ(fs::read_symlink(folder / "link"), target);
    EXPECT_TRUE(holds(target, *board));
    EXPECT_EQ(files::entries(folder / "real"), Names{GetParam().name});
}

TEST_P(CarefulWrite, UnwritableDestinationIsOneMessageAndLeavesNothing)
{
    EXPECT_EQ(write(*board, folder / "missing" / GetParam().name), cannot("No such file or directory"));
    fs::create_directory(file);
    EXPECT_EQ(write(*board, file), cannot("there is a folder of that name"));
    EXPECT_EQ(files::entries(folder), Names{GetParam().name});
    EXPECT_TRUE(fs::is_empty(file));
}

TEST_P(CarefulWrite, FailureMidwayAndCancelKeepTheOldFile)
{
    std::ofstream(file) << "an earlier file";
    const auto big = boards::seeded(700, 700, 2);  // well over the limit below in every format
    EXPECT_EQ(files::onAFullDisk(8192, [&] { return write(*big, file); }), cannot("File too large"));
    EXPECT_EQ(files::readText(file), "an earlier file");
    EXPECT_EQ(files::entries(folder), Names{GetParam().name});

    if (std::string(GetParam().name) != "p.gif") {
        CancelFlag cancel;
        cancel.cancel();
        EXPECT_EQ(write(*board, file, &cancel), cannot("the save was cancelled"));
        EXPECT_FALSE(cancel.beginCommit());
        EXPECT_EQ(files::readText(file), "an earlier file");
        EXPECT_EQ(files::entries(folder), Names{GetParam().name});
    }
}

// Named "golpattern", "png" and "gif".
INSTANTIATE_TEST_SUITE_P(EveryKind, CarefulWrite, ::testing::ValuesIn(kKinds),
                         [](const auto& kind) { return std::string(kind.param.name).substr(2); });
