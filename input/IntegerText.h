#pragma once

#include <QStringView>

#include <cstdint>

// Reading a whole number at the start of a text field's text.
class IntegerText {
public:
    // Skips leading white space (spaces, tabs, line breaks), then reads an
    // optional sign and decimal digits. Returns false when no digit follows;
    // otherwise sets *end (when given) to the index after the last digit.
    static bool scan(QStringView text, qsizetype* end = nullptr);

    // The field's integer value: the leading number after white space, 0 when
    // the text does not begin with one, saturated at the 32-bit bounds; text
    // after the number is ignored.
    static std::int32_t intValue(QStringView text);

    static bool isWhiteSpace(QStringView text);
};
