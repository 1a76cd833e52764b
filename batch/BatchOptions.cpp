#include "BatchOptions.h"
#include "MessageTranslation.h"

#include "PatternFile.h"
#include "PatternInterchange.h"
#include "PatternTypes.h"
#include "RuleName.h"

#include <QCoreApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct Option {
    QCommandLineOption generations{{QStringLiteral("n"), QStringLiteral("generations")},
                                   BatchOptions::tr("Generations to run (default 100)."), QStringLiteral("N")};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              BatchOptions::tr("Write the final board as a pattern file (.golpattern), an RLE, "
                                               "plaintext or Life 1.06 pattern (.rle, .rle.gz, .cells, .lif) or a PNG "
                                               "(.png)."),
                              QStringLiteral("FILE")};
    QCommandLineOption gif{QStringLiteral("gif"), BatchOptions::tr("Record the run as an animated GIF."),
                           QStringLiteral("FILE")};
    QCommandLineOption random{QStringLiteral("random"),
                              BatchOptions::tr("Instead of INPUT: a random board of W by H cells."),
                              QStringLiteral("WxH")};
    QCommandLineOption seed{QStringLiteral("seed"),
                            BatchOptions::tr("With --random: a repeatable board from this seed."), QStringLiteral("N")};
    QCommandLineOption density{QStringLiteral("density"),
                               BatchOptions::tr("With --random: this percentage of the cells live (0 to 100)."),
                               QStringLiteral("PERCENT")};
    QCommandLineOption gliderGun{QStringLiteral("glider-gun"),
                                 BatchOptions::tr("Instead of INPUT: the glider gun preset for a view of W by H points."),
                                 QStringLiteral("WxH")};
    QCommandLineOption board{QStringLiteral("board"),
                             BatchOptions::tr("With an INPUT of another Life program: centre the pattern on a board "
                                              "of W by H cells (by default the pattern's own plane, or room around "
                                              "it)."),
                             QStringLiteral("WxH")};
    QCommandLineOption scale{QStringLiteral("scale"),
                             BatchOptions::tr("Draw each cell as N by N pixels in the PNG and the GIF (default 1)."),
                             QStringLiteral("N")};
    QCommandLineOption rule{QStringLiteral("rule"),
                            BatchOptions::tr("Run under this Life-like rule, such as B36/S23 (by default the "
                                             "INPUT's rule, or B3/S23)."),
                            QStringLiteral("RULE")};
    QCommandLineOption torus{QStringLiteral("torus"),
                             BatchOptions::tr("Run on a torus: the left edge touches the right, the top the bottom.")};
    QCommandLineOption untilSettled{
        QStringLiteral("until-settled"),
        BatchOptions::tr("Stop before the count once the board is empty, still, or repeats with a period of up to "
                         "1000 generations, and say so.")};
    QCommandLineOption quiet{{QStringLiteral("q"), QStringLiteral("quiet")},
                             BatchOptions::tr("Print nothing on success.")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, BatchOptions::tr("Show this help.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")}, BatchOptions::tr("Show the version.")};
};

void describe(QCommandLineParser& parser, const Option& o)
{
    parser.setApplicationDescription(
        BatchOptions::tr("Runs Conway's Game of Life, or another Life-like rule, on a board without a window, with "
                         "the engine and the files of Game of Life."));
    parser.addOptions({o.generations, o.rule, o.torus, o.output, o.gif, o.scale, o.random, o.seed, o.density,
                       o.gliderGun, o.board, o.untilSettled, o.quiet, o.help, o.version});
    parser.addPositionalArgument(QStringLiteral("INPUT"),
                                 BatchOptions::tr("A pattern file (.golpattern), a pattern of another Life program "
                                                  "(.rle, .cells, .lif, .life, .mc, .rle.gz, .mc.gz) or an image (.png, "
                                                  ".jpg, .jpeg). Pattern files may be gzip-compressed."));
}

// More pixels a cell than this make pictures of even a small board too large to share.
constexpr int kMaxScale = 64;

bool readSize(const QString& text, std::int64_t& width, std::int64_t& height)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,9})[xX](\\d{1,9})$"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return false;
    width = match.captured(1).toLongLong();
    height = match.captured(2).toLongLong();
    return true;
}

