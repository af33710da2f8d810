#include "text/Money.h"

#include <QRegularExpression>

#include <cstdlib>
#include <limits>

namespace jx::money {

namespace {

// Whole part at most 14 digits: the count then stays far inside 64 bits.
constexpr int kMaxWholeDigits = 14;

std::optional<qint64> compose(const QString& whole, const QString& fraction, bool negative)
{
    if (whole.size() > kMaxWholeDigits || fraction.size() > 4 || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    qint64 count = 0;
    for (const QChar c : whole)
        count = count * 10 + c.digitValue();
    count *= kScale;
    qint64 unit = kScale / 10;
    for (const QChar c : fraction) {
        count += c.digitValue() * unit;
        unit /= 10;
    }
    return negative ? -count : count;
}

} // namespace

std::optional<qint64> parse(const QString& typed)
{
    QString text = typed.trimmed();
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    static const QRegularExpression grouped(QStringLiteral("^(\\d{1,3}(?:\\.\\d{3})+|\\d*)(?:,(\\d*))?$"));
    static const QRegularExpression pointDecimal(QStringLiteral("^(\\d*)\\.(\\d{1,2}|\\d{4})$"));
    if (!text.contains(u',')) {
        const QRegularExpressionMatch m = pointDecimal.match(text);
        if (m.hasMatch())
            return compose(m.captured(1), m.captured(2), negative);
    }
    const QRegularExpressionMatch m = grouped.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString whole = m.captured(1);
    whole.remove(u'.');
    return compose(whole, m.captured(2), negative);
}

QString format(qint64 count, int decimals, bool leadingZero)
{
    decimals = qBound(0, decimals, 4);
    qint64 divisor = 1;
    for (int i = decimals; i < 4; ++i)
        divisor *= 10;
    const bool negative = count < 0;
    // Unsigned arithmetic keeps the smallest count safe to negate.
    quint64 magnitude = negative ? quint64(0) - quint64(count) : quint64(count);
    magnitude = (magnitude + quint64(divisor) / 2) / quint64(divisor);
    quint64 unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    const quint64 whole = magnitude / unit;
    const quint64 fraction = magnitude % unit;
    QString out = negative && magnitude != 0 ? QStringLiteral("-") : QString();
    if (whole != 0 || leadingZero || decimals == 0)
        out += QString::number(whole);
    if (decimals > 0)
        out += u',' + QStringLiteral("%1").arg(fraction, decimals, 10, QLatin1Char('0'));
    return out;
}

QString general(qint64 count)
{
    QString text = format(count, 4, true);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u','))
        text.chop(1);
    return text;
}

QString grouped(qint64 count, int decimals)
{
    QString text = format(count, decimals, true);
    const qsizetype start = text.startsWith(u'-') ? 1 : 0;
    qsizetype end = text.indexOf(u',');
    if (end < 0)
        end = text.size();
    for (qsizetype at = end - 3; at > start; at -= 3)
        text.insert(at, u'.');
    return text;
}

} // namespace jx::money
