#include "RuleName.h"

#include "FileMessage.h"

#include <cctype>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

}  // namespace

std::string RuleName::printable(std::string_view text)
{
    std::size_t end = text.size();
    if (end > kMaxQuoted) {
        end = kMaxQuoted;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;  // not inside a character
    }
    const std::string out = FileMessage::printable(text.substr(0, end));
    return end < text.size() ? out + "\u2026" : out;
}

bool RuleName::readSize(std::string_view suffix, RuleName& into)
{
    // The letter, then the width, then optionally "," and the height.
    suffix.remove_prefix(1);
    const std::size_t comma = suffix.find(',');
    const std::string_view width = suffix.substr(0, comma);
    const std::string_view height = comma == std::string_view::npos ? width : suffix.substr(comma + 1);
    const auto size = [](std::string_view digits, std::optional<std::int64_t>& side) {
        if (digits.empty() || digits.size() > 18)
            return false;
        std::int64_t n = 0;
        for (char c : digits) {
            if (!isDigit(c))
                return false;
            n = n * 10 + (c - '0');
        }
        if (n > 0)
            side = n;
        return true;
    };
    return size(width, into.planeWidth) && size(height, into.planeHeight);
}

RuleName RuleName::read(std::string_view text)
{
    text = trimmed(text);
    RuleName result;
    if (text.empty())
        return result;
    const std::size_t colon = text.find(':');
    const std::string name = printable(text);
    const ParsedRule parsed = LifeLikeRule::parse(trimmed(text.substr(0, colon)));
    if (!parsed.ok) {
        result.refusal = "This pattern uses the rule " + name + ", which is not a Life-like rule: " + parsed.error + ".";
        return result;
    }
    result.rule = parsed.rule;
    if (colon == std::string_view::npos)
        return result;

    const std::string_view suffix = trimmed(text.substr(colon + 1));
    const char topology =
        suffix.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(suffix.front())));
    const char* surface = topology == 'K'   ? "a Klein bottle"
                          : topology == 'C' ? "a cross-surface"
                          : topology == 'S' ? "a sphere"
                                            : "a surface it does not know";
    if (topology == 'T') {
        result.rule.world = World::Torus;
        if (suffix.find_first_of("+-") != std::string_view::npos)
            surface = "a torus with a shift";
        else if (!readSize(suffix, result))
            surface = "a torus whose size it cannot read";
        else if (!result.planeWidth || !result.planeHeight)
            surface = "a torus with an unbounded side";
        else
            return result;
    } else if (topology == 'P') {
        if (readSize(suffix, result))
            return result;
        surface = "a bounded plane whose size it cannot read";
    }
    result.refusal = "This pattern uses the rule " + name + ", on " + surface +
                     "; Game of Life runs Life-like rules on a bounded plane or a torus only.";
    return result;
}

std::string RuleName::write(const LifeLikeRule& rule, std::int64_t width, std::int64_t height)
{
    return rule.name() + (rule.world == World::Torus ? ":T" : ":P") + std::to_string(width) + "," +
           std::to_string(height);
}
