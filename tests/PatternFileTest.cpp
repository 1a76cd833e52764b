#include "Boards.h"
#include "FileHelpers.h"
#include "PatternFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace {

constexpr LogicalSize kFrame{480, 360};

// What Python's plistlib reads from a file: its keys, its size and the value
// of a Python expression on the dictionary d, by default the columns.
std::string readByPlistlib(const QString& path, const char* expression = "d['bitMapPixelData']")
{
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"),
                                            QStringLiteral("import plistlib, sys\n"
                                                           "d = plistlib.load(open(sys.argv[1], 'rb'))\n"
                                                           "print(list(d), d['bitMapPixelSize'], eval(sys.argv[2]))\n"),
                                            path, QString::fromLatin1(expression)});
    python.waitForFinished(60000);  // a failure shows as the error it printed
    return (python.readAllStandardOutput() + python.readAllStandardError()).trimmed().toStdString();
}

std::string plist(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + body + "\n</plist>\n";
}

std::string ints(std::initializer_list<long long> values)
{
    std::string s = "<array>";
    for (long long v : values)
        s += "<integer>" + std::to_string(v) + "</integer>";
    return s + "</array>";
}

}  // namespace

TEST(PatternFileWrite, EveryValueRoundTripsAndPlistlibReadsTheColumns)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.golpattern");
    auto board = CellBitmap::create(16, 16);  // every value 0..255 once, counting down the columns
    for (int i = 0; i < 256; ++i)
        board->setPixel(i / 16, i % 16, static_cast<std::uint8_t>(i));
    ASSERT_EQ(PatternFile::write(board.get(), path.toStdString()), "");
    const BoardLoad load = PatternFile::read(path.toStdString(), kFrame);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_TRUE(load.board->sameCells(*board));
    EXPECT_EQ(load.board->size(), kFrame);
    EXPECT_EQ(readByPlistlib(path, "d['bitMapPixelData'] == [list(range(16 * x, 16 * x + 16)) for x in range(16)]"),
              "['bitMapPixelSize', 'bitMapPixelData'] [16, 16] True");

    // Five columns of two, written over the larger file, which must leave nothing of it behind.
    board = CellBitmap::create(5, 2);
    for (int i = 0; i < 10; ++i)
        board->setPixel(i / 2, i % 2, static_cast<std::uint8_t>(i));
    ASSERT_EQ(PatternFile::write(board.get(), path.toStdString()), "");
    EXPECT_EQ(readByPlistlib(path),
              "['bitMapPixelSize', 'bitMapPixelData'] [5, 2] [[0, 1], [2, 3], [4, 5], [6, 7], [8, 9]]");
    const QByteArray xml = files::readAll(path);
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                               "<plist version=\"1.0\">\n"))
        << xml.toStdString();
}

// The writer's XML is exactly the property list libplist makes of the same
// dictionary: a size array (W, H) and W columns of H integers.
TEST(PatternFileWrite, XmlIsWhatLibplistWritesForTheSameDictionary)
{
    auto board = boards::seeded(3, 2, 9);
    plist_t size = plist_new_array();
    plist_array_append_item(size, plist_new_uint(3));
    plist_array_append_item(size, plist_new_uint(2));
    plist_t columns = plist_new_array();
    for (int x = 0; x < 3; ++x) {
        plist_t column = plist_new_array();
        for (int y = 0; y < 2; ++y)
            plist_array_append_item(column, plist_new_uint(board->getPixel(x, y)));
        plist_array_append_item(columns, column);
    }
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "bitMapPixelSize", size);
    plist_dict_set_item(root, "bitMapPixelData", columns);
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    EXPECT_EQ(PatternFile::toXml(board.get()), std::string(xml, length));
    plist_to_xml_free(xml);
    plist_free(root);
}

TEST(PatternFileWrite, FailedWriteReportsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.golpattern");
    ASSERT_EQ(PatternFile::write(boards::seeded(4, 4, 6).get(), path.toStdString()), "");
    const QByteArray before = files::readAll(path);
    const auto big = boards::seeded(300, 300, 7);  // over two megabytes of XML

    // The file size limit makes the write fail part way, as a full disk would.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{8192, old.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = PatternFile::write(big.get(), path.toStdString());
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(error.find("\u201cp.golpattern\u201d could not be saved: "), std::string::npos) << error;
    EXPECT_EQ(files::readAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"p.golpattern"});  // no leftovers
}

