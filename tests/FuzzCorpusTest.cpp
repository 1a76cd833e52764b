// Every file of the fuzzers' seed corpora, run through the readers as a
// regression test, each with the outcome it must have: opens as W by H with
// these cells, or is refused with this message. A seed without an entry here
// fails the test. The readers' own tests leave out the refusals checked here.
// Each refusal is read again in a German session, where no English is left
// of what the person reads.

#include "ImageFile.h"
#include "MessageTranslation.h"
#include "PatternInterchange.h"
#include "PatternReader.h"
#include "PatternFile.h"
#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <vector>

namespace {

struct Outcome {
    int width = 0, height = 0;  // 0 wide: refused
    std::vector<int> cells;     // column by column, as a pattern file holds them
    int tolerance = 0;          // for the lossy JPEGs
    std::string reason;         // when refused: the message after the file's name
    std::int64_t live = -1;     // boards too large to list: their live cells
};

Outcome opens(int width, int height, std::vector<int> cells, int tolerance = 0)
{
    return {width, height, std::move(cells), tolerance, {}};
}

// A pattern placed on the 100 by 100 board shown, or its own plane.
Outcome placed(int width, int height, std::int64_t live) { return {width, height, {}, 0, {}, live}; }

// Refused with this message after the file's name.
Outcome refused(const std::string& message) { return {0, 0, {}, 0, " cannot be opened" + message}; }

// Columns of `high` cells, each of one value.
std::vector<int> columns(std::initializer_list<int> values, int high)
{
    std::vector<int> cells;
    for (int value : values)
        cells.insert(cells.end(), std::size_t(high), value);
    return cells;
}

const std::string kPattern = " as a pattern: ", kNotXml = kPattern + "it is not a well-formed XML property list (line ";
const std::string kImage = " as an image: ", kRle = " as an RLE pattern: ", kRule = ". This pattern uses the rule ";
const std::string kMc = " as a macrocell pattern: ";

const std::map<std::string, Outcome> kOutcomes = {
    // Pattern files, XML
    {"bare_dict_utf16.xml", opens(1, 2, {0, 7})},
    {"xml_variants.xml", opens(2, 2, {12, 2, 255, 31})},
    {"valid_3x3.xml", opens(3, 3, {0, 255, 7, 255, 0, 128, 1, 2, 3})},
    {"size_only.xml", opens(4, 3, columns({0, 0, 0, 0}, 3))},
    {"bom_negative.xml", refused(kPattern + "the cell at (1, 0) holds -1, outside 0 to 255.")},
    {"value_256.xml", refused(kPattern + "the cell at (0, 1) holds 256, outside 0 to 255.")},
    {"size_zero.xml", refused(kPattern + "its size 0 \u00d7 0 has no cells.")},
    {"size_one_integer.xml", refused(kPattern + "\u201cbitMapPixelSize\u201d is not a list of two integers.")},
    {"size_too_large.xml", refused(kPattern + "its size 16385 \u00d7 16384 is larger than the largest board "
                                                  "(268435456 cells).")},
    {"missing_column.xml", refused(kPattern + "\u201cbitMapPixelData\u201d does not hold 4 columns.")},
    {"columns_before_board.xml", refused(kPattern + "\u201cbitMapPixelData\u201d does not hold 16384 columns.")},
    {"short_column.xml", refused(kPattern + "column 2 does not hold 3 cells.")},
    {"string_cell.xml", refused(kPattern + "the cell at (3, 1) is not an integer.")},
    {"doctype_element.xml", refused(kPattern + "it declares a document type of its own, which a property list does not.")},
    {"entity_no_doctype.xml", refused(kNotXml + "3: Entity 'x' not declared).")},
    {"root_array.xml", refused(kPattern + "its root is not a dictionary.")},
    {"duplicate_key.xml", refused(kPattern + "it holds \u201cbitMapPixelSize\u201d more than once.")},
    {"deep.xml", refused(kPattern + "its property list is nested too deeply.")},
    {"nested_64.xml", opens(1, 1, {0})},  // as deep as elements may nest
    {"nested_65.xml", refused(kPattern + "its property list is nested too deeply.")},
    {"entities.xml", refused(kPattern + "it declares a document type of its own, which a property list does not.")},
    {"undefined_entity.xml", refused(kPattern + "it refers to the entity \u201cx\u201d, which is not defined.")},
    {"markup_flood.xml", refused(kNotXml + "2: Expected '-', '[CDATA[', or 'DOCTYPE', but got '[a-zA-Z]').")},
    {"junk_after_root.xml", refused(kNotXml + "3: Extra content at end of document).")},
    {"no_end.xml", refused(kNotXml + "3: Premature end of document).")},
    {"truncated.xml", refused(kNotXml + "3: Premature end of document).")},
    {"not_a_plist.txt", refused(kNotXml + "1: Start tag expected).")},
    // Pattern files, binary
    {"valid_3x3.bplist", opens(3, 3, {0, 255, 7, 255, 0, 128, 1, 2, 3})},
    {"extras.bplist", opens(2, 2, {0, 1, 2, 3})},
    {"shared_columns.bplist", opens(5, 2, {0, 255, 0, 255, 0, 255, 0, 255, 0, 255})},
    {"size_only.bplist", opens(4, 3, columns({0, 0, 0, 0}, 3))},
    {"duplicate_key.bplist", refused(kPattern + "it holds \u201cbitMapPixelSize\u201d more than once.")},
    {"short_column.bplist", refused(kPattern + "column 1 does not hold 3 cells.")},
    {"truncated.bplist", refused(kPattern + "it is not a valid binary property list.")},
    // Images: 8- and 16-bit gray, a palette, colour and transparency (on white: red, green half transparent,
    // black wholly transparent, white), JPEGs in gray and in colour
    {"gray_4x3.png", opens(4, 3, columns({0, 85, 170, 255}, 3))},
    {"gray16_2x1.png", opens(2, 1, {0, 128})},
    {"palette_2x1.png", opens(2, 1, {0, 255})},
    {"rgba_2x2.png", opens(2, 2, {76, 202, 255, 255})},
    {"gray_8x4.jpg", opens(8, 4, columns({2, 29, 66, 98, 126, 158, 195, 222}, 4), 3)},
    {"colour_8x8.jpg", opens(8, 8, {15, 31, 54, 73, 89, 108, 131, 148, 22, 39, 62, 81, 97, 116, 138, 155,
                               33, 50, 73, 92, 107, 126, 149, 166, 43, 60, 83, 102, 117, 136, 159, 176,
                               52, 69, 92, 111, 126, 145, 168, 185, 62, 79, 102, 121, 136, 155, 178, 195,
                               73, 90, 112, 131, 147, 166, 189, 206, 80, 97, 120, 139, 155, 174, 197, 213}, 3)},
    {"huge_header.png", refused(kImage + "its size of 20000 \u00d7 20000 pixels does not fit a board (at most "
                                         "268435456 cells).")},
    {"not_an_image.txt", refused(kImage + "it is not a PNG or JPEG image.")},
    {"truncated.png", refused(kImage + "it cannot be decoded (Unable to read image data).")},
    // RLE and plaintext patterns
    {"bounded_plane.rle", placed(20, 10, 5)}, {"empty.rle", placed(100, 100, 0)}, {"glider.cells", placed(100, 100, 5)},
    {"glider.rle", placed(100, 100, 5)}, {"gosper_gun.rle", placed(100, 100, 36)},
    {"old_rule.rle", placed(100, 100, 5)}, {"ragged.cells", placed(100, 100, 4)}, {"torus.rle", placed(10, 10, 5)},
    {"wrapped_no_end.rle", placed(100, 100, 36)}, {"highlife.rle", placed(100, 100, 5)},
    {"bad_cell.cells", refused(" as a plaintext pattern: on line 3, \u201cx\u201d is not a cell (\u201c.\u201d dead, "
                              "\u201cO\u201d or \u201c*\u201d live).")},
    {"huge_count.rle", refused(kRle + "on line 2, the count 1000000000000000000 is larger than the largest board "
                                      "(268435456 cells).")},
    {"huge_header.rle", refused(kRle + "on line 1, its size of 2147483648 \u00d7 2147483648 cells is larger than the "
                                       "largest board (268435456 cells).")},
    {"multistate_cell.rle", refused(kRle + "on line 2, \u201cC\u201d marks a cell state other than live or dead.")},
    {"no_header.rle", refused(kRle + "line 2 is not the header \u201cx = \u2026, y = \u2026\u201d.")},
    {"not_a_pattern.txt", refused(kPattern + "it is not a pattern Game of Life knows (RLE, plaintext, Life 1.05 or "
                                             "1.06, macrocell, or its own).")},
    {"outside_plane.rle", refused(kRle + "on line 2, a live cell lies outside its bounded plane of 2 \u00d7 2 cells.")},
    {"three_states.rle", refused(kRule + "23/3/3, which is not a Life-like rule: it has 3 cell states (a Generations "
                                         "rule), not two.")},
    {"shifted_torus.rle", refused(kRule + "B3/S23:T30+7,20, on a torus with a shift; Game of Life runs Life-like rules "
                                          "on a bounded plane or a torus only.")},
    // Life 1.05 and 1.06, macrocell
    {"glider_105.lif", placed(100, 100, 5)}, {"glider_106.lif", placed(100, 100, 5)},
    {"highlife.lif", placed(100, 100, 1)}, {"glider.mc", placed(100, 100, 5)},
    {"far_apart.lif", refused(" as a Life 1.06 pattern: the pattern of 1099511627777 \u00d7 1099511627777 cells is "
                              "larger than the largest board (268435456 cells).")},
    {"three_numbers.lif", refused(" as a Life 1.06 pattern: on line 2, \u201c0 0 0\u201d is not a cell\u2019s x and y.")},
    {"block_without_y.lif", refused(" as a Life 1.05 pattern: on line 2, \u201c#P\u201d does not give a "
                                    "block\u2019s x and y.")},
    {"bad_leaf.mc", refused(kMc + "on line 2, the leaf is not 8 rows of 8 cells (\u201c.\u201d dead, \u201c*\u201d "
                                  "live, \u201c$\u201d ending a row).")},
    {"forward.mc", refused(kMc + "on line 2, node 2 is referred to before it is given.")},
    {"wrong_level.mc", refused(kMc + "on line 4, a node of level 4 holds one of level 4.")},
    {"three_states.mc", refused(kMc + "it holds cells of more than two states (a node of level 1); Game of Life runs "
                                      "live and dead cells only.")},
    {"too_deep.mc", refused(kMc + "on line 3, the node\u2019s level 65 is beyond 63.")},
    {"far_corners.mc", refused(kMc + "the pattern of 9223372036854775808 \u00d7 9223372036854775808 cells is larger "
                                     "than the largest board (268435456 cells).")},
    // gzip, known by its content
    {"glider.rle.gz", placed(100, 100, 5)}, {"glider.mc.gz", placed(100, 100, 5)},
    {"two_members.cells.gz", placed(100, 100, 5)},
    {"cut_short.rle.gz", refused(kPattern + "it is not a whole gzip file (it ends early).")},
};

}  // namespace

