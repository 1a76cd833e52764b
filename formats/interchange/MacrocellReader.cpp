#include "MacrocellReader.h"

#include "FileMessage.h"
#include "RuleName.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxLevel = 63;
// More nodes than a pattern on the largest board could need, however it is
// cut: every one of its 8 by 8 leaves and all the nodes above them.
constexpr std::size_t kMaxNodes = std::size_t(CellBitmap::kMaxCells / 64) * 2 + 64 * kMaxLevel;

std::string cells(std::uint64_t w, std::uint64_t h)
{
    return std::to_string(w) + " \u00d7 " + std::to_string(h);
}

}  // namespace

bool MacrocellReader::fail(const std::string& reason)
{
    error_ = FileMessage::cannotOpen(fileName_, "a macrocell pattern", reason);
    return false;
}

bool MacrocellReader::failOnLine(const std::string& what)
{
    return fail("on line " + std::to_string(line_) + ", " + what);
}

bool MacrocellReader::readLeaf(std::string_view line)
{
    Node node;
    int x = 0, y = 0;
    for (char c : line) {
        if (c == '$') {
            x = 0;
            ++y;
            continue;
        }
        if ((c != '.' && c != '*') || x >= 8 || y >= 8)
            return failOnLine("the leaf is not 8 rows of 8 cells (\u201c.\u201d dead, \u201c*\u201d live, "
                              "\u201c$\u201d ending a row)");
        if (c == '*') {
            node.leaf |= std::uint64_t{1} << (y * 8 + x);
            Box& b = node.box;
            b.left = b.empty ? x : std::min<std::uint64_t>(b.left, x);
            b.top = b.empty ? y : std::min<std::uint64_t>(b.top, y);
            b.right = std::max<std::uint64_t>(b.right, x);
            b.bottom = std::max<std::uint64_t>(b.bottom, y);
            b.empty = false;
        }
        ++x;
    }
    nodes_.push_back(node);
    return true;
}

bool MacrocellReader::readNode(std::string_view line)
{
    std::uint64_t numbers[5] = {};
    int count = 0;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        if (line[i] < '0' || line[i] > '9' || count == 5)
            return failOnLine("a node is not its level and four earlier nodes");
        std::uint64_t n = 0;
        for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
            n = std::min<std::uint64_t>(n * 10 + std::uint64_t(line[i] - '0'), std::uint64_t{1} << 40);
        numbers[count++] = n;
    }
    if (count != 5)
        return failOnLine("a node is not its level and four earlier nodes");
    const std::uint64_t level = numbers[0];
    if (level < 4)
        return fail("it holds cells of more than two states (a node of level " + std::to_string(level) +
                    "); Game of Life runs live and dead cells only");
    if (level > kMaxLevel)
        return failOnLine("the node\u2019s level " + std::to_string(level) + " is beyond " +
                          std::to_string(kMaxLevel));
    Node node;
    node.level = std::uint8_t(level);
    const std::uint64_t half = std::uint64_t{1} << (level - 1);
    for (int q = 0; q < 4; ++q) {
        const std::uint64_t child = numbers[q + 1];
        if (child >= nodes_.size())
            return failOnLine("node " + std::to_string(child) + " is referred to before it is given");
        const Node& c = nodes_[child];
        if (child != 0 && c.level != level - 1)
            return failOnLine("a node of level " + std::to_string(level) + " holds one of level " +
                              std::to_string(c.level));
        node.quarter[q] = std::uint32_t(child);
        if (c.box.empty)
            continue;
        const std::uint64_t dx = (q & 1) ? half : 0, dy = (q & 2) ? half : 0;
        Box& b = node.box;
        b.left = b.empty ? c.box.left + dx : std::min(b.left, c.box.left + dx);
        b.top = b.empty ? c.box.top + dy : std::min(b.top, c.box.top + dy);
        b.right = std::max(b.right, c.box.right + dx);
        b.bottom = std::max(b.bottom, c.box.bottom + dy);
        b.empty = false;
    }
    nodes_.push_back(node);
    return true;
}

bool MacrocellReader::readLine(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    if (line.empty())
        return true;
    if (line.front() == '#') {
        if (line.starts_with("#R")) {
            const RuleName rule = RuleName::read(line.substr(2));
            if (!rule.accepted()) {
                error_ = FileMessage::refused(fileName_, rule.refusal);
                return false;
            }
            planeWidth_ = rule.planeWidth;
            planeHeight_ = rule.planeHeight;
            rule_ = rule.rule;
        } else if (line.starts_with("#G")) {
            generation_ = 0;
            for (std::size_t i = 2; i < line.size() && i < 21; ++i) {
                if (line[i] >= '0' && line[i] <= '9')
                    generation_ = generation_ * 10 + std::uint64_t(line[i] - '0');
            }
        }
        return true;  // #C, #N, #D: comments
    }
    if (nodes_.size() > kMaxNodes)
        return fail("it has more nodes than a pattern on the largest board could need");
    const char c = line.front();
    return (c == '.' || c == '*' || c == '$') ? readLeaf(line) : readNode(line);
}