bool hasSuffix(const QString& path, std::initializer_list<const char*> suffixes)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const char* s : suffixes) {
        if (suffix.compare(QLatin1String(s), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace

QString BatchOptions::usage()
{
    QCommandLineParser parser;
    Option o;
    describe(parser, o);
    QString text = parser.helpText();
    const QString options = QCoreApplication::translate("QCommandLineParser", "[options]");  // as Qt's help says it
    text.replace(options + QStringLiteral(" INPUT"),
                 options + QStringLiteral(" INPUT | --random WxH | --glider-gun WxH"));
    return text;
}

BatchOptions::Parsed BatchOptions::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    Option o;
    describe(parser, o);
    Parsed result;
    auto fail = [&result](const QString& message) {
        result.action = Parsed::Action::Error;
        result.error = message;
        return result;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(o.help)) {
        result.action = Parsed::Action::Help;
        return result;
    }
    if (parser.isSet(o.version)) {
        result.action = Parsed::Action::Version;
        return result;
    }

    BatchOptions& options = result.options;
    const QStringList inputs = parser.positionalArguments();
    const int sources = int(inputs.size()) + int(parser.isSet(o.random)) + int(parser.isSet(o.gliderGun));
    if (sources != 1)
        return fail(tr("Give one INPUT file, or --random WxH, or --glider-gun WxH."));
    if (parser.isSet(o.random)) {
        options.source = Source::Random;
        if (!readSize(parser.value(o.random), options.width, options.height) ||
            !CellBitmap::sizeFits(options.width, options.height))
            return fail(tr("--random takes a size in cells such as 120x90, from 1x1 up to 16384x16384."));
    } else if (parser.isSet(o.gliderGun)) {
        options.source = Source::GliderGun;
        if (!readSize(parser.value(o.gliderGun), options.width, options.height) ||
            !CellBitmap::sizeFits(CellBitmap::cellsForPoints(double(std::max<std::int64_t>(options.width, 200))),
                                  CellBitmap::cellsForPoints(double(std::max<std::int64_t>(options.height, 120)))))
            return fail(tr("--glider-gun takes a view size in points such as 480x360, up to 65536x65536."));
    } else {
        options.input = inputs.front();
        if (!PatternTypes::ofPath(options.input.toStdString()) && !hasSuffix(options.input, {"png", "jpg", "jpeg"}))
            return fail(tr("INPUT must be a pattern file (.golpattern, .rle, .cells, .lif, .life, .mc, "
                           ".rle.gz, .mc.gz) or an image (.png, .jpg, .jpeg)."));
    }
    if (parser.isSet(o.board)) {
        if (PatternInterchange::formatOf(options.input.toStdString()) == PatternInterchange::Format::None)
            return fail(tr("--board goes with an INPUT of another Life program (.rle, .cells, .lif, "
                           ".life, .mc)."));
        if (!readSize(parser.value(o.board), options.boardWidth, options.boardHeight) ||
            !CellBitmap::sizeFits(options.boardWidth, options.boardHeight))
            return fail(tr("--board takes a size in cells such as 120x90, from 1x1 up to 16384x16384."));
    }
    if (parser.isSet(o.seed)) {
        if (options.source != Source::Random)
            return fail(tr("--seed goes with --random."));
        bool ok = false;
        options.seed = parser.value(o.seed).toULongLong(&ok);
        if (!ok)
            return fail(tr("--seed takes a whole number."));
    }
    if (parser.isSet(o.density)) {
        bool ok = false;
        options.density = parser.value(o.density).toInt(&ok);
        if (options.source != Source::Random || !ok || *options.density < 0 || *options.density > 100)
            return fail(tr("--density goes with --random and takes a percentage from 0 to 100."));
    }
    if (parser.isSet(o.generations)) {
        bool ok = false;
        const int n = parser.value(o.generations).toInt(&ok);
        if (!ok || n < 0)
            return fail(tr("--generations takes a whole number from 0 to 2147483647."));
        options.generations = n;
    }
    if (parser.isSet(o.output)) {
        options.output = parser.value(o.output);
        const PatternType* type = PatternTypes::ofPath(options.output.toStdString());
        if (!(type && (type->exported || type->format == PatternType::Format::Golpattern)) &&
            !hasSuffix(options.output, {"png"}))
            return fail(tr("--output must name a pattern file (.golpattern, .rle, .rle.gz, .cells, "
                           ".lif) or a PNG (.png)."));
    }
    if (parser.isSet(o.gif))
        options.gif = parser.value(o.gif);
    options.untilSettled = parser.isSet(o.untilSettled);
    if (parser.isSet(o.scale)) {
        bool ok = false;
        options.scale = parser.value(o.scale).toInt(&ok);
        if (!ok || options.scale < 1 || options.scale > kMaxScale)
            return fail(tr("--scale takes a whole number of pixels from 1 to %1.").arg(kMaxScale));
        if (options.gif.isEmpty() && !hasSuffix(options.output, {"png"}))
            return fail(tr("--scale goes with a PNG output or --gif."));
    }
    if (parser.isSet(o.rule)) {
        const RuleName name = RuleName::read(parser.value(o.rule).toStdString());
        if (!name.accepted() || parser.value(o.rule).trimmed().isEmpty())
            return fail(tr("--rule takes a Life-like rule such as B36/S23, on a bounded plane (:P) or a "
                           "torus (:T). ") +
                        MessageTranslation::translated(name.refusal));
        options.rule = name.rule;
    }
    options.torus = parser.isSet(o.torus) || (options.rule && options.rule->world == World::Torus);
    options.quiet = parser.isSet(o.quiet);
    result.action = Parsed::Action::Run;
    return result;
}
