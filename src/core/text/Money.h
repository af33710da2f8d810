#pragma once

#include <QString>

#include <optional>

// Amounts of money and other decimals kept as a 64-bit count of ten-thousandths (fixed
// point with four decimals), read and written in the Brazilian form.
namespace jx::money {

inline constexpr qint64 kScale = 10000;

// The amount typed by a user: digits with an optional decimal comma and at most four
// decimals, thousands grouped by points or not ("1.500,25", "1500,25", "1500"). A lone
// point followed by one, two or four digits is taken as the decimal separator ("1500.5");
// followed by three it groups thousands ("1.500"). Empty when the text is no amount.
std::optional<qint64> parse(const QString& text);

// The count as text with exactly `decimals` decimals (rounded half away from zero), a
// decimal comma, no thousands separator; the picture "#.00" when leadingZero is false
// (",50"), "0.00" when true ("0,50").
QString format(qint64 count, int decimals, bool leadingZero);

// The general form of the files: up to four decimals, trailing zeros and a bare comma
// dropped (1234,5; 1234).
QString general(qint64 count);

// The count rounded to `decimals` decimals with the thousands grouped by points: the number
// picture "###,###,###,##0.00" in the Brazilian form (1.234.567,89; 0,50; -1.000,00).
QString grouped(qint64 count, int decimals);

} // namespace jx::money
