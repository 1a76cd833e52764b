#include "PatternFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <plist/plist.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

namespace {

constexpr const char* kSizeKey = "bitMapPixelSize";
constexpr const char* kDataKey = "bitMapPixelData";

std::string quoted(const std::string& fileName)
{
    return "\u201c" + fileName + "\u201d";
}

std::string baseName(const std::string& path)
{
    const std::string name = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
    return name.empty() ? path : name;
}

std::string openError(const std::string& fileName, const std::string& reason)
{
    return quoted(fileName) + " cannot be opened as a pattern: " + reason + ".";
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
// below: a root, dictionary look-up by key, arrays with a count and indexed
// elements, and integers. loadBoard() does every check on the pattern.

// Outcome of reading an element as an integer.
struct Integer {
    bool isInteger = false;
    std::int64_t value = 0;
};

// XML property lists, parsed by libplist into a tree.
class XmlPlist {
public:
    using Node = plist_t;

    explicit XmlPlist(plist_t root) : root_(root) {}
    ~XmlPlist() { if (root_) plist_free(root_); }
    XmlPlist(const XmlPlist&) = delete;
    XmlPlist& operator=(const XmlPlist&) = delete;

    Node root() const { return root_; }
    bool isDict(Node n) const { return n && plist_get_node_type(n) == PLIST_DICT; }
    std::optional<Node> get(Node dict, const char* key) const
    {
        plist_t item = plist_dict_get_item(dict, key);
        if (!item)
            return std::nullopt;
        return item;
    }
    bool isArray(Node n) const { return plist_get_node_type(n) == PLIST_ARRAY; }
    std::uint64_t count(Node array) const { return plist_array_get_size(array); }
    Node at(Node array, std::uint64_t i) const
    {
        return plist_array_get_item(array, static_cast<std::uint32_t>(i));
    }
    Integer integer(Node n) const
    {
        if (!n || plist_get_node_type(n) != PLIST_UINT)
            return {};
        std::uint64_t v = 0;
        plist_get_uint_val(n, &v);
        // libplist keeps negative integers as their two's complement.
        return {true, static_cast<std::int64_t>(v)};
    }

private:
    plist_t root_;
};

// Rejects XML whose containers nest deeper than the limit: libplist's parser
// descends one call per level, so deep nesting could exhaust the stack.
// Tags inside comments are counted too, which only errs on the side of refusal.
bool xmlNestingWithin(const char* data, std::size_t size, int limit)
{
    int depth = 0;
    const char* p = data;
    const char* const end = data + size;
    auto startsWith = [&](const char* at, std::string_view word) {
        return static_cast<std::size_t>(end - at) >= word.size() &&
               std::memcmp(at, word.data(), word.size()) == 0;
    };
    auto endsName = [&](const char* at) {
        return at >= end || *at == '>' || *at == '/' || *at == ' ' || *at == '\t' || *at == '\n' ||
               *at == '\r';
    };
    while (p < end) {
        p = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p)));
        if (!p)
            break;
        ++p;
        const bool closing = p < end && *p == '/';
        const char* name = closing ? p + 1 : p;
        std::size_t len = 0;
        if (startsWith(name, "array"))
            len = 5;
        else if (startsWith(name, "dict"))
            len = 4;
        if (len == 0 || !endsName(name + len))
            continue;
        if (closing) {
            depth = std::max(0, depth - 1);
            continue;
        }
        const char* gt = static_cast<const char*>(std::memchr(name, '>', static_cast<std::size_t>(end - name)));
        if (!gt)
            break;
        if (gt[-1] != '/' && ++depth > limit)
            return false;
        p = gt;
    }
    return true;
}

