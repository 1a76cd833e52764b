#include "MessageTranslation.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

// The texts, with "%1", "%2" … where a message fills in a file's name, a
// number or a further part (itself looked up here). More particular texts
// come before the general ones they would also match.
constexpr const char* kTexts[] = {
    // How a file's message begins.
    QT_TRANSLATE_NOOP("Message", "%1 cannot be opened as a pattern: %2."),
    QT_TRANSLATE_NOOP("Message", "%1 cannot be opened as a Life pattern: %2."),
    QT_TRANSLATE_NOOP("Message", "%1 cannot be opened as a Life 1.05 pattern: %2."),
    QT_TRANSLATE_NOOP("Message", "%1 cannot be opened as a Life 1.06 pattern: %2."),
    QT_TRANSLATE_NOOP("Message", "%1 cannot be opened as a macrocell pattern: %2."),
    QT_TRANSLATE_NOOP("Message", "%1 cannot be opened as a plaintext pattern: %2."),
    QT_TRANSLATE_NOOP("Message", "%1 cannot be opened as an RLE pattern: %2."),
    QT_TRANSLATE_NOOP("Message", "%1 cannot be opened as an image: %2."),
    QT_TRANSLATE_NOOP("Message", "%1 cannot be opened. %2"),
    QT_TRANSLATE_NOOP("Message", "%1 could not be saved: %2."),
    QT_TRANSLATE_NOOP("Message", "1 gray cell was written to %1 as dead cells."),
    QT_TRANSLATE_NOOP("Message", "%1 gray cells were written to %2 as dead cells."),
    // Why a file cannot be read.
    QT_TRANSLATE_NOOP("Message", "it is a folder"),
    QT_TRANSLATE_NOOP("Message", "it is not a regular file"),
    QT_TRANSLATE_NOOP("Message", "it is empty"),
    QT_TRANSLATE_NOOP("Message", "it cannot be read"),
    QT_TRANSLATE_NOOP("Message", "the file is empty"),
    QT_TRANSLATE_NOOP("Message", "the file cannot be read (%1)"),
    QT_TRANSLATE_NOOP("Message", "the file cannot be read again (%1)"),
    QT_TRANSLATE_NOOP("Message", "the file is too large (%1 bytes)"),
    QT_TRANSLATE_NOOP("Message", "the reading was cancelled"),
    QT_TRANSLATE_NOOP("Message", "it changed while it was read"),
    QT_TRANSLATE_NOOP("Message", "there is not enough memory to read it"),
    QT_TRANSLATE_NOOP("Message", "there is not enough memory for its board"),
    QT_TRANSLATE_NOOP("Message", "there is not enough memory"),
    QT_TRANSLATE_NOOP("Message", "it is not a whole gzip file (it ends early)"),
    QT_TRANSLATE_NOOP("Message", "it is not a whole gzip file (%1)"),
    QT_TRANSLATE_NOOP("Message", "it is not a whole gzip file"),
    QT_TRANSLATE_NOOP("Message", "its data is damaged"),
    QT_TRANSLATE_NOOP("Message", "it inflates to more than %1 bytes, more than the largest board needs"),
    QT_TRANSLATE_NOOP("Message", "it is not a pattern Game of Life knows (RLE, plaintext, Life 1.05 or 1.06, "
                                 "macrocell, or its own)"),
    QT_TRANSLATE_NOOP("Message", "it is not a PNG or JPEG image"),
    QT_TRANSLATE_NOOP("Message", "it cannot be decoded (%1)"),
    QT_TRANSLATE_NOOP("Message", "its size does not fit a board"),
    QT_TRANSLATE_NOOP("Message", "its size of %1 \u00d7 %2 pixels does not fit a board (at most %3 cells)"),
    QT_TRANSLATE_NOOP("Message", "it is not a property list"),
    QT_TRANSLATE_NOOP("Message", "it is not a valid binary property list"),
    QT_TRANSLATE_NOOP("Message", "its root is not a dictionary"),
    QT_TRANSLATE_NOOP("Message", "its property list is nested too deeply"),
    QT_TRANSLATE_NOOP("Message", "it refers to the entity \u201c%1\u201d, which is not defined"),
    QT_TRANSLATE_NOOP("Message", "it is not a well-formed XML property list (line %1: %2)"),
    QT_TRANSLATE_NOOP("Message", "it declares a document type of its own, which a property list does not"),
    QT_TRANSLATE_NOOP("Message", "it has no \u201c" "bitMapPixelSize\u201d"),
    QT_TRANSLATE_NOOP("Message", "\u201c" "bitMapPixelSize\u201d is not a list of two integers"),
    QT_TRANSLATE_NOOP("Message", "it holds \u201crule\u201d more than once"),
    QT_TRANSLATE_NOOP("Message", "its \u201crule\u201d is not a string"),
    QT_TRANSLATE_NOOP("Message", "it holds \u201c%1\u201d more than once"),
    QT_TRANSLATE_NOOP("Message", "\u201c" "bitMapPixelData\u201d does not hold %1 columns"),
    QT_TRANSLATE_NOOP("Message", "column %1 does not hold %2 cells"),
    QT_TRANSLATE_NOOP("Message", "the cell at (%1, %2) is not an integer"),
    QT_TRANSLATE_NOOP("Message", "the cell at (%1, %2) holds %3, outside 0 to 255"),
    QT_TRANSLATE_NOOP("Message", "it does not begin with \u201c[M2]\u201d"),
    QT_TRANSLATE_NOOP("Message", "it does not begin with \u201c#Life 1.05\u201d or \u201c#Life 1.06\u201d"),
    QT_TRANSLATE_NOOP("Message", "it has no header \u201cx = \u2026, y = \u2026\u201d"),
    QT_TRANSLATE_NOOP("Message", "line %1 is not the header \u201cx = \u2026, y = \u2026\u201d"),
    QT_TRANSLATE_NOOP("Message", "on line %1, %2"),
    QT_TRANSLATE_NOOP("Message", "the header is not \u201cx = \u2026, y = \u2026\u201d"),
    QT_TRANSLATE_NOOP("Message", "the pattern grows larger than the largest board (%1 cells)"),
    QT_TRANSLATE_NOOP("Message", "the count %1 is larger than the largest board (%2 cells)"),
    QT_TRANSLATE_NOOP("Message", "its size of %1 \u00d7 %2 cells is larger than the largest board (%3 cells)"),
    QT_TRANSLATE_NOOP("Message", "its size %1 \u00d7 %2 has no cells"),
    QT_TRANSLATE_NOOP("Message", "its size %1 \u00d7 %2 is larger than the largest board (%3 cells)"),
    QT_TRANSLATE_NOOP("Message", "\u201c%1\u201d marks a cell state other than live or dead"),
    QT_TRANSLATE_NOOP("Message", "\u201c%1\u201d is not part of an RLE pattern"),
    QT_TRANSLATE_NOOP("Message", "the byte %1 is not part of an RLE pattern"),
    QT_TRANSLATE_NOOP("Message", "%1 is not a whole number"),
    QT_TRANSLATE_NOOP("Message", "its torus of %1 \u00d7 %2 cells is larger than the largest board (%3 cells)"),
    QT_TRANSLATE_NOOP("Message", "its bounded plane of %1 \u00d7 %2 cells is larger than the largest board (%3 cells)"),
    QT_TRANSLATE_NOOP("Message", "its plane of %1 \u00d7 %2 cells is larger than the largest board (%3 cells)"),
    QT_TRANSLATE_NOOP("Message", "the pattern of %1 \u00d7 %2 cells is larger than the largest board (%3 cells)"),
    QT_TRANSLATE_NOOP("Message", "\u201c%1\u201d is not a cell (\u201c.\u201d dead, \u201cO\u201d or \u201c*\u201d "
                                 "live)"),
    QT_TRANSLATE_NOOP("Message", "the byte %1 is not a cell (\u201c.\u201d dead, \u201cO\u201d or \u201c*\u201d live)"),
    QT_TRANSLATE_NOOP("Message", "\u201c#P\u201d does not give a block\u2019s x and y"),
    QT_TRANSLATE_NOOP("Message", "\u201c%1\u201d is not a cell\u2019s x and y"),
    QT_TRANSLATE_NOOP("Message", "\u201c%1\u201d is not a cell (\u201c.\u201d dead, \u201c*\u201d live)"),
    QT_TRANSLATE_NOOP("Message", "the leaf is not 8 rows of 8 cells (\u201c.\u201d dead, \u201c*\u201d live, "
                                 "\u201c$\u201d ending a row)"),
    QT_TRANSLATE_NOOP("Message", "a node is not its level and four earlier nodes"),
    QT_TRANSLATE_NOOP("Message", "it holds cells of more than two states (a node of level %1); Game of Life runs "
                                 "live and dead cells only"),
    QT_TRANSLATE_NOOP("Message", "the node\u2019s level %1 is beyond %2"),
    QT_TRANSLATE_NOOP("Message", "node %1 is referred to before it is given"),
    QT_TRANSLATE_NOOP("Message", "a node of level %1 holds one of level %2"),
    QT_TRANSLATE_NOOP("Message", "it has more nodes than a pattern on the largest board could need"),
    QT_TRANSLATE_NOOP("Message", "a live cell lies outside its torus of %1 \u00d7 %2 cells"),
    QT_TRANSLATE_NOOP("Message", "a live cell lies outside its bounded plane of %1 \u00d7 %2 cells"),
    QT_TRANSLATE_NOOP("Message", "a board of %1 \u00d7 %2 cells cannot be made"),
    QT_TRANSLATE_NOOP("Message", "the pattern of %1 \u00d7 %2 cells does not fit on a board of %3 \u00d7 %4 cells"),
    QT_TRANSLATE_NOOP("Message", "there is not enough memory for a board of %1 \u00d7 %2 cells"),
    // Rules.
    QT_TRANSLATE_NOOP("Message", "This pattern uses the rule %1, which is not a Life-like rule: %2."),
    QT_TRANSLATE_NOOP("Message", "This pattern uses the rule %1, on %2; Game of Life runs Life-like rules on a "
                                 "bounded plane or a torus only."),
    QT_TRANSLATE_NOOP("Message", "a Klein bottle"),
    QT_TRANSLATE_NOOP("Message", "a cross-surface"),
    QT_TRANSLATE_NOOP("Message", "a sphere"),
    QT_TRANSLATE_NOOP("Message", "a surface it does not know"),
    QT_TRANSLATE_NOOP("Message", "a torus with a shift"),
    QT_TRANSLATE_NOOP("Message", "a torus whose size it cannot read"),
    QT_TRANSLATE_NOOP("Message", "a torus with an unbounded side"),
    QT_TRANSLATE_NOOP("Message", "a bounded plane whose size it cannot read"),
    QT_TRANSLATE_NOOP("Message", "no rule is given"),
    QT_TRANSLATE_NOOP("Message", "it has %1 cell states (a Generations rule), not two"),
    QT_TRANSLATE_NOOP("Message", "it is a Larger than Life rule, with a range beyond the eight neighbours"),
    QT_TRANSLATE_NOOP("Message", "a Life-like rule gives its birth and survival counts, such as B3/S23"),
    // Saving and recording.
    QT_TRANSLATE_NOOP("Message", "the save was cancelled"),
    QT_TRANSLATE_NOOP("Message", "no file name was given"),
    QT_TRANSLATE_NOOP("Message", "there is a folder of that name"),
    QT_TRANSLATE_NOOP("Message", "the file is read-only"),
    QT_TRANSLATE_NOOP("Message", "it was not opened"),
    QT_TRANSLATE_NOOP("Message", "The recording could not be written: there is not enough memory."),
    QT_TRANSLATE_NOOP("Message", "The recording stopped after %1: %2."),
    QT_TRANSLATE_NOOP("Message", "1 generation"),
    QT_TRANSLATE_NOOP("Message", "%1 generations"),
    QT_TRANSLATE_NOOP("Message", "the board changed size"),
    QT_TRANSLATE_NOOP("Message", "there was not enough memory for its next frame"),
    QT_TRANSLATE_NOOP("Message", "a frame could not be encoded (%1)"),
    QT_TRANSLATE_NOOP("Message", "the scale %1 is not a whole number of pixels a cell"),
    QT_TRANSLATE_NOOP("Message", "at %1 pixels a cell the image would be %2 \u00d7 %3 pixels, more than the %4 an "
                                 "exported image may have"),
    QT_TRANSLATE_NOOP("Message", "at 1 pixel a cell the board of %1 \u00d7 %2 cells would be %3 \u00d7 %4 pixels, "
                                 "more than a GIF image can hold (%5 a side)"),
    QT_TRANSLATE_NOOP("Message", "at %1 pixels a cell the board of %2 \u00d7 %3 cells would be %4 \u00d7 %5 pixels, "
                                 "more than a GIF image can hold (%6 a side)"),
    // Memory for a run.
    QT_TRANSLATE_NOOP("Message", "a run on a board of %1 \u00d7 %2 cells needs %3 of memory, and this computer has %4"),
    QT_TRANSLATE_NOOP("Message", "a run on a board of %1 \u00d7 %2 cells needs %3 of memory, which could not be had"),
};

