#include "text/TextUtils.h"

namespace jx::text {

QString digitsOf(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            out += c;
    }
    return out;
}

QString padLeft(const QString& text, QChar fill, int length)
{
    if (length <= 0)
        return {};
    if (text.size() >= length)
        return text.left(length);
    return QString(length - text.size(), fill) + text;
}

QString padRight(const QString& text, QChar fill, int length)
{
    if (length <= 0)
        return {};
    if (text.size() >= length)
        return text.left(length);
    return text + QString(length - text.size(), fill);
}

QString zeroFilledDae(const QString& text)
{
    QString compact = text;
    compact.remove(u' ');
    if (compact.size() >= 12)
        return compact;
    return QString(12 - compact.size(), u'0') + compact;
}

QString periodText(const QDate& from, const QDate& to)
{
    return QStringLiteral("%1 a %2/%3/%4")
        .arg(to.day(), 2, 10, QChar(u'0'))
        .arg(from.day(), 2, 10, QChar(u'0'))
        .arg(from.month(), 2, 10, QChar(u'0'))
        .arg(from.year(), 4, 10, QChar(u'0'));
}

namespace {

QChar baseLetter(QChar c)
{
    switch (c.unicode()) {
    case 0xC0:
    case 0xC1:
    case 0xC2:
    case 0xC3:
    case 0xC4:
    case 0xC5:
        return u'A';
    case 0xC7:
        return u'C';
    case 0xC8:
    case 0xC9:
    case 0xCA:
    case 0xCB:
        return u'E';
    case 0xCC:
    case 0xCD:
    case 0xCE:
    case 0xCF:
        return u'I';
    case 0xD1:
        return u'N';
    case 0xD2:
    case 0xD3:
    case 0xD4:
    case 0xD5:
    case 0xD6:
        return u'O';
    case 0xD9:
    case 0xDA:
    case 0xDB:
    case 0xDC:
        return u'U';
    case 0xDD:
        return u'Y';
    case 0xE0:
    case 0xE1:
    case 0xE2:
    case 0xE3:
    case 0xE4:
    case 0xE5:
        return u'a';
    case 0xE7:
        return u'c';
    case 0xE8:
    case 0xE9:
    case 0xEA:
    case 0xEB:
        return u'e';
    case 0xEC:
    case 0xED:
    case 0xEE:
    case 0xEF:
        return u'i';
    case 0xF1:
        return u'n';
    case 0xF2:
    case 0xF3:
    case 0xF4:
    case 0xF5:
    case 0xF6:
        return u'o';
    case 0xF9:
    case 0xFA:
    case 0xFB:
    case 0xFC:
        return u'u';
    case 0xFD:
    case 0xFF:
        return u'y';
    case u'<':
        return u'(';
    case u'>':
        return u')';
    default:
        return c;
    }
}

} // namespace

QString xmlSafe(const QString& text, bool keepAccents)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'&')
            out += QLatin1String("&amp;");
        else
            out += keepAccents ? c : baseLetter(c);
    }
    return out;
}

QString typed(const QString& text, bool upper, bool lower, bool replaceAmpersand, bool replaceBrackets)
{
    QString out = text;
    if (replaceAmpersand)
        out.replace(u'&', u'e');
    if (replaceBrackets)
        out.replace(u'<', u'(').replace(u'>', u')');
    if (upper)
        return out.toUpper();
    return lower ? out.toLower() : out;
}

} // namespace jx::text
