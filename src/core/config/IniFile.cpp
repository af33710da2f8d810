#include "config/IniFile.h"

#include "Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace jx::ini {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QStringList readLines(const QString& file)
{
    QFile in(file);
    if (!QFileInfo(file).isFile() || !in.open(QIODevice::ReadOnly))
        throw Error(QString::fromUtf8(kMissingFileText), file);
    QString content = QString::fromUtf8(in.readAll());
    content.replace(kCrLf, QStringLiteral("\n"));
    QStringList lines = content.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void writeLines(const QString& file, const QStringList& lines)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Não foi possível gravar o arquivo %1.").arg(file), out.errorString());
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += (line + kCrLf).toUtf8();
    out.write(bytes);
    if (!out.commit())
        throw Error(QStringLiteral("Não foi possível gravar o arquivo %1.").arg(file), out.errorString());
}

bool isSectionLine(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'[') || !t.endsWith(u']'))
        return false;
    *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

bool keyOfLine(const QString& line, QString* key, QString* value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return false;
    *key = t.left(eq).trimmed();
    *value = t.mid(eq + 1).trimmed();
    return true;
}

QString unquoted(const QString& value)
{
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        return value.mid(1, value.size() - 2);
    return value;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

QString readValue(const QString& file, const QString& section, const QString& key)
{
    const QStringList lines = readLines(file);
    bool inSection = false;
    for (const QString& line : lines) {
        QString name, k, v;
        if (isSectionLine(line, &name)) {
            inSection = sameName(name, section);
        } else if (inSection && keyOfLine(line, &k, &v) && sameName(k, key)) {
            return unquoted(v);
        }
    }
    return {};
}

void writeValue(const QString& file, const QString& section, const QString& key, const QString& value)
{
    QStringList lines = readLines(file);
    const QString entry = key + u'=' + value;
    qsizetype sectionStart = -1;
    qsizetype sectionEnd = lines.size(); // one past the section's last line
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name, k, v;
        if (isSectionLine(lines[i], &name)) {
            if (sectionStart >= 0) {
                sectionEnd = i;
                break;
            }
            if (sameName(name, section))
                sectionStart = i;
        } else if (sectionStart >= 0 && keyOfLine(lines[i], &k, &v) && sameName(k, key)) {
            lines[i] = entry;
            writeLines(file, lines);
            return;
        }
    }
    if (sectionStart < 0) {
        lines << u'[' + section + u']' << entry;
    } else {
        // After the section's last non-blank line, so blank separators stay between sections.
        qsizetype at = sectionEnd;
        while (at - 1 > sectionStart && lines[at - 1].trimmed().isEmpty())
            --at;
        lines.insert(at, entry);
    }
    writeLines(file, lines);
}

void createFile(const QString& file, const QString& section, const QString& value)
{
    writeLines(file, { u'[' + section.toUpper() + u']', QStringLiteral("FILEPATH = ") + value });
}

} // namespace jx::ini
