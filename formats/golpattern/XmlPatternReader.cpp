#include "XmlPatternReader.h"

#include "PatternCells.h"
#include "PlistIntegerText.h"

#include <QIODevice>
#include <QXmlStreamReader>

#include <optional>

namespace {

using Token = QXmlStreamReader::TokenType;

const QString kSizeKey = QStringLiteral("bitMapPixelSize");
const QString kDataKey = QStringLiteral("bitMapPixelData");
const QString kRuleKey = QStringLiteral("rule");

// No element holds a cell in fewer characters than "<integer>0</integer>".
constexpr qint64 kLeastCharactersPerCell = 20;

// True when a document type declaration has an internal subset: a '['
// outside its quoted identifiers.
bool hasInternalSubset(QStringView doctype)
{
    QChar quote;
    for (const QChar c : doctype) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'[') {
            return true;
        }
    }
    return false;
}

// One reading of the document, token by token. Every token passes through
// read(), which keeps the nesting depth and refuses what a property list
// must not hold; each construct of the list has a function of its own.
class XmlReading {
public:
    enum class Pass { Whole, CellsOnly };

    XmlReading(QIODevice& device, PatternCells& cells, Pass pass) : device_(device), cells_(cells), pass_(pass)
    {
        xml_.setNamespaceProcessing(false);
        xml_.setDevice(&device);
    }

    // Nullopt: the cells are still to be read, in a second pass.
    std::optional<BoardLoad> run();

private:
    Token read();
    Token next();
    bool fail(const std::string& why)
    {
        if (why_.empty())
            why_ = why;
        return false;
    }
    bool notPlist() { return fail("it is not a property list"); }
    bool isStart(QStringView name) const { return xml_.isStartElement() && xml_.name() == name; }

    bool skipValue();
    bool skipRest();
    bool readText(QString& text, bool& elementsInside);
    bool readInteger(PlistInteger& value);
    bool readSize();
    bool readCells();
    bool nextElement(bool& ended);

    QXmlStreamReader xml_;
    QIODevice& device_;
    PatternCells& cells_;
    const Pass pass_;
    std::string why_;  // the first reason to refuse the file
    int depth_ = 0;
    QString text_;     // reused for the text of every element
    bool sizeSeen_ = false;
    bool ruleSeen_ = false;
    bool dataSeen_ = false;
    bool cellsRead_ = false;
};

Token XmlReading::read()
{
    const Token t = xml_.readNext();
    switch (t) {
    case Token::StartElement:
        if (++depth_ > XmlPatternReader::kMaxNesting) {
            fail("its property list is nested too deeply");
            return Token::Invalid;
        }
        return t;
    case Token::EndElement:
        --depth_;
        return t;
    case Token::DTD:
        if (!xml_.entityDeclarations().isEmpty() || !xml_.notationDeclarations().isEmpty() ||
            hasInternalSubset(xml_.text())) {
            fail("it declares a document type of its own, which a property list does not");
            return Token::Invalid;
        }
        return t;
    case Token::EntityReference:
        fail("it refers to the entity \u201c" + xml_.name().toString().toStdString() + "\u201d, which is not defined");
        return Token::Invalid;
    case Token::Invalid: {
        QString message = xml_.errorString();
        if (message.endsWith(u'.'))
            message.chop(1);
        fail("it is not a well-formed XML property list (line " + std::to_string(xml_.lineNumber()) + ": " +
             message.toStdString() + ")");
        return t;
    }
    default:
        return t;
    }
}

// The next token that carries structure: a start or end tag, text that is
// not blank, the end of the document, or Invalid.
Token XmlReading::next()
{
    for (;;) {
        const Token t = read();
        if (t == Token::Characters && xml_.isWhitespace())
            continue;
        if (t == Token::Comment || t == Token::ProcessingInstruction || t == Token::DTD ||
            t == Token::StartDocument || t == Token::NoToken)
            continue;
        return t;
    }
}

// After a start tag: everything up to and including its end tag.
bool XmlReading::skipValue()
{
    const int depth = depth_;
    for (;;) {
        const Token t = read();
        if (t == Token::Invalid)
            return false;
        if (t == Token::EndElement && depth_ == depth - 1)
            return true;
    }
}

// Inside an array: its remaining elements, through its end tag.
bool XmlReading::skipRest()
{
    for (bool ended = false;;) {
        if (!nextElement(ended))
            return false;
        if (ended)
            return true;
        if (!skipValue())
            return false;
    }
}

// After a start tag: the element's text, as character data, character
// references and CDATA sections give it, through its end tag.
bool XmlReading::readText(QString& text, bool& elementsInside)
{
    text.resize(0);
    elementsInside = false;
    for (;;) {
        switch (read()) {
        case Token::Characters:
            text.append(xml_.text());
            break;
        case Token::StartElement:
            elementsInside = true;
            if (!skipValue())
                return false;
            break;
        case Token::EndElement:
            return true;
        case Token::Invalid:
            return false;
        default:  // comments and processing instructions
            break;
        }
    }
}

// After a start tag: the value as an integer, or as not an integer when it
// is another kind of value.
bool XmlReading::readInteger(PlistInteger& value)
{
    value = {};
    if (!isStart(u"integer"))
        return skipValue();
    bool elementsInside = false;
    if (!readText(text_, elementsInside))
        return false;
    if (!elementsInside)
        value = PlistIntegerText::parse(text_);
    return true;
}

