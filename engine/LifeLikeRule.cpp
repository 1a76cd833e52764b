#include "LifeLikeRule.h"

#include <array>
#include <cctype>

namespace {

constexpr std::size_t kLongestName = 64;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The neighbour counts of a birth or survival list as a set of bits; -1 when
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

// Larger than Life names its range first: "R2,C0,M1,S34..58,B34..45,NM".
bool largerThanLife(std::string_view rule)
{
    return rule.size() > 1 && lower(rule[0]) == 'r' && isDigit(rule[1]) && rule.find(',') != std::string_view::npos;
}

}  // namespace

std::string LifeLikeRule::name() const
{
    std::string out = "B";
    for (int n = 0; n <= 8; ++n) {
        if ((birth >> n) & 1u)
            out += static_cast<char>('0' + n);
    }
    out += "/S";
    for (int n = 0; n <= 8; ++n) {
        if ((survival >> n) & 1u)
            out += static_cast<char>('0' + n);
    }
    return out;
}

ParsedRule LifeLikeRule::parse(std::string_view text)
{
    ParsedRule result;
    if (text.empty()) {
        result.error = "no rule is given";
        return result;
    }
    int birth = 0, survival = 0, states = 0;
    const bool spelled = text.size() <= kLongestName &&
                         (isDigit(text.front()) || text.front() == '/' ? numeric(text, birth, survival, states)
                                                                       : lettered(text, birth, survival, states));
    if (spelled && (states == 0 || states == 2)) {
        result.ok = true;
        result.rule.birth = static_cast<std::uint16_t>(birth);
        result.rule.survival = static_cast<std::uint16_t>(survival);
        return result;
    }
    if (spelled)
        result.error = "it has " + std::to_string(states) + " cell states (a Generations rule), not two";
    else if (largerThanLife(text))
        result.error = "it is a Larger than Life rule, with a range beyond the eight neighbours";
    else
        result.error = "a Life-like rule gives its birth and survival counts, such as B3/S23";
    return result;
}
