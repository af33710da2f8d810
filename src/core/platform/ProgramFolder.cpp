#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace jx::programFolder {

QString path()
{
    const QString home = qEnvironmentVariable("JX_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    if (QCoreApplication::instance()) {
        // The portable layout keeps the executable at the top of the program folder.
        const QString own = QCoreApplication::applicationDirPath();
        if (QFileInfo(own).isWritable())
            return own;
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath(QStringLiteral("JX"));
}

QString binFolderOf(const QString& rootPath)
{
    const QDir root(rootPath);
    const QString bin = root.filePath(QStringLiteral("BIN"));
    if (!QFileInfo::exists(bin) && QFileInfo(root.filePath(QStringLiteral("bin"))).isDir())
        return root.filePath(QStringLiteral("bin"));
    return bin;
}

QString binFolder()
{
    const QString bin = binFolderOf(path());
    QDir().mkpath(bin);
    return bin;
}

QString iniFile()
{
    return QDir(binFolder()).filePath(QStringLiteral("JX.INI"));
}

QString tempFolder()
{
    return QDir(path()).filePath(QStringLiteral("Temp"));
}

} // namespace jx::programFolder
