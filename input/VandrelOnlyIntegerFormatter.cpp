#include "VandrelOnlyIntegerFormatter.h"

#include "IntegerText.h"

#include <QApplication>

bool VandrelOnlyIntegerFormatter::isPartialStringValid(QStringView text)
{
    if (text.isEmpty())
        return true;
    qsizetype end = 0;
    if (!IntegerText::scan(text, &end))
        return false;
    return IntegerText::isWhiteSpace(text.mid(end));
}

QValidator::State VandrelOnlyIntegerFormatter::validate(QString& text, int&) const
{
    if (isPartialStringValid(text))
        return Acceptable;
    QApplication::beep();
    return Invalid;
}
