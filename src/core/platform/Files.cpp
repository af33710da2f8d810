#include "platform/Files.h"

#include "Error.h"

#include <QSaveFile>

namespace jx::files {

void replaceContent(const QString& path, const QByteArray& bytes)
{
    // The user's only copy of a delivery file must never be left half old, half new: the
    // content goes to a temporary file in the same folder, renamed over the old one only
    // once all of it was written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Error(QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, file.errorString()));
}

} // namespace jx::files
