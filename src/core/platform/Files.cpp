#include "platform/Files.h"

#include "Error.h"

#include <QFile>

namespace jx::files {

void replaceContent(const QString& path, const QByteArray& bytes)
{
    // Overwrite, then cut to length: truncating to zero first makes the file system free
    // and reallocate every block, which costs more than the write itself.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || file.write(bytes) != bytes.size() || !file.resize(bytes.size())
        || !file.flush())
        throw Error(QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, file.errorString()));
}

} // namespace jx::files
