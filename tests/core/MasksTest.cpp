#include "text/Masks.h"

#include <gtest/gtest.h>

using namespace jx::masks;

TEST(MaskApply, LaysDigitsIntoEveryDocumentMask)
{
    EXPECT_EQ(apply("11222333000181", kCnpjDisplay), QStringLiteral("11.222.333/0001-81"));
    EXPECT_EQ(apply("11222333000181", kCnpjEdit), QStringLiteral("11.222.333/0001-81"));
    EXPECT_EQ(apply("52998224725", kCpfDisplay), QStringLiteral("529.982.247-25"));
    EXPECT_EQ(apply("1234567890107", kIe), QStringLiteral("123456789.01-07"));
    EXPECT_EQ(apply("12345678901", kNire), QStringLiteral("12.3.456.789.0-1"));
    EXPECT_EQ(apply("514171953627", kDae), QStringLiteral("5141719536-27"));
    EXPECT_EQ(apply("70000123", kCep), QStringLiteral("70000-123"));
    // The unescaped "-" of the telephone mask is a literal all the same.
    EXPECT_EQ(apply("6133334444", kTelefone), QStringLiteral("(61)3333-4444"));
    EXPECT_EQ(apply("6133334444", kTelefoneComunicacao), QStringLiteral("(61)3333-4444"));
}

TEST(MaskApply, MissingCharactersBecomeBlanks)
{
    EXPECT_EQ(apply("", kCep), QStringLiteral("     -   "));
    EXPECT_EQ(apply("123", kCnpjDisplay), QStringLiteral("12.3  .   /    -  "));
    EXPECT_EQ(apply("7000012", kCep), QStringLiteral("70000-12 "));
}

TEST(MaskQt, ConvertsToInputMask)
{
    // Twelve optional letters or digits forced to upper case, then two optional digits.
    EXPECT_EQ(toQtInputMask(kCnpjEdit), QStringLiteral(">nn.nnn.nnn/nnnn-00; "));
    EXPECT_EQ(toQtInputMask(kTelefone), QStringLiteral("(00)0000-0000; "));
    EXPECT_EQ(toQtInputMask(kDataPesquisa), QStringLiteral("00/00/0000; "));
    EXPECT_EQ(toQtInputMask(kCpfEditResponsavel), QStringLiteral("000.000.000-00; "));
    EXPECT_EQ(toQtInputMask(kCpfEdit), QStringLiteral("000.000.000-00; "));
    // Case conversion is switched off again for positions after "<".
    EXPECT_EQ(toQtInputMask(QStringLiteral(">aa<LL9;0; ")), QStringLiteral(">nn!aa0; "));
}

TEST(MaskCnpj, AlphanumericFormShownAndStripped)
{
    EXPECT_EQ(apply("12ABC34501DE35", kCnpjDisplay), QStringLiteral("12.ABC.345/01DE-35"));
    EXPECT_EQ(apply("12ABC34501DE35", kCnpjEdit), QStringLiteral("12.ABC.345/01DE-35"));
    EXPECT_EQ(strip("12.ABC.345/01DE-35", kCnpjEdit), QStringLiteral("12ABC34501DE35"));
    EXPECT_EQ(strip("12.AB .   /    -  ", kCnpjEdit), QStringLiteral("12AB"));
    for (const QString& cnpj : { QStringLiteral("12ABC34501DE35"), QStringLiteral("ZZZZZZZZZZZZ00") })
        EXPECT_EQ(strip(apply(cnpj, kCnpjEdit), kCnpjEdit), cnpj) << cnpj.toStdString();
    EXPECT_EQ(positionCount(kCnpjEdit), 14);
    EXPECT_EQ(positionCount(kCnpjDisplay), 14);
}

TEST(MaskAccepts, LettersOnlyWhereThePictureTakesThem)
{
    EXPECT_TRUE(accepts("12ABC34501DE35", kCnpjDisplay));
    EXPECT_TRUE(accepts("11222333000181", kCnpjDisplay));
    EXPECT_TRUE(accepts("12AB", kCnpjDisplay)); // a partial value
    EXPECT_TRUE(accepts("", kCnpjDisplay));
    EXPECT_FALSE(accepts("12abc34501de35", kCnpjDisplay)); // the picture forces upper case
    EXPECT_FALSE(accepts("12ABC34501DE3F", kCnpjDisplay)); // check digits are digits
    EXPECT_FALSE(accepts("12.ABC", kCnpjDisplay));
    EXPECT_FALSE(accepts("12ÁBC34501DE35", kCnpjDisplay));
    EXPECT_FALSE(accepts("12ABC34501DE351", kCnpjDisplay));
    // Every other document stays digits only.
    for (const QString& mask : { kCpfEdit, kCpfDisplay, kIe, kNire, kDae, kCep, kTelefone }) {
        EXPECT_TRUE(accepts(QStringLiteral("1234567"), mask)) << mask.toStdString();
        EXPECT_FALSE(accepts(QStringLiteral("123A567"), mask)) << mask.toStdString();
    }
    EXPECT_TRUE(accepts("aZ", QStringLiteral("LL;0; ")));
    EXPECT_FALSE(accepts("a1", QStringLiteral("LL;0; ")));
}

TEST(MaskStrip, KeepsOnlyTypedCharacters)
{
    EXPECT_EQ(strip("11.222.333/0001-81", kCnpjEdit), QStringLiteral("11222333000181"));
    EXPECT_EQ(strip("(61)3333-4444", kTelefone), QStringLiteral("6133334444"));
    EXPECT_EQ(strip("70000-   ", kCep), QStringLiteral("70000"));
    EXPECT_EQ(strip("  .   .   /    -  ", kCnpjEdit), QString());
    // A mask that saves its literals keeps them.
    EXPECT_EQ(strip("12/03/2005", kDataPesquisa), QStringLiteral("12/03/2005"));
}

TEST(MaskStrip, RoundTripsWithApply)
{
    for (const QString& mask : { kCnpjEdit, kCpfEdit, kIe, kNire, kDae, kCep, kTelefone }) {
        const QString digits = QStringLiteral("98765432109876").left(positionCount(mask));
        EXPECT_EQ(strip(apply(digits, mask), mask), digits) << mask.toStdString();
    }
    EXPECT_EQ(positionCount(kCnpjEdit), 14);
    EXPECT_EQ(positionCount(kIe), 13);
    EXPECT_EQ(positionCount(kDae), 12);
}
