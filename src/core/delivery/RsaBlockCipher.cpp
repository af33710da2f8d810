#include "delivery/RsaBlockCipher.h"

#include "Error.h"
#include "delivery/Base64.h"
#include "delivery/Mont128.h"

#include <openssl/bn.h>
#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <cstring>
#include <memory>
#include <optional>

namespace jx::rsa {

namespace {

struct BnDeleter {
    void operator()(BIGNUM* bn) const { BN_clear_free(bn); }
};
using Bn = std::unique_ptr<BIGNUM, BnDeleter>;
struct CtxDeleter {
    void operator()(BN_CTX* ctx) const { BN_CTX_free(ctx); }
};
using Ctx = std::unique_ptr<BN_CTX, CtxDeleter>;

[[noreturn]] void fail(const char* text)
{
    throw Error(QString::fromLatin1(text));
}

Bn fromLittleEndian(const QByteArray& bytes)
{
    Bn bn(BN_lebin2bn(reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()), nullptr));
    if (!bn)
        fail("RSA: out of memory");
    return bn;
}

// Holds the key's numbers and a context so that a file's many blocks share them.
class Engine {
public:
    Engine(const RsaKey& key, bool secret)
        : m_ctx(BN_CTX_new())
        , m_n(fromLittleEndian(key.modulus))
        , m_exp(fromLittleEndian(key.exponent))
        , m_in(BN_new())
        , m_out(BN_new())
        , m_fast(Mont128::create(key.modulus, key.exponent))
    {
        if (!m_ctx || !m_in || !m_out)
            fail("RSA: out of memory");
        if (BN_is_zero(m_n.get()))
            fail(kInvalidAsymmetricKeyText);
        key.requireUsable();
        if (secret)
            BN_set_flags(m_exp.get(), BN_FLG_CONSTTIME);
    }

    // A block raised to the exponent, written as exactly 16 bytes least significant first.
    void powerInto(const unsigned char* block, int length, unsigned char* out)
    {
        if (m_fast && length <= 16) {
            Mont128::toLittleEndian(m_fast->power(Mont128::fromLittleEndian(block, length)), out);
            return;
        }
        const QByteArray bytes = power(block, length, kCipherBlock);
        std::memcpy(out, bytes.constData(), kCipherBlock);
    }

    // The bytes of a block least significant first, raised to the exponent; the result
    // least significant first, padded to `width` bytes (0: as long as it is).
    QByteArray power(const unsigned char* block, int length, int width)
    {
        if (m_fast && length <= 16) {
            unsigned char bytes[16];
            Mont128::toLittleEndian(m_fast->power(Mont128::fromLittleEndian(block, length)), bytes);
            int used = 16;
            while (used > 0 && bytes[used - 1] == 0)
                --used;
            return QByteArray(reinterpret_cast<const char*>(bytes), width > 0 ? width : used);
        }
        if (!BN_lebin2bn(block, length, m_in.get())
            || !BN_mod_exp(m_out.get(), m_in.get(), m_exp.get(), m_n.get(), m_ctx.get()))
            fail("RSA: modular exponentiation failed");
        const int bytes = BN_num_bytes(m_out.get());
        if (width > 0 && bytes > width)
            fail("OutBlock size too small");
        QByteArray out(width > 0 ? width : bytes, '\0');
        BN_bn2lebinpad(m_out.get(), reinterpret_cast<unsigned char*>(out.data()), int(out.size()));
        return out;
    }

private:
    Ctx m_ctx;
    Bn m_n;
    Bn m_exp;
    Bn m_in;
    Bn m_out;
    std::optional<Mont128> m_fast;
};

// Filler bytes 1..253 from the system's cryptographic source; other values are drawn
// again. Drawn in large batches: each call into the source costs more than a block.
class FillerSource {
public:
    void fill(unsigned char* out, int count)
    {
        for (int i = 0; i < count;) {
            if (m_used == m_available) {
                if (RAND_bytes(m_pool, sizeof m_pool) != 1)
                    fail("RSA: random source failed");
                m_available = sizeof m_pool;
                m_used = 0;
            }
            const unsigned char b = m_pool[m_used++];
            if (b >= 1 && b <= 253)
                out[i++] = b;
        }
    }

    ~FillerSource() { OPENSSL_cleanse(m_pool, sizeof m_pool); }

private:
    unsigned char m_pool[4096];
    int m_available = 0;
    int m_used = 0;
};

} // namespace

QByteArray encryptBlocks(QByteArrayView plaintext, const RsaKey& publicKey)
{
    Engine engine(publicKey, false);
    FillerSource filler;
    const auto* p = reinterpret_cast<const unsigned char*>(plaintext.data());
    const qsizetype n = plaintext.size();
    const qsizetype blocks = n == 0 ? 1 : (n + kPlainBlock - 1) / kPlainBlock;
    QByteArray cipher(blocks * kCipherBlock, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(cipher.data());
    for (qsizetype b = 0; b < blocks; ++b) {
        const int k = int(std::min<qsizetype>(kPlainBlock, n - b * kPlainBlock));
        const int fillerLength = 13 - k;
        if (fillerLength < 8)
            fail("RSA encoding error: too much data for block");
        unsigned char block[kCipherBlock];
        for (int i = 0; i < k; ++i)
            block[i] = p[b * kPlainBlock + i];
        block[k] = 0x00;
        filler.fill(block + k + 1, fillerLength);
        block[14] = 0x02;
        block[15] = 0x00;
        engine.powerInto(block, kCipherBlock, out + b * kCipherBlock);
    }
    return cipher;
}

QByteArray encrypt(QByteArrayView plaintext, const RsaKey& publicKey)
{
    return base64::encode(encryptBlocks(plaintext, publicKey));
}

QByteArray decryptBlockRaw(const QByteArray& cipherBlock, const RsaKey& privateKey)
{
    Engine engine(privateKey, true);
    return engine.power(reinterpret_cast<const unsigned char*>(cipherBlock.constData()), int(cipherBlock.size()), 0);
}

namespace {

QByteArray unpad(const QByteArray& m)
{
    // m least significant first, without its high zero bytes.
    const qsizetype length = m.size();
    if (length <= 10)
        fail("RSA decoding error: Block too small");
    if (length > 128)
        fail("RSA decoding error: Block too large");
    const unsigned char type = static_cast<unsigned char>(m[length - 1]);
    if (type != 1 && type != 2)
        fail("RSA decoding error: Invalid block type");
    for (qsizetype i = length - 2; i >= 0; --i) {
        if (m[i] == '\0')
            return m.left(i);
    }
    fail("RSA decoding error: Invalid block format");
}

} // namespace

QByteArray decryptBlocks(const QByteArray& cipher, const RsaKey& privateKey)
{
    Engine engine(privateKey, true);
    QByteArray plain;
    const qsizetype blocks = (cipher.size() + kCipherBlock - 1) / kCipherBlock;
    for (qsizetype b = 0; b < blocks; ++b) {
        const QByteArray chunk = cipher.mid(b * kCipherBlock, kCipherBlock);
        const QByteArray block
            = unpad(engine.power(reinterpret_cast<const unsigned char*>(chunk.constData()), int(chunk.size()), 0));
        plain += b + 1 < blocks ? block.left(kPlainBlock) : block;
    }
    return plain;
}

QByteArray decrypt(const QByteArray& base64Text, const RsaKey& privateKey)
{
    return decryptBlocks(base64::decode(base64Text), privateKey);
}

} // namespace jx::rsa
