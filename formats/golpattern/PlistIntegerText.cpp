#include "PlistIntegerText.h"

#include <QChar>
#include <QList>

#include <cstdint>
#include <limits>
#include <string>

namespace {

// Python's decimal-digit limit for int() from text (sys.int_info.default_max_str_digits).
constexpr std::size_t kMaxDecimalDigits = 4300;

// The characters Python's str.isspace() takes as whitespace beyond ASCII.
bool isUnicodeSpace(char32_t c)
{
    return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

bool isAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

// Python's own conversion of the text to ASCII before it parses: whitespace
// becomes ' ', a decimal digit of any script its ASCII digit; any other
// character beyond ASCII ends the text with '?', which no number holds.
std::string toAscii(QStringView text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t c : text.toUcs4()) {
        if (c < 127) {
            out += static_cast<char>(c);
        } else if (isUnicodeSpace(c)) {
            out += ' ';
        } else if (QChar::category(c) == QChar::Number_DecimalDigit && QChar::digitValue(c) >= 0) {
            out += static_cast<char>('0' + QChar::digitValue(c));
        } else {
            out += '?';
            break;
        }
    }
    return out;
}

// PyLong_FromString on ASCII text in base 10 or 16.
PlistInteger parseAscii(const char* p, const char* end, int base)
{
    while (p != end && isAsciiSpace(*p))
        ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    if (base == 16 && end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        p += 2;
        if (p != end && *p == '_')  // one underscore may follow the prefix
            ++p;
    }
    if (p != end && *p == '_')
        return {};
    constexpr std::uint64_t kCap = std::uint64_t{1} << 63;
    std::uint64_t value = 0;
    std::size_t digits = 0;
    char previous = 0;
    for (; p != end && (digitValue(*p) < base || *p == '_'); previous = *p++) {
        if (*p == '_') {
            if (previous == '_')
                return {};
            continue;
        }
        const auto d = static_cast<std::uint64_t>(digitValue(*p));
        value = value > (kCap - d) / static_cast<std::uint64_t>(base) ? kCap : value * static_cast<std::uint64_t>(base) + d;
        ++digits;
    }
    if (digits == 0 || previous == '_' || (base == 10 && digits > kMaxDecimalDigits))
        return {};
    while (p != end && isAsciiSpace(*p))
        ++p;
    if (p != end)
        return {};
    if (negative)
        return {true, value >= kCap ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(value)};
    return {true, value >= kCap ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(value)};
}

}  // namespace

PlistInteger PlistIntegerText::parse(QStringView text)
{
    const int base = text.startsWith(u"0x") || text.startsWith(u"0X") ? 16 : 10;
    // Nearly every cell is a few ASCII digits: those are read where they lie.
    char ascii[32];
    if (text.size() <= qsizetype(sizeof ascii)) {
        qsizetype n = 0;
        for (; n < text.size() && text[n].unicode() < 127; ++n)
            ascii[n] = static_cast<char>(text[n].unicode());
        if (n == text.size())
            return parseAscii(ascii, ascii + n, base);
    }
    const std::string converted = toAscii(text);
    return parseAscii(converted.data(), converted.data() + converted.size(), base);
}