TEST(FuzzCorpus, EverySeedHasItsOutcomeAndEveryRefusalReadsInGerman)
{
    int argc = 1;
    char program[] = "files_tests", *argv[] = {program, nullptr};
    QCoreApplication application(argc, argv);
    // In German, nothing is left in English but the file's name, numbers, quotes and names.
    const QRegularExpression kept(QStringLiteral("\u201c[^\u201d]*\u201d|'[^']*'|Game of Life|Larger than Life"));
    const QRegularExpression english(QStringLiteral("\\b(the|an?|is|not|of|its?|on|line|cells?|than|does|be|"
                                                    "cannot|opened|pattern|board|holds?|more|file|node|level)\\b"));
    std::size_t seen = 0;
    for (const bool german : {false, true})
        for (const std::string kind : {"pattern", "image", "interchange", "life", "macrocell", "gzip"}) {
            ASSERT_TRUE(!german || kind != "pattern" || Translations::install(application, QLocale(QLocale::German)));
            const QDir folder(QStringLiteral(GOL_FUZZ_CORPUS "/") + QString::fromStdString(kind));
            for (const QString& file : folder.entryList(QDir::Files)) {
                const std::string name = file.toStdString();
                SCOPED_TRACE(name);
                const auto expected = kOutcomes.find(name);
                ASSERT_NE(expected, kOutcomes.end()) << "no outcome for this seed";
                ++seen;
                const Outcome& outcome = expected->second;
                const std::string path = folder.filePath(file).toStdString();
                const BoardLoad load = kind == "image"     ? ImageFile::read(path)
                                       : kind == "pattern" ? PatternFile::read(path, {100, 100})
                                                           : PatternReader::read(path, PatternTarget::shown(100, 100));
                if (outcome.width == 0) {
                    EXPECT_FALSE(load.board);
                    EXPECT_TRUE(german || load.error == "\u201c" + name + "\u201d" + outcome.reason) << load.error;
                    EXPECT_FALSE(german && MessageTranslation::translated(load.error).remove(kept).contains(english));
                    continue;
                }
                ASSERT_TRUE(load.board) << load.error;
                ASSERT_EQ(load.board->pixelsWide(), outcome.width);
                ASSERT_EQ(load.board->pixelsHigh(), outcome.height);
                if (outcome.live >= 0) {
                    EXPECT_EQ(load.board->liveCells(), outcome.live);
                    continue;
                }
                for (int x = 0; x < outcome.width; ++x)
                    for (int y = 0; y < outcome.height; ++y)
                        EXPECT_LE(std::abs(load.board->getPixel(x, y) -
                                           outcome.cells[std::size_t(x * outcome.height + y)]),
                                  outcome.tolerance)
                            << "cell " << x << ", " << y;
            }
        }
    EXPECT_EQ(seen, 2 * kOutcomes.size()) << "an outcome without its seed";
}
