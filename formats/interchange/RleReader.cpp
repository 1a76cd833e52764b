#include "RleReader.h"

#include "FileMessage.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::int64_t kMax = CellBitmap::kMaxCells;
constexpr std::size_t kMaxQuotedDigits = 24;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (isBlank(s.front()) || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

// Digits as a number, saturating just above the largest board side so that
// any number of digits can be read without overflow.
std::int64_t number(std::string_view digits)
{
    std::int64_t n = 0;
    for (char c : digits)
        n = std::min(n * 10 + (c - '0'), kMax + 1);
    return n;
}

std::string shortened(std::string_view digits)
{
    return digits.size() <= kMaxQuotedDigits ? std::string(digits)
                                             : std::string(digits.substr(0, kMaxQuotedDigits)) + "\u2026";
}

std::string largest() { return "the largest board (" + std::to_string(kMax) + " cells)"; }

std::string cells(std::int64_t w, std::int64_t h) { return std::to_string(w) + " \u00d7 " + std::to_string(h); }

}  // namespace

RleReader::RleReader(std::string_view text, const std::string& fileName) : text_(text), fileName_(fileName) {}

bool RleReader::fail(const std::string& reason)
{
    error_ = FileMessage::cannotOpen(fileName_, "an RLE pattern", reason);
    return false;
}

bool RleReader::failOnLine(std::int64_t line, const std::string& what)
{
    return fail("on line " + std::to_string(line) + ", " + what);
}

void RleReader::skipLine()
{
    const void* newline = std::memchr(text_.data() + pos_, '\n', text_.size() - pos_);
    pos_ = newline ? std::size_t(static_cast<const char*>(newline) - text_.data()) : text_.size();
}

// ---------------------------------------------------------------------------
// The header

bool RleReader::readHeader()
{
    if (text_.starts_with("\xEF\xBB\xBF"))
        pos_ = 3;
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == '\n') {
            ++line_;
            ++pos_;
        } else if (isBlank(c)) {
            ++pos_;
        } else if (c == '#') {
            const std::size_t start = pos_;
            skipLine();
            readExtendedLine(text_.substr(start, pos_ - start));
        } else if (c == 'x' || c == 'X') {
            const std::size_t start = pos_;
            skipLine();
            if (!readHeaderLine(text_.substr(start, pos_ - start)))
                return false;
            cellsStart_ = pos_;
            cellsLine_ = line_;
            return true;
        } else {
            return fail("line " + std::to_string(line_) + " is not the header \u201cx = \u2026, y = \u2026\u201d");
        }
    }
    return fail("it has no header \u201cx = \u2026, y = \u2026\u201d");
}

// Golly's "#CXRLE Pos=x,y Gen=n": where the pattern lies on its plane, and
// the generation it was saved at. Anything else there, or a value out of
// range, is left alone.
void RleReader::readExtendedLine(std::string_view line)
{
    if (line.starts_with("#N"))
        info_.name = PatternInfo::after(line, 2);
    else if (line.starts_with("#O"))
        info_.author = PatternInfo::after(line, 2);
    else if ((line.starts_with("#C") || line.starts_with("#c")) && !line.starts_with("#CXRLE"))
        info_.comments.push_back(PatternInfo::after(line, 2));
    if (!line.starts_with("#CXRLE"))
        return;
    const auto signedNumber = [](std::string_view& s, std::int64_t& n) {
        const bool negative = s.starts_with('-');
        if (negative)
            s.remove_prefix(1);
        std::size_t digits = 0;
        while (digits < s.size() && isDigit(s[digits]))
            ++digits;
        if (digits == 0)
            return false;
        n = number(s.substr(0, digits)) * (negative ? -1 : 1);
        s.remove_prefix(digits);
        return true;
    };
    if (const std::size_t pos = line.find("Pos="); pos != std::string_view::npos) {
        const std::string_view s = line.substr(pos + 4);
        const std::size_t comma = s.find(',');
        std::string_view xText = s.substr(0, comma);
        std::string_view yText = comma == std::string_view::npos ? std::string_view{} : s.substr(comma + 1);
        std::int64_t x = 0, y = 0;
        if (signedNumber(xText, x) && xText.empty() && signedNumber(yText, y)) {
            header_.positionX = x;
            header_.positionY = y;
        }
    }
    if (const std::size_t gen = line.find("Gen="); gen != std::string_view::npos) {
        std::string_view s = line.substr(gen + 4);
        std::uint64_t n = 0;
        std::size_t digits = 0;
        for (; digits < s.size() && isDigit(s[digits]) && digits < 19; ++digits)
            n = n * 10 + std::uint64_t(s[digits] - '0');
        if (digits > 0 && (digits == s.size() || !isDigit(s[digits])))
            header_.generation = n;
    }
}

