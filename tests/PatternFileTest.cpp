#include "Boards.h"
#include "FileHelpers.h"
#include "PatternFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr LogicalSize kFrame{480, 360};

// What Python's plistlib makes of a pattern file: its format, its keys, the
// size and every cell column by column, so that the test can compare.
struct PythonView {
    bool ok = false;
    std::string format;
    std::string keys;
    std::int64_t w = -1, h = -1;
    std::vector<std::vector<std::int64_t>> columns;
};

PythonView readWithPython(const std::string& path)
{
    static const char* program =
        "import plistlib, sys\n"
        "raw = open(sys.argv[1], 'rb').read()\n"
        "d = plistlib.loads(raw)\n"
        "print('xml' if raw.startswith(b'<?xml') else 'other')\n"
        "print(','.join(d.keys()))\n"
        "w, h = d['bitMapPixelSize']\n"
        "print(w, h, len(d['bitMapPixelData']))\n"
        "for col in d['bitMapPixelData']:\n"
        "    assert all(type(v) is int for v in col)\n"
        "    print(len(col), *col)\n";
    int status = 0;
    const std::string out = files::runPython(program, files::shellQuote(path), status);
    PythonView v;
    if (status != 0)
        return v;
    std::istringstream in(out);
    std::string line;
    std::getline(in, v.format);
    std::getline(in, v.keys);
    std::size_t columns = 0;
    in >> v.w >> v.h >> columns;
    for (std::size_t x = 0; x < columns; ++x) {
        std::size_t n = 0;
        in >> n;
        std::vector<std::int64_t> col(n);
        for (auto& c : col)
            in >> c;
        v.columns.push_back(std::move(col));
    }
    v.ok = static_cast<bool>(in);
    return v;
}

// Checks with plistlib that the file at path is an XML list with exactly the
// two pattern keys, holding the board column by column.
void expectPythonReads(const std::string& path, const CellBitmap& board)
{
    const PythonView v = readWithPython(path);
    ASSERT_TRUE(v.ok) << "plistlib could not read " << path;
    EXPECT_EQ(v.format, "xml");
    EXPECT_EQ(v.keys, "bitMapPixelSize,bitMapPixelData");
    ASSERT_EQ(v.w, board.pixelsWide());
    ASSERT_EQ(v.h, board.pixelsHigh());
    ASSERT_EQ(static_cast<std::int64_t>(v.columns.size()), board.pixelsWide());
    for (std::int64_t x = 0; x < board.pixelsWide(); ++x) {
        ASSERT_EQ(static_cast<std::int64_t>(v.columns[x].size()), board.pixelsHigh()) << "column " << x;
        for (std::int64_t y = 0; y < board.pixelsHigh(); ++y)
            ASSERT_EQ(v.columns[x][y], board.getPixel(x, y)) << "cell " << x << ", " << y;
    }
}

// A board holding every value 0 to 255, each once.
std::unique_ptr<CellBitmap> everyValue()
{
    auto b = CellBitmap::create(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            b->setPixel(x, y, static_cast<std::uint8_t>(y * 16 + x));
    return b;
}

BoardLoad parseText(const std::string& text, LogicalSize size = kFrame)
{
    return PatternFile::parse(text.data(), text.size(), "test.golpattern", size);
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

TEST(PatternFileWrite, EveryValueRoundTripsThroughAFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto board = everyValue();
    const std::string path = files::pathIn(dir, "every.golpattern");
    ASSERT_EQ(PatternFile::write(board.get(), path), "");

    const BoardLoad load = PatternFile::read(path, {640, 480});
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.error, "");
    EXPECT_TRUE(load.board->sameCells(*board));
    EXPECT_EQ(load.board->size(), (LogicalSize{640, 480}));
    expectPythonReads(path, *board);
}

TEST(PatternFileWrite, GrayBoardsRoundTripInMemory)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        const auto board = boards::seeded(37 + seed, 23 - seed, seed);
        const std::string xml = PatternFile::toXml(board.get());
        const BoardLoad load = parseText(xml);
        ASSERT_TRUE(load.board) << load.error;
        EXPECT_TRUE(load.board->sameCells(*board)) << "seed " << seed;
    }
}

