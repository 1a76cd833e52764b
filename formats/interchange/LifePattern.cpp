#include "LifePattern.h"

#include "FileMessage.h"
#include "PatternText.h"
#include "RuleName.h"

#include <algorithm>
#include <cstring>

namespace {

// Far beyond any board, and far from overflowing when two are subtracted.
constexpr std::int64_t kFar = std::int64_t{1} << 40;

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A signed whole number at the start of s, saturating at kFar; false when
// there is none.
bool number(std::string_view& s, std::int64_t& n)
{
    s = trimmed(s);
    const bool negative = !s.empty() && s.front() == '-';
    if (!s.empty() && (s.front() == '-' || s.front() == '+'))
        s.remove_prefix(1);
    std::size_t digits = 0;
    n = 0;
    while (digits < s.size() && s[digits] >= '0' && s[digits] <= '9')
        n = std::min(n * 10 + (s[digits++] - '0'), kFar);
    s.remove_prefix(digits);
    n = negative ? -n : n;
    return digits > 0;
}

PatternText::Layout layout(const CellBitmap& board)
{
    return {"#Life 1.06\n", board.pixelsHigh(), [&board](std::int64_t y, std::string& out) {
                const std::uint8_t* row = board.row(y);
                for (std::int64_t x = 0; x < board.pixelsWide(); ++x) {
                    if (row[x] == CellBitmap::kLive)
                        out += std::to_string(x) + ' ' + std::to_string(y) + '\n';
                }
            }};
}

}  // namespace

bool LifePattern::isLife(std::string_view text)
{
    return text.starts_with("#Life 1.05") || text.starts_with("#Life 1.06");
}

bool LifePattern::fail(const std::string& reason)
{
    error_ = FileMessage::cannotOpen(fileName_, v106_ ? "a Life 1.06 pattern" : "a Life 1.05 pattern", reason);
    return false;
}

bool LifePattern::failOnLine(const std::string& what)
{
    return fail("on line " + std::to_string(line_) + ", " + what);
}

void LifePattern::live(std::int64_t x, std::int64_t y, CellBitmap* board, std::int64_t offsetX,
                       std::int64_t offsetY)
{
    if (board) {
        board->setPixel(x - left_ + offsetX, y - top_ + offsetY, CellBitmap::kLive);
        return;
    }
    left_ = any_ ? std::min(left_, x) : x;
    top_ = any_ ? std::min(top_, y) : y;
    right_ = any_ ? std::max(right_, x) : x;
    bottom_ = any_ ? std::max(bottom_, y) : y;
    any_ = true;
}

bool LifePattern::readRule(std::string_view line)
{
    const RuleName rule = RuleName::read(line);
    if (!rule.accepted()) {
        error_ = FileMessage::refused(fileName_, rule.refusal);
        return false;
    }
    rule_ = rule.rule;
    return true;
}

bool LifePattern::readLine(std::string_view line, CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY)
{
    line = trimmed(line);
    if (line.empty())
        return true;
    if (line.front() == '#') {
        if (line.starts_with("#P") || line.starts_with("#p")) {
            std::string_view rest = line.substr(2);
            blockX_ = rowY_ = 0;  // "#P" alone: the origin
            if (!trimmed(rest).empty() && (!number(rest, blockX_) || !number(rest, rowY_)))
                return failOnLine("\u201c#P\u201d does not give a block\u2019s x and y");
        } else if (!board && !v106_ && line.starts_with("#R")) {
            return readRule(line.substr(2));
        } else if (!board && !v106_ && (line == "#N" || line == "#n")) {
            rule_ = LifeLikeRule::life();  // the usual rule
        } else if (!board && !v106_ && (line.starts_with("#D") || line.starts_with("#d"))) {
            info_.comments.push_back(PatternInfo::after(line, 2));
        }
        return true;  // #D, #C, #O: comments
    }
    if (v106_) {
        std::int64_t x = 0, y = 0;
        std::string_view rest = line;
        if (!number(rest, x) || !number(rest, y) || !trimmed(rest).empty())
            return failOnLine("\u201c" + std::string(line.substr(0, 40)) + "\u201d is not a cell\u2019s x and y");
        live(x, y, board, offsetX, offsetY);
        return true;
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '*')
            live(blockX_ + std::int64_t(i), rowY_, board, offsetX, offsetY);
        else if (line[i] != '.')
            return failOnLine("\u201c" + std::string(1, line[i]) +
                              "\u201d is not a cell (\u201c.\u201d dead, \u201c*\u201d live)");
    }
    rowY_ = std::min(rowY_ + 1, kFar);
    return true;
}

bool LifePattern::scan(CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY)
{
    std::size_t pos = 0;
    line_ = 0;
    blockX_ = rowY_ = 0;
    while (pos < text_.size()) {
        ++line_;
        const void* newline = std::memchr(text_.data() + pos, '\n', text_.size() - pos);
        const std::size_t end = newline ? std::size_t(static_cast<const char*>(newline) - text_.data()) : text_.size();
        if (line_ > 1 && !readLine(text_.substr(pos, end - pos), board, offsetX, offsetY))
            return false;
        pos = end + 1;
    }
    return true;
}

BoardLoad LifePattern::parse(std::string_view text, const std::string& fileName, PatternTarget target)
{
    if (!isLife(text))  // chosen by the file's name alone
        return {nullptr, FileMessage::cannotOpen(fileName, "a Life pattern",
                                                 "it does not begin with \u201c#Life 1.05\u201d or "
                                                 "\u201c#Life 1.06\u201d")};
    LifePattern reader(text, fileName);
    reader.v106_ = text.starts_with("#Life 1.06");
    if (!reader.scan(nullptr, 0, 0))
        return {nullptr, reader.error_};
    const std::int64_t width = reader.any_ ? reader.right_ - reader.left_ + 1 : 0;
    const std::int64_t height = reader.any_ ? reader.bottom_ - reader.top_ + 1 : 0;
    BoardLoad load = PatternPlacement::loaded(
        width, height, target, [&reader](CellBitmap& cells, auto offsetX, auto offsetY) {
            reader.scan(&cells, offsetX, offsetY);
        },
        [&reader](const std::string& why) {
            reader.fail(why);
            return reader.error_;
        },
        std::move(reader.info_));
    load.rule = reader.rule_;
    return load;
}

std::string LifePattern::toText(const CellBitmap& board)
{
    return PatternText::whole(layout(board));
}

PatternSave LifePattern::write(const CellBitmap& board, const std::string& path, CancelFlag* cancel)
{
    return PatternText::write(board, path, cancel, layout(board));
}
