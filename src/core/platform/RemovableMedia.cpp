#include "platform/RemovableMedia.h"

#include "platform/Volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace jx::removable {

namespace {

// The mounts table writes blanks and backslashes of a path as three-digit octal escapes.
QString unescapeMountPath(const QString& field)
{
    QString out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == u'\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += QChar(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

QString readSmall(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.read(64)).trimmed();
}

} // namespace

bool isRemovableDevice(const QString& device, const QString& blockFolder)
{
    if (!device.startsWith(QLatin1String("/dev/")))
        return false;
    // A partition belongs to the disk whose name begins its own (sdb1 → sdb, mmcblk0p1 → mmcblk0).
    // By-label and by-uuid links name the device itself.
    const QString resolved = QFileInfo(device).canonicalFilePath();
    const QString name = QFileInfo(resolved.isEmpty() ? device : resolved).fileName();
    QString disk;
    for (const QString& entry : QDir(blockFolder).entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot)) {
        if (name.startsWith(entry) && entry.size() > disk.size())
            disk = entry;
    }
    return !disk.isEmpty() && readSmall(QDir(blockFolder).filePath(disk + QStringLiteral("/removable"))) == u'1';
}

QStringList removableMounts(const QString& mountsText, const QString& blockFolder)
{
    QStringList roots;
    for (const QString& line : mountsText.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        if (fields.size() < 2)
            continue;
        const QString root = unescapeMountPath(fields[1]);
        if (!roots.contains(root) && isRemovableDevice(fields[0], blockFolder))
            roots << root;
    }
    return roots;
}

QStringList standInFolders(const QString& variable)
{
    QStringList folders;
    for (const QString& part : variable.split(u':', Qt::SkipEmptyParts)) {
        const QString folder = QDir::cleanPath(part.trimmed());
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && !folders.contains(folder))
            folders << folder;
    }
    return folders;
}

QList<Drive> drives()
{
    QStringList roots;
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (mounts.open(QIODevice::ReadOnly | QIODevice::Text))
        roots = removableMounts(QString::fromLocal8Bit(mounts.readAll()), QStringLiteral("/sys/block"));
    for (const QString& folder : standInFolders(qEnvironmentVariable("JX_REMOVABLE")))
        if (!roots.contains(folder))
            roots << folder;
    QList<Drive> out;
    for (const QString& root : roots)
        out.append({ root, volumes::label(root), volumes::serial(root) });
    return out;
}

} // namespace jx::removable
