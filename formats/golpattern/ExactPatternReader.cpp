#include "ExactPatternReader.h"

#include "PatternCells.h"

#include <cstring>
#include <string_view>

namespace {

constexpr std::string_view kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n"
    "<dict>\n"
    "\t<key>bitMapPixelSize</key>\n"
    "\t<array>\n";
constexpr std::string_view kBetween = "\t</array>\n\t<key>bitMapPixelData</key>\n\t<array>\n";
constexpr std::string_view kColumnStart = "\t\t<array>\n";
constexpr std::string_view kColumnEnd = "\t\t</array>\n";
constexpr std::string_view kColumnsEnd = "\t</array>\n";
constexpr std::string_view kRuleStart = "\t<key>rule</key>\n\t<string>";
constexpr std::string_view kTail = "</dict>\n</plist>\n";

// The text still to read, consumed from the front.
class Text {
public:
    Text(const char* data, std::size_t size) : rest_(data, size) {}

    bool take(std::string_view expected)
    {
        if (!rest_.starts_with(expected))
            return false;
        rest_.remove_prefix(expected.size());
        return true;
    }

    // `indent`<integer>N</integer>\n, N in decimal as written: no sign, no
    // leading zero, at most `maxDigits` digits.
    bool integer(std::string_view indent, std::size_t maxDigits, std::int64_t& value)
    {
        if (!take(indent) || !take("<integer>"))
            return false;
        std::size_t digits = 0;
        value = 0;
        while (digits < rest_.size() && rest_[digits] >= '0' && rest_[digits] <= '9' && digits <= maxDigits)
            value = value * 10 + (rest_[digits++] - '0');
        if (digits == 0 || digits > maxDigits || (digits > 1 && rest_[0] == '0'))
            return false;
        rest_.remove_prefix(digits);
        return take("</integer>\n");
    }

    // Text up to `end` (taken too), of plain characters only (no markup).
    bool until(std::string_view end, std::string_view& value)
    {
        const std::size_t at = rest_.substr(0, 100).find(end);
        if (at == std::string_view::npos || rest_.substr(0, at).find_first_of("<&") != std::string_view::npos)
            return false;
        value = rest_.substr(0, at);
        rest_.remove_prefix(at + end.size());
        return true;
    }

    bool empty() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

}  // namespace

std::optional<BoardLoad> ExactPatternReader::read(const char* data, std::size_t size, const std::string& fileName,
                                                  LogicalSize logicalSize, const CancelFlag* cancel)
{
    if (size > kMaxFileBytes)
        return std::nullopt;
    Text text(data, size);
    std::int64_t width = 0;
    std::int64_t height = 0;
    if (!text.take(kHead) || !text.integer("\t\t", 9, width) || !text.integer("\t\t", 9, height) ||
        !text.take(kBetween))
        return std::nullopt;
    PatternCells cells(fileName, logicalSize, cancel);
    // A size the board cannot have, or a board there is no memory for, is
    // the XML reader's to report.
    if (!cells.setSize({true, width}, {true, height}).empty() || !cells.makeBoard().empty())
        return std::nullopt;
    for (std::int64_t x = 0; x < width; ++x) {
        if (cells.cancelled())
            return cells.refuse("the reading was cancelled");
        if (!text.take(kColumnStart))
            return std::nullopt;
        for (std::int64_t y = 0; y < height; ++y) {
            std::int64_t value = 0;
            if (!text.integer("\t\t\t", 3, value) || !cells.setCell(x, y, {true, value}).empty())
                return std::nullopt;
        }
        if (!text.take(kColumnEnd))
            return std::nullopt;
    }
    if (!text.take(kColumnsEnd))
        return std::nullopt;
    std::string_view rule;
    if (text.take(kRuleStart) && !text.until("</string>\n", rule))
        return std::nullopt;
    if (!text.take(kTail) || !text.empty())
        return std::nullopt;
    if (!rule.empty()) {
        if (auto refused = cells.setRule(rule))
            return refused;
    }
    return cells.take();
}