TEST(PatternFileWrite, CellsAreStoredColumnByColumn)
{
    // 5 wide, 2 high: five arrays of two, element y of column x is cell (x, y).
    auto board = CellBitmap::create(5, 2);
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 2; ++y)
            board->setPixel(x, y, static_cast<std::uint8_t>(10 * x + y));
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "five.golpattern");
    ASSERT_EQ(PatternFile::write(board.get(), path), "");

    const PythonView v = readWithPython(path);
    ASSERT_TRUE(v.ok);
    EXPECT_EQ(v.w, 5);
    EXPECT_EQ(v.h, 2);
    ASSERT_EQ(v.columns.size(), 5u);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(v.columns[x], (std::vector<std::int64_t>{10 * x, 10 * x + 1}));
}

TEST(PatternFileWrite, ExampleFromTheFormatDescription)
{
    // Top row live, dead, live; bottom row dead: ((0, 255), (255, 255), (0, 255)).
    const auto board = boards::withLive(3, 2, {{0, 0}, {2, 0}});
    const std::string xml = PatternFile::toXml(board.get());
    const std::string data = "\t<key>bitMapPixelData</key>\n\t<array>\n"
                             "\t\t<array>\n\t\t\t<integer>0</integer>\n\t\t\t<integer>255</integer>\n\t\t</array>\n"
                             "\t\t<array>\n\t\t\t<integer>255</integer>\n\t\t\t<integer>255</integer>\n\t\t</array>\n"
                             "\t\t<array>\n\t\t\t<integer>0</integer>\n\t\t\t<integer>255</integer>\n\t\t</array>\n"
                             "\t</array>\n";
    EXPECT_NE(xml.find(data), std::string::npos) << xml;
}

TEST(PatternFileWrite, HeaderAndShapeOfTheXml)
{
    const auto board = boards::seeded(4, 3, 9);
    const std::string xml = PatternFile::toXml(board.get());
    std::istringstream in(xml);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_EQ(lines[1], "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">");
    EXPECT_EQ(lines[2], "<plist version=\"1.0\">");
    EXPECT_EQ(lines[3], "<dict>");
    EXPECT_EQ(lines[lines.size() - 2], "</dict>");
    EXPECT_EQ(lines.back(), "</plist>");
    EXPECT_EQ(xml.back(), '\n');

    std::size_t keys = 0, dicts = 0;
    for (const auto& l : lines) {
        keys += l.find("<key>") != std::string::npos;
        dicts += l.find("<dict") != std::string::npos;
    }
    EXPECT_EQ(keys, 2u);
    EXPECT_EQ(dicts, 1u);
    // Only integers, no other value types.
    for (const char* other : {"<real", "<string", "<true", "<false", "<data", "<date"})
        EXPECT_EQ(xml.find(other), std::string::npos) << other;
}

TEST(PatternFileWrite, SameBytesAsLibplist)
{
    // The writer streams its XML; it must be exactly what libplist writes for
    // the same dictionary.
    auto libplistXml = [](const CellBitmap* b) {
        const std::int64_t w = b ? b->pixelsWide() : 0, h = b ? b->pixelsHigh() : 0;
        plist_t dict = plist_new_dict();
        plist_t size = plist_new_array();
        plist_array_append_item(size, plist_new_uint(static_cast<std::uint64_t>(w)));
        plist_array_append_item(size, plist_new_uint(static_cast<std::uint64_t>(h)));
        plist_dict_set_item(dict, "bitMapPixelSize", size);
        plist_t data = plist_new_array();
        for (std::int64_t x = 0; x < w; ++x) {
            plist_t col = plist_new_array();
            for (std::int64_t y = 0; y < h; ++y)
                plist_array_append_item(col, plist_new_uint(b->getPixel(x, y)));
            plist_array_append_item(data, col);
        }
        plist_dict_set_item(dict, "bitMapPixelData", data);
        char* xml = nullptr;
        std::uint32_t len = 0;
        plist_to_xml(dict, &xml, &len);
        std::string s(xml, len);
        plist_to_xml_free(xml);
        plist_free(dict);
        return s;
    };
    EXPECT_EQ(PatternFile::toXml(nullptr), libplistXml(nullptr));
    const auto one = CellBitmap::create(1, 1);
    EXPECT_EQ(PatternFile::toXml(one.get()), libplistXml(one.get()));
    const auto gray = boards::seeded(13, 7, 4);
    EXPECT_EQ(PatternFile::toXml(gray.get()), libplistXml(gray.get()));
    const auto all = everyValue();
    EXPECT_EQ(PatternFile::toXml(all.get()), libplistXml(all.get()));
}

TEST(PatternFileWrite, OneByOneLiveCell)
{
    const auto board = boards::withLive(1, 1, {{0, 0}});
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "one.golpattern");
    ASSERT_EQ(PatternFile::write(board.get(), path), "");
    const PythonView v = readWithPython(path);
    ASSERT_TRUE(v.ok);
    EXPECT_EQ(v.w, 1);
    EXPECT_EQ(v.h, 1);
    EXPECT_EQ(v.columns, (std::vector<std::vector<std::int64_t>>{{0}}));
    const BoardLoad load = PatternFile::read(path, kFrame);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.board->pixelsWide(), 1);
    EXPECT_EQ(load.board->getPixel(0, 0), 0);
}

