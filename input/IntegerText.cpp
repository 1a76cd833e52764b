#include "IntegerText.h"

#include <limits>

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' ||
           c == QChar(0x2028) || c == QChar(0x2029) || c == QChar(0x85);
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

bool IntegerText::isWhiteSpace(QStringView text)
{
    for (QChar c : text) {
        if (!isSpace(c))
            return false;
    }
    return true;
}

bool IntegerText::scan(QStringView text, qsizetype* end)
{
    qsizetype i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype digits = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    if (i == digits)
        return false;
    if (end)
        *end = i;
    return true;
}

std::int32_t IntegerText::intValue(QStringView text)
{
    qsizetype end = 0;
    if (!scan(text, &end))
        return 0;
    qsizetype i = 0;
    while (isSpace(text[i]))
        ++i;
    const bool negative = text[i] == u'-';
    if (text[i] == u'+' || text[i] == u'-')
        ++i;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < end; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    if (negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}
