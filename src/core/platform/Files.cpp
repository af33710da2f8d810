#include "platform/Files.h"

#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace jx::files {

namespace {

QStringList& scratchFolders()
{
    static QStringList folders;
    return folders;
}

bool inScratchFolder(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    return scratchFolders().contains(folder);
}

} // namespace

ScratchWrites::ScratchWrites(const QString& folder)
    : m_folder(QDir(folder).absolutePath())
{
    scratchFolders() << m_folder;
}

ScratchWrites::~ScratchWrites()
{
    scratchFolders().removeOne(m_folder);
}

void replaceContent(const QString& path, const QByteArray& bytes)
{
    if (inScratchFolder(path)) {
        // Written over in place and not flushed: the folder is thrown away after the run, and
        // a file that failed half-way fails its filing there and then.
        QFile file(path);
        bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()
            && file.flush();
        const QString reason = file.errorString();
        file.close();
        written = written && file.error() == QFileDevice::NoError;
        if (!written)
            throw Error(QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, reason));
        return;
    }
    // The user's only copy of a delivery file must never be left half old, half new: the
    // content goes to a temporary file in the same folder, renamed over the old one only
    // once all of it was written.
    QSaveFile file(path);
    // A small file stays in the write buffer until the end: its failure (a full disk) shows
    // only when the buffer is flushed, which commit() would not report.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw Error(QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, file.errorString()));
}

} // namespace jx::files
