#include "text/DocumentChecks.h"

#include <gtest/gtest.h>

using namespace jx::docs;

namespace {

// The same number with one digit moved by one: any weight or remainder slip shows here.
QString bumped(QString number, int index)
{
    number[index] = QChar(u'0' + (number[index].unicode() - u'0' + 1) % 10);
    return number;
}

} // namespace

TEST(Cnpj, AcceptsKnownValidNumbers)
{
    EXPECT_TRUE(cnpjIsValid("11222333000181"));
    EXPECT_TRUE(cnpjIsValid("12345678000195"));
    EXPECT_TRUE(cnpjIsValid("98765432000198"));
    EXPECT_TRUE(cnpjIsValid("00000001000136"));
}

TEST(Cnpj, RefusesEveryChangedDigit)
{
    const QString valid = QStringLiteral("11222333000181");
    for (int i = 0; i < 14; ++i)
        EXPECT_FALSE(cnpjIsValid(bumped(valid, i))) << "digit " << i;
}

TEST(Cnpj, RefusesWrongShapes)
{
    EXPECT_FALSE(cnpjIsValid("00000000000000"));
    EXPECT_FALSE(cnpjIsValid("1122233300018"));
    EXPECT_FALSE(cnpjIsValid("112223330001810"));
    EXPECT_FALSE(cnpjIsValid("11.222.333/0001-81"));
    EXPECT_FALSE(cnpjIsValid("1122233300018A"));
    EXPECT_FALSE(cnpjIsValid(""));
}

TEST(Cnpj, CheckDigitsOfTenOrElevenBecomeZero)
{
    // 11 - (S mod 11) reaches 10 or 11 for these bases; both must collapse to 0.
    int collapsed = 0;
    for (int base = 0; base < 200; ++base) {
        const QString first12 = QStringLiteral("%1").arg(base, 12, 10, QChar(u'0'));
        const QString dv = cnpjCheckDigits(first12);
        ASSERT_EQ(dv.size(), 2);
        collapsed += dv[0] == u'0' ? 1 : 0;
        EXPECT_TRUE(base == 0 || cnpjIsValid(first12 + dv));
    }
    EXPECT_GT(collapsed, 0);
}

TEST(CnpjAlphanumeric, TheRegistersExampleAndItsCheckDigits)
{
    EXPECT_TRUE(cnpjIsValid("12ABC34501DE35"));
    EXPECT_EQ(cnpjCheckDigits("12ABC34501DE"), QStringLiteral("35"));
    // A numeric base keeps the old results.
    EXPECT_EQ(cnpjCheckDigits("112223330001"), QStringLiteral("81"));
    EXPECT_TRUE(cnpjIsValid("11222333000181"));
    EXPECT_FALSE(cnpjIsValid("11222333000182"));
}

TEST(CnpjAlphanumeric, EverySingleCharacterChangeFailsButTheRulesBlindSpot)
{
    // Modulus 11 cannot tell apart two characters whose values (code - 48) differ by a
    // multiple of 11 ("6" = 6 and "A" = 17): the rule's own blind spot, and its only one.
    static const QString base = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const QString valid = QStringLiteral("12ABC34501DE35");
    int blind = 0;
    for (int i = 0; i < 14; ++i) {
        for (const QChar c : i < 12 ? base : base.left(10)) {
            if (c == valid[i])
                continue;
            QString changed = valid;
            changed[i] = c;
            const bool sameRemainder = i < 12 && (c.unicode() - valid[i].unicode()) % 11 == 0;
            EXPECT_EQ(cnpjIsValid(changed), sameRemainder) << changed.toStdString();
            blind += sameRemainder ? 1 : 0;
        }
    }
    EXPECT_EQ(blind, 27);
}