// Inside an array: moves to its next element's start tag, or to the array's
// end tag (`ended`); anything else there is refused.
bool XmlReading::nextElement(bool& ended)
{
    const Token t = next();
    ended = t == Token::EndElement;
    if (ended || t == Token::StartElement)
        return true;
    return t == Token::Invalid ? false : notPlist();
}

// After the start tag of the value of "bitMapPixelSize".
bool XmlReading::readSize()
{
    if (!isStart(u"array"))
        return fail(PatternCells::notTwoIntegers());
    PlistInteger size[2];
    for (PlistInteger& value : size) {
        bool ended = false;
        if (!nextElement(ended))
            return false;
        if (ended || !readInteger(value))
            return why_.empty() ? fail(PatternCells::notTwoIntegers()) : false;
    }
    if (!skipRest())  // further elements mean nothing
        return false;
    const std::string why = cells_.setSize(size[0], size[1]);
    return why.empty() || fail(why);
}

// After the start tag of the value of "bitMapPixelData", with the size known.
bool XmlReading::readCells()
{
    const qint64 left = device_.size() - xml_.characterOffset();
    if (!isStart(u"array") || cells_.width() > left / kLeastCharactersPerCell / cells_.height())
        return fail(cells_.tooFewColumns());
    if (const std::string why = cells_.makeBoard(); !why.empty())
        return fail(why);
    bool ended = false;
    for (std::int64_t x = 0; x < cells_.width(); ++x) {
        if (cells_.cancelled())
            return fail("the reading was cancelled");
        if (!nextElement(ended))
            return false;
        if (ended)
            return fail(cells_.tooFewColumns());
        if (!isStart(u"array"))
            return fail(cells_.shortColumn(x));
        for (std::int64_t y = 0; y < cells_.height(); ++y) {
            PlistInteger value;
            if (!nextElement(ended))
                return false;
            if (ended)
                return fail(cells_.shortColumn(x));
            if (!readInteger(value))
                return false;
            if (const std::string why = cells_.setCell(x, y, value); !why.empty())
                return fail(why);
        }
        if (!skipRest())  // cells beyond the height mean nothing
            return false;
    }
    if (!skipRest())  // nor do columns beyond the width
        return false;
    cellsRead_ = true;
    return true;
}

std::optional<BoardLoad> XmlReading::run()
{
    auto refused = [this] { return cells_.refuse(why_.empty() ? "it is not a property list" : why_); };
    Token t = next();
    const bool wrapped = t == Token::StartElement && xml_.name() == u"plist";
    if (wrapped)
        t = next();
    if (t != Token::StartElement)
        return refused();
    if (xml_.name() != u"dict")
        return cells_.refuse(why_.empty() ? "its root is not a dictionary" : why_);
    for (;;) {
        t = next();
        if (t == Token::EndElement)
            break;  // the end of the dictionary
        if (t != Token::StartElement || xml_.name() != u"key")
            return refused();
        QString key;
        bool elementsInside = false;
        if (!readText(key, elementsInside) || elementsInside || next() != Token::StartElement)
            return refused();
        const bool isSize = key == kSizeKey;
        const bool isData = key == kDataKey;
        if (key == kRuleKey && pass_ == Pass::Whole) {
            if (ruleSeen_)
                return cells_.refuse("it holds \u201crule\u201d more than once");
            ruleSeen_ = true;
            QString rule;
            bool inside = false;
            if (!isStart(u"string") || !readText(rule, inside) || inside)
                return cells_.refuse("its \u201crule\u201d is not a string");
            if (auto refusal = cells_.setRule(rule.toStdString()))
                return std::move(*refusal);
            continue;
        }
        if (pass_ == Pass::Whole && ((isSize && sizeSeen_) || (isData && dataSeen_)))
            return cells_.refuse("it holds \u201c" + key.toStdString() + "\u201d more than once");
        sizeSeen_ = sizeSeen_ || isSize;
        dataSeen_ = dataSeen_ || isData;
        // The cells are read once the size is known: in this pass when it
        // came first, else in the second.
        bool ok = true;
        if (isSize && pass_ == Pass::Whole)
            ok = readSize();
        else if (isData && (sizeSeen_ || pass_ == Pass::CellsOnly))
            ok = readCells();
        else
            ok = skipValue();
        if (!ok)
            return refused();
        if (cellsRead_ && pass_ == Pass::CellsOnly)
            return cells_.take();
    }
    if ((wrapped && next() != Token::EndElement) || next() != Token::EndDocument)
        return refused();
    if (!sizeSeen_)
        return cells_.refuse("it has no \u201cbitMapPixelSize\u201d");
    if (!dataSeen_) {  // a size without cell data: every cell live
        if (const std::string why = cells_.makeBoard(true); !why.empty())
            return cells_.refuse(why);
        return cells_.take();
    }
    if (!cellsRead_)
        return std::nullopt;
    return cells_.take();
}

}  // namespace

BoardLoad XmlPatternReader::read(QIODevice& device, const std::string& fileName, LogicalSize logicalSize,
                                 const CancelFlag* cancel)
{
    PatternCells cells(fileName, logicalSize, cancel);
    const qint64 start = device.pos();
    if (auto load = XmlReading(device, cells, XmlReading::Pass::Whole).run())
        return std::move(*load);
    // The cells came before the size: now that the whole document is known
    // to be a well-formed pattern, read it again for them.
    if (!device.seek(start))
        return cells.refuse("the file cannot be read again (" + device.errorString().toStdString() + ")");
    if (auto load = XmlReading(device, cells, XmlReading::Pass::CellsOnly).run())
        return std::move(*load);
    return cells.refuse("it changed while it was read");
}
