#include "IntegerText.h"
#include "VandrelOnlyIntegerFormatter.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST(IntegerText, ReadsTheLeadingNumberSaturatingAt32Bits)
{
    const std::pair<const char16_t*, std::int32_t> cases[] = {
        {u"42", 42}, {u"   42", 42}, {u"\t\n42", 42}, {u"42 generations", 42}, {u"-3", -3}, {u"+7", 7},
        {u"007", 7}, {u"", 0}, {u"abc", 0}, {u"-", 0}, {u" + 4", 0}, {u"x12", 0},
        {u"2147483647", INT32_MAX}, {u"2147483648", INT32_MAX}, {u"99999999999", INT32_MAX},
        {u"-2147483648", INT32_MIN}, {u"-99999999999999999999999", INT32_MIN},
    };
    for (auto [text, value] : cases)
        EXPECT_EQ(IntegerText::intValue(text), value) << QString::fromUtf16(text).toStdString();
}

TEST(OnlyIntegerFormatter, AcceptsWholeNumbersAndRefusesEverythingElse)
{
    for (const char16_t* text : {u"", u"0", u"0042", u"+5", u"-5", u"  12", u"12  ", u" \t-3 ", u"99999999999"})
        EXPECT_TRUE(VandrelOnlyIntegerFormatter::isPartialStringValid(text)) << QString::fromUtf16(text).toStdString();
    for (const char16_t* text : {u"-", u"+", u" ", u"1.5", u"1,000", u"a1", u"1a", u"1 2", u"--1", u"1-"})
        EXPECT_FALSE(VandrelOnlyIntegerFormatter::isPartialStringValid(text)) << QString::fromUtf16(text).toStdString();
}

TEST(OnlyIntegerFormatter, RefusedTypingLeavesTheFieldAsItWas)
{
    QLineEdit field;
    field.setValidator(new VandrelOnlyIntegerFormatter(&field));
    field.show();
    QTest::keyClicks(&field, "12x.");
    EXPECT_EQ(field.text(), QStringLiteral("12"));
    // A minus sign alone is refused, but in front of digits it is accepted.
    field.clear();
    QTest::keyClicks(&field, "-7");
    EXPECT_EQ(field.text(), QStringLiteral("7"));
    field.home(false);
    QTest::keyClicks(&field, "-");
    EXPECT_EQ(field.text(), QStringLiteral("-7"));
}
