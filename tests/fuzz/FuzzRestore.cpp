// A backup's decrypted data section, read for restore: any bytes end in a plan or a refusal,
// never a crash, and a plan holds only what its rows can store.
#include "Error.h"
#include "backup/RestorePlan.h"
#include "text/DocumentChecks.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

void check(const jx::restore::RestorePlan& plan)
{
    const QString id = plan.identifier();
    if (!jx::docs::cnpjIsValid(id) && !jx::docs::cpfIsValid(id))
        __builtin_trap();
    if (!plan.address)
        __builtin_trap();
    for (const jx::restore::Values& cnpj : plan.linkedCnpj) {
        if (cnpj.size() != 3 || cnpj[0].second.toString().size() > 8 || cnpj[2].second.toString().size() > 2)
            __builtin_trap();
    }
    for (const jx::restore::Delivery& d : plan.deliveries) {
        if (!d.error.isEmpty() && !d.values.empty())
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const auto kind : { jx::restore::Kind::Request, jx::restore::Kind::Enablement }) {
        try {
            check(jx::restore::parseBackup(bytes, kind));
        } catch (const jx::Error&) {
        }
    }
    return 0;
}
