#include "PatternFile.h"

#include "AtomicFile.h"
#include "FileMessage.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

namespace {

constexpr const char* kSizeKey = "bitMapPixelSize";
constexpr const char* kDataKey = "bitMapPixelData";

std::string openError(const std::string& fileName, const std::string& reason)
{
    return FileMessage::cannotOpen(fileName, "a pattern", reason);
}

// ---------------------------------------------------------------------------
// Writing
//
// The XML is produced here as a stream rather than through libplist's
// plist_to_xml: building the tree costs one allocated node per cell, and for
// a 1024 x 1024 board the tree plus its serialisation took about 0.5 s and
// over 100 MB, where the stream takes a small fraction of both. The output is
// byte for byte what plist_to_xml writes for the same dictionary.

void appendInt(std::string& out, std::int64_t value)
{
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

void appendInteger(std::string& out, std::string_view indent, std::int64_t value)
{
    out += indent;
    out += "<integer>";
    appendInt(out, value);
    out += "</integer>\n";
}

// ---------------------------------------------------------------------------
// Reading
//
// Both readers present the same small view of a property list to loadBoard()
// below: a root, dictionary look-up by key, arrays whose elements are visited
// in order, and integers. loadBoard() does every check on the pattern.
//
// Neither goes through libplist. Its XML reader builds a tree with one
// allocated node per cell, which for a 1024 x 1024 board took over half a
// second and about 145 MB at its peak; its binary reader descends one call per nesting
// level without a bound and parses an object afresh for every reference to
// it, so a small file could exhaust the stack or the memory. Both readers
// here work in place on the file's bytes, without recursion, and allocate
// little beyond the board itself.

// Outcome of reading an element as an integer.
struct Integer {
    bool isInteger = false;
    std::int64_t value = 0;
};

// Decimal (or 0x hexadecimal) integer text with an optional sign and
// surrounding whitespace. Values beyond 64 bits saturate, which puts them
// far out of any range the pattern accepts.
Integer parseInteger(std::string_view text)
{
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return {};
    constexpr std::uint64_t kCap = std::uint64_t{1} << 63;
    std::uint64_t v = 0;
    for (char c : text) {
        unsigned d = 0;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            return {};
        v = v > (kCap - d) / base ? kCap : v * base + d;
    }
    if (negative)
        return {true, v >= kCap ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(v)};
    return {true, v >= kCap ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(v)};
}

// The XML tokens a property list is made of.
struct XmlToken {
    enum Kind { Start, End, Empty, Text, Eof, Bad } kind = Bad;
    std::string_view name;  // element name for Start, End and Empty
    std::string_view text;  // raw text (entities not decoded) for Text
    const char* at = nullptr;  // first byte of the token
};

// A forward-only tokenizer. Declarations, processing instructions, comments
// and the document type are skipped; CDATA sections come back as text;
// whitespace-only text between elements is skipped.
class XmlTokenizer {
public:
    XmlTokenizer(const char* p, const char* end) : p_(p), end_(end) {}

    const char* position() const { return p_; }

    XmlToken next()
    {
        for (;;) {
            XmlToken t;
            t.at = p_;
            if (p_ >= end_) {
                t.kind = XmlToken::Eof;
                return t;
            }
            if (*p_ != '<') {
                // Text runs between elements are short; scan them directly.
                const char* q = p_;
                bool blank = true;
                while (q < end_ && *q != '<') {
                    blank = blank && (*q == ' ' || *q == '\t' || *q == '\n' || *q == '\r');
                    ++q;
                }
                t.text = std::string_view(p_, static_cast<std::size_t>(q - p_));
                p_ = q;
                if (blank)
                    continue;
                t.kind = XmlToken::Text;
                return t;
            }
            if (p_ + 1 < end_ && (p_[1] == '?' || p_[1] == '!')) {
                const std::string_view rest(p_, static_cast<std::size_t>(end_ - p_));
                if (rest.starts_with("<?")) {
                    if (!skipPast("?>"))
                        return bad(t);
                    continue;
                }
                if (rest.starts_with("<!--")) {
                    if (!skipPast("-->"))
                        return bad(t);
                    continue;
                }
                if (rest.starts_with("<![CDATA[")) {
                    const std::size_t close = rest.find("]]>", 9);
                    if (close == std::string_view::npos)
                        return bad(t);
                    t.kind = XmlToken::Text;
                    t.text = rest.substr(9, close - 9);
                    p_ += close + 3;
                    return t;
                }
                // Document type, possibly with an internal subset in brackets.
                const std::size_t bracket = rest.find('[');
                const std::size_t gt = rest.find('>');
                if (gt == std::string_view::npos)
                    return bad(t);
                if (bracket != std::string_view::npos && bracket < gt) {
                    const std::size_t close = rest.find(']', bracket);
                    if (close == std::string_view::npos || (p_ = find(p_ + close, '>')) >= end_)
                        return bad(t);
                    ++p_;
                } else {
                    p_ += gt + 1;
                }
                continue;
            }
            const bool closing = p_ + 1 < end_ && p_[1] == '/';
            const char* n = p_ + (closing ? 2 : 1);
            const char* nameEnd = n;
            while (nameEnd < end_ && isNameChar(*nameEnd))
                ++nameEnd;
            if (nameEnd == n)
                return bad(t);
            t.name = std::string_view(n, static_cast<std::size_t>(nameEnd - n));
            // Attributes (only <plist> has one) are skipped, quotes respected.
            const char* q = nameEnd;
            char quote = 0;
            while (q < end_ && (quote || *q != '>')) {
                if (quote && *q == quote)
                    quote = 0;
                else if (!quote && (*q == '"' || *q == '\''))
                    quote = *q;
                ++q;
            }
            if (q >= end_)
                return bad(t);
            if (closing)
                t.kind = XmlToken::End;
            else
                t.kind = q[-1] == '/' && q - 1 >= nameEnd ? XmlToken::Empty : XmlToken::Start;
            p_ = q + 1;
            return t;
        }
    }

private:
    static bool isNameChar(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.' || c == ':';
    }
    const char* find(const char* from, char c) const
    {
        const void* hit = std::memchr(from, c, static_cast<std::size_t>(end_ - from));
        return hit ? static_cast<const char*>(hit) : end_;
    }
    bool skipPast(std::string_view marker)
    {
        const std::string_view rest(p_, static_cast<std::size_t>(end_ - p_));
        const std::size_t at = rest.find(marker, 2);
        if (at == std::string_view::npos)
            return false;
        p_ += at + marker.size();
        return true;
    }
    XmlToken bad(XmlToken t)
    {
        p_ = end_;
        t.kind = XmlToken::Bad;
        return t;
    }

    const char* p_;
    const char* end_;
};

// Text with the XML entities and character references decoded; characters
// beyond ASCII from references come back as '?', which no key of the
// pattern contains. Nullopt for a malformed reference.
std::optional<std::string> decodeText(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            out += raw[i];
            continue;
        }
        const std::size_t semi = raw.find(';', i);
        if (semi == std::string_view::npos)
            return std::nullopt;
        const std::string_view ref = raw.substr(i + 1, semi - i - 1);
        if (ref == "lt") out += '<';
        else if (ref == "gt") out += '>';
        else if (ref == "amp") out += '&';
        else if (ref == "quot") out += '"';
        else if (ref == "apos") out += '\'';
        else if (ref.size() > 1 && ref[0] == '#') {
            // "#x41" reads as "0x41", "#65" as "65".
            std::string number(ref.substr(1));
            if (number[0] == 'x' || number[0] == 'X')
                number.insert(number.begin(), '0');
            const Integer code = parseInteger(number);
            if (!code.isInteger || code.value < 0)
                return std::nullopt;
            out += code.value < 128 ? static_cast<char>(code.value) : '?';
        } else {
            return std::nullopt;
        }
        i = semi;
    }
    return out;
}