TEST(PatternFileWrite, NoBoardWritesSizeZeroWhichDoesNotOpen)
{
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "none.golpattern");
    ASSERT_EQ(PatternFile::write(nullptr, path), "");
    const PythonView v = readWithPython(path);
    ASSERT_TRUE(v.ok);
    EXPECT_EQ(v.w, 0);
    EXPECT_EQ(v.h, 0);
    EXPECT_TRUE(v.columns.empty());
    const BoardLoad load = PatternFile::read(path, kFrame);
    EXPECT_FALSE(load.board);
    EXPECT_NE(load.error.find("\u201cnone.golpattern\u201d cannot be opened as a pattern"), std::string::npos)
        << load.error;
}

TEST(PatternFileWrite, FailedWriteReportsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const std::string missing = files::pathIn(dir, "no-such-folder/p.golpattern");
    const auto board = boards::seeded(8, 8, 5);
    const std::string error = PatternFile::write(board.get(), missing);
    EXPECT_NE(error.find("\u201cp.golpattern\u201d could not be saved"), std::string::npos) << error;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(missing)));

    // A read-only folder holding an earlier save: the new save fails and the
    // earlier file keeps its content.
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    const std::string path = files::pathIn(dir, "locked/p.golpattern");
    const auto first = boards::seeded(4, 4, 6);
    ASSERT_EQ(PatternFile::write(first.get(), path), "");
    const QByteArray before = files::readAll(path);
    QFile::setPermissions(QString::fromStdString(dir.filePath("locked").toStdString()),
                          QFile::ReadOwner | QFile::ExeOwner);
    if (::access(dir.filePath("locked").toLocal8Bit().constData(), W_OK) == 0) {
        QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "permissions are not enforced for this user";
    }
    const std::string lockedError = PatternFile::write(board.get(), path);
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_NE(lockedError.find("\u201cp.golpattern\u201d could not be saved"), std::string::npos) << lockedError;
    EXPECT_EQ(files::readAll(path), before);
}

TEST(PatternFileWrite, WriteFailingPartWayKeepsTheOldFile)
{
    // The file size limit makes the write fail after its first few kilobytes,
    // as a full disk would.
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "p.golpattern");
    const auto first = boards::seeded(4, 4, 6);
    ASSERT_EQ(PatternFile::write(first.get(), path), "");
    const QByteArray before = files::readAll(path);

    const auto big = boards::seeded(300, 300, 7);  // over two megabytes of XML
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 8192;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = PatternFile::write(big.get(), path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(error.find("\u201cp.golpattern\u201d could not be saved: "), std::string::npos) << error;
    EXPECT_EQ(files::readAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"p.golpattern"});  // no leftovers
}

TEST(PatternFileWrite, LargeBoardIsWrittenInPiecesAsOneList)
{
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "large.golpattern");
    const auto board = boards::seeded(400, 300, 8);  // about three megabytes
    ASSERT_EQ(PatternFile::write(board.get(), path), "");
    const QByteArray bytes = files::readAll(path);
    EXPECT_GT(bytes.size(), 3'000'000);
    EXPECT_EQ(bytes.toStdString(), PatternFile::toXml(board.get()));
    const BoardLoad load = PatternFile::read(path, kFrame);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_TRUE(load.board->sameCells(*board));
}

