#pragma once

#include <QValidator>

// Lets a text field hold only a whole number: an empty text, or optional
// white space, an optional sign, one or more decimal digits and optional
// white space. Any other edit is refused with the system beep and the field
// keeps the text it had. The number of digits is not limited.
class VandrelOnlyIntegerFormatter : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;

    State validate(QString& text, int& position) const override;
    // True when `text` is a text the formatter lets through.
    static bool isPartialStringValid(QStringView text);
};