// XML property lists, read in place. open() checks the whole document's
// structure as far as the root dictionary's end and notes where the values
// of the pattern's two keys begin; arrays are then walked on demand.
class XmlPlist {
public:
    using Node = const char*;  // the first byte of a value's element

    class Elements {
    public:
        Elements(const XmlPlist& plist, Node array) : tokens_(array, plist.end_)
        {
            done_ = tokens_.next().kind != XmlToken::Start;  // an empty array has no elements
        }
        bool next(Node& element)
        {
            if (done_)
                return false;
            const XmlToken t = tokens_.next();
            if (t.kind != XmlToken::Start && t.kind != XmlToken::Empty) {
                done_ = true;
                return false;
            }
            element = t.at;
            if (t.kind == XmlToken::Start && !skipRest(tokens_, t.name)) {
                done_ = true;
                return false;
            }
            return true;
        }

    private:
        XmlTokenizer tokens_;
        bool done_ = false;
    };

    // Nullopt when the text is not a well-formed property list (as far as
    // the end of its root value) or has no root value; why then says so.
    static std::optional<XmlPlist> open(const char* data, std::size_t size, std::string& why)
    {
        why = "it is not a property list";
        bool tooDeep = false;
        auto skip = [&](XmlTokenizer& tokens, std::string_view name) {
            if (skipRest(tokens, name, &tooDeep))
                return true;
            if (tooDeep)
                why = "its property list is nested too deeply";
            return false;
        };
        XmlPlist plist(data + size);
        XmlTokenizer tokens(data, data + size);
        XmlToken t = tokens.next();
        if (t.kind == XmlToken::Start && t.name == "plist")
            t = tokens.next();
        if (t.kind != XmlToken::Start && t.kind != XmlToken::Empty)
            return std::nullopt;
        plist.root_ = t.at;
        if (t.name != "dict" || t.kind == XmlToken::Empty) {
            plist.rootIsDict_ = t.name == "dict";
            if (t.kind == XmlToken::Start && !skip(tokens, t.name))
                return std::nullopt;
            return plist;
        }
        plist.rootIsDict_ = true;
        for (;;) {
            t = tokens.next();
            if (t.kind == XmlToken::End && t.name == "dict")
                return plist;
            if (t.kind == XmlToken::Empty && t.name == "key") {
                t.name = {};  // an empty key, which names neither value
            } else if (t.kind != XmlToken::Start || t.name != "key") {
                return std::nullopt;
            } else {
                std::string raw;
                for (t = tokens.next(); t.kind == XmlToken::Text; t = tokens.next())
                    raw += t.text;
                if (t.kind != XmlToken::End || t.name != "key")
                    return std::nullopt;
                const auto key = decodeText(raw);
                if (!key)
                    return std::nullopt;
                t.name = *key == kSizeKey ? kSizeKey : *key == kDataKey ? kDataKey : "";
            }
            const std::string_view key = t.name;
            const XmlToken value = tokens.next();
            if (value.kind != XmlToken::Start && value.kind != XmlToken::Empty)
                return std::nullopt;
            if (value.kind == XmlToken::Start && !skip(tokens, value.name))
                return std::nullopt;
            // As with any dictionary, a repeated key takes the later value.
            if (key == kSizeKey)
                plist.size_ = value.at;
            else if (key == kDataKey)
                plist.data_ = value.at;
        }
    }

