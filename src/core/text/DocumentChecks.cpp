#include "text/DocumentChecks.h"

#include <QDate>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace jx::docs {

namespace {

std::optional<std::vector<int>> digitValues(const QString& text)
{
    std::vector<int> values;
    values.reserve(text.size());
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        values.push_back(c.unicode() - u'0');
    }
    return values;
}

// 11 - (S mod 11), where both 10 and 11 collapse to 0: the rule shared by CNPJ and CPF.
int elevenMinusRemainder(int sum)
{
    const int dv = 11 - (sum % 11);
    return dv >= 10 ? 0 : dv;
}

int weightedSum(const std::vector<int>& digits, const int* weights, std::size_t count)
{
    int sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += digits[i] * weights[i];
    return sum;
}

constexpr std::array<int, 12> kCnpjWeights1 { 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2 };
constexpr std::array<int, 13> kCnpjWeights2 { 6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2 };

bool isCnpjBaseChar(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z');
}

bool isUpperAsciiLetter(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

// The values the check digits are worked out from: the character's code minus 48, so a
// digit keeps its value and "A" is 17 ... "Z" 42; a numeric CNPJ is the old rule unchanged.
std::optional<std::vector<int>> cnpjBaseValues(const QString& text)
{
    std::vector<int> values;
    values.reserve(text.size());
    for (const QChar c : text) {
        if (!isCnpjBaseChar(c))
            return std::nullopt;
        values.push_back(c.unicode() - u'0');
    }
    return values;
}

} // namespace

QString cnpjCheckDigits(const QString& first12)
{
    auto digits = cnpjBaseValues(first12.left(12));
    if (!digits || digits->size() != 12)
        return {};
    const int dv1 = elevenMinusRemainder(weightedSum(*digits, kCnpjWeights1.data(), 12));
    digits->push_back(dv1);
    const int dv2 = elevenMinusRemainder(weightedSum(*digits, kCnpjWeights2.data(), 13));
    return QString::number(dv1) + QString::number(dv2);
}

bool cnpjIsValid(const QString& text)
{
    if (text.size() != 14 || text == QLatin1String("00000000000000"))
        return false;
    // The check digits stay digits in both forms.
    if (!digitValues(text.mid(12)))
        return false;
    return cnpjCheckDigits(text.left(12)) == text.mid(12, 2);
}

bool cnpjIsAlphanumeric(const QString& text)
{
    if (text.size() != 14 || !cnpjBaseValues(text.left(12)) || !digitValues(text.mid(12)))
        return false;
    return std::any_of(text.cbegin(), text.cbegin() + 12, isUpperAsciiLetter);
}

QString cpfCheckDigits(const QString& first9)
{
    auto digits = digitValues(first9.left(9));
    if (!digits || digits->size() != 9)
        return {};
    int sum1 = 0;
    for (int i = 0; i < 9; ++i)
        sum1 += (10 - i) * (*digits)[i];
    const int dv1 = elevenMinusRemainder(sum1);
    int sum2 = 0;
    for (int i = 0; i < 9; ++i)
        sum2 += (11 - i) * (*digits)[i];
    sum2 += 2 * dv1;
    const int dv2 = elevenMinusRemainder(sum2);
    return QString::number(dv1) + QString::number(dv2);
}

bool cpfIsValid(const QString& text)
{
    // Only the digits count, and only the first eleven of them; the mask's punctuation may
    // stand between them, a letter may not (no CPF holds one).
    QString digits;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits.append(c);
        else if (c.isLetter())
            return false;
    }
    if (digits.size() < 11)
        return false;
    return cpfCheckDigits(digits.left(9)) == digits.mid(9, 2);
}

bool nireIsValid(const QString& text)
{
    const auto digits = digitValues(text);
    if (!digits || digits->empty())
        return false;
    int sum = 0;
    int weight = 2;
    for (int i = int(digits->size()) - 2; i >= 0; --i) {
        sum += (*digits)[i] * weight;
        weight = weight == 10 ? 2 : weight + 1;
    }
    int v = 11 - (sum % 11);
    if (v >= 10)
        v = 0;
    return digits->back() == v;
}

bool daeIsValid(const QString& text)
{
    const QString value = text.trimmed();
    if (value.size() <= 2)
        return false;
    const auto digits = digitValues(value);
    if (!digits)
        return false;
    const int n = int(digits->size());

    // (a) Luhn over everything but the last two characters; products summed digit by digit.
    int luhnSum = 0;
    int factor = 2;
    for (int i = n - 3; i >= 0; --i) {
        const int product = (*digits)[i] * factor;
        luhnSum += product / 10 + product % 10;
        factor = factor == 2 ? 1 : 2;
    }
    const int luhn = luhnSum % 10 == 0 ? 0 : 10 - luhnSum % 10;
    if ((*digits)[n - 2] != luhn)
        return false;

    // (b) Modulus 11 over everything but the last character.
    int sum = 0;
    int weight = 2;
    for (int i = n - 2; i >= 0; --i) {
        sum += (*digits)[i] * weight;
        weight = weight == 11 ? 2 : weight + 1;
    }
    const int r = sum % 11;
    const int mod11 = r == 1 ? 0 : (r == 0 ? 1 : 11 - r);
    return (*digits)[n - 1] == mod11;
}

bool emailLooksValid(const QString& text)
{
    return text.contains(u'@') && text.contains(u'.');
}

bool onlyDigits(const QString& text)
{
    return !text.isEmpty() && digitValues(text).has_value();
}

bool dateIsValid(const QString& text)
{
    if (text.size() != 10 || text[2] != u'/' || text[5] != u'/')
        return false;
    const auto day = digitValues(text.mid(0, 2));
    const auto month = digitValues(text.mid(3, 2));
    const auto year = digitValues(text.mid(6, 4));
    if (!day || !month || !year)
        return false;
    const int d = text.mid(0, 2).toInt();
    const int m = text.mid(3, 2).toInt();
    const int y = text.mid(6, 4).toInt();
    if (d < 1 || d > 31 || m < 1 || m > 12 || y <= 1899)
        return false;
    const QDate date(y, m, d);
    return date.isValid() && date >= QDate(1900, 1, 1);
}

bool timeIsValid(const QString& text)
{
    if (text.size() != 8 || text[2] != u':' || text[5] != u':')
        return false;
    if (!digitValues(text.mid(0, 2)) || !digitValues(text.mid(3, 2)) || !digitValues(text.mid(6, 2)))
        return false;
    // An hour of 24 passes (24:00:00 means the end of the day); 25 does not.
    return text.mid(0, 2).toInt() <= 24 && text.mid(3, 2).toInt() <= 59 && text.mid(6, 2).toInt() <= 59;
}

} // namespace jx::docs