TEST(PatternFileWrite, OverwriteReplacesTheWholeFile)
{
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "p.golpattern");
    const auto big = boards::seeded(30, 30, 1);
    const auto small = boards::seeded(2, 3, 2);
    ASSERT_EQ(PatternFile::write(big.get(), path), "");
    ASSERT_EQ(PatternFile::write(small.get(), path), "");
    EXPECT_EQ(files::readAll(path).toStdString(), PatternFile::toXml(small.get()));
    expectPythonReads(path, *small);
}

TEST(PatternFileRead, SizeWithoutDataOpensAsLiveCells)
{
    const BoardLoad load = parseText(plist("<dict><key>bitMapPixelSize</key>" + ints({4, 3}) + "</dict>"));
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.board->pixelsWide(), 4);
    EXPECT_EQ(load.board->pixelsHigh(), 3);
    EXPECT_EQ(load.board->liveCells(), 12);
    EXPECT_EQ(load.board->size(), kFrame);
}

TEST(PatternFileRead, ExtraKeysColumnsAndCellsAreIgnored)
{
    const std::string text = plist(
        "<dict><key>comment</key><string>hello</string>"
        "<key>bitMapPixelData</key><array>" +
        ints({1, 2, 99}) + ints({3, 4}) + ints({7, 7}) +
        "</array><key>bitMapPixelSize</key>" + ints({2, 2, 5}) +
        "<key>more</key><dict><key>x</key><real>1.5</real></dict></dict>");
    const BoardLoad load = parseText(text);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.board->pixelsWide(), 2);
    EXPECT_EQ(load.board->pixelsHigh(), 2);
    EXPECT_EQ(load.board->getPixel(0, 0), 1);
    EXPECT_EQ(load.board->getPixel(0, 1), 2);
    EXPECT_EQ(load.board->getPixel(1, 0), 3);
    EXPECT_EQ(load.board->getPixel(1, 1), 4);
}

TEST(PatternFileRead, XmlAsOtherWritersMayFormatIt)
{
    // Comments, a document type with an internal subset, CDATA, character
    // references in a key, hexadecimal and padded integers, no whitespace at
    // all, a root without <plist>, and a repeated key (the later one counts).
    const std::string text =
        "<?xml version='1.0'?>\n<!-- a pattern -->\n"
        "<!DOCTYPE plist [ <!ELEMENT plist ANY> ]>"
        "<plist version='1.0'><dict>"
        "<key>bitMapPixelSize</key><array><integer>9</integer><integer>9</integer></array>"
        "<key>other</key><dict><key>a</key><array><array/><dict/></array></dict>"
        "<key>bitMap&#80;ixel&#x53;ize</key><array><integer> 2 </integer><integer>0x1</integer></array>"
        "<key>bitMapPixelData</key><array><!-- x = 0 --><array><integer><![CDATA[12]]></integer></array>"
        "<array><integer>+255</integer></array></array>"
        "</dict></plist>";
    const BoardLoad load = parseText(text);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.board->pixelsWide(), 2);
    EXPECT_EQ(load.board->pixelsHigh(), 1);
    EXPECT_EQ(load.board->getPixel(0, 0), 12);
    EXPECT_EQ(load.board->getPixel(1, 0), 255);

    const BoardLoad marked = parseText("\xEF\xBB\xBF" + PatternFile::toXml(load.board.get()));
    ASSERT_TRUE(marked.board) << marked.error;
    EXPECT_TRUE(marked.board->sameCells(*load.board));

    const BoardLoad bare = parseText("<dict><key>bitMapPixelSize</key><array><integer>1</integer>"
                                     "<integer>2</integer></array></dict>");
    ASSERT_TRUE(bare.board) << bare.error;
    EXPECT_EQ(bare.board->liveCells(), 2);
}