    Node root() const { return root_; }
    bool isDict(Node n) const { return n == root_ && rootIsDict_; }
    std::optional<Node> get(Node dict, const char* key) const
    {
        if (!isDict(dict))
            return std::nullopt;
        const Node n = std::string_view(key) == kSizeKey ? size_ : std::string_view(key) == kDataKey ? data_ : nullptr;
        if (!n)
            return std::nullopt;
        return n;
    }
    bool isArray(Node n) const
    {
        const XmlToken t = XmlTokenizer(n, end_).next();
        return (t.kind == XmlToken::Start || t.kind == XmlToken::Empty) && t.name == "array";
    }
    Elements elements(Node array) const { return Elements(*this, array); }
    Integer integer(Node n) const
    {
        XmlTokenizer tokens(n, end_);
        XmlToken t = tokens.next();
        if (t.kind != XmlToken::Start || t.name != "integer")
            return {};
        std::string_view text;
        std::string joined;
        int pieces = 0;
        for (t = tokens.next(); t.kind == XmlToken::Text; t = tokens.next()) {
            if (pieces++ == 0) {
                text = t.text;
            } else {
                if (pieces == 2)
                    joined = std::string(text);
                joined += t.text;
                text = joined;
            }
        }
        if (t.kind != XmlToken::End || t.name != "integer")
            return {};
        return parseInteger(text);
    }
    // No XML element holds a cell in fewer bytes than "<integer>0</integer>",
    // so a file too short for its size is refused before the board is made.
    bool mayHold(Node data, std::int64_t w, std::int64_t h) const
    {
        const auto room = static_cast<std::uint64_t>(end_ - data);
        return static_cast<std::uint64_t>(w) <= room / 20 / static_cast<std::uint64_t>(h);
    }

private:
    explicit XmlPlist(const char* end) : end_(end) {}

