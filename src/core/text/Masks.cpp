#include "text/Masks.h"

#include <QStringList>

#include <vector>

namespace jx::masks {

namespace {

struct Cell {
    bool position = false; // a place for a typed character
    QChar literal; // else the literal shown there
};

struct ParsedMask {
    std::vector<Cell> cells;
    bool saveLiterals = false;
    QChar blank = u' ';
};

bool isPositionChar(QChar c)
{
    switch (c.unicode()) {
    case u'9':
    case u'0':
    case u'#':
    case u'L':
    case u'l':
    case u'A':
    case u'a':
    case u'C':
    case u'c':
        return true;
    default:
        return false;
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
    for (qsizetype p = 0; p < picture.size(); ++p) {
        const QChar c = picture[p];
        if (c == u'\\' && p + 1 < picture.size()) {
            parsed.cells.push_back({ false, picture[++p] });
        } else if (isDirective(c)) {
            continue;
        } else if (isPositionChar(c)) {
            parsed.cells.push_back({ true, {} });
        } else {
            parsed.cells.push_back({ false, c });
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
        if (cell.position)
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
    for (const Cell& cell : parsed.cells) {
        if (cell.position) {
            // Optional digits: Qt only commits a masked edit whose input is acceptable, and a
            // partly typed number (a DAE of "123") must still reach its field.
            out += u'0';
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
        const bool position = i < qsizetype(parsed.cells.size()) ? parsed.cells[i].position : true;
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
        count += cell.position ? 1 : 0;
    return count;
}

} // namespace jx::masks