TEST(PatternFileRead, MalformedXmlIsNotAPropertyList)
{
    const std::string good = PatternFile::toXml(boards::seeded(3, 3, 1).get());
    ASSERT_TRUE(parseText(good).board);
    for (const std::string& bad : {
             good.substr(0, good.size() / 2),                                // cut short
             plist("<dict><key>bitMapPixelSize</key><array><integer>1</array></integer></dict>"),  // crossed
             plist("<dict><key>bitMapPixelSize</key></dict>"),               // key without value
             plist("<dict><integer>1</integer></dict>"),                     // value without key
             plist("<dict><key>a&bogus;</key><string/></dict>"),             // unknown entity
             plist("<dict><key>x</key><string>unterminated</dict>"),
             std::string("<?xml version=\"1.0\"?><!-- never closed"),
             std::string("<plist version=\"1.0></plist>"),
         }) {
        const BoardLoad load = parseText(bad);
        EXPECT_FALSE(load.board) << bad;
        EXPECT_NE(load.error.find("it is not a property list"), std::string::npos) << bad << "\n" << load.error;
    }
    // Damage anywhere in a written file never gives a board of another size.
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (char c : {'<', '>', '/', 'x', '\0'}) {
            std::string damaged = good;
            damaged[i] = c;
            const BoardLoad load = parseText(damaged);
            EXPECT_NE(static_cast<bool>(load.board), !load.error.empty()) << i;
            if (load.board) {
                EXPECT_EQ(load.board->pixelsWide(), 3) << i;
                EXPECT_EQ(load.board->pixelsHigh(), 3) << i;
            }
        }
    }
}

TEST(PatternFileRead, XmlTooShortForItsSizeIsRefusedBeforeTheBoardIsMade)
{
    // The largest board, with one column given: no XML this short can hold
    // its cells, so it is refused without allocating them.
    const BoardLoad load = parseText(plist("<dict><key>bitMapPixelSize</key>" + ints({16384, 16384}) +
                                           "<key>bitMapPixelData</key><array>" + ints({0, 0}) + "</array></dict>"));
    EXPECT_FALSE(load.board);
    EXPECT_NE(load.error.find("does not hold 16384 columns"), std::string::npos) << load.error;
}

TEST(PatternFileRead, FilesWrittenByPlistlibOpen)
{
    for (const char* name : {"pattern_plistlib_xml.golpattern", "pattern_plistlib_binary.golpattern"}) {
        const BoardLoad load = PatternFile::read(std::string(GOL_TEST_DATA) + "/" + name, kFrame);
        ASSERT_TRUE(load.board) << name << ": " << load.error;
        ASSERT_EQ(load.board->pixelsWide(), 9) << name;
        ASSERT_EQ(load.board->pixelsHigh(), 6) << name;
        EXPECT_EQ(load.board->size(), kFrame);
        for (int x = 0; x < 9; ++x)
            for (int y = 0; y < 6; ++y)
                ASSERT_EQ(load.board->getPixel(x, y), (x * 31 + y * 7) % 256) << name << " " << x << "," << y;
    }
    const BoardLoad shared = PatternFile::read(std::string(GOL_TEST_DATA) + "/pattern_plistlib_shared.golpattern", kFrame);
    ASSERT_TRUE(shared.board) << shared.error;
    for (int x = 0; x < 9; ++x)
        for (int y = 0; y < 6; ++y)
            ASSERT_EQ(shared.board->getPixel(x, y), y * 7);
}

TEST(PatternFileRead, BinaryFormOfWrittenFilesOpens)
{
    // plistlib converts a written file to the binary form, which opens as the
    // same board.
    const auto board = everyValue();
    QTemporaryDir dir;
    const std::string xmlPath = files::pathIn(dir, "x.golpattern");
    const std::string binPath = files::pathIn(dir, "b.golpattern");
    ASSERT_EQ(PatternFile::write(board.get(), xmlPath), "");
    int status = 0;
    files::runPython("import plistlib,sys\n"
                     "d = plistlib.load(open(sys.argv[1],'rb'))\n"
                     "plistlib.dump(d, open(sys.argv[2],'wb'), fmt=plistlib.FMT_BINARY)\n",
                     files::shellQuote(xmlPath) + " " + files::shellQuote(binPath), status);
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(files::readAll(binPath).startsWith("bplist00"));
    const BoardLoad load = PatternFile::read(binPath, kFrame);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_TRUE(load.board->sameCells(*board));
}

