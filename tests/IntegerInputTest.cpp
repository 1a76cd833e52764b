#include "IntegerText.h"
#include "VandrelOnlyIntegerFormatter.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST(IntegerText, ReadsTheLeadingNumber)
{
    EXPECT_EQ(IntegerText::intValue(u"42"), 42);
    EXPECT_EQ(IntegerText::intValue(u"   42"), 42);
    EXPECT_EQ(IntegerText::intValue(u"\t\n42"), 42);
    EXPECT_EQ(IntegerText::intValue(u"42 generations"), 42);
    EXPECT_EQ(IntegerText::intValue(u"-3"), -3);
    EXPECT_EQ(IntegerText::intValue(u"+7"), 7);
    EXPECT_EQ(IntegerText::intValue(u"007"), 7);
}

TEST(IntegerText, NoLeadingNumberGivesZero)
{
    EXPECT_EQ(IntegerText::intValue(u""), 0);
    EXPECT_EQ(IntegerText::intValue(u"abc"), 0);
    EXPECT_EQ(IntegerText::intValue(u"-"), 0);
    EXPECT_EQ(IntegerText::intValue(u" + 4"), 0);
    EXPECT_EQ(IntegerText::intValue(u"x12"), 0);
}

TEST(IntegerText, SaturatesAtThe32BitBounds)
{
    EXPECT_EQ(IntegerText::intValue(u"2147483647"), 2147483647);
    EXPECT_EQ(IntegerText::intValue(u"2147483648"), 2147483647);
    EXPECT_EQ(IntegerText::intValue(u"99999999999"), 2147483647);
    EXPECT_EQ(IntegerText::intValue(u"-2147483648"), INT32_MIN);
    EXPECT_EQ(IntegerText::intValue(u"-99999999999999999999999"), INT32_MIN);
}

TEST(OnlyIntegerFormatter, AcceptsWholeNumbers)
{
    for (const char16_t* text : {u"", u"0", u"0042", u"+5", u"-5", u"  12", u"12  ", u" \t-3 ", u"99999999999"})
        EXPECT_TRUE(VandrelOnlyIntegerFormatter::isPartialStringValid(text)) << QString::fromUtf16(text).toStdString();
}

TEST(OnlyIntegerFormatter, RefusesEverythingElse)
{
    for (const char16_t* text : {u"-", u"+", u" ", u"1.5", u"1,000", u"a1", u"1a", u"1 2", u"--1", u"1-"})
        EXPECT_FALSE(VandrelOnlyIntegerFormatter::isPartialStringValid(text)) << QString::fromUtf16(text).toStdString();
}

TEST(OnlyIntegerFormatter, RefusedTypingLeavesTheFieldAsItWas)
{
    QLineEdit field;
    field.setValidator(new VandrelOnlyIntegerFormatter(&field));
    field.show();
    QTest::keyClicks(&field, "12");
    EXPECT_EQ(field.text(), QStringLiteral("12"));
    QTest::keyClicks(&field, "x.");
    EXPECT_EQ(field.text(), QStringLiteral("12"));
    // A minus sign alone is refused, but in front of digits it is accepted.
    field.clear();
    QTest::keyClicks(&field, "-");
    EXPECT_EQ(field.text(), QString());
    QTest::keyClicks(&field, "7");
    field.home(false);
    QTest::keyClicks(&field, "-");
    EXPECT_EQ(field.text(), QStringLiteral("-7"));
}
