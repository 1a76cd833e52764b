#include "RuleName.h"

#include <array>
#include <cctype>

namespace {

constexpr std::size_t kLongestRule = 64;  // no spelling of B3/S23 is longer

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

// The neighbour counts of a birth or survival list, as a set of bits; -1 when
// the list holds anything but the counts 0 to 8.
int counts(std::string_view digits)
{
    int set = 0;
    for (char c : digits) {
        if (c < '0' || c > '8')
            return -1;
        set |= 1 << (c - '0');
    }
    return set;
}

// A whole number of at most a few digits; -1 otherwise.
int smallNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 4)
        return -1;
    int n = 0;
    for (char c : digits) {
        if (!isDigit(c))
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

constexpr int kBirth = 1 << 3;
constexpr int kSurvival = (1 << 2) | (1 << 3);

// The spellings with letters: B3/S23, B3S23, S23/B3, B3/S23/C2 (any case).
bool lettered(std::string_view rule, int& birth, int& survival, int& states)
{
    std::array<bool, 3> seen{};
    while (!rule.empty()) {
        const char letter = lower(rule.front());
        rule.remove_prefix(1);
        std::size_t n = 0;
        while (n < rule.size() && isDigit(rule[n]))
            ++n;
        const std::string_view digits = rule.substr(0, n);
        rule.remove_prefix(n);
        if (!rule.empty()) {
            if (rule.front() == '/')
                rule.remove_prefix(1);
            if (rule.empty())
                return false;
        }
        const int which = letter == 'b' ? 0 : letter == 's' ? 1 : (letter == 'c' || letter == 'g') ? 2 : -1;
        if (which < 0 || seen[std::size_t(which)])
            return false;
        seen[std::size_t(which)] = true;
        if (which == 0)
            birth = counts(digits);
        else if (which == 1)
            survival = counts(digits);
        else
            states = smallNumber(digits);
        if (birth < 0 || survival < 0 || (which == 2 && states < 0))
            return false;
    }
    return seen[0] && seen[1];
}

// The older spelling, survival first: 23/3, or 23/3/2 with the state count.
bool numeric(std::string_view rule, int& birth, int& survival, int& states)
{
    const std::size_t first = rule.find('/');
    if (first == std::string_view::npos)
        return false;
    survival = counts(rule.substr(0, first));
    std::string_view rest = rule.substr(first + 1);
    const std::size_t second = rest.find('/');
    birth = counts(rest.substr(0, second));
    if (second != std::string_view::npos)
        states = smallNumber(rest.substr(second + 1));
    return birth >= 0 && survival >= 0 && (second == std::string_view::npos || states >= 0);
}

std::string quote(std::string_view name)
{
    if (name.size() <= RuleName::kMaxQuoted)
        return std::string(name);
    return std::string(name.substr(0, RuleName::kMaxQuoted)) + "\u2026";
}

}  // namespace

bool RuleName::isLifeRule(std::string_view rule, int& states)
{
    if (rule.size() > kLongestRule)
        return false;
    int birth = 0, survival = 0;
    states = 0;
    const bool spelled = !rule.empty() && (isDigit(rule.front()) || rule.front() == '/')
                             ? numeric(rule, birth, survival, states)
                             : lettered(rule, birth, survival, states);
    return spelled && birth == kBirth && survival == kSurvival && (states == 0 || states == 2);
}

bool RuleName::readPlane(std::string_view suffix, RuleName& into)
{
    // "P" then the width, then optionally "," and the height.
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
    const std::string_view rule = text.substr(0, colon);
    const std::string name = quote(text);
    const std::string otherRule =
        "This pattern uses the rule " + name + "; Game of Life runs " + kLife + " only.";

    int states = 0;
    if (!isLifeRule(trimmed(rule), states)) {
        result.refusal = states > 2 ? "This pattern uses the rule " + name + ", with " + std::to_string(states) +
                                          " cell states; Game of Life runs " + kLife +
                                          " with live and dead cells only."
                                    : otherRule;
        return result;
    }
    if (colon == std::string_view::npos)
        return result;

    const std::string_view suffix = trimmed(text.substr(colon + 1));
    const char topology =
        suffix.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(suffix.front())));
    if (topology == 'P') {
        if (!readPlane(suffix, result))
            result.refusal = otherRule;
        return result;
    }
    const char* surface = topology == 'T'   ? "a torus"
                          : topology == 'K' ? "a Klein bottle"
                          : topology == 'C' ? "a cross-surface"
                          : topology == 'S' ? "a sphere"
                                            : "a surface it does not know";
    result.refusal = "This pattern uses the rule " + name + ", on " + surface + "; Game of Life runs " + kLife +
                     " on a bounded plane only.";
    return result;
}