TEST(PatternFileRead, SizeWithoutDataAndFilesWrittenByPlistlibOpen)
{
    const std::string text = plist("<dict><key>bitMapPixelSize</key>" + ints({4, 3}) + "</dict>");
    const BoardLoad live = PatternFile::parse(text.data(), text.size(), "p.golpattern", kFrame);
    ASSERT_TRUE(live.board) << live.error;
    EXPECT_EQ(live.board->pixelsWide(), 4);
    EXPECT_EQ(live.board->pixelsHigh(), 3);
    EXPECT_EQ(live.board->liveCells(), 12);

    // XML and binary, with an extra key; "shared" repeats column 0 as one object.
    for (const std::string name : {"xml", "binary", "shared"}) {
        const BoardLoad load = PatternFile::read(GOL_TEST_DATA "/pattern_plistlib_" + name + ".golpattern", kFrame);
        ASSERT_TRUE(load.board) << name << ": " << load.error;
        ASSERT_EQ(load.board->pixelsWide(), 9) << name;
        ASSERT_EQ(load.board->pixelsHigh(), 6) << name;
        for (int x = 0; x < 9; ++x)
            for (int y = 0; y < 6; ++y)
                ASSERT_EQ(load.board->getPixel(x, y), ((name == "shared" ? 0 : x * 31) + y * 7) % 256) << name << x << y;
    }
}

TEST(PatternFileRead, BrokenFilesNameTheFileAndGiveNoBoard)
{
    auto dict = [](const std::string& entries) { return plist("<dict>" + entries + "</dict>"); };
    auto data = [&](const std::string& size, const std::string& columns) {
        return dict("<key>bitMapPixelSize</key>" + size + "<key>bitMapPixelData</key><array>" + columns + "</array>");
    };
    const std::string col = ints({0, 255, 0}), size43 = ints({4, 3});
    const struct {
        std::optional<std::string> content;  // none: no file at all
        const char* reason;
    } cases[] = {
        {std::nullopt, "the file cannot be read"},
        {"hello, world\n", "it is not a property list"},
        {plist(size43), "its root is not a dictionary"},
        {dict("<key>bitMapPixelSize</key>" + ints({4})), "is not a list of two integers"},
        {data(ints({0, 0}), ""), "its size 0 \u00d7 0 has no cells"},
        {dict("<key>bitMapPixelSize</key>" + ints({16385, 16384})), "is larger than the largest board"},
        {data(size43, col + col + col), "\u201cbitMapPixelData\u201d does not hold 4 columns"},
        {data(ints({16384, 16384}), ints({0, 0})), "does not hold 16384 columns"},  // before making the board
        {data(size43, col + col + ints({0, 0}) + col), "column 2 does not hold 3 cells"},
        {data(size43, col + col + col + "<array><integer>0</integer><string>0</string><integer>0</integer></array>"),
         "the cell at (3, 1) is not an integer"},
        {data(size43, col + col + ints({0, 0, 256}) + col), "the cell at (2, 2) holds 256, outside 0 to 255"},
        {data(size43, ints({-1, 0, 0}) + col + col + col), "the cell at (0, 0) holds -1, outside 0 to 255"},
        {plist(QByteArray("<array>").repeated(100000).toStdString()), "nested too deeply"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.golpattern");
    for (const auto& c : cases) {
        QFile::remove(path);
        ASSERT_TRUE(!c.content || files::writeAll(path, QByteArray::fromStdString(*c.content)));
        const BoardLoad load = PatternFile::read(path.toStdString(), kFrame);
        EXPECT_FALSE(load.board) << c.reason;
        EXPECT_EQ(load.error.rfind("\u201cbroken.golpattern\u201d cannot be opened as a pattern: ", 0), 0u) << load.error;
        EXPECT_NE(load.error.find(c.reason), std::string::npos) << c.reason << " / " << load.error;
    }
}
