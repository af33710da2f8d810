#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace jx::paths {

QChar separator()
{
    return QDir::separator();
}

QString withTrailingSeparator(const QString& path)
{
    return path.endsWith(separator()) ? path : path + separator();
}

QString withoutTrailingSeparator(const QString& path)
{
    return path.endsWith(separator()) ? path.chopped(1) : path;
}

QString withoutDoubledSeparator(const QString& path)
{
    const QString doubled = QString(2, separator());
    return path.endsWith(doubled) ? path.chopped(1) : path;
}

QString folderOf(const QString& path)
{
    const qsizetype at = path.lastIndexOf(separator());
    return at < 0 ? QString() : path.left(at + 1);
}

QString join(const QString& folder, const QString& name)
{
    return withTrailingSeparator(folder) + name;
}

int deleteFilesInFolder(const QString& folder)
{
    const QString withSep = withTrailingSeparator(folder);
    if (withSep.size() <= 3 || QDir(withSep).isRoot())
        return 0;
    QDir dir(withSep);
    int deleted = 0;
    const auto entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& info : entries) {
        if (QFile::remove(info.absoluteFilePath()))
            ++deleted;
    }
    return deleted;
}

bool deleteFolderTree(const QString& folder)
{
    QDir dir(folder);
    if (folder.isEmpty() || dir.isRoot() || !dir.exists())
        return !dir.exists();
    return dir.removeRecursively();
}

} // namespace jx::paths