struct Entry {
    const char* text;
    QRegularExpression pattern;  // the text with a group for each "%n"
    std::vector<int> order;      // the number of each group's "%n"
};

const std::vector<Entry>& entries()
{
    static const std::vector<Entry> table = [] {
        std::vector<Entry> made;
        static const QRegularExpression placeholder(QStringLiteral("%([1-9])"));
        for (const char* text : kTexts) {
            const QString source = QString::fromUtf8(text);
            QString pattern = QStringLiteral("^");
            std::vector<int> order;
            qsizetype at = 0;
            for (auto it = placeholder.globalMatch(source); it.hasNext();) {
                const auto match = it.next();
                pattern += QRegularExpression::escape(source.mid(at, match.capturedStart() - at)) +
                           QStringLiteral("(.+?)");
                order.push_back(match.captured(1).toInt());
                at = match.capturedEnd();
            }
            pattern += QRegularExpression::escape(source.mid(at)) + QStringLiteral("$");
            made.push_back({text, QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption),
                            std::move(order)});
        }
        return made;
    }();
    return table;
}

}  // namespace

QString MessageTranslation::translated(const QString& message)
{
    for (const Entry& entry : entries()) {
        const auto match = entry.pattern.match(message);
        if (!match.hasMatch())
            continue;
        const QString text = QCoreApplication::translate("Message", entry.text);
        // Fill each "%n" of the translation in one pass, so that no part's own "%" is read as one.
        QString result;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const int n = i + 1 < text.size() && text[i] == u'%' ? text[i + 1].digitValue() : -1;
            const auto slot = std::find(entry.order.begin(), entry.order.end(), n);
            if (n < 1 || slot == entry.order.end()) {
                result += text[i];
                continue;
            }
            result += translated(match.captured(int(slot - entry.order.begin()) + 1));
            ++i;
        }
        return result;
    }
    return message;
}
