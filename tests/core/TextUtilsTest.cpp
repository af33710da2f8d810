#include "text/TextUtils.h"

#include <gtest/gtest.h>

using namespace jx::text;

TEST(Padding, CutsOrFills)
{
    EXPECT_EQ(padLeft("123", u'0', 6), QStringLiteral("000123"));
    EXPECT_EQ(padLeft("123456789", u'0', 6), QStringLiteral("123456"));
    EXPECT_EQ(padLeft("123456", u'0', 6), QStringLiteral("123456"));
    EXPECT_EQ(padRight("ab", u' ', 4), QStringLiteral("ab  "));
    EXPECT_EQ(padRight("abcdef", u' ', 4), QStringLiteral("abcd"));
    EXPECT_EQ(padLeft("", u'x', 3), QStringLiteral("xxx"));
    EXPECT_EQ(padLeft("abc", u'x', 0), QString());
}

TEST(Digits, DaeAndDigitsOf)
{
    EXPECT_EQ(zeroFilledDae("123"), QStringLiteral("000000000123"));
    EXPECT_EQ(zeroFilledDae(" 1 2 3 "), QStringLiteral("000000000123"));
    EXPECT_EQ(zeroFilledDae("514171953627"), QStringLiteral("514171953627"));
    EXPECT_EQ(zeroFilledDae(""), QStringLiteral("000000000000"));
    EXPECT_EQ(digitsOf("Protocolo: 12.345-6/7"), QStringLiteral("1234567"));
}

TEST(Period, DayOfEndThenStartDate)
{
    EXPECT_EQ(periodText(QDate(2005, 3, 1), QDate(2005, 3, 5)), QStringLiteral("05 a 01/03/2005"));
    EXPECT_EQ(periodText(QDate(2005, 12, 9), QDate(2006, 1, 20)), QStringLiteral("20 a 09/12/2005"));
}

TEST(XmlSafe, ReplacesAccentsBracketsAndAmpersand)
{
    EXPECT_EQ(xmlSafe(QStringLiteral("Ação <Ltda> & Cia"), false), QStringLiteral("Acao (Ltda) &amp; Cia"));
    EXPECT_EQ(
        xmlSafe(QStringLiteral("ÀÁÂÃÄÅÇÈÉÊËÌÍÎÏÑÒÓÔÕÖÙÚÛÜÝ"), false), QStringLiteral("AAAAAACEEEEIIIINOOOOOUUUUY"));
    EXPECT_EQ(
        xmlSafe(QStringLiteral("àáâãäåçèéêëìíîïñòóôõöùúûüýÿ"), false), QStringLiteral("aaaaaaceeeeiiiinooooouuuuyy"));
    // Letters outside the list stay as they are.
    EXPECT_EQ(xmlSafe(QStringLiteral("ÆØßº"), false), QStringLiteral("ÆØßº"));
}

TEST(XmlSafe, KeepingAccentsOnlyEscapesAmpersand)
{
    EXPECT_EQ(xmlSafe(QStringLiteral("Ação <Ltda> & Cia"), true), QStringLiteral("Ação <Ltda> &amp; Cia"));
    EXPECT_EQ(xmlSafe(QStringLiteral("&&"), true), QStringLiteral("&amp;&amp;"));
    EXPECT_EQ(xmlSafe(QString(), false), QString());
}