    // Skips to the end tag that closes an element whose start tag was just
    // read, keeping the names of the open elements to match their end tags
    // rather than descending into them. Deeper nesting than the pattern
    // could ever need is refused.
    static bool skipRest(XmlTokenizer& tokens, std::string_view name, bool* tooDeep = nullptr)
    {
        // Most elements hold text only: <integer>0</integer>.
        XmlTokenizer ahead = tokens;
        XmlToken simple = ahead.next();
        if (simple.kind == XmlToken::Text)
            simple = ahead.next();
        if (simple.kind == XmlToken::End) {
            tokens = ahead;
            return simple.name == name;
        }
        std::array<std::string_view, PatternFile::kMaxNesting> open;
        std::size_t depth = 0;
        open[depth++] = name;
        for (;;) {
            const XmlToken t = tokens.next();
            switch (t.kind) {
            case XmlToken::Start:
                if (depth == open.size()) {
                    if (tooDeep)
                        *tooDeep = true;
                    return false;
                }
                open[depth++] = t.name;
                break;
            case XmlToken::End:
                if (t.name != open[--depth])
                    return false;
                if (depth == 0)
                    return true;
                break;
            case XmlToken::Empty:
            case XmlToken::Text:
                break;
            case XmlToken::Eof:
            case XmlToken::Bad:
                return false;
            }
        }
    }

    const char* end_;
    Node root_ = nullptr;
    bool rootIsDict_ = false;
    Node size_ = nullptr;
    Node data_ = nullptr;
};

// Binary property lists ("bplist00"), read in place. libplist's binary
// parser is not used: it descends one call per nesting level without a bound
// and parses an object afresh for every reference to it, so a small file
// could exhaust the stack or the memory. The pattern has a fixed shape, so
// only the objects it reaches are ever decoded, each on demand, and a column
// shared by many references costs nothing extra.
class BinaryPlist {
public:
    using Node = std::uint64_t;  // object index

private:
    static constexpr Node kNone = std::numeric_limits<Node>::max();

    struct Container {
        std::uint64_t refs;   // offset of the first reference
        std::uint64_t count;  // elements (for a dictionary: keys)
    };

public:

    static std::optional<BinaryPlist> open(const unsigned char* data, std::size_t size)
    {
        BinaryPlist p(data);
        if (size < 8 + 32 || std::memcmp(data, "bplist0", 7) != 0)
            return std::nullopt;
        const unsigned char* t = data + size - 32;
        p.offsetSize_ = t[6];
        p.refSize_ = t[7];
        p.objectCount_ = p.be(t + 8, 8);
        p.top_ = p.be(t + 16, 8);
        p.tableOffset_ = p.be(t + 24, 8);
        const std::uint64_t tableSpace = size - 32;
        if (p.offsetSize_ < 1 || p.offsetSize_ > 8 || p.refSize_ < 1 || p.refSize_ > 8)
            return std::nullopt;
        if (p.objectCount_ == 0 || p.top_ >= p.objectCount_)
            return std::nullopt;
        if (p.tableOffset_ < 8 || p.tableOffset_ > tableSpace ||
            p.objectCount_ > (tableSpace - p.tableOffset_) / p.offsetSize_)
            return std::nullopt;
        return p;
    }

    Node root() const { return top_; }

    bool isDict(Node n) const { return type(n) == 0xD; }
    std::optional<Node> get(Node dict, const char* key) const
    {
        const auto c = container(dict);
        if (!c)
            return std::nullopt;
        for (std::uint64_t i = 0; i < c->count; ++i) {
            const auto k = ref(*c, i);
            if (k && keyEquals(*k, key)) {
                const auto v = ref(*c, c->count + i);
                if (v)
                    return *v;
                return std::nullopt;
            }
        }
        return std::nullopt;
    }
    bool isArray(Node n) const { return type(n) == 0xA; }

    class Elements {
    public:
        Elements(const BinaryPlist& plist, Node array) : plist_(plist), array_(plist.container(array)) {}
        // An invalid reference comes back as an index that reads as nothing.
        bool next(Node& element)
        {
            if (!array_ || i_ >= array_->count)
                return false;
            element = plist_.ref(*array_, i_++).value_or(kNone);
            return true;
        }

