#include "text/Masks.h"

#include <QStringList>

#include <vector>

namespace jx::masks {

namespace {

// What a position takes; Literal cells take nothing and show their character.
enum class Takes { Literal, Digit, LetterOrDigit, Letter, Any };

struct Cell {
    Takes takes = Takes::Literal;
    QChar literal; // shown when takes is Literal
    bool upper = false; // a typed letter becomes upper case (after ">", until "<")

    bool position() const { return takes != Takes::Literal; }
};

struct ParsedMask {
    std::vector<Cell> cells;
    bool saveLiterals = false;
    QChar blank = u' ';
};

Takes takesOf(QChar c)
{
    switch (c.unicode()) {
    case u'9':
    case u'0':
    case u'#':
        return Takes::Digit;
    case u'A':
    case u'a':
        return Takes::LetterOrDigit;
    case u'L':
    case u'l':
        return Takes::Letter;
    case u'C':
    case u'c':
        return Takes::Any;
    default:
        return Takes::Literal;
    }
}

bool isDirective(QChar c)
{
    return c == u'!' || c == u'>' || c == u'<';
}

ParsedMask parse(const QString& mask)
{
    ParsedMask parsed;
    // The picture ends at the first unescaped ';'.
    qsizetype i = 0;
    QString picture;
    for (; i < mask.size(); ++i) {
        if (mask[i] == u'\\' && i + 1 < mask.size()) {
            picture += mask[i];
            picture += mask[++i];
            continue;
        }
        if (mask[i] == u';')
            break;
        picture += mask[i];
    }
    const QStringList rest = mask.mid(i + 1).split(u';');
    if (i < mask.size()) {
        parsed.saveLiterals = rest.value(0) == QLatin1String("1");
        if (rest.size() > 1 && !rest[1].isEmpty())
            parsed.blank = rest[1][0];
    }
    bool upper = false;
    for (qsizetype p = 0; p < picture.size(); ++p) {
        const QChar c = picture[p];
        if (c == u'\\' && p + 1 < picture.size()) {
            parsed.cells.push_back({ Takes::Literal, picture[++p] });
        } else if (isDirective(c)) {
            if (c != u'!')
                upper = c == u'>';
        } else if (const Takes takes = takesOf(c); takes != Takes::Literal) {
            parsed.cells.push_back({ takes, {}, upper });
        } else {
            parsed.cells.push_back({ Takes::Literal, c });
        }
    }
    return parsed;
}

} // namespace

QString apply(const QString& stored, const QString& mask)
{
    const ParsedMask parsed = parse(mask);
    QString out;
    qsizetype next = 0;
    for (const Cell& cell : parsed.cells) {
        if (cell.position())
            out += next < stored.size() ? stored[next++] : QChar(u' ');
        else
            out += cell.literal;
    }
    return out;
}

QString toQtInputMask(const QString& mask)
{
    const ParsedMask parsed = parse(mask);
    static const QString qtSpecial = QStringLiteral("AaNnXx90Dd#HhBb><!\\[]{}");
    QString out;
    bool upper = false;
    for (const Cell& cell : parsed.cells) {
        if (cell.position()) {
            if (cell.upper != upper) {
                out += cell.upper ? u'>' : u'!';
                upper = cell.upper;
            }
            // Optional positions: Qt only commits a masked edit whose input is acceptable, and
            // a partly typed number (a DAE of "123") must still reach its field.
            switch (cell.takes) {
            case Takes::Digit:
                out += u'0';
                break;
            case Takes::LetterOrDigit:
                out += u'n';
                break;
            case Takes::Letter:
                out += u'a';
                break;
            default:
                out += u'x';
                break;
            }
        } else {
            if (qtSpecial.contains(cell.literal))
                out += u'\\';
            out += cell.literal;
        }
    }
    out += u';';
    out += parsed.blank;
    return out;
}

QString strip(const QString& shown, const QString& mask)
{
    const ParsedMask parsed = parse(mask);
    QString out;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const bool position = i < qsizetype(parsed.cells.size()) ? parsed.cells[i].position() : true;
        if (!position && !parsed.saveLiterals)
            continue;
        if (position && (shown[i] == parsed.blank || shown[i] == u' '))
            continue;
        out += shown[i];
    }
    return out;
}

int positionCount(const QString& mask)
{
    int count = 0;
    for (const Cell& cell : parse(mask).cells)
        count += cell.position() ? 1 : 0;
    return count;
}

bool accepts(const QString& stored, const QString& mask)
{
    const ParsedMask parsed = parse(mask);
    qsizetype next = 0;
    for (const Cell& cell : parsed.cells) {
        if (next == stored.size())
            return true;
        if (!cell.position())
            continue;
        const QChar c = stored[next++];
        const bool digit = c >= u'0' && c <= u'9';
        const bool letter = (c >= u'A' && c <= u'Z') || (!cell.upper && c >= u'a' && c <= u'z');
        switch (cell.takes) {
        case Takes::Digit:
            if (!digit)
                return false;
            break;
        case Takes::LetterOrDigit:
            if (!digit && !letter)
                return false;
            break;
        case Takes::Letter:
            if (!letter)
                return false;
            break;
        default:
            break;
        }
    }
    return next == stored.size();
}

} // namespace jx::masks
