#include "BinaryPatternReader.h"

#include "PatternCells.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

// The binary form is read here, in place, rather than through libplist.
// libplist 2.2 (the version Debian ships) is not safe on hostile input: its
// binary parser descends one call per nesting level without a bound, and
// parses an object afresh for every reference to it, so a file of a few
// kilobytes can exhaust the stack or the memory. The pattern has a fixed
// shape, so this reader decodes only the objects that shape reaches, each on
// demand and without recursion; every reference and offset is checked against
// the file before it is followed, and a column shared by many references
// costs nothing extra.

namespace {

constexpr std::string_view kSizeKey = "bitMapPixelSize";
constexpr std::string_view kDataKey = "bitMapPixelData";
constexpr std::string_view kRuleKey = "rule";

class BinaryPlist {
public:
    using Node = std::uint64_t;  // object index

    struct Container {
        std::uint64_t refs = 0;   // offset of the first reference
        std::uint64_t count = 0;  // elements (for a dictionary: keys)
    };

    static std::optional<BinaryPlist> open(const unsigned char* data, std::size_t size)
    {
        BinaryPlist p(data);
        if (size < 8 + 32 || std::memcmp(data, "bplist0", 7) != 0)
            return std::nullopt;
        const unsigned char* t = data + size - 32;
        p.offsetSize_ = t[6];
        p.refSize_ = t[7];
        p.objectCount_ = be(t + 8, 8);
        p.top_ = be(t + 16, 8);
        p.tableOffset_ = be(t + 24, 8);
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
    int type(Node n) const
    {
        const auto off = offset(n);
        return off ? data_[*off] >> 4 : -1;
    }
    static constexpr int kArray = 0xA;
    static constexpr int kDict = 0xD;

    // The array or dictionary n: its references and count, checked to lie
    // inside the object area.
    std::optional<Container> container(Node n) const
    {
        const auto off = offset(n);
        if (!off)
            return std::nullopt;
        const int t = data_[*off] >> 4;
        if (t != kArray && t != kDict)
            return std::nullopt;
        std::uint64_t next = 0;
        const auto count = objectCount(*off, next);
        if (!count)
            return std::nullopt;
        const std::uint64_t refs = t == kDict ? 2 : 1;
        const std::uint64_t room = (tableOffset_ - next) / refSize_;
        if (*count > room / refs)
            return std::nullopt;
        return Container{next, *count};
    }

    // Element i of a container; nullopt for a reference to no object.
    std::optional<Node> ref(const Container& c, std::uint64_t i) const
    {
        const Node n = be(data_ + c.refs + i * refSize_, refSize_);
        if (n >= objectCount_)
            return std::nullopt;
        return n;
    }

    // A string's text (UTF-16 characters beyond ASCII as "?"); none when
    // the node is no string or runs past the objects.
    std::optional<std::string> text(Node n) const
    {
        const auto off = offset(n);
        if (!off)
            return std::nullopt;
        const int t = data_[*off] >> 4;
        std::uint64_t next = 0;
        const auto count = objectCount(*off, next);
        const unsigned width = t == 0x5 ? 1 : t == 0x6 ? 2 : 0;
        if (!count || width == 0 || *count > 256 || next + width * *count > tableOffset_)
            return std::nullopt;
        std::string out;
        for (std::uint64_t i = 0; i < *count; ++i) {
            const auto c = be(data_ + next + width * i, width);
            out += c < 0x80 ? static_cast<char>(c) : '?';
        }
        return out;
    }

    // How often `key` occurs among the keys of dictionary d, and the value of
    // its last occurrence.
    std::uint64_t lookUp(const Container& d, std::string_view key, std::optional<Node>& value) const
    {
        std::uint64_t found = 0;
        for (std::uint64_t i = 0; i < d.count; ++i) {
            const auto k = ref(d, i);
            if (k && keyEquals(*k, key)) {
                ++found;
                value = ref(d, d.count + i);
            }
        }
        return found;
    }

    PlistInteger integer(std::optional<Node> n) const
    {
        const auto off = n ? offset(*n) : std::nullopt;
        if (!off || (data_[*off] >> 4) != 0x1)
            return {};
        const unsigned bytes = 1u << (data_[*off] & 0xF);
        if (bytes > 16 || *off + 1 + bytes > tableOffset_)
            return {};
        const unsigned char* v = data_ + *off + 1;
        if (bytes <= 8)  // 1, 2 and 4 bytes are unsigned; 8 bytes signed
            return {true, static_cast<std::int64_t>(be(v, bytes))};
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
        if (t == 0x5)  // ASCII
            return next + key.size() <= tableOffset_ && std::memcmp(data_ + next, key.data(), key.size()) == 0;
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

}  // namespace

BoardLoad BinaryPatternReader::read(const unsigned char* data, std::size_t size, const std::string& fileName,
                                    LogicalSize logicalSize, const CancelFlag* cancel)
{
    PatternCells cells(fileName, logicalSize, cancel);
    const auto plist = BinaryPlist::open(data, size);
    if (!plist)
        return cells.refuse("it is not a valid binary property list");
    const auto root = plist->type(plist->root()) == BinaryPlist::kDict ? plist->container(plist->root())
                                                                         : std::nullopt;
    if (!root)
        return cells.refuse("its root is not a dictionary");

    std::optional<BinaryPlist::Node> sizeNode, dataNode;
    const auto sizeKeys = plist->lookUp(*root, kSizeKey, sizeNode);
    const auto dataKeys = plist->lookUp(*root, kDataKey, dataNode);
    if (sizeKeys == 0)
        return cells.refuse("it has no \u201cbitMapPixelSize\u201d");
    std::optional<BinaryPlist::Node> ruleNode;
    const auto ruleKeys = plist->lookUp(*root, kRuleKey, ruleNode);
    if (sizeKeys > 1 || dataKeys > 1 || ruleKeys > 1)
        return cells.refuse(std::string("it holds \u201c") +
                            std::string(sizeKeys > 1 ? kSizeKey : dataKeys > 1 ? kDataKey : kRuleKey) +
                            "\u201d more than once");
    if (ruleNode) {
        const auto rule = plist->text(*ruleNode);
        if (!rule)
            return cells.refuse("its \u201crule\u201d is not a string");
        if (auto refused = cells.setRule(*rule))
            return std::move(*refused);
    }

    const auto sizeArray = sizeNode && plist->type(*sizeNode) == BinaryPlist::kArray ? plist->container(*sizeNode)
                                                                                      : std::nullopt;
    if (!sizeArray || sizeArray->count < 2)
        return cells.refuse(PatternCells::notTwoIntegers());
    if (std::string why = cells.setSize(plist->integer(plist->ref(*sizeArray, 0)),
                                        plist->integer(plist->ref(*sizeArray, 1)));
        !why.empty())
        return cells.refuse(why);

    if (dataKeys == 0) {  // a size without cell data: every cell live
        if (std::string why = cells.makeBoard(true); !why.empty())
            return cells.refuse(why);
        return cells.take();
    }
    // The column count is known from the array's header, and so is checked
    // before the board is made; shared columns make any length possible.
    const auto columns = dataNode && plist->type(*dataNode) == BinaryPlist::kArray ? plist->container(*dataNode)
                                                                                    : std::nullopt;
    if (!columns || columns->count < static_cast<std::uint64_t>(cells.width()))
        return cells.refuse(cells.tooFewColumns());
    if (std::string why = cells.makeBoard(); !why.empty())
        return cells.refuse(why);
    for (std::int64_t x = 0; x < cells.width(); ++x) {
        if (cells.cancelled())
            return cells.refuse("the reading was cancelled");
        const auto columnNode = plist->ref(*columns, static_cast<std::uint64_t>(x));
        const auto column = columnNode && plist->type(*columnNode) == BinaryPlist::kArray
                                ? plist->container(*columnNode)
                                : std::nullopt;
        if (!column || column->count < static_cast<std::uint64_t>(cells.height()))
            return cells.refuse(cells.shortColumn(x));
        for (std::int64_t y = 0; y < cells.height(); ++y) {
            if (std::string why = cells.setCell(x, y, plist->integer(plist->ref(*column, static_cast<std::uint64_t>(y))));
                !why.empty())
                return cells.refuse(why);
        }
    }
    return cells.take();
}
