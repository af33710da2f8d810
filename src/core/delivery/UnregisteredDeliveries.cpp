#include "delivery/UnregisteredDeliveries.h"

#include "Error.h"
#include "delivery/ManipulaXml.h"
#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace jx::unregistered {

namespace {

void syncPath(const QString& path, bool folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), folder ? (O_RDONLY | O_DIRECTORY) : O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
    Q_UNUSED(folder);
#endif
}

} // namespace

QString folder(const QString& programFolder)
{
    return QDir(programFolder).filePath(kFolderName);
}

bool carriesProtocol(const QString& file)
{
    try {
        return !xmlfile::RetornarProtocolo(file).trimmed().isEmpty();
    } catch (const Error&) {
        return false;
    }
}

QString originalName(const QString& name)
{
    static const QRegularExpression numbered(QStringLiteral("^(.*)-\\d+(\\.[^.]*)$"));
    const QRegularExpressionMatch match = numbered.match(name);
    return match.hasMatch() ? match.captured(1) + match.captured(2) : name;
}

QString keep(const QString& programFolder, const QString& file)
{
    const QString target = folder(programFolder);
    if (!QDir().mkpath(target))
        throw Error(QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(target)));
    const QFileInfo info(file);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString path = QDir(target).filePath(info.fileName());
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(target).filePath(base + u'-' + QString::number(n) + suffix);
    // The content reaches the disk before the name moves: a power cut must not leave the only
    // copy of a protocol as an empty file.
    syncPath(file, false);
    std::error_code ec;
    std::filesystem::rename(
        std::filesystem::path(file.toStdU16String()), std::filesystem::path(path.toStdU16String()), ec);
    if (ec) {
        // Another file system: copied whole, then the original removed.
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                            .arg(QDir::toNativeSeparators(file), in.errorString()));
        files::replaceContent(path, in.readAll());
        in.close();
        syncPath(path, false);
        QFile::remove(file);
    }
    syncPath(target, true);
    return path;
}

WorkingFolder::Rescue rescuer(const QString& programFolder, QStringList* kept)
{
    return [programFolder, kept](const QString& file) {
        if (!carriesProtocol(file))
            return false;
        try {
            const QString path = keep(programFolder, file);
            if (kept)
                *kept << path;
        } catch (const Error&) {
            // Left in place: a file that cannot be moved is never deleted.
        }
        return true;
    };
}

} // namespace jx::unregistered