TEST(CnpjAlphanumeric, RefusesLowerCaseAndLettersInTheCheckDigits)
{
    EXPECT_FALSE(cnpjIsValid("12abc34501de35"));
    EXPECT_FALSE(cnpjIsValid("12ABC34501De35"));
    EXPECT_FALSE(cnpjIsValid("12ABC34501DE3F"));
    EXPECT_FALSE(cnpjIsValid("12ABC34501DEA5"));
    // Only 0-9 and A-Z are characters of a CNPJ, whatever value their code would give.
    EXPECT_FALSE(cnpjIsValid("12ABC34501D#35"));
    EXPECT_FALSE(cnpjIsValid("12ÁBC34501DE35"));
    EXPECT_TRUE(cnpjCheckDigits("12abc34501de").isEmpty());
    EXPECT_TRUE(cnpjCheckDigits("12ABC34501D").isEmpty());
}

TEST(CnpjAlphanumeric, TellsTheFormApartFromTheValidity)
{
    EXPECT_TRUE(cnpjIsAlphanumeric("12ABC34501DE35"));
    EXPECT_TRUE(cnpjIsAlphanumeric("12ABC34501DE99")); // the form only, check digits aside
    EXPECT_TRUE(cnpjIsAlphanumeric("00000000000A00"));
    EXPECT_FALSE(cnpjIsAlphanumeric("11222333000181"));
    EXPECT_FALSE(cnpjIsAlphanumeric("12abc34501de35"));
    EXPECT_FALSE(cnpjIsAlphanumeric("12ABC34501DE3F"));
    EXPECT_FALSE(cnpjIsAlphanumeric("12.ABC.345/01DE-35"));
    EXPECT_FALSE(cnpjIsAlphanumeric("12ABC34501DE3"));
    EXPECT_FALSE(cnpjIsAlphanumeric(""));
}

TEST(Cpf, LettersDoNotStandForDigits)
{
    // The CPF stays numeric: a letter counts as punctuation, never as a digit.
    EXPECT_FALSE(cpfIsValid("5299822472A"));
    EXPECT_FALSE(cpfIsValid("529982247AB"));
    EXPECT_FALSE(cpfIsValid("12ABC34501D"));
    // Eleven right digits with a letter among or after them: still no CPF.
    EXPECT_FALSE(cpfIsValid("529982247A25"));
    EXPECT_FALSE(cpfIsValid("52998224725X"));
    EXPECT_TRUE(cpfIsValid("529.982.247-25"));
}

TEST(Cpf, AcceptsValidNumbersAndIgnoresPunctuation)
{
    EXPECT_TRUE(cpfIsValid("52998224725"));
    EXPECT_TRUE(cpfIsValid("12345678909"));
    EXPECT_TRUE(cpfIsValid("529.982.247-25"));
    // Digits after the eleventh do not count.
    EXPECT_TRUE(cpfIsValid("529982247251234"));
}

TEST(Cpf, ElevenEqualDigitsPass)
{
    for (char d = '0'; d <= '9'; ++d)
        EXPECT_TRUE(cpfIsValid(QString(11, QChar(d)))) << d;
}

TEST(Cpf, RefusesWrongCheckDigitsAndShortTexts)
{
    EXPECT_FALSE(cpfIsValid("52998224726")); // second check digit wrong
    EXPECT_FALSE(cpfIsValid("52998224735")); // first check digit wrong
    EXPECT_FALSE(cpfIsValid("5299822472")); // ten digits
    EXPECT_FALSE(cpfIsValid(""));
    for (int i = 0; i < 11; ++i)
        EXPECT_FALSE(cpfIsValid(bumped("52998224725", i))) << "digit " << i;
}

TEST(Nire, RemaindersZeroAndOneBothRequireZero)
{
    EXPECT_TRUE(nireIsValid("07049996220")); // remainder 1
    EXPECT_TRUE(nireIsValid("78683873800")); // remainder 0
    EXPECT_FALSE(nireIsValid("07049996221"));
    EXPECT_FALSE(nireIsValid("78683873801"));
}

