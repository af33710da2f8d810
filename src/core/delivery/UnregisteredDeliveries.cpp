#include "delivery/UnregisteredDeliveries.h"

#include "Error.h"
#include "delivery/ManipulaXml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>

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

QString keptText(const QString& programFolder, const QStringList& kept)
{
    QStringList names;
    for (const QString& file : kept)
        names << QFileInfo(file).fileName();
    return kKeptText.arg(QDir::toNativeSeparators(folder(programFolder))) + names.join(QStringLiteral("\r\n"));
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
    // The content reaches the disk before the name moves: a power cut must not leave the only
    // copy of a protocol as an empty file.
    syncPath(file, false);
    const QByteArray from = QFile::encodeName(file);
    for (int n = 1; n < 10000; ++n) {
        const QString path = QDir(target).filePath(n == 1 ? info.fileName() : base + u'-' + QString::number(n) + suffix);
        const QByteArray to = QFile::encodeName(path);
#ifdef Q_OS_UNIX
        // A new name only, never over another kept file (two processes may keep the same
        // filing's files at once): link refuses an existing name where rename would replace it.
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            syncPath(target, true);
            return path;
        }
        if (errno == EEXIST)
            continue;
        if (errno != EXDEV && errno != EPERM && errno != ENOTSUP)
            throw Error(QStringLiteral("Não foi possível guardar o arquivo %1 em %2.")
                            .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(target)));
#endif
        // Another file system (or one without links): copied whole under a new name, then the
        // original removed.
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                            .arg(QDir::toNativeSeparators(file), in.errorString()));
        const QByteArray bytes = in.readAll();
        in.close();
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path))
                continue;
            throw Error(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                            .arg(QDir::toNativeSeparators(path), out.errorString()));
        }
        if (out.write(bytes) != bytes.size() || !out.flush()) {
            out.close();
            QFile::remove(path);
            throw Error(QStringLiteral("Não foi possível gravar o arquivo %1.").arg(QDir::toNativeSeparators(path)));
        }
        out.close();
        syncPath(path, false);
        syncPath(target, true);
        QFile::remove(file);
        return path;
    }
    throw Error(QStringLiteral("Não foi possível guardar o arquivo %1.").arg(QDir::toNativeSeparators(file)));
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
