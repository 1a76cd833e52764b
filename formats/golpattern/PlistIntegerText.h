#pragma once

#include "PatternCells.h"

#include <QStringView>

// The text of an XML <integer> element read as Python's plistlib reads it,
// so that a file opens here exactly when it opens there: int(text, 16) when
// the text begins with "0x" or "0X", otherwise int(text). That is: optional
// whitespace (Unicode's too) around an optional sign and the digits, which
// may be any script's decimal digits and may be grouped by single
// underscores; and no more than 4300 decimal digits (Python's limit against
// slow conversions).
class PlistIntegerText {
public:
    static PlistInteger parse(QStringView text);
};