    private:
        const BinaryPlist& plist_;
        std::optional<Container> array_;
        std::uint64_t i_ = 0;
    };
    Elements elements(Node array) const { return Elements(*this, array); }

    // The column count is known from the array's header, and so is checked
    // before the board is made; shared columns make any length possible.
    bool mayHold(Node data, std::int64_t w, std::int64_t) const
    {
        const auto c = container(data);
        return c && c->count >= static_cast<std::uint64_t>(w);
    }
    Integer integer(Node n) const
    {
        const auto off = offset(n);
        if (!off || (data_[*off] >> 4) != 0x1)
            return {};
        const unsigned bytes = 1u << (data_[*off] & 0xF);
        if (bytes > 16 || *off + 1 + bytes > tableOffset_)
            return {};
        const unsigned char* v = data_ + *off + 1;
        if (bytes <= 4)
            return {true, static_cast<std::int64_t>(be(v, bytes))};
        if (bytes == 8)
            return {true, static_cast<std::int64_t>(be(v, 8))};
        // 128-bit: anything beyond 64 bits is far out of range for a pattern.
        const std::uint64_t high = be(v, 8);
        const std::uint64_t low = be(v + 8, 8);
        if (high != 0 || low > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return {true, std::numeric_limits<std::int64_t>::max()};
        return {true, static_cast<std::int64_t>(low)};
    }

private:
    explicit BinaryPlist(const unsigned char* data) : data_(data) {}

    static std::uint64_t be(const unsigned char* p, unsigned n)
    {
        std::uint64_t v = 0;
        for (unsigned i = 0; i < n; ++i)
            v = (v << 8) | p[i];
        return v;
    }

    std::optional<std::uint64_t> offset(Node n) const
    {
        if (n >= objectCount_)
            return std::nullopt;
        const std::uint64_t off = be(data_ + tableOffset_ + n * offsetSize_, offsetSize_);
        if (off < 8 || off >= tableOffset_)
            return std::nullopt;
        return off;
    }

    int type(Node n) const
    {
        const auto off = offset(n);
        return off ? data_[*off] >> 4 : -1;
    }

    // Element count of the object at off, which follows its marker byte
    // either in the marker's low nibble or as an integer object after it.
    // Sets next to the first byte after the count.
    std::optional<std::uint64_t> objectCount(std::uint64_t off, std::uint64_t& next) const
    {
        const unsigned low = data_[off] & 0xF;
        next = off + 1;
        if (low != 0xF)
            return low;
        if (next >= tableOffset_ || (data_[next] >> 4) != 0x1)
            return std::nullopt;
        const unsigned bytes = 1u << (data_[next] & 0xF);
        if (bytes > 8 || next + 1 + bytes > tableOffset_)
            return std::nullopt;
        const std::uint64_t n = be(data_ + next + 1, bytes);
        next += 1 + bytes;
        return n;
    }

    std::optional<Container> container(Node n) const
    {
        const auto off = offset(n);
        if (!off)
            return std::nullopt;
        const int t = data_[*off] >> 4;
        if (t != 0xA && t != 0xD)
            return std::nullopt;
        std::uint64_t next = 0;
        const auto count = objectCount(*off, next);
        if (!count)
            return std::nullopt;
        const std::uint64_t refs = t == 0xD ? 2 : 1;
        const std::uint64_t room = (tableOffset_ - next) / refSize_;
        if (*count > room / refs)
            return std::nullopt;
        return Container{next, *count};
    }

    std::optional<Node> ref(const Container& c, std::uint64_t i) const
    {
        const Node n = be(data_ + c.refs + i * refSize_, refSize_);
        if (n >= objectCount_)
            return std::nullopt;
        return n;
    }

    bool keyEquals(Node n, std::string_view key) const
    {
        const auto off = offset(n);
        if (!off)
            return false;
        const int t = data_[*off] >> 4;
        std::uint64_t next = 0;
        const auto count = objectCount(*off, next);
        if (!count || *count != key.size())
            return false;
        if (t == 0x5) {  // ASCII
            return next + key.size() <= tableOffset_ &&
                   std::memcmp(data_ + next, key.data(), key.size()) == 0;
        }
        if (t == 0x6) {  // UTF-16, big-endian
            if (next + 2 * key.size() > tableOffset_)
                return false;
            for (std::size_t i = 0; i < key.size(); ++i) {
                if (be(data_ + next + 2 * i, 2) != static_cast<unsigned char>(key[i]))
                    return false;
            }
            return true;
        }
        return false;
    }

    const unsigned char* data_;
    unsigned offsetSize_ = 0;
    unsigned refSize_ = 0;
    std::uint64_t objectCount_ = 0;
    std::uint64_t top_ = 0;
    std::uint64_t tableOffset_ = 0;
};

template <class Plist>
BoardLoad loadBoard(const Plist& plist, const std::string& fileName, LogicalSize logicalSize)
{
    using Node = typename Plist::Node;
    auto fail = [&](const std::string& reason) { return BoardLoad{nullptr, openError(fileName, reason)}; };
    const auto root = plist.root();
    if (!plist.isDict(root))
        return fail("its root is not a dictionary");

    const auto sizeNode = plist.get(root, kSizeKey);
    if (!sizeNode)
        return fail("it has no \u201cbitMapPixelSize\u201d");
    Integer w, h;
    {
        const std::string notTwo = "\u201cbitMapPixelSize\u201d is not a list of two integers";
        if (!plist.isArray(*sizeNode))
            return fail(notTwo);
        auto elements = plist.elements(*sizeNode);
        Node first{}, second{};
        if (!elements.next(first) || !elements.next(second))
            return fail(notTwo);
        w = plist.integer(first);
        h = plist.integer(second);
        if (!w.isInteger || !h.isInteger)
            return fail(notTwo);
    }
    const std::string sizeText = std::to_string(w.value) + " \u00d7 " + std::to_string(h.value);
    if (w.value < 1 || h.value < 1)
        return fail("its size " + sizeText + " has no cells");
    if (!CellBitmap::sizeFits(w.value, h.value))
        return fail("its size " + sizeText + " is larger than the largest board (" +
                    std::to_string(CellBitmap::kMaxCells) + " cells)");

    const std::string tooFewColumns = "\u201cbitMapPixelData\u201d does not hold " + std::to_string(w.value) + " columns";
    const auto dataNode = plist.get(root, kDataKey);
    if (dataNode && (!plist.isArray(*dataNode) || !plist.mayHold(*dataNode, w.value, h.value)))
        return fail(tooFewColumns);

    auto board = CellBitmap::create(w.value, h.value, logicalSize);
    if (!board)
        return fail("there is not enough memory for a board of " + sizeText + " cells");
    if (!dataNode) {
        // A size without cell data gives a board of live cells.
        board->fill(CellBitmap::kLive);
        return {std::move(board), {}};
    }
    auto columns = plist.elements(*dataNode);
    for (std::int64_t x = 0; x < w.value; ++x) {
        Node column{};
        if (!columns.next(column))
            return fail(tooFewColumns);
        auto shortColumn = [&] {
            return fail("column " + std::to_string(x) + " does not hold " + std::to_string(h.value) + " cells");
        };
        if (!plist.isArray(column))
            return shortColumn();
        auto cells = plist.elements(column);
        for (std::int64_t y = 0; y < h.value; ++y) {
            Node cell{};
            if (!cells.next(cell))
                return shortColumn();
            const Integer v = plist.integer(cell);
            if (!v.isInteger || v.value < 0 || v.value > 255) {
                const std::string where = "the cell at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                if (!v.isInteger)
                    return fail(where + " is not an integer");
                return fail(where + " holds " + std::to_string(v.value) + ", outside 0 to 255");
            }
            board->setPixel(x, y, static_cast<std::uint8_t>(v.value));
        }
    }
    return {std::move(board), {}};
}

}  // namespace