// Binary property lists ("bplist00"), read in place. libplist's binary
// parser is not used: it descends one call per nesting level without a bound
// and parses an object afresh for every reference to it, so a small file
// could exhaust the stack or the memory. The pattern has a fixed shape, so
// only the objects it reaches are ever decoded, each on demand, and a column
// shared by many references costs nothing extra.
class BinaryPlist {
public:
    using Node = std::uint64_t;  // object index

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
    std::uint64_t count(Node array) const
    {
        const auto c = container(array);
        return c ? c->count : 0;
    }
    // Invalid references come back as an index that reads as nothing.
    Node at(Node array, std::uint64_t i) const
    {
        const auto c = container(array);
        if (!c)
            return kNone;
        return ref(*c, i).value_or(kNone);
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
    static constexpr Node kNone = std::numeric_limits<Node>::max();

    struct Container {
        std::uint64_t refs;   // offset of the first reference
        std::uint64_t count;  // elements (for a dictionary: keys)
    };

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
    auto fail = [&](const std::string& reason) { return BoardLoad{nullptr, openError(fileName, reason)}; };
    const auto root = plist.root();
    if (!plist.isDict(root))
        return fail("its root is not a dictionary");

    const auto sizeNode = plist.get(root, kSizeKey);
    if (!sizeNode)
        return fail("it has no \u201cbitMapPixelSize\u201d");
    if (!plist.isArray(*sizeNode) || plist.count(*sizeNode) < 2)
        return fail("\u201cbitMapPixelSize\u201d is not a list of two integers");
    const Integer w = plist.integer(plist.at(*sizeNode, 0));
    const Integer h = plist.integer(plist.at(*sizeNode, 1));
    if (!w.isInteger || !h.isInteger)
        return fail("\u201cbitMapPixelSize\u201d is not a list of two integers");
    const std::string sizeText = std::to_string(w.value) + " \u00d7 " + std::to_string(h.value);
    if (w.value < 1 || h.value < 1)
        return fail("its size " + sizeText + " has no cells");
    if (!CellBitmap::sizeFits(w.value, h.value))
        return fail("its size " + sizeText + " is larger than the largest board (" +
                    std::to_string(CellBitmap::kMaxCells) + " cells)");

    const auto dataNode = plist.get(root, kDataKey);
    if (dataNode && (!plist.isArray(*dataNode) || plist.count(*dataNode) < static_cast<std::uint64_t>(w.value)))
        return fail("\u201cbitMapPixelData\u201d does not hold " + std::to_string(w.value) + " columns");

    auto board = CellBitmap::create(w.value, h.value, logicalSize);
    if (!board)
        return fail("there is not enough memory for a board of " + sizeText + " cells");
    if (!dataNode) {
        // A size without cell data gives a board of live cells.
        board->fill(CellBitmap::kLive);
        return {std::move(board), {}};
    }
    const auto height = static_cast<std::uint64_t>(h.value);
    for (std::int64_t x = 0; x < w.value; ++x) {
        const auto column = plist.at(*dataNode, static_cast<std::uint64_t>(x));
        if (!plist.isArray(column) || plist.count(column) < height)
            return fail("column " + std::to_string(x) + " does not hold " + std::to_string(h.value) + " cells");
        for (std::uint64_t y = 0; y < height; ++y) {
            const Integer v = plist.integer(plist.at(column, y));
            if (!v.isInteger || v.value < 0 || v.value > 255) {
                const std::string where = "the cell at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                if (!v.isInteger)
                    return fail(where + " is not an integer");
                return fail(where + " holds " + std::to_string(v.value) + ", outside 0 to 255");
            }
            board->setPixel(x, static_cast<std::int64_t>(y), static_cast<std::uint8_t>(v.value));
        }
    }
    return {std::move(board), {}};
}

}  // namespace

std::string PatternFile::toXml(const CellBitmap* board)
{
    const std::int64_t w = board ? board->pixelsWide() : 0;
    const std::int64_t h = board ? board->pixelsHigh() : 0;
    std::string out;
    // Each cell takes at most "\t\t\t<integer>255</integer>\n", 26 bytes.
    out.reserve(512 + static_cast<std::size_t>(w) * (12 + static_cast<std::size_t>(h) * 26));
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
            for (std::int64_t y = 0; y < h; ++y)
                appendInteger(out, "\t\t\t", board->getPixel(x, y));
            out += "\t\t</array>\n";
        }
        out += "\t</array>\n";
    }
    out += "</dict>\n"
           "</plist>\n";
    return out;
}

std::string PatternFile::write(const CellBitmap* board, const std::string& path)
{
    const std::string name = baseName(path);
    auto fail = [&](const QString& reason) {
        return quoted(name) + " could not be saved: " + reason.toStdString() + ".";
    };
    std::string xml;
    try {
        xml = toXml(board);
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("there is not enough memory"));
    }
    // The list goes to a temporary file beside the target, which replaces the
    // target only once it is complete. (Where the platform has a "hide
    // extension" attribute it would be set here; this file system has none.)
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(xml.data(), static_cast<qint64>(xml.size())) != static_cast<qint64>(xml.size())) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return {};
}

BoardLoad PatternFile::read(const std::string& path, LogicalSize logicalSize)
{
    const std::string name = baseName(path);
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {nullptr, openError(name, "the file cannot be read (" + file.errorString().toStdString() + ")")};
    const qint64 size = file.size();
    if (size > kMaxFileBytes)
        return {nullptr, openError(name, "the file is too large (" + std::to_string(size) + " bytes)")};
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
        if (!xmlNestingWithin(data, size, kMaxNesting))
            return {nullptr, openError(fileName, "its property list is nested too deeply")};
        plist_t root = nullptr;
        plist_from_xml(data, static_cast<std::uint32_t>(size), &root);
        if (!root)
            return {nullptr, openError(fileName, "it is not a property list")};
        const XmlPlist plist(root);
        return loadBoard(plist, fileName, logicalSize);
    } catch (const std::bad_alloc&) {
        return {nullptr, openError(fileName, "there is not enough memory to read it")};
    }
}
