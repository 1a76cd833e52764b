#include "Boards.h"
#include "FileHelpers.h"
#include "PatternFile.h"
#include "RuleName.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <optional>
#include <tuple>

namespace {

constexpr LogicalSize kFrame{480, 360};

// What Python's plistlib prints running `script` (after `import plistlib, sys`) on these arguments, or its error.
std::string plistlib(const char* script, const QStringList& arguments)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 QStringList{QStringLiteral("-c"), QStringLiteral("import plistlib, sys\n") + QLatin1String(script)} +
                     arguments);
    python.waitForFinished(60000);  // a failure shows as the error it printed
    return (python.readAllStandardOutput() + python.readAllStandardError()).trimmed().toStdString();
}

std::string plist(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + body + "\n</plist>\n";
}

}  // namespace

// Written over a larger file, which must leave nothing of it behind.
TEST(PatternFileWrite, EveryValueRoundTripsAndPlistlibReadsTheColumns)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.golpattern");
    ASSERT_TRUE(files::writeAll(path, QByteArray(100000, 'x')));
    auto board = CellBitmap::create(32, 8);  // every value 0..255 once, counting down the columns
    for (int i = 0; i < 256; ++i)
        board->setPixel(i / 8, i % 8, static_cast<std::uint8_t>(i));
    ASSERT_EQ(PatternFile::write(board.get(), path.toStdString()), "");
    const BoardLoad load = PatternFile::read(path.toStdString(), kFrame);
    ASSERT_TRUE(load.board) << load.error;
    EXPECT_TRUE(load.board->sameCells(*board));
    EXPECT_EQ(load.board->size(), kFrame);
    // Its keys, its size and its columns, as plistlib reads them.
    EXPECT_EQ(plistlib("d = plistlib.load(open(sys.argv[1], 'rb'))\nprint(list(d), d['bitMapPixelSize'], "
                       "d['bitMapPixelData'] == [list(range(8 * x, 8 * x + 8)) for x in range(32)])",
                       {path}),
              "['bitMapPixelSize', 'bitMapPixelData'] [32, 8] True");
    // The file exactly as written is read apart from the XML reader: with a
    // byte out of place it goes to the XML reader, to the same effect.
    const std::string written = PatternFile::toXml(board.get());
    for (const auto& [from, to, reason] : {std::tuple{"\t\t\t<integer>1</integer>", "\t\t\t <integer>1</integer>", ""},
                                          {"<integer>1</integer>", "<integer>256</integer>", "holds 256, outside 0 to 255"}}) {
        std::string changed = written;
        changed.replace(changed.find(from), std::string(from).size(), to);
        const BoardLoad again = PatternFile::parse(changed.data(), changed.size(), "p.golpattern", kFrame);
        EXPECT_EQ(again.board && again.board->sameCells(*board), *reason == 0) << again.error;
        EXPECT_NE(again.error.find(reason), std::string::npos) << again.error;
    }
}

// The rule is written only when it is not B3/S23 on the bounded plane (a Life
// board's file is what it always was), and comes back from the text exactly
// as written, through the XML reader and from the binary form alike. The text
// is exactly what libplist writes for the dictionary it reads from it.
TEST(PatternFileWrite, TheRuleAndItsWorldRoundTripAndLifeFilesStayAsTheyWere)
{
    auto board = boards::seeded(5, 4, 3);
    for (const std::string name : {"B3/S23:P5,4", "B36/S23:T5,4", "B0/S8:P5,4", "B3/S23:T5,4"}) {
        SCOPED_TRACE(name);
        const LifeLikeRule rule = RuleName::read(name).rule;
        const std::string xml = PatternFile::toXml(board.get(), rule);
        EXPECT_EQ(xml.find("<key>rule</key>") == std::string::npos, rule == LifeLikeRule::life());
        plist_t root = nullptr;
        char *rewritten = nullptr, *bin = nullptr;
        uint32_t length = 0;
        plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
        plist_to_xml(root, &rewritten, &length);
        EXPECT_EQ(std::string(rewritten, length), xml);
        plist_to_xml_free(rewritten);
        plist_to_bin(root, &bin, &length);
        const std::string binary(bin, length);
        plist_to_bin_free(bin), plist_free(root);
        QByteArray spaced = QByteArray::fromStdString(xml);  // not as written: for the XML reader
        spaced.replace("<dict>", "<dict> ");
        for (const std::string& text : {xml, spaced.toStdString(), binary}) {
            const BoardLoad load = PatternFile::parse(text.data(), text.size(), "p.golpattern", kFrame);
            ASSERT_TRUE(load.board) << load.error;
            EXPECT_TRUE(load.board->sameCells(*board));
            EXPECT_EQ(load.rule, rule);
        }
    }
    const std::string klein = plist("<dict><key>rule</key><string>B3/S23:K1,1</string></dict>");
    EXPECT_EQ(PatternFile::parse(klein.data(), klein.size(), "k.golpattern", kFrame).error,
              "\u201ck.golpattern\u201d cannot be opened. This pattern uses the rule B3/S23:K1,1, on a Klein bottle; "
              "Game of Life runs Life-like rules on a bounded plane or a torus only.");
}

TEST(PatternFileRead, FilesWrittenByPlistlibOpen)
{
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

// Each text as the one cell of a 1 by 1 pattern, read here and by Python's
// plistlib: the same value, or "out" of 0 to 255, or "not" an integer.
TEST(PatternFileRead, IntegersReadAsPlistlibReadsThem)
{
    const std::vector<std::string> texts = {
        "7", " 7\n", "+7", "-0", "007", "1_0", "1__0", "_1", "1_", "0x1F", "0X1f", "0x_1f", "0x__1", " 0x10",
        "-0x10", "0x", "", " ", "7 8", "1e2", "12.0", "0b1", "&#50;", "<![CDATA[12]]>", "1<!-- c -->2",
        "1<!-- c --> 2", "\u0663\u0661", "\u00a012\u2003", "\U0001D7D3", "\u00b2", "256", "-1",
        "99999999999999999999", "0x" + std::string(20, 'f'), std::string(4299, '0') + "9", std::string(4301, '0'),
        "\x7f" "1"};
    QTemporaryDir dir;
    QStringList paths;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        paths << dir.filePath(QString::number(i) + ".golpattern");
        ASSERT_TRUE(files::writeAll(paths.back(), QByteArray::fromStdString(plist(
            "<dict><key>bitMapPixelSize</key><array><integer>1</integer><integer>1</integer></array>"
            "<key>bitMapPixelData</key><array><array><integer>" + texts[i] + "</integer></array></array></dict>"))));
    }
    const QStringList expected = QString::fromStdString(plistlib(
        "for path in sys.argv[1:]:\n"
        "    try:\n"
        "        v = plistlib.load(open(path, 'rb'))['bitMapPixelData'][0][0]\n"
        "        print(v if type(v) is int and 0 <= v <= 255 else 'out' if type(v) is int else 'not')\n"
        "    except Exception:\n"
        "        print('not')\n", paths)).split('\n');
    ASSERT_EQ(expected.size(), paths.size()) << expected.join('\n').toStdString();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const BoardLoad load = PatternFile::read(paths[i].toStdString(), kFrame);
        const std::string got = load.board ? std::to_string(load.board->getPixel(0, 0))
                                : load.error.find("outside 0 to 255") != std::string::npos ? "out"
                                : load.error.find("is not an integer") != std::string::npos ? "not"
                                                                                            : load.error;
        EXPECT_EQ(got, expected[i].toStdString()) << "<integer>" << texts[std::size_t(i)] << "</integer>";
    }
}