bool MacrocellReader::read()
{
    std::size_t pos = 0;
    while (pos < text_.size()) {
        ++line_;
        const void* newline = std::memchr(text_.data() + pos, '\n', text_.size() - pos);
        const std::size_t end = newline ? std::size_t(static_cast<const char*>(newline) - text_.data()) : text_.size();
        if (line_ > 1 && !readLine(text_.substr(pos, end - pos)))
            return false;
        pos = end + 1;
    }
    return true;
}

void MacrocellReader::fill(std::uint32_t index, std::uint64_t x, std::uint64_t y, CellBitmap& board,
                           std::int64_t offsetX, std::int64_t offsetY) const
{
    const Node& node = nodes_[index];
    if (node.box.empty)
        return;
    if (node.level == 3) {
        for (int bit = 0; bit < 64; ++bit) {
            if ((node.leaf >> bit) & 1u)
                board.setPixel(std::int64_t(x + std::uint64_t(bit % 8)) + offsetX,
                               std::int64_t(y + std::uint64_t(bit / 8)) + offsetY, CellBitmap::kLive);
        }
        return;
    }
    const std::uint64_t half = std::uint64_t{1} << (node.level - 1);
    for (int q = 0; q < 4; ++q)
        fill(node.quarter[q], x + ((q & 1) ? half : 0), y + ((q & 2) ? half : 0), board, offsetX, offsetY);
}

BoardLoad MacrocellReader::parse(std::string_view text, const std::string& fileName, PatternTarget target)
{
    if (!isMacrocell(text))  // chosen by the file's name alone
        return {nullptr,
                FileMessage::cannotOpen(fileName, "a macrocell pattern", "it does not begin with \u201c[M2]\u201d")};
    MacrocellReader reader(text, fileName);
    if (!reader.read())
        return {nullptr, reader.error_};
    const Node& root = reader.nodes_.back();
    const Box& box = root.box;
    const std::uint64_t w = box.empty ? 0 : box.right - box.left + 1;
    const std::uint64_t h = box.empty ? 0 : box.bottom - box.top + 1;
    const auto max = std::uint64_t(CellBitmap::kMaxCells);
    if (w > max || h > max || (w > 0 && h > max / w)) {
        reader.fail("the pattern of " + cells(w, h) + " cells is larger than the largest board (" +
                    std::to_string(max) + " cells)");
        return {nullptr, reader.error_};
    }
    // Golly's coordinates put the root's middle at the origin: on a plane,
    // that is the plane's middle cell.
    const std::int64_t half = reader.nodes_.size() > 1 ? std::int64_t(std::uint64_t{1} << (root.level - 1)) : 0;
    PatternPlacement::Axis x{std::int64_t(w), std::int64_t(w), reader.planeWidth_, std::int64_t(box.left) - half};
    PatternPlacement::Axis y{std::int64_t(h), std::int64_t(h), reader.planeHeight_, std::int64_t(box.top) - half};
    const auto outside = [](const PatternPlacement::Axis& a) {
        const std::int64_t at = a.plane ? PatternPlacement::onPlane(*a.plane, a.extent, a.position) : 0;
        return a.plane && a.extent > 0 && (at < 0 || at + a.extent > *a.plane);
    };
    if (outside(x) || outside(y)) {
        const bool torus = reader.rule_ && reader.rule_->world == World::Torus;
        reader.fail(std::string("a live cell lies outside its ") + (torus ? "torus" : "bounded plane") + " of " +
                    cells(std::uint64_t(x.plane.value_or(0)), std::uint64_t(y.plane.value_or(0))) + " cells");
        return {nullptr, reader.error_};
    }
    std::string why;
    const std::uint32_t top = std::uint32_t(reader.nodes_.size() - 1);
    auto board = PatternPlacement::placed(x, y, target, why, [&](CellBitmap& cells, auto offsetX, auto offsetY) {
        reader.fill(top, 0, 0, cells, offsetX - std::int64_t(box.left), offsetY - std::int64_t(box.top));
    });
    if (!board)
        reader.fail(why);
    return {std::move(board), reader.error_, reader.generation_, reader.rule_};
}