namespace {

struct Broken {
    const char* what;
    std::string content;
    const char* reason;  // expected in the message
};

std::vector<Broken> brokenFiles()
{
    auto dict = [](const std::string& entries) { return plist("<dict>" + entries + "</dict>"); };
    const std::string size43 = "<key>bitMapPixelSize</key>" + ints({4, 3});
    const std::string col = ints({0, 255, 0});
    std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < 100000; ++i)
        deep += "<array>";
    for (int i = 0; i < 100000; ++i)
        deep += "</array>";
    deep += "</plist>";
    return {
        {"empty file", "", "the file is empty"},
        {"not a property list", "hello, world\n", "it is not a property list"},
        {"root is an array", plist(ints({4, 3})), "its root is not a dictionary"},
        {"no size", dict("<key>bitMapPixelData</key><array>" + col + "</array>"), "it has no \u201cbitMapPixelSize\u201d"},
        {"size with one integer", dict("<key>bitMapPixelSize</key>" + ints({4})), "is not a list of two integers"},
        {"size is an integer", dict("<key>bitMapPixelSize</key><integer>4</integer>"), "is not a list of two integers"},
        {"size of strings", dict("<key>bitMapPixelSize</key><array><string>4</string><string>3</string></array>"),
         "is not a list of two integers"},
        {"size of reals", dict("<key>bitMapPixelSize</key><array><real>4</real><real>3</real></array>"),
         "is not a list of two integers"},
        {"size 0 by 0", dict("<key>bitMapPixelSize</key>" + ints({0, 0}) + "<key>bitMapPixelData</key><array/>"),
         "its size 0 \u00d7 0 has no cells"},
        {"negative size", dict("<key>bitMapPixelSize</key>" + ints({-3, 4})), "has no cells"},
        {"size over the limit", dict("<key>bitMapPixelSize</key>" + ints({16385, 16384})),
         "is larger than the largest board"},
        {"enormous size", dict("<key>bitMapPixelSize</key>" + ints({1LL << 40, 1LL << 40})),
         "is larger than the largest board"},
        {"too few columns", dict(size43 + "<key>bitMapPixelData</key><array>" + col + col + col + "</array>"),
         "\u201cbitMapPixelData\u201d does not hold 4 columns"},
        {"data not an array", dict(size43 + "<key>bitMapPixelData</key><string>x</string>"),
         "\u201cbitMapPixelData\u201d does not hold 4 columns"},
        {"short column",
         dict(size43 + "<key>bitMapPixelData</key><array>" + col + col + ints({0, 0}) + col + "</array>"),
         "column 2 does not hold 3 cells"},
        {"column not an array",
         dict(size43 + "<key>bitMapPixelData</key><array>" + col + "<integer>0</integer>" + col + col + "</array>"),
         "column 1 does not hold 3 cells"},
        {"string cell",
         dict(size43 + "<key>bitMapPixelData</key><array>" + col + col + col +
              "<array><integer>0</integer><string>0</string><integer>0</integer></array></array>"),
         "the cell at (3, 1) is not an integer"},
        {"real cell",
         dict(size43 + "<key>bitMapPixelData</key><array>" + col +
              "<array><real>0.5</real><integer>0</integer><integer>0</integer></array>" + col + col + "</array>"),
         "the cell at (1, 0) is not an integer"},
        {"cell over 255", dict(size43 + "<key>bitMapPixelData</key><array>" + col + col + ints({0, 0, 256}) + col + "</array>"),
         "the cell at (2, 2) holds 256, outside 0 to 255"},
        {"negative cell", dict(size43 + "<key>bitMapPixelData</key><array>" + ints({-1, 0, 0}) + col + col + col + "</array>"),
         "the cell at (0, 0) holds -1, outside 0 to 255"},
        {"nested too deeply", deep, "nested too deeply"},
    };
}

}  // namespace

TEST(PatternFileRead, BrokenFilesAreRefusedWithAMessage)
{
    QTemporaryDir dir;
    const std::string path = files::pathIn(dir, "broken.golpattern");
    for (const Broken& b : brokenFiles()) {
        ASSERT_TRUE(files::writeAll(path, QByteArray::fromStdString(b.content)));
        const BoardLoad load = PatternFile::read(path, kFrame);
        EXPECT_FALSE(load.board) << b.what;
        EXPECT_EQ(load.error.rfind("\u201cbroken.golpattern\u201d cannot be opened as a pattern: ", 0), 0u)
            << b.what << ": " << load.error;
        EXPECT_NE(load.error.find(b.reason), std::string::npos) << b.what << ": " << load.error;
    }
}

