// Key files come from outside the program: the parser must refuse, never crash.
#include "Error.h"
#include "delivery/RsaKey.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const jx::RsaKey key = jx::RsaKey::parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        (void)key.serialize();
    } catch (const jx::Error&) {
    }
    return 0;
}