namespace {

// Writes the XML of a board in order, handing it to `flush` whenever the
// buffer holds `chunk` bytes or more, and once more at the end. Stops early
// when `flush` returns false.
template <class Flush>
bool streamXml(const CellBitmap* board, std::size_t chunk, Flush&& flush)
{
    const std::int64_t w = board ? board->pixelsWide() : 0;
    const std::int64_t h = board ? board->pixelsHigh() : 0;
    std::string out;
    // Each cell takes at most "\t\t\t<integer>255</integer>\n", 26 bytes.
    const std::uint64_t total = 512 + static_cast<std::uint64_t>(w) * (12 + static_cast<std::uint64_t>(h) * 26);
    out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(total, chunk + 4096)));
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n"
           "<dict>\n"
           "\t<key>bitMapPixelSize</key>\n"
           "\t<array>\n";
    appendInteger(out, "\t\t", w);
    appendInteger(out, "\t\t", h);
    out += "\t</array>\n"
           "\t<key>bitMapPixelData</key>\n";
    if (w == 0) {
        out += "\t<array/>\n";
    } else {
        out += "\t<array>\n";
        for (std::int64_t x = 0; x < w; ++x) {
            out += "\t\t<array>\n";
            for (std::int64_t y = 0; y < h; ++y) {
                appendInteger(out, "\t\t\t", board->getPixel(x, y));
                if (out.size() >= chunk) {
                    if (!flush(out))
                        return false;
                    out.clear();
                }
            }
            out += "\t\t</array>\n";
        }
        out += "\t</array>\n";
    }
    out += "</dict>\n"
           "</plist>\n";
    return flush(out);
}

}  // namespace