TEST(PatternFileRead, BrokenFilesInBinaryFormAreRefusedAlike)
{
    // The same broken lists, converted to the binary form by plistlib, give
    // the same messages through the binary reader.
    QTemporaryDir dir;
    std::vector<std::pair<const Broken*, std::string>> cases;
    const std::vector<Broken> broken = brokenFiles();
    std::string args;
    for (const Broken& b : broken) {
        if (b.content.rfind("<?xml version=\"1.0\" encoding", 0) != 0)
            continue;  // not a list plistlib can convert
        std::string name = "case";
        name += std::to_string(cases.size());
        const std::string path = files::pathIn(dir, name.c_str());
        ASSERT_TRUE(files::writeAll(path + ".xml", QByteArray::fromStdString(b.content)));
        cases.emplace_back(&b, path);
        args += ' ';
        args += files::shellQuote(path);
    }
    ASSERT_GE(cases.size(), 15u);
    int status = 0;
    files::runPython("import plistlib,sys\n"
                     "for p in sys.argv[1:]:\n"
                     "    d = plistlib.load(open(p + '.xml','rb'))\n"
                     "    plistlib.dump(d, open(p + '.golpattern','wb'), fmt=plistlib.FMT_BINARY)\n",
                     args, status);
    ASSERT_EQ(status, 0);
    for (const auto& [b, path] : cases) {
        const std::string file = path + ".golpattern";
        ASSERT_TRUE(files::readAll(file).startsWith("bplist00")) << b->what;
        const BoardLoad load = PatternFile::read(file, kFrame);
        EXPECT_FALSE(load.board) << b->what;
        EXPECT_NE(load.error.find(b->reason), std::string::npos) << b->what << ": " << load.error;
    }
}

TEST(PatternFileRead, DamagedBinaryListsAreRefused)
{
    const QByteArray good = files::readAll(std::string(GOL_TEST_DATA) + "/pattern_plistlib_binary.golpattern");
    ASSERT_GT(good.size(), 40);
    // Every truncation, and every single byte set to 0xFF, either opens or is
    // refused with a message; none crashes or opens with a wrong size.
    for (qsizetype n = 0; n < good.size(); ++n) {
        const BoardLoad load = PatternFile::parse(good.constData(), static_cast<std::size_t>(n), "cut.golpattern", kFrame);
        EXPECT_FALSE(load.board) << n;
        EXPECT_FALSE(load.error.empty()) << n;
    }
    for (qsizetype i = 0; i < good.size(); ++i) {
        QByteArray bad = good;
        bad[i] = static_cast<char>(0xFF);
        const BoardLoad load = PatternFile::parse(bad.constData(), static_cast<std::size_t>(bad.size()), "bad.golpattern", kFrame);
        EXPECT_NE(static_cast<bool>(load.board), !load.error.empty()) << i;
        if (load.board) {
            EXPECT_EQ(load.board->pixelsWide(), 9);
            EXPECT_EQ(load.board->pixelsHigh(), 6);
        }
    }
}

TEST(PatternFileRead, OversizedInputIsRefusedUnread)
{
    // Only the length is looked at: nothing past the first byte is read.
    const char byte = '<';
    const auto size = static_cast<std::size_t>(PatternFile::kMaxFileBytes) + 1;
    const BoardLoad load = PatternFile::parse(&byte, size, "vast.golpattern", kFrame);
    EXPECT_FALSE(load.board);
    EXPECT_NE(load.error.find("the file is too large"), std::string::npos) << load.error;
}

TEST(PatternFileRead, MissingFileIsRefused)
{
    QTemporaryDir dir;
    const BoardLoad load = PatternFile::read(files::pathIn(dir, "gone.golpattern"), kFrame);
    EXPECT_FALSE(load.board);
    EXPECT_EQ(load.error.rfind("\u201cgone.golpattern\u201d cannot be opened as a pattern: the file cannot be read", 0), 0u)
        << load.error;
}

