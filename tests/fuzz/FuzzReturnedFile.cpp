// A returned disk's file, read for its protocol: any bytes end in a verdict, never a crash.
#include "delivery/ProtocolCapture.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const jx::ReturnedFile file
        = jx::readReturnedFile(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (file.state != jx::ReturnedFile::State::Protocol)
        return 0;
    // A listed protocol always fits the list and the record it goes to.
    const QString all = file.numero + file.identificador + file.versao + file.verificador;
    for (const QChar c : all) {
        if (c.unicode() > 0xFF)
            __builtin_trap();
    }
    if (file.numero.size() > 20 || file.numero.trimmed().isEmpty() || file.identificador.size() > 20
        || file.versao.size() > 7 || file.verificador.size() > 200)
        __builtin_trap();
    return 0;
}