// "x = W, y = H" and optionally ", rule = R". The rule runs to the end of the
// line: a bounded-plane suffix holds a comma of its own.
bool RleReader::readHeaderLine(std::string_view line)
{
    std::string_view widthText, heightText, ruleText;
    bool hasRule = false;
    std::string_view rest = line;
    const auto malformed = [&] {
        return failOnLine(line_, "the header is not \u201cx = \u2026, y = \u2026\u201d");
    };
    while (!(rest = trimmed(rest)).empty()) {
        std::size_t keyEnd = 0;
        while (keyEnd < rest.size() && std::isalpha(static_cast<unsigned char>(rest[keyEnd])))
            ++keyEnd;
        const std::string_view key = rest.substr(0, keyEnd);
        rest = trimmed(rest.substr(keyEnd));
        if (key.empty() || rest.empty() || rest.front() != '=')
            return malformed();
        rest = trimmed(rest.substr(1));
        const auto is = [key](std::string_view name) {
            const auto same = [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; };
            return key.size() == name.size() && std::equal(key.begin(), key.end(), name.begin(), same);
        };
        if (is("rule")) {
            ruleText = rest;
            hasRule = true;
            break;
        }
        const std::size_t comma = rest.find(',');
        const std::string_view value = trimmed(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        const bool isX = is("x");
        const bool isY = is("y");
        if (!isX && !isY)
            continue;  // other writers' own entries
        if (value.empty() || !std::all_of(value.begin(), value.end(), isDigit))
            return failOnLine(line_, std::string(isX ? "x" : "y") + " is not a whole number");
        (isX ? widthText : heightText) = value;
    }
    if (widthText.empty() || heightText.empty())
        return malformed();
    if (!checkHeaderSize(widthText, heightText))
        return false;
    hasRule_ = hasRule;
    if (hasRule) {
        header_.rule = RuleName::read(ruleText);
        if (!header_.rule.accepted()) {
            error_ = FileMessage::refused(fileName_, header_.rule.refusal);
            return false;
        }
    }
    const auto& rule = header_.rule;
    if ((rule.planeWidth || rule.planeHeight) &&
        !CellBitmap::sizeFits(rule.planeWidth.value_or(1), rule.planeHeight.value_or(1)))
        return failOnLine(line_, std::string(worldName()) + " of " +
                                     cells(rule.planeWidth.value_or(0), rule.planeHeight.value_or(0)) +
                                     " cells is larger than " + largest());
    planeOffsetX_ = PatternPlacement::onPlane(rule.planeWidth.value_or(0), header_.width, header_.positionX);
    planeOffsetY_ = PatternPlacement::onPlane(rule.planeHeight.value_or(0), header_.height, header_.positionY);
    return true;
}

bool RleReader::checkHeaderSize(std::string_view widthText, std::string_view heightText)
{
    header_.width = number(widthText);
    header_.height = number(heightText);
    const bool fits = header_.width <= kMax && header_.height <= kMax &&
                      (header_.width == 0 || header_.height <= kMax / header_.width);
    if (!fits)
        return failOnLine(line_, "its size of " + shortened(widthText) + " \u00d7 " + shortened(heightText) +
                                     " cells is larger than " + largest());
    return true;
}

// ---------------------------------------------------------------------------
// The cells

// A count's digits, which may continue after whitespace and line breaks.
void RleReader::readDigits(char first)
{
    if (count_ < 0) {
        count_ = 0;
        countLine_ = line_;
        countStart_ = pos_ - 1;
    }
    std::int64_t count = std::min(count_ * 10 + (first - '0'), kMax + 1);
    while (pos_ < text_.size() && isDigit(text_[pos_]))
        count = std::min(count * 10 + (text_[pos_++] - '0'), kMax + 1);
    count_ = count;
}

bool RleReader::countTooLarge()
{
    // The digits again, for the message, from where the count began.
    std::string digits;
    for (std::size_t i = countStart_; i < text_.size() && digits.size() <= kMaxQuotedDigits; ++i) {
        if (isDigit(text_[i]))
            digits += text_[i];
        else if (!isBlank(text_[i]) && text_[i] != '\n')
            break;
    }
    return failOnLine(countLine_, "the count " + shortened(digits) + " is larger than " + largest());
}

bool RleReader::liveRun(std::int64_t count, CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY)
{
    if (count == 0)
        return true;
    if (board) {
        std::uint8_t* cells = board->row(y_ + offsetY) + x_ + offsetX;
        if (count <= 8)
            std::fill_n(cells, count, CellBitmap::kLive);  // most runs are short: no call
        else
            std::memset(cells, CellBitmap::kLive, std::size_t(count));
        return true;
    }
    const std::int64_t end = x_ + count;
    if (end > kMax || y_ >= kMax)
        return failOnLine(line_, "the pattern grows larger than " + largest());
    const auto& rule = header_.rule;
    const bool outsideX = rule.planeWidth && (x_ + planeOffsetX_ < 0 || end + planeOffsetX_ > *rule.planeWidth);
    const bool outsideY = rule.planeHeight && (y_ + planeOffsetY_ < 0 || y_ + planeOffsetY_ >= *rule.planeHeight);
    if (outsideX || outsideY)
        return failOnLine(line_, "a live cell lies outside " + std::string(worldName()) + " of " +
                                     cells(rule.planeWidth.value_or(0), rule.planeHeight.value_or(0)) + " cells");
    right_ = std::max(right_, end);
    bottom_ = std::max(bottom_, y_ + 1);
    return true;
}

bool RleReader::unexpected(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if ((c >= 'B' && c <= 'X') || (c >= 'p' && c <= 'y'))
        return failOnLine(line_, std::string("\u201c") + c + "\u201d marks a cell state other than live or dead");
    if (byte >= 0x21 && byte < 0x7f)
        return failOnLine(line_, std::string("\u201c") + c + "\u201d is not part of an RLE pattern");
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", byte);
    return failOnLine(line_, std::string("the byte ") + hex + " is not part of an RLE pattern");
}

bool RleReader::scanCells(CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY)
{
    pos_ = cellsStart_;
    line_ = cellsLine_;
    x_ = y_ = 0;
    count_ = -1;
    bool lineStart = true;
    std::int64_t count = 0;
    while (pos_ < text_.size()) {
        const char c = text_[pos_++];
        if (isDigit(c)) {
            readDigits(c);
            lineStart = false;
            continue;
        }
        switch (c) {
        case '\n':
            ++line_;
            lineStart = true;
            break;
        case ' ': case '\t': case '\r': case '\v': case '\f':
            break;
        case 'b': case '.':
            if (!takeCount(count))
                return false;
            x_ = std::min(x_ + count, kMax + 1);
            lineStart = false;
            break;
        case 'o': case 'A':
            if (!takeCount(count) || !liveRun(count, board, offsetX, offsetY))
                return false;
            x_ += count;
            lineStart = false;
            break;
        case '$':
            if (!takeCount(count))
                return false;
            y_ = std::min(y_ + count, kMax + 1);
            x_ = 0;
            lineStart = false;
            break;
        case '!':
            return true;
        case '#':
            if (!lineStart)
                return unexpected(c);
            skipLine();  // comments between the runs, as some writers put them
            break;
        default:
            return unexpected(c);
        }
    }
    return true;  // ended without "!": the cells read so far
}

// ---------------------------------------------------------------------------

BoardLoad RleReader::parse(std::string_view text, const std::string& fileName, PatternTarget target)
{
    RleReader reader(text, fileName);
    if (!reader.readHeader() || !reader.scanCells(nullptr, 0, 0))
        return {nullptr, reader.error_};

    const Header& header = reader.header_;
    PatternPlacement::Axis x{std::max(header.width, reader.right_), header.width, header.rule.planeWidth,
                             header.positionX};
    PatternPlacement::Axis y{std::max(header.height, reader.bottom_), header.height, header.rule.planeHeight,
                             header.positionY};
    std::string why;
    auto board = PatternPlacement::placed(x, y, target, why, [&reader](CellBitmap& cells, auto offsetX, auto offsetY) {
        reader.scanCells(&cells, offsetX, offsetY);
    });
    if (!board) {
        reader.fail(why);
        return {nullptr, reader.error_};
    }
    BoardLoad load{std::move(board), {}, header.generation,
                   reader.hasRule_ ? std::optional(header.rule.rule) : std::nullopt};
    load.info = std::move(reader.info_);
    return load;
}