std::string PatternFile::toXml(const CellBitmap* board)
{
    std::string xml;
    streamXml(board, std::numeric_limits<std::size_t>::max(), [&](std::string& out) {
        xml.swap(out);
        return true;
    });
    return xml;
}

std::string PatternFile::write(const CellBitmap* board, const std::string& path)
{
    // The list is written a megabyte at a time, so a large board never needs
    // its whole XML in memory. (Where the platform has a "hide extension"
    // attribute it would be set here; this file system has none.)
    return AtomicFile::write(path, [board](QIODevice& device, QString&) {
        return streamXml(board, std::size_t{1} << 20, [&device](const std::string& out) {
            return device.write(out.data(), static_cast<qint64>(out.size())) == static_cast<qint64>(out.size());
        });
    });
}

BoardLoad PatternFile::read(const std::string& path, LogicalSize logicalSize)
{
    const std::string name = FileMessage::fileName(path);
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {nullptr, openError(name, "the file cannot be read (" + file.errorString().toStdString() + ")")};
    const qint64 size = file.size();
    if (size > kMaxFileBytes)
        return {nullptr, openError(name, "the file is too large (" + std::to_string(size) + " bytes)")};
    if (size > 0) {
        // Mapped, the file is parsed where it lies, without a copy. Saves
        // replace a file by renaming a new one into place, so a pattern saved
        // over while it is being read does not change under the mapping.
        if (const uchar* mapped = file.map(0, size)) {
            BoardLoad load = parse(reinterpret_cast<const char*>(mapped), static_cast<std::size_t>(size), name,
                                   logicalSize);
            file.unmap(const_cast<uchar*>(mapped));
            return load;
        }
    }
    QByteArray bytes;
    try {
        bytes = file.readAll();
    } catch (const std::bad_alloc&) {
        return {nullptr, openError(name, "there is not enough memory to read it")};
    }
    if (file.error() != QFileDevice::NoError)
        return {nullptr, openError(name, "the file cannot be read (" + file.errorString().toStdString() + ")")};
    return parse(bytes.constData(), static_cast<std::size_t>(bytes.size()), name, logicalSize);
}

BoardLoad PatternFile::parse(const char* data, std::size_t size, const std::string& fileName,
                             LogicalSize logicalSize)
{
    if (size == 0 || !data)
        return {nullptr, openError(fileName, "the file is empty")};
    if (size > static_cast<std::uint64_t>(kMaxFileBytes))
        return {nullptr, openError(fileName, "the file is too large (" + std::to_string(size) + " bytes)")};
    try {
        if (size >= 7 && std::memcmp(data, "bplist0", 7) == 0) {
            const auto plist = BinaryPlist::open(reinterpret_cast<const unsigned char*>(data), size);
            if (!plist)
                return {nullptr, openError(fileName, "it is not a valid binary property list")};
            return loadBoard(*plist, fileName, logicalSize);
        }
        // A byte-order mark may precede the XML.
        if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
            data += 3;
            size -= 3;
        }
        std::string why;
        const auto plist = XmlPlist::open(data, size, why);
        if (!plist)
            return {nullptr, openError(fileName, why)};
        return loadBoard(*plist, fileName, logicalSize);
    } catch (const std::bad_alloc&) {
        return {nullptr, openError(fileName, "there is not enough memory to read it")};
    }
}
