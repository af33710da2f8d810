// Restored backups hand untrusted Base64 text to the decoder and the block decryption.
#include "Error.h"
#include "delivery/RsaBlockCipher.h"
#include "delivery/RsaKey.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const jx::RsaKeyPair keys = jx::RsaKeyPair::generate();
    try {
        (void)jx::rsa::decrypt(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), keys.privateKey);
    } catch (const jx::Error&) {
    }
    return 0;
}
