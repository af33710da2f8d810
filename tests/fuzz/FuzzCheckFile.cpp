// Returned diskettes carry files the program did not write: checking and reading them
// must end in a verdict or an error.
#include "Error.h"
#include "delivery/ManipulaXml.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("entrada.xml"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    try {
        (void)jx::xmlfile::ConferirHash(path);
    } catch (const jx::Error&) {
    }
    try {
        (void)jx::xmlfile::RetornarProtocolo(path);
        (void)jx::xmlfile::RetornarDados(path);
    } catch (const jx::Error&) {
    }
    return 0;
}