TEST(Nire, OrdinaryRemainderAndFaults)
{
    EXPECT_TRUE(nireIsValid("91500080636")); // remainder 5 -> 6
    for (int i = 0; i < 11; ++i)
        EXPECT_FALSE(nireIsValid(bumped("91500080636", i))) << "digit " << i;
    EXPECT_FALSE(nireIsValid(""));
    EXPECT_FALSE(nireIsValid("9150008063X"));
}

TEST(Dae, BothDigitsMustHold)
{
    EXPECT_TRUE(daeIsValid("514171953627"));
    EXPECT_TRUE(daeIsValid(" 514171953627 "));
    EXPECT_FALSE(daeIsValid("514171953617")); // Luhn digit wrong
    EXPECT_FALSE(daeIsValid("514171953628")); // modulus-11 digit wrong
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(daeIsValid(bumped("514171953627", i))) << "digit " << i;
}

TEST(Dae, ModulusElevenRemaindersZeroAndOne)
{
    EXPECT_TRUE(daeIsValid("114426942011")); // remainder 0 requires 1
    EXPECT_TRUE(daeIsValid("145498174100")); // remainder 1 requires 0
}

TEST(Dae, ShortAndNonDigitTexts)
{
    EXPECT_FALSE(daeIsValid("00"));
    EXPECT_FALSE(daeIsValid("  7 "));
    EXPECT_FALSE(daeIsValid("51417195362A"));
    EXPECT_FALSE(daeIsValid(""));
}

TEST(SimpleChecks, EmailAndDigits)
{
    EXPECT_TRUE(emailLooksValid("a@b.c"));
    EXPECT_TRUE(emailLooksValid(".@"));
    EXPECT_FALSE(emailLooksValid("ab.c"));
    EXPECT_FALSE(emailLooksValid("a@bc"));
    EXPECT_TRUE(onlyDigits("0123456789"));
    EXPECT_FALSE(onlyDigits(""));
    EXPECT_FALSE(onlyDigits("12 3"));
    EXPECT_FALSE(onlyDigits(QStringLiteral("١٢٣"))); // non-ASCII digits are not 0-9
}

TEST(Date, RealCalendar)
{
    EXPECT_TRUE(dateIsValid("29/02/2004"));
    EXPECT_TRUE(dateIsValid("01/01/1900"));
    EXPECT_TRUE(dateIsValid("31/12/2099"));
    EXPECT_FALSE(dateIsValid("29/02/2005"));
    EXPECT_FALSE(dateIsValid("31/02/2005"));
    EXPECT_FALSE(dateIsValid("31/04/2005"));
    EXPECT_FALSE(dateIsValid("29/02/1900")); // 1900 was not a leap year
}

TEST(Date, ShapeAndRange)
{
    EXPECT_FALSE(dateIsValid("01/13/2005"));
    EXPECT_FALSE(dateIsValid("00/12/2005"));
    EXPECT_FALSE(dateIsValid("1/1/2005"));
    EXPECT_FALSE(dateIsValid("31/12/1899"));
    EXPECT_FALSE(dateIsValid("01-01-2005"));
    EXPECT_FALSE(dateIsValid("0a/01/2005"));
    EXPECT_FALSE(dateIsValid("01/01/2005 "));
    EXPECT_FALSE(dateIsValid(""));
}

TEST(Time, HourUpToTwentyFour)
{
    EXPECT_TRUE(timeIsValid("00:00:00"));
    EXPECT_TRUE(timeIsValid("23:59:59"));
    EXPECT_TRUE(timeIsValid("24:00:00"));
    EXPECT_TRUE(timeIsValid("24:59:59"));
    EXPECT_FALSE(timeIsValid("25:00:00"));
    EXPECT_FALSE(timeIsValid("24:60:00"));
    EXPECT_FALSE(timeIsValid("12:00:60"));
    EXPECT_FALSE(timeIsValid("1:00:00"));
    EXPECT_FALSE(timeIsValid("12.00.00"));
    EXPECT_FALSE(timeIsValid("ab:00:00"));
}