namespace {

// A binary property list put together object by object, with one-byte
// references and offsets of eight bytes.
QByteArray binaryPlist(const std::vector<QByteArray>& objects)
{
    QByteArray out("bplist00");
    std::vector<std::uint64_t> offsets;
    for (const QByteArray& o : objects) {
        offsets.push_back(static_cast<std::uint64_t>(out.size()));
        out += o;
    }
    const auto table = static_cast<std::uint64_t>(out.size());
    auto be64 = [&](std::uint64_t v) {
        for (int i = 7; i >= 0; --i)
            out.append(static_cast<char>(v >> (8 * i)));
    };
    for (std::uint64_t off : offsets)
        be64(off);
    out.append(QByteArray(6, '\0'));
    out.append(char(8));  // offset size
    out.append(char(1));  // reference size
    be64(objects.size());
    be64(0);  // top object
    be64(table);
    return out;
}

QByteArray ascii(const char* s)
{
    const auto n = static_cast<int>(std::strlen(s));
    QByteArray o;
    o.append(static_cast<char>(0x5F));
    o.append(static_cast<char>(0x10));
    o.append(static_cast<char>(n));
    return o + QByteArray(s);
}

QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray o;
    for (int b : v)
        o.append(static_cast<char>(b));
    return o;
}

}  // namespace

TEST(PatternFileRead, HandBuiltBinaryListOpens)
{
    // dict {size: (2, 1), data: ((7), (0))} with the integer 2 shared.
    const QByteArray bin = binaryPlist({
        bytes({0xD2, 1, 2, 3, 4}),  // 0: dictionary of two
        ascii("bitMapPixelSize"),  // 1
        ascii("bitMapPixelData"),  // 2
        bytes({0xA2, 5, 6}),       // 3: (2, 1)
        bytes({0xA2, 7, 8}),       // 4: two columns
        bytes({0x10, 2}),          // 5
        bytes({0x10, 1}),          // 6
        bytes({0xA1, 9}),          // 7: (7)
        bytes({0xA1, 10}),         // 8: (0)
        bytes({0x10, 7}),          // 9
        bytes({0x11, 0, 0}),       // 10: 0 as a two-byte integer
    });
    const BoardLoad load = PatternFile::parse(bin.constData(), static_cast<std::size_t>(bin.size()), "b.golpattern", kFrame);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_EQ(load.board->pixelsWide(), 2);
    EXPECT_EQ(load.board->pixelsHigh(), 1);
    EXPECT_EQ(load.board->getPixel(0, 0), 7);
    EXPECT_EQ(load.board->getPixel(1, 0), 0);
}

TEST(PatternFileRead, TinyFileCannotAskForUnboundedMemory)
{
    // A file of about a hundred bytes whose data array claims 2^60 columns,
    // and one whose size is the largest board with only one column given:
    // both refused, before any board is made.
    const QByteArray claims = binaryPlist({
        bytes({0xD2, 1, 2, 3, 4}),
        ascii("bitMapPixelSize"),
        ascii("bitMapPixelData"),
        bytes({0xA2, 5, 5}),
        bytes({0xAF, 0x13, 0x10, 0, 0, 0, 0, 0, 0, 0, 6, 6, 6}),
        bytes({0x10, 4}),
        bytes({0xA0}),
    });
    const BoardLoad a = PatternFile::parse(claims.constData(), static_cast<std::size_t>(claims.size()), "a.golpattern", kFrame);
    EXPECT_FALSE(a.board);
    EXPECT_NE(a.error.find("does not hold 4 columns"), std::string::npos) << a.error;

    const QByteArray largest = binaryPlist({
        bytes({0xD2, 1, 2, 3, 4}),
        ascii("bitMapPixelSize"),
        ascii("bitMapPixelData"),
        bytes({0xA2, 5, 5}),
        bytes({0xA1, 6}),
        bytes({0x11, 0x40, 0x00}),  // 16384
        bytes({0xA0}),
    });
    const BoardLoad b = PatternFile::parse(largest.constData(), static_cast<std::size_t>(largest.size()), "b.golpattern", kFrame);
    EXPECT_FALSE(b.board);
    EXPECT_NE(b.error.find("does not hold 16384 columns"), std::string::npos) << b.error;

    // Cycles and references beyond the object table are refused, not followed.
    const QByteArray cycle = binaryPlist({
        bytes({0xD2, 1, 2, 3, 3}),
        ascii("bitMapPixelSize"),
        ascii("bitMapPixelData"),
        bytes({0xA2, 3, 9}),
    });
    const BoardLoad c = PatternFile::parse(cycle.constData(), static_cast<std::size_t>(cycle.size()), "c.golpattern", kFrame);
    EXPECT_FALSE(c.board);
    EXPECT_NE(c.error.find("is not a list of two integers"), std::string::npos) << c.error;
}
